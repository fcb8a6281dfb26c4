// Fonts: UTF-8 decoding, word splitting, greedy wrapping, and rasterising with the bundled DejaVu Sans.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"

namespace {

using CodePoints = std::vector<uint32_t>;

const std::string kFontName = std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/DejaVuSans";

CodePoints cps(const std::string& utf8) {
    return nE_Font::decodeUtf8(utf8);
}

// Every code point 10 pixels wide: layouts that are easy to follow by hand.
int tenEach(uint32_t) {
    return 10;
}

std::string ascii(const CodePoints& points) {
    std::string s;
    for (uint32_t cp : points) s += cp < 128 ? static_cast<char>(cp) : '#';
    return s;
}

}  // namespace

TEST(FontDecode, WellFormedSequencesOfEveryLength) {
    EXPECT_EQ((CodePoints{'A', 0xE9, 0x20AC, 0x1F600}), cps("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
}

TEST(FontDecode, SequencesCutOffByTheEndAreDroppedWithoutReadingPastIt) {
    // std::string keeps a terminating zero that a careless decoder would take as a continuation byte.
    EXPECT_EQ((CodePoints{'A'}), cps("A\xC3"));
    EXPECT_EQ((CodePoints{'A'}), cps("A\xE2\x82"));
    EXPECT_EQ((CodePoints{}), cps("\xF0\x9F\x98"));
    // The same bytes cut from a longer buffer: nothing beyond the view's end is touched.
    const std::string longer = "AB\xE2\x82\xAC";
    EXPECT_EQ((CodePoints{'A', 'B'}), cps(longer.substr(0, 4)));
}

TEST(FontDecode, StrayContinuationBytesStandForThemselvesAndZeroEndsTheText) {
    EXPECT_EQ((CodePoints{0x80, 'A', 0xBF}), cps("\x80"
                                                 "A\xBF"));
    EXPECT_EQ((CodePoints{'a', 'b'}), cps(std::string("ab\0cd", 5)));
    // Continuation bytes are not checked: the lead byte takes the next byte whatever it is.
    EXPECT_EQ((CodePoints{(3u << 6) | 1u}), cps("\xC3\x41"));
}

TEST(FontWords, EachWordKeepsItsBreakAndHyphensDoNotBreak) {
    const auto words = nE_Font::splitWords(cps("Hi, you. well-known!x"));
    std::vector<std::string> got;
    for (const auto& w : words) got.push_back(ascii(w));
    EXPECT_EQ((std::vector<std::string>{"Hi,", " ", "you.", " ", "well-known!", "x"}), got);
}

TEST(FontWords, EveryIdeographIsAWordOfItsOwn) {
    // 一 (19968), 中 (20013), こ (12371), 。(12290) all lie in 11905..40958.
    const auto words = nE_Font::splitWords(cps("\xE4\xB8\x80\xE4\xB8\xAD\xE3\x81\x93\xE3\x80\x82"));
    ASSERT_EQ(4u, words.size());
    for (const auto& w : words) EXPECT_EQ(1u, w.size());
    EXPECT_TRUE(nE_Font::isBreak(11905));
    EXPECT_TRUE(nE_Font::isBreak(40958));
    EXPECT_FALSE(nE_Font::isBreak(11904));
    EXPECT_FALSE(nE_Font::isBreak(40959));
    EXPECT_FALSE(nE_Font::isBreak('-'));
}

TEST(FontWrap, WithoutWidthEverythingStaysOnOneLine) {
    const nE_Font::Layout layout = nE_Font::wrap(cps("ab cd. ef"), 0, tenEach);
    EXPECT_EQ("ab cd. ef", ascii(layout.codePoints));
    EXPECT_EQ(1, layout.lines);
    EXPECT_EQ(90, layout.widest);
}

TEST(FontWrap, AFirstWordWiderThanTheWidthLeavesAnEmptyFirstLine) {
    const nE_Font::Layout layout = nE_Font::wrap(cps("abcdef gh"), 30, tenEach);
    EXPECT_EQ("\nabcdef \ngh", ascii(layout.codePoints));
    EXPECT_EQ(3, layout.lines);
    EXPECT_EQ(70, layout.widest);
}

TEST(FontWrap, BreaksAfterAFullStopButNeverAtAHyphen) {
    EXPECT_EQ("ab.\ncd", ascii(nE_Font::wrap(cps("ab.cd"), 40, tenEach).codePoints));
    const nE_Font::Layout hyphen = nE_Font::wrap(cps("ab-cd"), 40, tenEach);
    EXPECT_EQ("\nab-cd", ascii(hyphen.codePoints));
    EXPECT_EQ(2, hyphen.lines);
}

TEST(FontWrap, IdeographsWrapOneByOne) {
    const nE_Font::Layout layout =
        nE_Font::wrap(cps("\xE4\xB8\x80\xE4\xB8\x80\xE4\xB8\x80\xE4\xB8\x80"), 25, tenEach);
    EXPECT_EQ((CodePoints{19968, 19968, 10, 19968, 19968}), layout.codePoints);
    EXPECT_EQ(2, layout.lines);
    EXPECT_EQ(20, layout.widest);
}

TEST(FontWrap, AWordThatExactlyFillsWhatIsLeftMovesOn) {
    // The test is "narrower than what is left", so an exact fit wraps.
    EXPECT_EQ("ab \ncd", ascii(nE_Font::wrap(cps("ab cd"), 50, tenEach).codePoints));
    EXPECT_EQ("ab cd", ascii(nE_Font::wrap(cps("ab cd"), 51, tenEach).codePoints));
}

TEST(FontWrap, LineFeedsCountLinesAndRestartTheWidth) {
    const nE_Font::Layout layout = nE_Font::wrap(cps("abc\nde\n"), 35, tenEach);
    EXPECT_EQ("abc\nde\n", ascii(layout.codePoints));
    EXPECT_EQ(3, layout.lines);
    EXPECT_EQ(30, layout.widest);
}

TEST(FontBlit, CoverageCombinesByBitwiseOrAndIsClipped) {
    nE_Font::Canvas canvas;
    canvas.width = 4;
    canvas.height = 3;
    canvas.pixels.assign(12, 0x0C);
    const uint8_t glyph[] = {0x0A, 0x0A, 0x0A, 0x0A};  // 2 x 2
    nE_Font::blitOr(canvas, glyph, 2, 2, 2, 1, 1);
    // OR gives 0x0E where maximum would give 0x0C and a sum 0x16.
    EXPECT_EQ(0x0E, canvas.at(1, 1));
    EXPECT_EQ(0x0E, canvas.at(2, 2));
    EXPECT_EQ(0x0C, canvas.at(0, 0));
    EXPECT_EQ(0x0C, canvas.at(3, 1));

    // Half outside on every side: only the inside part lands, nothing is written out of bounds.
    canvas.pixels.assign(12, 0);
    const uint8_t full[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // 3 x 3
    nE_Font::blitOr(canvas, full, 3, 3, 3, -1, -1);
    EXPECT_EQ(5, canvas.at(0, 0));
    EXPECT_EQ(9, canvas.at(1, 1));
    nE_Font::blitOr(canvas, full, 3, 3, 3, 3, 2);
    EXPECT_EQ(1, canvas.at(3, 2));
    EXPECT_EQ(0, canvas.at(2, 2));

    // A bottom-up bitmap (negative pitch) lands the right way up.
    canvas.pixels.assign(12, 0);
    const uint8_t rows[] = {20, 10};  // memory: bottom row first
    nE_Font::blitOr(canvas, rows, 1, 2, -1, 0, 0);
    EXPECT_EQ(10, canvas.at(0, 0));
    EXPECT_EQ(20, canvas.at(0, 1));
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(nE_Font::initLibrary());
        ASSERT_TRUE(font.load(kFontName));
    }
    // Leftmost and rightmost inked columns within rows [y0, y1); -1 when there is no ink.
    struct Ink {
        int first, last;
    };
    static Ink inkColumns(const nE_Font::Canvas& c, int y0, int y1) {
        int first = -1, last = -1;
        for (int x = 0; x < c.width; ++x)
            for (int y = std::max(0, y0); y < std::min(c.height, y1); ++y)
                if (c.at(x, y)) {
                    if (first < 0) first = x;
                    last = x;
                }
        return Ink{first, last};
    }
    nE_Font font;
};

TEST_F(FontTest, TwoWordsAtSizeTwentyMakeOneLineThirtyHighWithThePenAtFive) {
    nE_Font::Canvas c;
    ASSERT_TRUE(font.renderCanvas("Hello world", 20, 0, 0, c));
    EXPECT_EQ(1, c.lines);
    EXPECT_EQ(30, c.height);
    ASSERT_FALSE(c.pens.empty());
    EXPECT_EQ(5, c.pens.front().x);
    EXPECT_EQ(20, c.pens.front().baseline);
    for (const nE_Font::Pen& pen : c.pens) EXPECT_EQ(20, pen.baseline);
    int widest = 0;
    for (char ch : std::string("Hello world")) widest += font.advance(static_cast<uint8_t>(ch));
    EXPECT_EQ(nE_GeneratedTexture::roundUpEven(widest + 10), c.width);
    const auto ink = inkColumns(c, 0, c.height);
    EXPECT_GE(ink.first, 5);
    EXPECT_LE(ink.first, 8) << "the H's stem starts just after the pen";
}

TEST_F(FontTest, AnEmptyStringGivesAnEmptyCanvasOfHalfASizeWide) {
    nE_Font::Canvas c;
    ASSERT_TRUE(font.renderCanvas("", 20, 0, 1, c));
    EXPECT_EQ(30, c.height);
    EXPECT_EQ(10, c.width);
    EXPECT_TRUE(std::all_of(c.pixels.begin(), c.pixels.end(), [](uint8_t b) { return b == 0; }));
    ASSERT_TRUE(font.renderCanvas("", 21, 0, 1, c));
    EXPECT_EQ(32, c.height) << "21 + 10 rounded up to even";
    EXPECT_EQ(10, c.width);
}

TEST_F(FontTest, EachLineIsPlacedByTheAlignment) {
    const std::string text = "Wide line\ni";
    nE_Font::Canvas left, centre, right;
    ASSERT_TRUE(font.renderCanvas(text, 20, 0, 0, left));
    ASSERT_TRUE(font.renderCanvas(text, 20, 0, 1, centre));
    ASSERT_TRUE(font.renderCanvas(text, 20, 0, 2, right));
    EXPECT_EQ(2, right.lines);
    EXPECT_EQ(50, right.height);
    int wide = 0;
    for (char ch : std::string("Wide line")) wide += font.advance(static_cast<uint8_t>(ch));
    const int narrow = font.advance('i');
    const int w = right.width;
    // Pens of the first glyph of each line.
    EXPECT_EQ(5, left.pens.front().x);
    EXPECT_EQ(5, left.pens.back().x);
    EXPECT_EQ((w - wide) >> 1, centre.pens.front().x);
    EXPECT_EQ((w - narrow) >> 1, centre.pens.back().x);
    EXPECT_EQ(w - 5 - wide, right.pens.front().x);
    EXPECT_EQ(w - 5 - narrow, right.pens.back().x);
    EXPECT_EQ(40, right.pens.back().baseline);
    // The i's ink moves right with the alignment.
    const auto l = inkColumns(left, 21, 50), c = inkColumns(centre, 21, 50), r = inkColumns(right, 21, 50);
    EXPECT_LT(l.first, c.first);
    EXPECT_LT(c.first, r.first);
    EXPECT_LE(r.last, w - 5);
}

TEST_F(FontTest, WrappingAtAWidthStacksTheLines) {
    nE_Font::Canvas c;
    ASSERT_TRUE(font.renderCanvas("", 20, 0, 0, c));  // advances are measured at the size set last
    const int word = font.advance('w') * 4 + font.advance(' ');
    ASSERT_TRUE(font.renderCanvas("wwww wwww wwww", 20, word + word / 2, 0, c));
    EXPECT_EQ(3, c.lines);
    EXPECT_EQ(70, c.height);
    for (int line = 0; line < 3; ++line) {
        const auto ink = inkColumns(c, line * 20 + 5, line * 20 + 20);
        EXPECT_GE(ink.first, 5) << "line " << line;
        EXPECT_LT(ink.last, c.width) << "line " << line;
    }
}

TEST_F(FontTest, CharactersMissingFromTheFontNeitherDrawNorAdvance) {
    // DejaVu Sans has no CJK ideographs.
    ASSERT_EQ(0, font.advance(0x4E2D));
    nE_Font::Canvas with, without;
    ASSERT_TRUE(
        font.renderCanvas("A\xE4\xB8\xAD"
                          "B",
                          20, 0, 0, with));
    ASSERT_TRUE(font.renderCanvas("AB", 20, 0, 0, without));
    ASSERT_EQ(2u, with.pens.size());
    EXPECT_EQ(5 + font.advance('A'), with.pens[1].x);
    EXPECT_EQ(without.pixels, with.pixels);
}

TEST_F(FontTest, TypographicMarksAFaceLacksShowInTheirTypewriterForms) {
    // The test's bold face carries little beyond ASCII; the regular one has the marks themselves.
    const std::string curly = "It\xE2\x80\x99s \xE2\x80\x9Cso\xE2\x80\x9D \xE2\x80\x93 yes\xE2\x80\xA6";
    const std::string plain = "It's \"so\" - yes...";
    nE_Font bold, regular;
    ASSERT_TRUE(bold.load(std::string(HALVERN_TEST_DATA) + "/fonts/latin_bold"));
    ASSERT_TRUE(regular.load(std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/garapremrpro"));
    nE_Font::Canvas a, b;
    ASSERT_TRUE(bold.renderCanvas(curly, 20, 0, 0, a));
    ASSERT_TRUE(bold.renderCanvas(plain, 20, 0, 0, b));
    EXPECT_EQ(b.pixels, a.pixels);
    ASSERT_TRUE(regular.renderCanvas(curly, 20, 0, 0, a));
    ASSERT_TRUE(regular.renderCanvas(plain, 20, 0, 0, b));
    ASSERT_EQ(a.pens.size(), 16u);
    EXPECT_EQ(a.pens[2].codePoint, 0x2019u) << "the face's own apostrophe";
}

TEST_F(FontTest, LettersAFaceLacksComeFromTheFallbacksEmboldenedForABoldFace) {
    // The test's bold face has no Cyrillic; the regular one has, and stands in for it.
    const std::string word = "\xD0\xAF\xD0\xB7\xD1\x8B\xD0\xBA";  // "Язык"
    const std::string folder = std::string(HALVERN_SOURCE_DIR) + "/assets/fonts/";
    nE_ResourceCache::create();
    const std::string latinBold = std::string(HALVERN_TEST_DATA) + "/fonts/latin_bold";
    std::shared_ptr<nE_Font> bold = nE_ResourceCache::instance()->getFont(latinBold);
    std::shared_ptr<nE_Font> regular = nE_ResourceCache::instance()->getFont(folder + "garapremrpro");
    auto ink = [](const nE_Font::Canvas& c) {
        long sum = 0;
        for (uint8_t p : c.pixels) sum += p;
        return sum;
    };
    nE_Font::Canvas without, with, own;
    nE_Font::setFallbacks({});
    ASSERT_TRUE(bold->renderCanvas(word, 30, 0, 0, without));
    nE_Font::setFallbacks({latinBold, "no/such/font", folder + "garapremrpro"});
    ASSERT_TRUE(bold->renderCanvas(word, 30, 0, 0, with));
    ASSERT_TRUE(regular->renderCanvas(word, 30, 0, 0, own));
    nE_Font::setFallbacks({});
    nE_ResourceCache::destroy();
    EXPECT_EQ(ink(without), 0);
    EXPECT_EQ(with.pens.size(), 4u);
    EXPECT_GT(ink(with), ink(own) * 11 / 10) << "drawn heavier than the regular face draws it";
    EXPECT_GE(with.width, own.width);
}

TEST_F(FontTest, InvalidUtf8RendersWhatItCan) {
    nE_Font::Canvas broken, clean;
    ASSERT_TRUE(font.renderCanvas("AB\xE2\x82", 20, 0, 1, broken));
    ASSERT_TRUE(font.renderCanvas("AB", 20, 0, 1, clean));
    EXPECT_EQ(clean.pixels, broken.pixels);
    ASSERT_TRUE(font.renderCanvas("\x80\x80\xFF\xFE", 20, 100, 2, broken));
    EXPECT_EQ(1, broken.lines);
}

TEST_F(FontTest, TheTextureIsWhiteWithTheCoverageAsAlpha) {
    nE_Font::Canvas c;
    ASSERT_TRUE(font.renderCanvas("Ink", 24, 0, 1, c));
    auto texture = std::dynamic_pointer_cast<nE_GeneratedTexture_Pl5>(font.renderText("Ink", 24, 0, 1));
    ASSERT_TRUE(texture && texture->platformTexture);
    EXPECT_EQ(static_cast<float>(c.width), texture->width);
    EXPECT_EQ(static_cast<float>(c.height), texture->height);
    uint8_t* px = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->platformTexture->Lock(&px, &pitch, true));
    int inked = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const uint8_t* p = px + (static_cast<size_t>(y) * pitch + x) * 4;
            ASSERT_EQ(c.at(x, y), p[3]);
            ASSERT_EQ(255, p[0]);
            inked += p[3] != 0;
        }
    texture->platformTexture->Unlock();
    EXPECT_GT(inked, 50);
}

TEST_F(FontTest, SizesThatMakeNoSenseGiveNoTexture) {
    EXPECT_FALSE(font.renderText("x", 0, 0, 0));
    EXPECT_FALSE(font.renderText("x", -5, 0, 0));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(font.renderText("a very long line", 4000, 0, 0));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("too large"));
    EXPECT_TRUE(font.renderText("x", 20, 0, 0)) << "the font still works afterwards";
}

TEST(FontLoad, AMissingFileIsReportedAndTheFontDrawsNothing) {
    nE_Font font;
    EXPECT_EQ("ne_dummyfont", font.name());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(font.load("fonts/missing"));
    EXPECT_EQ(
        0u, testing::internal::GetCapturedStdout().find("nE_Font::Could not find \"fonts/missing\" file!\n"));
    EXPECT_EQ("fonts/missing", font.name());
    EXPECT_FALSE(font.hasFace());
    EXPECT_FALSE(font.renderText("text", 20, 0, 0));
}

TEST(FontLoad, TheCacheSharesFontsAndHandsOutFacelessOnesForMissingFiles) {
    nE_ResourceCache cache;
    std::shared_ptr<nE_Font> a = cache.getFont(kFontName);
    std::shared_ptr<nE_Font> b = cache.getFont(kFontName);
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(a->hasFace());
    testing::internal::CaptureStdout();
    std::shared_ptr<nE_Font> missing = cache.getFont("no/such/font");
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->hasFace());
}

TEST(FontLoad, ReleasingTheLibraryClosesFacesStillOpen) {
    ASSERT_TRUE(nE_Font::initLibrary());
    nE_Font font;
    ASSERT_TRUE(font.load(kFontName));
    nE_Font::releaseLibrary();
    EXPECT_FALSE(nE_Font::libraryReady());
    EXPECT_FALSE(font.hasFace());
    EXPECT_FALSE(font.renderText("x", 20, 0, 0));
    // Loading again brings the library back.
    EXPECT_TRUE(font.load(kFontName));
    EXPECT_TRUE(nE_Font::libraryReady());
}
