// A video's subtitle track from an ".srt" file, published line by line on the game mediator as
// MSG_SUBTITLES with a Message. The file is read as groups of four lines: a counter (ignored), a timing
// line "HH:MM:SS,mmm --> HH:MM:SS,mmm", one text line (a string-table key) and a separator (ignored).
// A timing line that does not read, or a line over kMaxLine characters, ends the reading with a
// report: the entries before it are kept.
#pragma once

#include <string>
#include <vector>

#include "engine/core/nE_Messages.h"

class nE_Subtitles {
public:
    // The payload of MSG_SUBTITLES.
    struct Message {
        bool show = false;
        std::string text;
    };
    struct Entry {
        double start = 0, end = 0;  // seconds of the video
        std::string text;
        int line = 0;  // of the text in the file, from 1
    };
    static constexpr size_t kMaxLine = 1023;
    // Larger files are not subtitles; they are refused before they are read.
    static constexpr size_t kMaxFileSize = 4 << 20;

    // Reads name + ".srt"; false (and no entries) when there is no such file.
    bool load(const std::string& name);
    // Parses the text of an ".srt" file. `label` names it in reports.
    void parse(const std::string& text, const std::string& label);
    // Shows and hides the entries for the video time t.
    void update(double t);
    // Hides a shown entry and goes back to the first.
    void reset();

    // Reads one side of a timing line ("HH:MM:SS,mmm", fields by position); false when it does not.
    static bool parseTime(const std::string& side, double& seconds);

    std::vector<Entry> entries;
    // The line at which the last parse stopped on a fault (a bad timing line or a long line); 0 when
    // it read to the end.
    int brokenLine = 0;
    size_t current = 0;
    bool shown = false;

private:
    void post(bool show, const std::string& text);
};

template <>
struct nE_MessageType<MSG_SUBTITLES> {
    using Payload = nE_Subtitles::Message;
};
