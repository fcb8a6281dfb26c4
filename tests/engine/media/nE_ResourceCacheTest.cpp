#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_Texture_Pl5.h"

namespace {

const std::string kData = std::string(HALVERN_TEST_DATA) + "/textures/";

class ResourceCacheTest : public ::testing::Test {
protected:
    void SetUp() override { cache = nE_ResourceCache::create(); }
    void TearDown() override { nE_ResourceCache::destroy(); }
    nE_ResourceCache* cache = nullptr;
};

TEST_F(ResourceCacheTest, SameNameGivesSameObjectWhileHeldAndReloadsAfterRelease) {
    std::shared_ptr<nE_Texture> a = cache->getTexture(kData + "mask");
    ASSERT_TRUE(a);
    EXPECT_EQ(a, cache->getTexture(kData + "mask"));

    std::weak_ptr<nE_Texture> old = a;
    a.reset();
    EXPECT_TRUE(old.expired()) << "the cache must not keep a texture alive";
    std::shared_ptr<nE_Texture> b = cache->getTexture(kData + "mask");
    ASSERT_TRUE(b);
    EXPECT_EQ(40.f, b->width);
    EXPECT_TRUE(b->hasMask());
}

TEST_F(ResourceCacheTest, EmptyNameGivesEmptyHandle) {
    EXPECT_FALSE(cache->getTexture(""));
    EXPECT_FALSE(cache->getFrameTexture(""));
    EXPECT_EQ(0u, cache->entryCount());
}

TEST_F(ResourceCacheTest, SweepRunsOnTheTwoHundredthRequest) {
    // Three entries that expire at once.
    cache->getTexture(kData + "mask");
    cache->getTexture(kData + "both");
    cache->getTexture(kData + "onlyjpg");
    ASSERT_EQ(3, cache->requestCount());
    ASSERT_EQ(3u, cache->entryCount());

    std::shared_ptr<nE_Texture> held = cache->getTexture(kData + "sheet");
    while (cache->requestCount() < nE_ResourceCache::kSweepPeriod - 1) cache->getTexture(kData + "sheet");
    // 199 requests so far: nothing swept.
    EXPECT_EQ(4u, cache->entryCount());
    cache->getTexture(kData + "sheet");  // the 200th
    EXPECT_EQ(0, cache->requestCount());
    EXPECT_EQ(1u, cache->entryCount()) << "only the held texture's entry survives";
}

TEST_F(ResourceCacheTest, KeysAreExactNames) {
    std::shared_ptr<nE_Texture> slash = cache->getTexture(kData + "mask");
    std::string backslashed = kData + "mask";
    backslashed[backslashed.size() - 5] = '\\';
    std::shared_ptr<nE_Texture> back = cache->getTexture(backslashed);
    ASSERT_TRUE(slash && back);
    EXPECT_NE(slash, back) << "a backslashed name is its own key";
    EXPECT_EQ(slash->width, back->width) << "but finds the same file";
    EXPECT_EQ(backslashed, back->name());

    // Two files whose names differ only in case.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("halvern_cache_case_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(kData + "mask.png", dir / "tex.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(kData + "sheet.png", dir / "TEX.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::shared_ptr<nE_Texture> lower = cache->getTexture((dir / "tex").string());
    std::shared_ptr<nE_Texture> upper = cache->getTexture((dir / "TEX").string());
    ASSERT_TRUE(lower && upper);
    EXPECT_NE(lower, upper);
    EXPECT_EQ(40.f, lower->width);
    EXPECT_EQ(16.f, upper->width);
    std::filesystem::remove_all(dir);
}

TEST_F(ResourceCacheTest, KindsDoNotShareEntries) {
    std::shared_ptr<nE_Texture> plain = cache->getTexture(kData + "sheet");
    std::shared_ptr<nE_Texture> frames = cache->getFrameTexture(kData + "sheet");
    ASSERT_TRUE(plain && frames);
    EXPECT_NE(plain, frames);
    EXPECT_FALSE(std::dynamic_pointer_cast<nE_Texture_Pl5>(frames));
    testing::internal::CaptureStdout();
    std::shared_ptr<nE_Resource> font = cache->request(nE_ResourceCache::kFont, kData + "sheet");
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(font && !std::dynamic_pointer_cast<nE_Texture>(font)) << "a font, not the image of that name";
}

TEST_F(ResourceCacheTest, PngWinsOverJpgAndJpgIsFoundAlone) {
    std::shared_ptr<nE_Texture> both = cache->getTexture(kData + "both");
    EXPECT_EQ(4.f, both->width);
    EXPECT_EQ(2.f, both->height);
    std::shared_ptr<nE_Texture> jpg = cache->getTexture(kData + "onlyjpg");
    EXPECT_EQ(6.f, jpg->width);
    EXPECT_EQ(4.f, jpg->sourceHeight);
    EXPECT_TRUE(jpg->maskBit(5, 3)) << "a jpg is opaque everywhere";
}

TEST_F(ResourceCacheTest, MissingImageReportsAndGivesUncachedPlaceholder) {
    const std::string name = kData + "nothing_here";
    testing::internal::CaptureStdout();
    std::shared_ptr<nE_Texture> a = cache->getTexture(name);
    std::shared_ptr<nE_Texture> b = cache->getTexture(name);
    const std::string out = testing::internal::GetCapturedStdout();

    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b) << "a failed load is not cached";
    EXPECT_EQ(0u, cache->entryCount());
    const std::string line = "nE_Texture::Could not find \"" + name + "\" file!\n";
    const size_t first = out.find(line);
    ASSERT_NE(std::string::npos, first) << out;
    EXPECT_NE(std::string::npos, out.find(line, first + 1)) << "each request reports again";

    EXPECT_EQ(name, a->name());
    EXPECT_EQ(1.f, a->width);
    EXPECT_EQ(1.f, a->height);
    EXPECT_FALSE(a->hasMask());
    EXPECT_FALSE(std::dynamic_pointer_cast<nE_Texture_Pl5>(a)->platformTexture);
}

}  // namespace
