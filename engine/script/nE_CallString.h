// Text rules of a trigger call string: "name" or "name(a, b, ...)". Pure text work, no Lua and no registry,
// so it can be tested and fuzzed on its own.
#pragma once

#include <string>
#include <vector>

class nE_CallString {
public:
    // Splits a call string into the trigger name and the text between the first "(" and the last ")".
    // False for an empty text and for a "(" with no ")" after it.
    static bool split(const std::string& text, std::string& name, std::string& params);

    // The parameter pieces of a params text: split at top-level commas, a last piece whose parenthesis is
    // still open dropped, each piece cut to its first whitespace-delimited word.
    static std::vector<std::string> pieces(const std::string& params);
};
