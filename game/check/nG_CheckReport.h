// The findings of a content check: one line each, with the file and (where there is one) the line.
// Warnings are shown like faults but do not fail the check.
#pragma once

#include <set>
#include <string>
#include <tuple>
#include <vector>

class nG_CheckReport {
public:
    struct Finding {
        std::string file;
        int line = 0;  // from 1; 0 when the finding is about the file as a whole
        std::string message;
        bool warning = false;
    };

    // A finding already made (same file, line and message) is not added again.
    void add(const std::string& file, int line, const std::string& message, bool warning = false);

    // In file order, then by line, each as "file:line: message" ("file: message" without a line),
    // a warning's message after "warning: ".
    std::vector<std::string> lines() const;
    // The faults, warnings left out.
    size_t count() const { return findings_.size() - warnings_; }
    size_t warnings() const { return warnings_; }
    const std::vector<Finding>& findings() const { return findings_; }

private:
    std::vector<Finding> findings_;
    size_t warnings_ = 0;
    std::set<std::tuple<std::string, int, std::string>> seen_;
};
