// Fuzzes the ".srt" subtitle reader and the showing of its entries: whatever the text, entries hold
// one line each, and as the video time goes on the posted lines alternate between shown and hidden.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/nE_Listener.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/media/nE_Subtitles.h"

namespace {

struct Alternation : nE_Listener {
    void onMessage(const nE_Message& posted) override {
        const auto* line = posted.payload<MSG_SUBTITLES>();
        if (line->show == shown) std::abort();
        shown = line->show;
    }
    bool shown = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static nE_Mediator mediator;
    nE_Mediator::setCurrent(&mediator);
    Alternation listener;
    mediator.subscribe(MSG_SUBTITLES, &listener);

    nE_Subtitles track;
    track.parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz.srt");
    for (const nE_Subtitles::Entry& entry : track.entries) {
        if (entry.text.size() > nE_Subtitles::kMaxLine ||
            entry.text.find_first_of("\r\n") != std::string::npos)
            std::abort();
        if (!(entry.start >= 0) || !(entry.end >= 0)) std::abort();
    }
    for (double t = 0; t < 100 * 3600.0; t = t * 1.7 + 0.25) track.update(t);
    track.reset();
    track.update(1e9);
    track.reset();
    if (listener.shown) std::abort();

    mediator.unsubscribe(MSG_SUBTITLES, &listener);
    nE_Mediator::setCurrent(nullptr);
    return 0;
}
