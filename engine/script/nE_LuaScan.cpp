#include "engine/script/nE_LuaScan.h"

#include <cctype>

namespace {

enum Kind { kName, kString, kNumber, kSymbol };

struct Token {
    Kind kind;
    std::string text;
    int line;
};

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

class Lexer {
public:
    explicit Lexer(const std::string& source) : s_(source) {}

    std::vector<Token> tokens() {
        std::vector<Token> out;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '\n') {
                ++line_;
                ++i_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i_;
            } else if (c == '-' && peek(1) == '-') {
                i_ += 2;
                int level = 0;
                if (opensLong(level)) {
                    i_ += static_cast<size_t>(level) + 2;
                    readLong(level, nullptr);
                } else {
                    while (i_ < s_.size() && s_[i_] != '\n') ++i_;
                }
            } else if (c == '[' && opensLongHere()) {
                int level = 0;
                opensLong(level);
                Token t{kString, "", line_};
                i_ += static_cast<size_t>(level) + 2;
                readLong(level, &t.text);
                out.push_back(std::move(t));
            } else if (c == '"' || c == '\'') {
                out.push_back(readQuoted(c));
            } else if (isNameStart(c)) {
                Token t{kName, "", line_};
                while (i_ < s_.size() && isNameChar(s_[i_])) t.text += s_[i_++];
                out.push_back(std::move(t));
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       (c == '.' && std::isdigit(static_cast<unsigned char>(peek(1))))) {
                Token t{kNumber, "", line_};
                while (i_ < s_.size()) {
                    const char d = s_[i_];
                    const char prev = t.text.empty() ? 0 : t.text.back();
                    if (isNameChar(d) || d == '.' ||
                        ((d == '+' || d == '-') && (prev == 'e' || prev == 'E'))) {
                        t.text += d;
                        ++i_;
                    } else {
                        break;
                    }
                }
                out.push_back(std::move(t));
            } else if (c == '.' && peek(1) == '.') {
                // Concatenation and varargs are not field access.
                Token t{kSymbol, "..", line_};
                i_ += peek(2) == '.' ? 3 : 2;
                out.push_back(std::move(t));
            } else {
                out.push_back(Token{kSymbol, std::string(1, c), line_});
                ++i_;
            }
        }
        return out;
    }

private:
    char peek(size_t ahead) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : 0; }

    bool opensLongHere() const {
        size_t j = i_ + 1;
        while (j < s_.size() && s_[j] == '=') ++j;
        return j < s_.size() && s_[j] == '[';
    }

    // At a "[": whether "[" "="* "[" follows, with the number of "=".
    bool opensLong(int& level) const {
        if (i_ >= s_.size() || s_[i_] != '[') return false;
        size_t j = i_ + 1;
        level = 0;
        while (j < s_.size() && s_[j] == '=') {
            ++j;
            ++level;
        }
        return j < s_.size() && s_[j] == '[';
    }

    // After the opening bracket: up to and past "]" "="*level "]", or to the end.
    void readLong(int level, std::string* text) {
        if (i_ < s_.size() && s_[i_] == '\r') ++i_;
        if (i_ < s_.size() && s_[i_] == '\n') {
            ++line_;
            ++i_;
        }
        const std::string close = "]" + std::string(static_cast<size_t>(level), '=') + "]";
        while (i_ < s_.size()) {
            if (s_.compare(i_, close.size(), close) == 0) {
                i_ += close.size();
                return;
            }
            if (s_[i_] == '\n') ++line_;
            if (text) *text += s_[i_];
            ++i_;
        }
    }

    Token readQuoted(char quote) {
        Token t{kString, "", line_};
        ++i_;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == quote) {
                ++i_;
                return t;
            }
            // An unfinished string ends at the line's end (the source does not compile).
            if (c == '\n') return t;
            if (c != '\\') {
                t.text += c;
                ++i_;
                continue;
            }
            ++i_;
            if (i_ >= s_.size()) break;
            const char e = s_[i_];
            static const char kFrom[] = "abfnrtv";
            static const char kTo[] = "\a\b\f\n\r\t\v";
            bool mapped = false;
            for (int k = 0; kFrom[k]; ++k) {
                if (e == kFrom[k]) {
                    t.text += kTo[k];
                    mapped = true;
                    break;
                }
            }
            if (mapped) {
                ++i_;
            } else if (std::isdigit(static_cast<unsigned char>(e))) {
                int value = 0;
                for (int k = 0; k < 3 && i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]));
                     ++k)
                    value = value * 10 + (s_[i_++] - '0');
                t.text += static_cast<char>(value & 0xFF);
            } else {
                if (e == '\n') ++line_;
                t.text += e;
                ++i_;
            }
        }
        return t;
    }

    const std::string& s_;
    size_t i_ = 0;
    int line_ = 1;
};

bool isSymbol(const Token& t, const char* text) {
    return t.kind == kSymbol && t.text == text;
}

}  // namespace

std::vector<nE_LuaScan::Call> nE_LuaScan::calls(const std::string& source,
                                                const std::set<std::string>& functions) {
    std::vector<Call> out;
    const std::vector<Token> tokens = Lexer(source).tokens();
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind != kName || !functions.count(t.text)) continue;
        if (i > 0) {
            const Token& before = tokens[i - 1];
            if (isSymbol(before, ".") || isSymbol(before, ":")) continue;
            if (before.kind == kName && before.text == "function") continue;
        }
        const Token& next = tokens[i + 1];
        Call call;
        call.function = t.text;
        call.line = t.line;
        if (next.kind == kString) {
            call.arguments.push_back(Argument{true, next.text, next.line});
            out.push_back(std::move(call));
            continue;
        }
        if (isSymbol(next, "{")) {
            call.arguments.push_back(Argument{false, "", next.line});
            out.push_back(std::move(call));
            continue;
        }
        if (!isSymbol(next, "(")) continue;

        std::vector<const Token*> piece;
        bool closed = false;
        int depth = 0;
        auto endPiece = [&]() {
            Argument a;
            a.line = piece.empty() ? tokens[i + 1].line : piece.front()->line;
            if (piece.size() == 1 && piece.front()->kind == kString) {
                a.literal = true;
                a.value = piece.front()->text;
            }
            call.arguments.push_back(std::move(a));
            piece.clear();
        };
        for (size_t j = i + 2; j < tokens.size(); ++j) {
            const Token& a = tokens[j];
            if (a.kind == kSymbol && (a.text == "(" || a.text == "{" || a.text == "[")) {
                ++depth;
            } else if (a.kind == kSymbol && (a.text == ")" || a.text == "}" || a.text == "]")) {
                if (depth == 0) {
                    if (a.text == ")") closed = true;
                    break;
                }
                --depth;
            } else if (depth == 0 && isSymbol(a, ",")) {
                endPiece();
                continue;
            }
            piece.push_back(&a);
        }
        if (!closed) continue;
        if (!piece.empty() || !call.arguments.empty()) endPiece();
        out.push_back(std::move(call));
    }
    return out;
}

namespace {

bool isKeyword(const std::string& name) {
    static const char* const kKeywords[] = {"and", "break",    "do",     "else", "elseif", "end",   "false",
                                            "for", "function", "if",     "in",   "local",  "nil",   "not",
                                            "or",  "repeat",   "return", "then", "true",   "until", "while"};
    for (const char* k : kKeywords)
        if (name == k) return true;
    return false;
}

bool isPlainName(const Token& t) {
    return t.kind == kName && !isKeyword(t.text);
}

}  // namespace

nE_LuaScan::Globals nE_LuaScan::globals(const std::string& source) {
    Globals out;
    const std::vector<Token> tokens = Lexer(source).tokens();
    const size_t n = tokens.size();
    auto at = [&](size_t k) -> const Token* { return k < n ? &tokens[k] : nullptr; };
    auto symbol = [&](size_t k, const char* text) { return k < n && isSymbol(tokens[k], text); };
    // Locals are taken for the whole chunk, whatever their scope: a name made local anywhere is never
    // reported.
    std::set<std::string> locals;
    auto nameList = [&](size_t k) {
        for (; k < n && isPlainName(tokens[k]); k += 2) {
            locals.insert(tokens[k].text);
            if (!symbol(k + 1, ",")) break;
        }
    };
    for (size_t k = 0; k < n; ++k) {
        const Token& t = tokens[k];
        if (t.kind == kString) {
            // Set by name: _G["f"] = ... or rawset(_G, "f", ...).
            const bool indexed = k >= 2 && symbol(k - 1, "[") && tokens[k - 2].text == "_G";
            const bool raw = k >= 4 && symbol(k - 1, ",") && tokens[k - 2].text == "_G" &&
                             symbol(k - 3, "(") && tokens[k - 4].text == "rawset";
            if (indexed || raw) out.defined.insert(t.text);
            continue;
        }
        if (t.kind != kName) {
            // An assignment: every name of the list before "=" (not "==", "<=", ...).
            if (isSymbol(t, "=") && !symbol(k + 1, "=") && k > 0 && isPlainName(tokens[k - 1])) {
                for (size_t j = k - 1;; j -= 2) {
                    if (j > 0 && (symbol(j - 1, ".") || symbol(j - 1, ":"))) break;
                    out.defined.insert(tokens[j].text);
                    if (j < 2 || !symbol(j - 1, ",") || !isPlainName(tokens[j - 2])) break;
                }
            }
            continue;
        }
        if (t.text == "local") {
            if (at(k + 1) && at(k + 1)->text == "function" && at(k + 2) && isPlainName(*at(k + 2)))
                locals.insert(at(k + 2)->text);
            else
                nameList(k + 1);
        } else if (t.text == "for") {
            nameList(k + 1);
        } else if (t.text == "function") {
            size_t j = k + 1;
            if (at(j) && isPlainName(*at(j))) {
                const bool isLocal = k > 0 && tokens[k - 1].kind == kName && tokens[k - 1].text == "local";
                if (!isLocal) out.defined.insert(tokens[j].text);
                while (at(j + 2) && (symbol(j + 1, ".") || symbol(j + 1, ":")) && isPlainName(*at(j + 2))) {
                    if (symbol(j + 1, ":")) locals.insert("self");
                    j += 2;
                }
                ++j;
            }
            if (symbol(j, "(")) nameList(j + 1);
        } else if (!isKeyword(t.text)) {
            const Token* next = at(k + 1);
            if (!next) continue;
            const bool call = isSymbol(*next, "(") || isSymbol(*next, "{") || next->kind == kString;
            if (!call) continue;
            if (k > 0) {
                const Token& before = tokens[k - 1];
                if (isSymbol(before, ".") || isSymbol(before, ":")) continue;
                if (before.kind == kName && (before.text == "function" || before.text == "local")) continue;
            }
            Call c;
            c.function = t.text;
            c.line = t.line;
            out.calls.push_back(std::move(c));
        }
    }
    std::vector<Call> kept;
    for (Call& c : out.calls)
        if (!locals.count(c.function)) kept.push_back(std::move(c));
    out.calls = std::move(kept);
    return out;
}
