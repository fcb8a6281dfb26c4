#include <gtest/gtest.h>

#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "tests/pflib/TempDir.h"

using pf::TTexture;

TEST(TextureTest, PngRoundTripKeepsRgbaWithAlphaFourth) {
    TempDir dir;
    // 3 x 2: distinct pixels, alpha varying.
    const uint8_t rgba[] = {255, 0,  0,  255, 0,  255, 0,  128, 0,   0,   255, 0,
                            10,  20, 30, 40,  50, 60,  70, 80,  200, 210, 220, 230};
    ASSERT_TRUE(TTexture::WritePng(dir / "img.png", rgba, 3, 2));

    auto texture = TTexture::Get(dir / "img.png");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetWidth(), 3);
    EXPECT_EQ(texture->GetHeight(), 2);
    EXPECT_EQ(texture->GetType(), TTexture::kPlain);
    uint8_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(&pixels, &pitch, true));
    EXPECT_EQ(pitch, 3) << "pitch counts pixels";
    for (int i = 0; i < 24; ++i) EXPECT_EQ(pixels[i], rgba[i]) << "byte " << i;
    texture->Unlock();
}

TEST(TextureTest, JpegDecodesOpaque) {
    auto texture = TTexture::Get(HALVERN_SOURCE_DIR "/tests/data/textures/onlyjpg.jpg");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetWidth(), 6);
    EXPECT_EQ(texture->GetHeight(), 4);
    const auto& pixels = texture->Pixels();
    EXPECT_EQ(pixels[3], 255);
    EXPECT_GT(pixels[1], 200) << "green";
    EXPECT_LT(pixels[0], 50);
}

TEST(TextureTest, MissingOrCorruptFilesGiveAnEmptyHandle) {
    TempDir dir;
    EXPECT_FALSE(TTexture::Get(dir / "missing.png"));
    TempDir::Write(dir / "corrupt.png", "\x89PNG\r\n\x1a\n this is not really a png");
    EXPECT_FALSE(TTexture::Get(dir / "corrupt.png"));
    TempDir::Write(dir / "empty.jpg", "");
    EXPECT_FALSE(TTexture::Get(dir / "empty.jpg"));
    EXPECT_FALSE(TTexture::Get(dir.path())) << "a folder";
}

TEST(TextureTest, RelativeNamesLoadFromTheGameFolder) {
    TempDir dir;
    const uint8_t white[] = {255, 255, 255, 255};
    ASSERT_TRUE(TTexture::WritePng(dir / "w.png", white, 1, 1));
    pf::TRunOptions options;
    options.gameDir = dir.path();
    pf::TPlatform::SetRunOptions(options);
    EXPECT_TRUE(TTexture::Get("w.png"));
    pf::TPlatform::SetRunOptions(pf::TRunOptions());
}

TEST(TextureTest, CreateGivesTransparentBlackOfTheAskedSize) {
    auto texture = TTexture::Create(5, 3, true, TTexture::kPlain);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetWidth(), 5);
    EXPECT_EQ(texture->GetHeight(), 3);
    EXPECT_EQ(texture->Pixels().size(), 5u * 3u * 4u);
    for (uint8_t b : texture->Pixels()) ASSERT_EQ(b, 0);
    auto target = TTexture::Create(4, 4, true, TTexture::kRenderTarget);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->GetType(), TTexture::kRenderTarget);

    EXPECT_FALSE(TTexture::Create(0, 4, true, 0));
    EXPECT_FALSE(TTexture::Create(4, -1, true, 0));
    EXPECT_FALSE(TTexture::Create(TTexture::kMaxSize + 1, 4, true, 0));
    EXPECT_FALSE(TTexture::Create(4, 4, true, 7)) << "unknown type";
}

TEST(TextureTest, LockIsExclusiveAndAWritingUnlockMarksTheTextureDirty) {
    auto texture = TTexture::Create(2, 2, true, TTexture::kPlain);
    texture->dirty = false;
    uint8_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(&pixels, &pitch, true));
    uint8_t* again = nullptr;
    EXPECT_FALSE(texture->Lock(&again, &pitch, false)) << "already locked";
    texture->Unlock();
    EXPECT_FALSE(texture->dirty) << "a read-only lock leaves the GPU copy alone";

    ASSERT_TRUE(texture->Lock(&pixels, &pitch, false));
    pixels[0] = 7;
    texture->Unlock();
    EXPECT_TRUE(texture->dirty);
    texture->Unlock();  // unbalanced unlock does nothing
    EXPECT_FALSE(texture->Lock(nullptr, &pitch, false));
}

TEST(TextureTest, LiveCountFollowsTheHandles) {
    const size_t before = TTexture::LiveCount(), bytesBefore = TTexture::LiveBytes();
    {
        auto a = TTexture::Create(1, 1, true, 0);
        auto b = TTexture::Create(1, 1, true, 1);
        auto c = TTexture::Create(3, 2, true, 0);
        EXPECT_EQ(TTexture::LiveCount(), before + 3);
        EXPECT_EQ(TTexture::LiveBytes(), bytesBefore + (1 + 1 + 6) * 4);
    }
    EXPECT_EQ(TTexture::LiveCount(), before);
    EXPECT_EQ(TTexture::LiveBytes(), bytesBefore);
}

// The size is read from the header and refused over the limit before any pixel is decoded.
TEST(TextureTest, ImagesOverTheSizeLimitAreRefusedFromTheirHeader) {
    TempDir dir;
    pf::TRunOptions options;
    options.userDir = dir / "user";
    pf::TPlatform::SetRunOptions(options);

    // Valid and tiny on disk, but wider than any texture may be.
    std::vector<uint8_t> row(static_cast<size_t>(TTexture::kMaxSize + 1) * 4, 255);
    ASSERT_TRUE(TTexture::WritePng(dir / "wide.png", row.data(), TTexture::kMaxSize + 1, 1));
    EXPECT_FALSE(TTexture::Get(dir / "wide.png"));
    // A JPEG whose frame header (after an application segment) claims 40000 x 30000.
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0, 0x00, 0x0B,
                                  0x08, 0x75, 0x30, 0x9C, 0x40, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    TempDir::Write(dir / "huge.jpg", std::string(reinterpret_cast<const char*>(jpeg), sizeof jpeg));
    EXPECT_FALSE(TTexture::Get(dir / "huge.jpg"));
    TempDir::Write(dir / "image.png", "GIF89a not a png");
    EXPECT_FALSE(TTexture::Get(dir / "image.png"));

    const std::string log = TempDir::Read(dir / "user/debug.log");
    EXPECT_NE(std::string::npos, log.find("wide.png\" is 16385 x 1 pixels, over the budget")) << log;
    EXPECT_NE(std::string::npos, log.find("huge.jpg\" is 40000 x 30000 pixels, over the budget")) << log;
    EXPECT_NE(std::string::npos, log.find("image.png\" is not a PNG or JPEG image")) << log;

    // At the limit is fine.
    ASSERT_TRUE(TTexture::WritePng(dir / "edge.png", row.data(), TTexture::kMaxSize, 1));
    auto edge = TTexture::Get(dir / "edge.png");
    ASSERT_TRUE(edge);
    EXPECT_EQ(TTexture::kMaxSize, edge->GetWidth());
    pf::TPlatform::SetRunOptions(pf::TRunOptions());
}

namespace {
void putBigEndian(std::string& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * (count - 1 - i)));
}
}  // namespace

// Tiny files whose headers claim big images, and real files cut short: refused from the header or at
// the first missing byte, never decoded into the size they claim.
TEST(TextureTest, LyingOrCutShortImagesAreRefusedWithoutDecodingTheClaimedSize) {
    TempDir dir;
    pf::TRunOptions options;
    options.userDir = dir / "user";
    pf::TPlatform::SetRunOptions(options);
    const uint8_t white[] = {255, 255, 255, 255};
    ASSERT_TRUE(TTexture::WritePng(dir / "one.png", white, 1, 1));
    std::string png = TempDir::Read(dir / "one.png");
    putBigEndian(png, 16, 16384, 4);  // IHDR width and height; the reader checks no CRC before them
    putBigEndian(png, 20, 16384, 4);
    TempDir::Write(dir / "claims_16384.png", png);
    putBigEndian(png, 16, 4000, 4);
    putBigEndian(png, 20, 4000, 4);
    TempDir::Write(dir / "claims_4000.png", png);

    const std::string real = TempDir::Read(HALVERN_SOURCE_DIR "/tests/data/textures/onlyjpg.jpg");
    std::string jpeg = real;
    putBigEndian(jpeg, 163, 16384, 2);  // frame header: height, width
    putBigEndian(jpeg, 165, 16384, 2);
    TempDir::Write(dir / "claims_16384.jpg", jpeg);
    putBigEndian(jpeg, 163, 4000, 2);
    putBigEndian(jpeg, 165, 4000, 2);
    TempDir::Write(dir / "claims_4000.jpg", jpeg);
    TempDir::Write(dir / "cut.jpg", real.substr(0, 282));

    for (const char* name :
         {"claims_16384.png", "claims_4000.png", "claims_16384.jpg", "claims_4000.jpg", "cut.jpg"})
        EXPECT_FALSE(TTexture::Get(dir / name)) << name;
    const std::string log = TempDir::Read(dir / "user/debug.log");
    EXPECT_NE(std::string::npos, log.find("claims_16384.png\" is 16384 x 16384 pixels, over the budget"))
        << log;
    EXPECT_NE(std::string::npos, log.find("claims_16384.jpg\" is 16384 x 16384 pixels, over the budget"))
        << log;
    EXPECT_NE(std::string::npos, log.find("claims_4000.png\" is " + std::to_string(png.size()) +
                                          " bytes, too short for 4000 x 4000 pixels"))
        << log;
    EXPECT_NE(std::string::npos, log.find("cannot decode \"" + dir / "claims_4000.jpg")) << log;
    EXPECT_NE(std::string::npos, log.find("cannot decode \"" + dir / "cut.jpg")) << log;

    // The budget counts pixels and can be set; the whole file still loads within it.
    TTexture::SetPixelBudget(24);
    EXPECT_TRUE(TTexture::Get(HALVERN_SOURCE_DIR "/tests/data/textures/onlyjpg.jpg")) << "6 x 4";
    TTexture::SetPixelBudget(23);
    EXPECT_FALSE(TTexture::Get(HALVERN_SOURCE_DIR "/tests/data/textures/onlyjpg.jpg"));
    TTexture::SetPixelBudget(0);
    EXPECT_EQ(TTexture::kDefaultPixelBudget, TTexture::PixelBudget());
    pf::TPlatform::SetRunOptions(pf::TRunOptions());
}

namespace {
uint64_t pixelHash(const std::vector<uint8_t>& pixels) {
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t byte : pixels) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}
}  // namespace

// Every PNG kind the game ships decodes to the RGBA the game has always shown (hashes of the earlier
// decoder's output).
TEST(TextureTest, EveryPngKindDecodesToTheSamePixels) {
    const struct {
        const char* file;
        int width, height;
        uint64_t hash;
    } kinds[] = {
        {"assets/interface/main/main_mask.png", 1024, 170, 0x14d343b347061e03ull},  // 1-bit palette
        {"assets/interface/popup/popup_1.png", 64, 20, 0x27e223530c2e1e83ull},      // 4-bit palette
        {"tests/data/pixmote/images/palette.png", 24, 24, 0x54785507d42fe365ull},   // 8-bit palette
        {"tests/data/pixmote/images/grey16_interlaced.png", 24, 24, 0x8c9cfc38666a25b1ull},
        {"assets/diary/flare_alpha.png", 128, 120, 0x538cbb30dcdb7ecfull},  // grey + alpha
        {"assets/interface/main/black.png", 2, 2, 0x4f5f633deef435a3ull},   // RGB
        {"tests/data/pixmote/images/rgba.png", 24, 24, 0x05505e71d0a75b9bull},
    };
    for (const auto& kind : kinds) {
        auto texture = TTexture::Get(std::string(HALVERN_SOURCE_DIR "/") + kind.file);
        ASSERT_TRUE(texture) << kind.file;
        EXPECT_EQ(texture->GetWidth(), kind.width) << kind.file;
        EXPECT_EQ(texture->GetHeight(), kind.height) << kind.file;
        EXPECT_EQ(pixelHash(texture->Pixels()), kind.hash) << kind.file;
    }
}

// Pictures asked for ahead come back as the same pixels, once each; a broken one gives the same
// message and empty handle as a picture decoded on the spot; shut-down cancels or joins decodes in flight.
TEST(TextureTest, PrefetchedPicturesAreTakenOnceAndFailLikeOthers) {
    TempDir dir;
    pf::TRunOptions options;
    options.userDir = dir / "user";
    pf::TPlatform::SetRunOptions(options);
    std::vector<uint8_t> noise(256 * 256 * 4);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7919 >> 3);
    ASSERT_TRUE(TTexture::WritePng(dir / "a.png", noise.data(), 256, 256));
    std::string broken = TempDir::Read(dir / "a.png");
    for (size_t i = 60; i < broken.size() - 20; i += 13) broken[i] = static_cast<char>(broken[i] ^ 0x5A);
    TempDir::Write(dir / "broken.png", broken);
    const std::string jpeg = HALVERN_SOURCE_DIR "/tests/data/textures/onlyjpg.jpg";

    for (const char* file : {"a.png", "broken.png", "a.png", "missing.png"}) TTexture::Prefetch(dir / file);
    TTexture::Prefetch(jpeg);
    EXPECT_EQ(TTexture::PrefetchedCount(), 3u) << "each picture once, nothing for a missing file";
    auto a = TTexture::Get(dir / "a.png");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Pixels(), noise);
    EXPECT_FALSE(TTexture::Get(dir / "broken.png"));
    EXPECT_FALSE(TTexture::Get(dir / "broken.png")) << "decoded again on the spot, failing the same way";
    auto fromJpeg = TTexture::Get(jpeg);
    ASSERT_TRUE(fromJpeg);
    EXPECT_EQ(fromJpeg->Pixels(), TTexture::Get(jpeg)->Pixels());
    EXPECT_EQ(TTexture::PrefetchedCount(), 0u);
    const std::string log = TempDir::Read(dir / "user/debug.log");
    const std::string failed = "TTexture: cannot decode \"" + dir / "broken.png" + "\": ";
    const size_t first = log.find(failed);
    ASSERT_NE(std::string::npos, first) << log;
    const size_t second = log.find(failed, first + 1);
    ASSERT_NE(std::string::npos, second) << log;
    EXPECT_EQ(log.substr(first, log.find('\n', first) - first),
              log.substr(second, log.find('\n', second) - second));

    // Shut-down in the middle of many decodes: none is left running or held, and loading still works.
    for (int i = 0; i < 12; ++i) {
        const std::string copy = dir / ("copy" + std::to_string(i) + ".png");
        TempDir::Write(copy, TempDir::Read(dir / "a.png"));
        TTexture::Prefetch(copy);
    }
    TTexture::DropPrefetched();
    EXPECT_EQ(TTexture::PrefetchedCount(), 0u);
    auto again = TTexture::Get(dir / "copy11.png");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Pixels(), noise);
    pf::TPlatform::SetRunOptions(pf::TRunOptions());
}
