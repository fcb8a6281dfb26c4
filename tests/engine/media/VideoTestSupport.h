// Shared helpers of the video tests: the test videos (tools/make_test_videos.py), their frame colours,
// pixel reads and a listener that records subtitle messages.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/media/nE_Subtitles.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"

namespace videotest {

// Every frame of the small clips is one of these colours, in this order.
const std::array<std::array<int, 3>, 6> kColours = {
    {{200, 40, 40}, {40, 180, 60}, {50, 70, 210}, {230, 230, 230}, {120, 120, 120}, {220, 200, 40}}};
// Lossy coding moves a flat colour by a few levels.
constexpr int kTolerance = 6;

inline std::string data(const std::string& name) {
    return std::string(HALVERN_TEST_DATA) + "/videos/" + name;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Where the first n records of a ".zalpha" file end.
inline size_t recordEnd(const std::string& zalpha, int n) {
    size_t at = 0;
    for (int i = 0; i < n && at + 4 <= zalpha.size(); ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(zalpha.data() + at);
        at += 4 + (p[0] | p[1] << 8 | p[2] << 16 | static_cast<size_t>(p[3]) << 24);
    }
    return at;
}

// The RGBA pixel (x, y) of a generated texture.
inline std::array<int, 4> pixel(const std::shared_ptr<nE_GeneratedTexture>& texture, int x, int y) {
    auto* platform = dynamic_cast<nE_GeneratedTexture_Pl5*>(texture.get());
    if (!platform || !platform->platformTexture) return {-1, -1, -1, -1};
    uint8_t* p = nullptr;
    int pitch = 0;
    if (!platform->platformTexture->Lock(&p, &pitch, true)) return {-1, -1, -1, -1};
    const uint8_t* q = p + (static_cast<size_t>(y) * pitch + x) * 4;
    std::array<int, 4> out{q[0], q[1], q[2], q[3]};
    platform->platformTexture->Unlock();
    return out;
}

inline ::testing::AssertionResult near(const std::array<int, 4>& got, const std::array<int, 3>& want) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > kTolerance)
            return ::testing::AssertionFailure() << "got " << got[0] << "," << got[1] << "," << got[2]
                                                 << " want " << want[0] << "," << want[1] << "," << want[2];
    return ::testing::AssertionSuccess();
}

// Records MSG_SUBTITLES posts as "+text" (shown) and "-" (hidden) on a mediator of its own, which it
// makes current while alive.
class SubtitleLog : public nE_Listener {
public:
    SubtitleLog() {
        previous = nE_Mediator::current();
        nE_Mediator::setCurrent(&mediator);
        mediator.subscribe(MSG_SUBTITLES, this);
    }
    ~SubtitleLog() override {
        mediator.unsubscribe(MSG_SUBTITLES, this);
        nE_Mediator::setCurrent(previous);
    }
    void onMessage(const nE_Message& message) override {
        const auto* m = message.payload<MSG_SUBTITLES>();
        posts.push_back(m->show ? "+" + m->text : "-");
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(posts);
        return out;
    }
    nE_Mediator mediator;
    nE_Mediator* previous = nullptr;
    std::vector<std::string> posts;
};

}  // namespace videotest
