#include "engine/media/nE_Subtitles.h"

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Mediator.h"
#include "engine/core/nE_Messages.h"
#include "engine/media/nE_AssetFiles.h"
#include "pflib/TFile.h"

namespace {

// The digits of a field at `at`, of exactly `count` digits.
bool digits(const std::string& text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

bool nE_Subtitles::parseTime(const std::string& side, double& seconds) {
    int hours, minutes, secs, millis;
    if (!digits(side, 0, 2, hours) || !digits(side, 3, 2, minutes) || !digits(side, 6, 2, secs) ||
        !digits(side, 9, 3, millis))
        return false;
    seconds = hours * 3600.0 + minutes * 60.0 + secs + millis / 1000.0;
    return true;
}

bool nE_Subtitles::load(const std::string& name) {
    entries.clear();
    current = 0;
    shown = false;
    const std::string file = nE_AssetFiles::subtitles(name);
    pf::TFile in;
    if (!in.Open(file, pf::TFile::kRead)) return false;
    const size_t size = in.Size();
    if (size > kMaxFileSize) {
        nE_Debug::writef("nE_Video::\"%s\": it is too large for subtitles (%zu bytes)\n", file.c_str(), size);
        return true;
    }
    std::string text(size, '\0');
    text.resize(size ? in.Read(&text[0], size) : 0);
    parse(text, file);
    return true;
}

void nE_Subtitles::parse(const std::string& text, const std::string& label) {
    entries.clear();
    current = 0;
    shown = false;
    brokenLine = 0;
    size_t at = 0;
    int lineNumber = 0;
    // The next line without its end (LF, CR LF or a lone CR); false at the end of the text.
    std::string line;
    auto nextLine = [&]() {
        if (at >= text.size()) return false;
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        line.assign(text, at, end - at);
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
        ++lineNumber;
        if (line.size() > kMaxLine) {
            nE_Debug::writef(
                "nE_Video::\"%s\": line %d is longer than %zu characters; the subtitles end there\n",
                label.c_str(), lineNumber, kMaxLine);
            brokenLine = lineNumber;
            return false;
        }
        return true;
    };

    for (;;) {
        if (!nextLine()) return;  // counter
        if (!nextLine()) return;  // timing
        Entry entry;
        const size_t arrow = line.find(" --> ");
        if (arrow == std::string::npos || !parseTime(line.substr(0, arrow), entry.start) ||
            !parseTime(line.substr(arrow + 5), entry.end)) {
            nE_Debug::writef("nE_Video::\"%s\": line %d is not a timing line; the subtitles end there\n",
                             label.c_str(), lineNumber);
            brokenLine = lineNumber;
            return;
        }
        if (!nextLine()) return;  // text
        entry.text = line;
        entry.line = lineNumber;
        entries.push_back(entry);
        // The separator; a last group may end with the file instead.
        if (!nextLine()) return;
    }
}

void nE_Subtitles::post(bool show, const std::string& text) {
    nE_Mediator* mediator = nE_Mediator::current();
    if (!mediator) return;
    Message message;
    message.show = show;
    message.text = text;
    mediator->post<MSG_SUBTITLES>(&message);
}

void nE_Subtitles::update(double t) {
    if (current >= entries.size()) return;
    if (!shown) {
        while (entries[current].end < t && current + 1 < entries.size()) ++current;
        if (t >= entries[current].start) {
            post(true, entries[current].text);
            shown = true;
        }
    }
    if (shown && t >= entries[current].end) {
        post(false, std::string());
        shown = false;
        ++current;
    }
}

void nE_Subtitles::reset() {
    if (shown) post(false, std::string());
    shown = false;
    current = 0;
}
