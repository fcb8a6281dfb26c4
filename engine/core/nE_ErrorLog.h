// Errors an author must see: a script that failed, a trigger or module that is not there, a file
// that could not be read. Each goes out as one line ("file:line: message") through the debug log
// and on standard error, and the latest are kept so that developer mode can show them on screen.
#pragma once

#include <string>
#include <vector>

class nE_ErrorLog {
public:
    struct Entry {
        std::string file;  // the file the fault is in, as content names it; may be empty
        int line = 0;      // 1-based line in that file; 0 when there is none
        std::string message;
        std::string traceback;  // Lua's stack, lines joined by '\n'; may be empty
    };

    static constexpr size_t kKept = 16;

    // Writes the entry's line (and its traceback) to the debug log and to standard error, and keeps it.
    static void report(const Entry& entry);
    // "file:line: message", "file: message" or the message alone.
    static std::string line(const Entry& entry);

    // The latest entries, oldest first; at most kKept.
    static const std::vector<Entry>& recent();
    // Grows by one with every report, so a reader can tell whether something new came.
    static unsigned serial();
    // Forgets the kept entries (after a reload that went well); the serial still grows.
    static void clear();

private:
    static void keep(const Entry& entry);
};
