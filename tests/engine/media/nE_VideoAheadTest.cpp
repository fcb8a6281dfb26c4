#include <gtest/gtest.h>

#include <vector>

#include "engine/media/nE_VideoAhead.h"
#include "tests/engine/media/VideoTestSupport.h"

using videotest::data;

// The same steps on the decoder alone and on one decoding ahead give the same pictures, byte for
// byte: frames stepped over, a rewind in flight, a seek that drops a frame in flight, and the end.
TEST(VideoAhead, FramesDecodedAheadAreTheDecodersOwn) {
    for (const char* name : {"alpha", "oggalpha", "fps25"}) {
        nE_VideoDecoder plain;
        auto opened = std::make_unique<nE_VideoDecoder>();
        ASSERT_TRUE(plain.open(data(name)));
        ASSERT_TRUE(opened->open(data(name)));
        nE_VideoAhead ahead(std::move(opened));
        const int w = plain.width(), h = plain.height(), pitch = w + 3;
        ASSERT_EQ(w, ahead.width());
        std::vector<uint8_t> want(static_cast<size_t>(pitch) * h * 4), got(want.size());
        auto sameFrame = [&](int step) {
            std::fill(want.begin(), want.end(), 1);
            std::fill(got.begin(), got.end(), 1);
            ASSERT_TRUE(plain.convert(want.data(), pitch));
            ASSERT_TRUE(ahead.convert(got.data(), pitch));
            EXPECT_EQ(want, got) << name << " step " << step;
        };
        ahead.decodeAhead(true);
        for (int step = 0;; ++step) {
            // Every third step falls behind by one frame, as a slow machine would.
            if (step % 3 == 2) {
                const bool more = plain.advance(false);
                ASSERT_EQ(more, ahead.advance(false)) << name << " step " << step;
                if (!more) break;
            }
            const bool more = plain.advance(true);
            ASSERT_EQ(more, ahead.advance(true)) << name << " step " << step;
            if (!more) break;
            sameFrame(step);
            if (step == 4) {
                ahead.decodeAhead();
                ASSERT_TRUE(plain.seek(2));
                ASSERT_TRUE(ahead.seek(2)) << "a seek drops the frame in flight";
            }
            ahead.decodeAhead();
        }
        EXPECT_FALSE(ahead.advance(true)) << "the end stays the end";
    }
}
