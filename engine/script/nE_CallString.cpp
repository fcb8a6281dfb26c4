#include "engine/script/nE_CallString.h"

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string firstWord(const std::string& piece) {
    size_t begin = 0;
    while (begin < piece.size() && isSpace(piece[begin])) ++begin;
    size_t end = begin;
    while (end < piece.size() && !isSpace(piece[end])) ++end;
    return piece.substr(begin, end - begin);
}

}  // namespace

bool nE_CallString::split(const std::string& text, std::string& name, std::string& params) {
    if (text.empty()) return false;
    const size_t open = text.find('(');
    if (open == std::string::npos) {
        name = text;
        params.clear();
        return true;
    }
    const size_t close = text.rfind(')');
    // A ")" that only appears before the "(" closes nothing.
    if (close == std::string::npos || close < open) return false;
    name = text.substr(0, open);
    params = text.substr(open + 1, close - open - 1);
    return true;
}

std::vector<std::string> nE_CallString::pieces(const std::string& params) {
    std::vector<std::string> result;
    if (params.empty()) return result;
    int depth = 0;
    std::string piece;
    for (char c : params) {
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0) --depth;
        } else if (c == ',' && depth == 0) {
            result.push_back(firstWord(piece));
            piece.clear();
            continue;
        }
        piece += c;
    }
    if (depth == 0) result.push_back(firstWord(piece));
    return result;
}
