#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/media/nE_FrameTexture.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/platform/nE_FrameTexture_Pl5.h"

namespace {

const std::string kData = std::string(HALVERN_TEST_DATA) + "/textures/";

class FrameTextureTest : public ::testing::Test {
protected:
    void SetUp() override { cache = nE_ResourceCache::create(); }
    void TearDown() override {
        nE_ResourceCache::destroy();
        if (!tempDir.empty()) std::filesystem::remove_all(tempDir);
    }
    std::shared_ptr<nE_FrameTexture> sheet() {
        return std::dynamic_pointer_cast<nE_FrameTexture>(cache->getFrameTexture(kData + "sheet"));
    }
    // Writes name.xml into a temporary folder and gives the name without extension.
    std::string writeXml(const std::string& name, const std::string& text) {
        if (tempDir.empty()) {
            tempDir =
                std::filesystem::temp_directory_path() / ("halvern_frametexture_" + std::to_string(getpid()));
            std::filesystem::create_directories(tempDir);
            std::filesystem::copy_file(kData + "sheet.png", tempDir / "sheet.png",
                                       std::filesystem::copy_options::overwrite_existing);
        }
        std::ofstream(tempDir / (name + ".xml")) << text;
        return (tempDir / name).string();
    }
    nE_ResourceCache* cache = nullptr;
    std::filesystem::path tempDir;
};

TEST_F(FrameTextureTest, FramesComeFromTheFileWithTheirTexturesThroughTheCache) {
    auto ft = sheet();
    ASSERT_TRUE(ft);
    ASSERT_EQ(2, ft->frameCount());
    const nE_FrameTexture::Frame& f = ft->frames[1];
    EXPECT_EQ(8.f, f.left);
    EXPECT_EQ(0.f, f.top);
    EXPECT_EQ(8.f, f.width) << "read from \"widht\"";
    EXPECT_EQ(4.f, f.height);
    EXPECT_EQ(4.f, f.pivotX);
    EXPECT_EQ(2.f, f.pivotY);
    EXPECT_EQ(cache->getTexture(kData + "sheet"), f.texture) << "the directory of the file is prefixed";
    EXPECT_EQ(ft->frames[0].texture, f.texture);
}

TEST_F(FrameTextureTest, PivotPlacesTheFrameWhereAPlainTextureIsCentred) {
    auto ft = sheet();
    auto plain = cache->getTexture(kData + "sheet");
    const nE_Rect centred = plain->localRect(0);
    EXPECT_FLOAT_EQ(-8, centred.x);
    EXPECT_FLOAT_EQ(-2, centred.y);

    const nE_Rect topLeft = ft->localRect(0);  // pivot (0, 0): top-left corner at the position
    EXPECT_FLOAT_EQ(0, topLeft.x);
    EXPECT_FLOAT_EQ(0, topLeft.y);
    EXPECT_FLOAT_EQ(8, topLeft.w);
    EXPECT_FLOAT_EQ(4, topLeft.h);
    const nE_Rect pivoted = ft->localRect(1);  // pivot at the region's centre
    EXPECT_FLOAT_EQ(-4, pivoted.x);
    EXPECT_FLOAT_EQ(-2, pivoted.y);

    for (int index : {2, -1, 1000}) {
        const nE_Rect r = ft->localRect(index);
        EXPECT_EQ(0.f, r.x + r.y + r.w + r.h) << index;
    }
}

TEST_F(FrameTextureTest, TexCoordsAreTheFrameRegionWithoutTiling) {
    auto ft = sheet();
    nE_RenderState s;
    s.frameIndex = 1;
    s.tilingX = 4;
    const nE_Rect uv = ft->texCoordRect(s);
    EXPECT_FLOAT_EQ(0.5f, uv.x);
    EXPECT_FLOAT_EQ(0, uv.y);
    EXPECT_FLOAT_EQ(0.5f, uv.w);
    EXPECT_FLOAT_EQ(1, uv.h);
    s.frameIndex = 2;
    const nE_Rect none = ft->texCoordRect(s);
    EXPECT_EQ(0.f, none.w + none.h);
}

TEST_F(FrameTextureTest, HitTestReadsTheFrameTexturesMask) {
    auto ft = sheet();
    nE_RenderState s;
    s.x = 10;
    s.y = 10;
    EXPECT_TRUE(ft->hitTest(11, 11, s));   // sheet column 1: opaque
    EXPECT_FALSE(ft->hitTest(15, 11, s));  // column 5: clear
    EXPECT_FALSE(ft->hitTest(9, 11, s));   // left of the region
    s.frameIndex = 1;
    EXPECT_TRUE(ft->hitTest(10, 10, s));  // column 8 + 4 + 0
    s.frameIndex = 7;
    EXPECT_FALSE(ft->hitTest(10, 10, s));
}

TEST_F(FrameTextureTest, RegionPastTheMaskFallsBackToTheRectangle) {
    const std::string name =
        writeXml("past",
                 "<frametexture><frame texture=\"sheet\" left=\"12\" top=\"2\" widht=\"10\" "
                 "height=\"6\" x=\"0\" y=\"0\"/></frametexture>");
    auto ft = std::dynamic_pointer_cast<nE_FrameTexture>(cache->getFrameTexture(name));
    ASSERT_EQ(1, ft->frameCount());
    nE_RenderState s;
    EXPECT_TRUE(ft->hitTest(0.5f, 0.5f, s));  // column 12, row 2: inside the mask, opaque
    EXPECT_TRUE(ft->hitTest(9.5f, 5.5f, s));  // column 21, row 7: past the 16 × 4 mask
}

TEST_F(FrameTextureTest, MissingAttributesReadAsZero) {
    const std::string name = writeXml("partial",
                                      "<frametexture><frame texture=\"sheet\" widht=\"3\"/>"
                                      "<frame left=\"2.9\"/></frametexture>");
    testing::internal::CaptureStdout();
    auto ft = std::dynamic_pointer_cast<nE_FrameTexture>(cache->getFrameTexture(name));
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(2, ft->frameCount());
    EXPECT_EQ(3.f, ft->frames[0].width);
    EXPECT_EQ(0.f, ft->frames[0].height);
    EXPECT_EQ(2.f, ft->frames[1].left) << "integers, as written";
    // No "texture" attribute: the directory alone, which is no image.
    ASSERT_TRUE(ft->frames[1].texture);
    EXPECT_FALSE(ft->frames[1].texture->hasMask());
}

TEST_F(FrameTextureTest, MissingOrBrokenFilesReportAndHaveNoFrames) {
    for (const char* file : {"nothing_here", "broken"}) {
        testing::internal::CaptureStdout();
        auto ft = std::dynamic_pointer_cast<nE_FrameTexture>(cache->getFrameTexture(kData + file));
        const std::string out = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(ft) << file;
        EXPECT_EQ(0, ft->frameCount());
        EXPECT_NE(std::string::npos,
                  out.find("nE_FrameTexture: Could not find \"" + kData + file + "\" file!\n"))
            << out;
        nE_RenderState s;
        EXPECT_FALSE(ft->hitTest(0, 0, s));
        EXPECT_FALSE(std::dynamic_pointer_cast<nE_FrameTexture_Pl5>(ft)->platformTextureFor(0));
    }
    EXPECT_EQ(0u, cache->entryCount());

    // A file without the root element loads nothing, without a report.
    testing::internal::CaptureStdout();
    auto noRoot = std::dynamic_pointer_cast<nE_FrameTexture>(cache->getFrameTexture(kData + "noroot"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(0, noRoot->frameCount());
}

TEST_F(FrameTextureTest, PlatformTextureFollowsTheFrame) {
    auto ft = std::dynamic_pointer_cast<nE_FrameTexture_Pl5>(sheet());
    auto plain = std::dynamic_pointer_cast<nE_TexImpl_Pl5>(cache->getTexture(kData + "sheet"));
    ASSERT_TRUE(ft && plain);
    EXPECT_EQ(plain->platformTexture, ft->platformTextureFor(1));
    EXPECT_FALSE(ft->platformTextureFor(2));
}

}  // namespace
