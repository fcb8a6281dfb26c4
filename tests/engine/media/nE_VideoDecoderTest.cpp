#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/media/nE_ByteReader.h"
#include "engine/media/nE_VideoDecoder.h"
#include "tests/engine/media/VideoTestSupport.h"

using videotest::data;
using videotest::kColours;
using videotest::readFile;

namespace {

std::unique_ptr<nE_ByteReader> memory(const std::string& bytes) {
    auto reader = std::make_unique<nE_ByteReader>();
    reader->openMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return reader;
}

// Decodes every frame and gives the centre pixel of each.
std::vector<std::array<int, 4>> centres(nE_VideoDecoder& decoder) {
    std::vector<std::array<int, 4>> out;
    std::vector<uint8_t> rgba(static_cast<size_t>(decoder.width() * decoder.height() * 4));
    while (decoder.advance(true)) {
        if (!decoder.convert(rgba.data(), decoder.width())) break;
        const uint8_t* p = &rgba[((decoder.height() / 2) * decoder.width() + decoder.width() / 2) * 4];
        out.push_back({p[0], p[1], p[2], p[3]});
    }
    return out;
}

void expectColours(const std::vector<std::array<int, 4>>& got, const std::string& what) {
    ASSERT_EQ(kColours.size(), got.size()) << what;
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(videotest::near(got[i], kColours[i])) << what << " " << i;
}

}  // namespace

TEST(VideoDecoder, DecodesEveryChromaLayoutAndOddSides) {
    struct Case {
        const char* name;
        int width, height;
    } cases[] = {{"plain", 32, 24}, {"odd", 33, 17}, {"chroma422", 32, 24}, {"chroma444", 33, 17}};
    for (const Case& c : cases) {
        nE_VideoDecoder decoder;
        testing::internal::CaptureStdout();
        ASSERT_TRUE(decoder.open(data(c.name))) << c.name;
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string name(c.name);
        if (name.compare(0, 6, "chroma") == 0)
            EXPECT_NE(std::string::npos,
                      out.find("its chroma is 4:" + name.substr(7, 1) + ":" + name.substr(8, 1) +
                               ", not 4:2:0; it is shown all the same"))
                << out;
        else
            EXPECT_EQ("", out);
        EXPECT_EQ(c.width, decoder.width());
        EXPECT_EQ(c.height, decoder.height());
        EXPECT_DOUBLE_EQ(10.0, decoder.frameRate());
        EXPECT_EQ(nE_VideoDecoder::kNoAlpha, decoder.alphaKind());
        expectColours(centres(decoder), c.name);
    }
}

TEST(VideoDecoder, RepeatedPicturesAreFramesToo) {
    nE_VideoDecoder decoder;
    ASSERT_TRUE(decoder.open(data("repeats")));
    const auto got = centres(decoder);
    ASSERT_EQ(6u, got.size());
    EXPECT_TRUE(videotest::near(got[2], kColours[0]));
    EXPECT_TRUE(videotest::near(got[5], kColours[2]));
}

TEST(VideoDecoder, SeekDecodesFromTheStart) {
    nE_VideoDecoder decoder;
    ASSERT_TRUE(decoder.open(data("fps25")));
    EXPECT_DOUBLE_EQ(25.0, decoder.frameRate());
    ASSERT_TRUE(decoder.seek(13));
    std::vector<uint8_t> rgba(32 * 24 * 4);
    ASSERT_TRUE(decoder.advance(true));
    ASSERT_TRUE(decoder.convert(rgba.data(), 32));
    EXPECT_TRUE(videotest::near({rgba[0], rgba[1], rgba[2], rgba[3]}, kColours[13 % 6]));
    EXPECT_FALSE(decoder.seek(21)) << "only 20 frames";
    ASSERT_TRUE(decoder.seek(0));
    EXPECT_EQ(20u, centres(decoder).size());
}

TEST(VideoDecoder, AlphaCompanions) {
    nE_VideoDecoder zalpha, oggalpha, both;
    ASSERT_TRUE(zalpha.open(data("alpha")));
    EXPECT_EQ(nE_VideoDecoder::kZAlpha, zalpha.alphaKind());
    ASSERT_TRUE(oggalpha.open(data("oggalpha")));
    EXPECT_EQ(nE_VideoDecoder::kOggAlpha, oggalpha.alphaKind());
    ASSERT_TRUE(both.open(data("both")));
    EXPECT_EQ(nE_VideoDecoder::kZAlpha, both.alphaKind()) << ".zalpha is preferred";

    std::vector<uint8_t> rgba(32 * 24 * 4);
    auto at = [&](int x, int y) {
        const uint8_t* p = &rgba[(y * 32 + x) * 4];
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(zalpha.advance(true));
        ASSERT_TRUE(zalpha.convert(rgba.data(), 32));
        EXPECT_EQ(255, at(3, 12)[3]);
        EXPECT_EQ(40 * i, at(28, 12)[3]) << "the record of frame " << i;
        if (i > 0) {
            EXPECT_TRUE(videotest::near(at(28, 12), kColours[i]));
        }
    }
    EXPECT_FALSE(zalpha.advance(true));

    ASSERT_TRUE(oggalpha.advance(true));
    ASSERT_TRUE(oggalpha.convert(rgba.data(), 32));
    EXPECT_NEAR(255, at(3, 12)[3], 3);
    EXPECT_EQ((std::array<int, 4>{0, 0, 0, 0}), at(28, 12));

    ASSERT_TRUE(both.advance(true));
    ASSERT_TRUE(both.convert(rgba.data(), 32));
    EXPECT_EQ(255, at(3, 12)[3]);
    EXPECT_EQ(0, at(28, 12)[3]);
}

TEST(VideoDecoder, BadStreamsAreReportedAndEnd) {
    const std::string good = readFile(data("plain.ogg"));
    struct Case {
        std::string bytes, report;
    } cases[] = {
        {"", "it holds no Theora video"},
        {"not an ogg file at all", "it holds no Theora video"},
        {readFile(std::string(HALVERN_TEST_DATA) + "/sounds/beep.ogg"), "it holds no Theora video"},
        {good.substr(0, 100), "it ends within its headers"},
    };
    for (const Case& c : cases) {
        nE_VideoDecoder decoder;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(decoder.open("clip", memory(c.bytes), nullptr, nE_VideoDecoder::kNoAlpha));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(std::string::npos, out.find("nE_Video::\"clip.ogg\": " + c.report)) << out;
        EXPECT_FALSE(decoder.playable());
        EXPECT_FALSE(decoder.advance(true));
        EXPECT_FALSE(decoder.seek(0));
        EXPECT_DOUBLE_EQ(nE_VideoDecoder::kFallbackFrameRate, decoder.frameRate());
    }

    // Cut within the frames: the frames before the cut play, then the video ends.
    const std::string cut = good.substr(0, good.size() - 200);
    nE_VideoDecoder decoder;
    ASSERT_TRUE(decoder.open("clip", memory(cut), nullptr, nE_VideoDecoder::kNoAlpha));
    const size_t frames = centres(decoder).size();
    EXPECT_GT(frames, 0u);
    EXPECT_LT(frames, 6u);

    // Every data byte flipped: damaged frames keep their time and the stream plays to its end.
    std::string damaged = good;
    const size_t dataStart = good.find("OggS", good.find("OggS", good.find("OggS", 1) + 1) + 1);
    ASSERT_NE(std::string::npos, dataStart);
    for (size_t i = dataStart + 40; i < damaged.size(); i += 7) damaged[i] = static_cast<char>(~damaged[i]);
    testing::internal::CaptureStdout();
    nE_VideoDecoder broken;
    if (broken.open("clip", memory(damaged), nullptr, nE_VideoDecoder::kNoAlpha)) {
        std::vector<uint8_t> rgba(32 * 24 * 4);
        for (int i = 0; i < 100 && broken.advance(true); ++i) broken.convert(rgba.data(), 32);
    }
    testing::internal::GetCapturedStdout();
}

TEST(VideoDecoder, BadAlphaCompanions) {
    const std::string colour = readFile(data("plain.ogg"));
    // An alpha video of another size is left out: the video is opaque.
    const std::string odd = readFile(data("odd.ogg"));
    nE_VideoDecoder decoder;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(decoder.open("clip", memory(colour), memory(odd), nE_VideoDecoder::kOggAlpha));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_Video::\"clip.oggalpha\": it is 33 x 17, not 32 x 24; the video is shown opaque"))
        << out;
    EXPECT_EQ(nE_VideoDecoder::kNoAlpha, decoder.alphaKind());

    // A ".zalpha" with fewer records than frames ends the video at its last record.
    const std::string zalpha = readFile(data("alpha.zalpha"));
    const std::string short2 = zalpha.substr(0, videotest::recordEnd(zalpha, 1) + 4 + 3);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(decoder.open("clip", memory(colour), memory(short2), nE_VideoDecoder::kZAlpha));
    EXPECT_EQ(1u, centres(decoder).size());
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos,
              out.find("nE_Video::\"clip.zalpha\": its record 2 runs past the end of the file"))
        << out;
}
