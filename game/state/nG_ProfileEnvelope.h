// The envelope of a profile file: a first line "<!--SUM-->\n" carrying the byte sum of everything after
// it, then the compact XML. A file whose envelope or sum does not hold was changed outside the game or
// cut short, and is not trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class nG_ProfileEnvelope {
public:
    enum Check { kGood = 0, kBadEnvelope = 1, kBadSum = 2 };

    // The sum of the bytes (each 0..255) in a 32-bit integer that wraps, read as signed.
    static int32_t byteSum(const char* data, size_t size);
    // The file content for a printed document.
    static std::string wrap(const std::string& xml);
    // Checks the first line against the rest of the file. The number may carry leading blanks and a sign
    // and is read up to its last digit; more than 31 characters between the markers is no number.
    static Check check(const std::string& file);

    static constexpr size_t kMaxNumberText = 31;
};
