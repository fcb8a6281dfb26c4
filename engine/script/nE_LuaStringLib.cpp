#include "engine/script/nE_LuaStringLib.h"

#include <cctype>
#include <climits>
#include <cstddef>
#include <cstring>
#include <lua.hpp>

#include "engine/script/nE_LuaSandbox.h"

// Written in the style of the C library it replaces: a Lua error leaves these functions by a long jump,
// so no frame here holds an object with a destructor.

namespace {

constexpr char kEscape = '%';
constexpr const char* kSpecials = "^$*+?.([%-";
constexpr int kMaxCaptures = 32;
constexpr ptrdiff_t kCapUnfinished = -1;
constexpr ptrdiff_t kCapPosition = -2;
// Matching steps handed to the budget at a time.
constexpr long kStepsPerCharge = 4096;

struct MatchState {
    const char* srcInit;
    const char* srcEnd;
    lua_State* L;
    int level;
    int depth;
    long steps;
    struct {
        const char* init;
        ptrdiff_t len;
    } capture[kMaxCaptures];
};

void step(MatchState* ms) {
    if (++ms->steps < kStepsPerCharge) return;
    nE_LuaSandbox::charge(ms->L, ms->steps);
    ms->steps = 0;
}

void reset(MatchState* ms) {
    ms->level = 0;
    ms->depth = 0;
}

const char* match(MatchState* ms, const char* s, const char* p);

int checkCapture(MatchState* ms, int l) {
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == kCapUnfinished)
        return luaL_error(ms->L, "invalid capture index");
    return l;
}

int captureToClose(MatchState* ms) {
    int level = ms->level;
    for (level--; level >= 0; level--)
        if (ms->capture[level].len == kCapUnfinished) return level;
    return luaL_error(ms->L, "invalid pattern capture");
}

const char* classEnd(MatchState* ms, const char* p) {
    switch (*p++) {
        case kEscape:
            if (*p == '\0') luaL_error(ms->L, "malformed pattern (ends with '%%')");
            return p + 1;
        case '[':
            if (*p == '^') p++;
            do {
                if (*p == '\0') luaL_error(ms->L, "malformed pattern (missing ']')");
                if (*(p++) == kEscape && *p != '\0') p++;
            } while (*p != ']');
            return p + 1;
        default:
            return p;
    }
}

int matchClass(int c, int cl) {
    int res;
    switch (std::tolower(cl)) {
        case 'a':
            res = std::isalpha(c);
            break;
        case 'c':
            res = std::iscntrl(c);
            break;
        case 'd':
            res = std::isdigit(c);
            break;
        case 'l':
            res = std::islower(c);
            break;
        case 'p':
            res = std::ispunct(c);
            break;
        case 's':
            res = std::isspace(c);
            break;
        case 'u':
            res = std::isupper(c);
            break;
        case 'w':
            res = std::isalnum(c);
            break;
        case 'x':
            res = std::isxdigit(c);
            break;
        case 'z':
            res = (c == 0);
            break;
        default:
            return cl == c;
    }
    if (std::isupper(cl)) res = !res;
    return res;
}

unsigned char uchar(char c) {
    return static_cast<unsigned char>(c);
}

int matchBracketClass(int c, const char* p, const char* ec) {
    int sig = 1;
    if (*(p + 1) == '^') {
        sig = 0;
        p++;
    }
    while (++p < ec) {
        if (*p == kEscape) {
            p++;
            if (matchClass(c, uchar(*p))) return sig;
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (uchar(*(p - 2)) <= c && c <= uchar(*p)) return sig;
        } else if (uchar(*p) == c) {
            return sig;
        }
    }
    return !sig;
}

int singleMatch(int c, const char* p, const char* ep) {
    switch (*p) {
        case '.':
            return 1;
        case kEscape:
            return matchClass(c, uchar(*(p + 1)));
        case '[':
            return matchBracketClass(c, p, ep - 1);
        default:
            return uchar(*p) == c;
    }
}

const char* matchBalance(MatchState* ms, const char* s, const char* p) {
    if (*p == 0 || *(p + 1) == 0) luaL_error(ms->L, "unbalanced pattern");
    if (*s != *p) return nullptr;
    const int b = *p, e = *(p + 1);
    int cont = 1;
    while (++s < ms->srcEnd) {
        step(ms);
        if (*s == e) {
            if (--cont == 0) return s + 1;
        } else if (*s == b) {
            cont++;
        }
    }
    return nullptr;
}

const char* maxExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
    ptrdiff_t i = 0;
    while (s + i < ms->srcEnd && singleMatch(uchar(*(s + i)), p, ep)) i++;
    while (i >= 0) {
        if (const char* res = match(ms, s + i, ep + 1)) return res;
        i--;
    }
    return nullptr;
}

const char* minExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
    for (;;) {
        if (const char* res = match(ms, s, ep + 1)) return res;
        if (s < ms->srcEnd && singleMatch(uchar(*s), p, ep))
            s++;
        else
            return nullptr;
    }
}

const char* startCapture(MatchState* ms, const char* s, const char* p, ptrdiff_t what) {
    const int level = ms->level;
    if (level >= kMaxCaptures) luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    const char* res = match(ms, s, p);
    if (!res) ms->level--;
    return res;
}

const char* endCapture(MatchState* ms, const char* s, const char* p) {
    const int l = captureToClose(ms);
    ms->capture[l].len = s - ms->capture[l].init;
    const char* res = match(ms, s, p);
    if (!res) ms->capture[l].len = kCapUnfinished;
    return res;
}

const char* matchCapture(MatchState* ms, const char* s, int l) {
    l = checkCapture(ms, l);
    const size_t len = static_cast<size_t>(ms->capture[l].len);
    if (static_cast<size_t>(ms->srcEnd - s) >= len && std::memcmp(ms->capture[l].init, s, len) == 0)
        return s + len;
    return nullptr;
}

const char* doMatch(MatchState* ms, const char* s, const char* p) {
init:
    step(ms);
    switch (*p) {
        case '(':
            if (*(p + 1) == ')') return startCapture(ms, s, p + 2, kCapPosition);
            return startCapture(ms, s, p + 1, kCapUnfinished);
        case ')':
            return endCapture(ms, s, p + 1);
        case kEscape:
            switch (*(p + 1)) {
                case 'b':
                    s = matchBalance(ms, s, p + 2);
                    if (!s) return nullptr;
                    p += 4;
                    goto init;
                case 'f': {
                    p += 2;
                    if (*p != '[') luaL_error(ms->L, "missing '[' after '%%f' in pattern");
                    const char* ep = classEnd(ms, p);
                    const char previous = (s == ms->srcInit) ? '\0' : *(s - 1);
                    if (matchBracketClass(uchar(previous), p, ep - 1) ||
                        !matchBracketClass(uchar(*s), p, ep - 1))
                        return nullptr;
                    p = ep;
                    goto init;
                }
                default:
                    if (std::isdigit(uchar(*(p + 1)))) {
                        s = matchCapture(ms, s, uchar(*(p + 1)));
                        if (!s) return nullptr;
                        p += 2;
                        goto init;
                    }
                    goto dflt;
            }
        case '\0':
            return s;
        case '$':
            if (*(p + 1) == '\0') return (s == ms->srcEnd) ? s : nullptr;
            goto dflt;
        default:
        dflt : {
            const char* ep = classEnd(ms, p);
            const int m = s < ms->srcEnd && singleMatch(uchar(*s), p, ep);
            switch (*ep) {
                case '?': {
                    const char* res;
                    if (m && (res = match(ms, s + 1, ep + 1)) != nullptr) return res;
                    p = ep + 1;
                    goto init;
                }
                case '*':
                    return maxExpand(ms, s, p, ep);
                case '+':
                    return m ? maxExpand(ms, s + 1, p, ep) : nullptr;
                case '-':
                    return minExpand(ms, s, p, ep);
                default:
                    if (!m) return nullptr;
                    s++;
                    p = ep;
                    goto init;
            }
        }
    }
}

// Every way into the recursion passes here: its depth is what a long pattern could otherwise use to
// exhaust the C stack.
const char* match(MatchState* ms, const char* s, const char* p) {
    if (++ms->depth > nE_LuaStringLib::kMaxMatchDepth) luaL_error(ms->L, "pattern too complex");
    const char* res = doMatch(ms, s, p);
    ms->depth--;
    return res;
}

void pushOneCapture(MatchState* ms, int i, const char* s, const char* e) {
    if (i >= ms->level) {
        if (i == 0)
            lua_pushlstring(ms->L, s, e - s);
        else
            luaL_error(ms->L, "invalid capture index");
    } else {
        const ptrdiff_t l = ms->capture[i].len;
        if (l == kCapUnfinished) luaL_error(ms->L, "unfinished capture");
        if (l == kCapPosition)
            lua_pushinteger(ms->L, ms->capture[i].init - ms->srcInit + 1);
        else
            lua_pushlstring(ms->L, ms->capture[i].init, l);
    }
}

int pushCaptures(MatchState* ms, const char* s, const char* e) {
    const int levels = (ms->level == 0 && s) ? 1 : ms->level;
    luaL_checkstack(ms->L, levels, "too many captures");
    for (int i = 0; i < levels; i++) pushOneCapture(ms, i, s, e);
    return levels;
}

ptrdiff_t relativePosition(ptrdiff_t pos, size_t len) {
    if (pos < 0) pos += static_cast<ptrdiff_t>(len) + 1;
    return pos >= 0 ? pos : 0;
}

const char* memFind(const char* s1, size_t l1, const char* s2, size_t l2) {
    if (l2 == 0) return s1;
    if (l2 > l1) return nullptr;
    l2--;
    l1 = l1 - l2;
    const char* init;
    while (l1 > 0 && (init = static_cast<const char*>(std::memchr(s1, *s2, l1))) != nullptr) {
        init++;
        if (std::memcmp(init, s2 + 1, l2) == 0) return init - 1;
        l1 -= init - s1;
        s1 = init;
    }
    return nullptr;
}

void startState(MatchState* ms, lua_State* L, const char* s, size_t length) {
    ms->L = L;
    ms->srcInit = s;
    ms->srcEnd = s + length;
    ms->steps = 0;
    reset(ms);
}

// The steps not yet handed to the budget.
void settle(MatchState* ms) {
    if (ms->steps > 0) nE_LuaSandbox::charge(ms->L, ms->steps);
    ms->steps = 0;
}

int findAux(lua_State* L, bool find) {
    size_t l1, l2;
    const char* s = luaL_checklstring(L, 1, &l1);
    const char* p = luaL_checklstring(L, 2, &l2);
    ptrdiff_t init = relativePosition(luaL_optinteger(L, 3, 1), l1) - 1;
    if (init < 0)
        init = 0;
    else if (static_cast<size_t>(init) > l1)
        init = static_cast<ptrdiff_t>(l1);
    if (find && (lua_toboolean(L, 4) || std::strpbrk(p, kSpecials) == nullptr)) {
        nE_LuaSandbox::charge(L, static_cast<long>((l1 - init) >> 6));
        if (const char* s2 = memFind(s + init, l1 - init, p, l2)) {
            lua_pushinteger(L, s2 - s + 1);
            lua_pushinteger(L, s2 - s + l2);
            return 2;
        }
    } else {
        MatchState ms;
        const int anchor = (*p == '^') ? (p++, 1) : 0;
        const char* s1 = s + init;
        startState(&ms, L, s, l1);
        do {
            reset(&ms);
            if (const char* res = match(&ms, s1, p)) {
                settle(&ms);
                if (find) {
                    lua_pushinteger(L, s1 - s + 1);
                    lua_pushinteger(L, res - s);
                    return pushCaptures(&ms, nullptr, nullptr) + 2;
                }
                return pushCaptures(&ms, s1, res);
            }
        } while (s1++ < ms.srcEnd && !anchor);
        settle(&ms);
    }
    lua_pushnil(L);
    return 1;
}

int strFind(lua_State* L) {
    return findAux(L, true);
}

int strMatch(lua_State* L) {
    return findAux(L, false);
}

int gmatchStep(lua_State* L) {
    MatchState ms;
    size_t ls;
    const char* s = lua_tolstring(L, lua_upvalueindex(1), &ls);
    const char* p = lua_tostring(L, lua_upvalueindex(2));
    startState(&ms, L, s, ls);
    for (const char* src = s + static_cast<size_t>(lua_tointeger(L, lua_upvalueindex(3))); src <= ms.srcEnd;
         src++) {
        reset(&ms);
        if (const char* e = match(&ms, src, p)) {
            settle(&ms);
            lua_Integer newStart = e - s;
            if (e == src) newStart++;  // an empty match moves on by one at least
            lua_pushinteger(L, newStart);
            lua_replace(L, lua_upvalueindex(3));
            return pushCaptures(&ms, src, e);
        }
    }
    settle(&ms);
    return 0;
}

int strGmatch(lua_State* L) {
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushinteger(L, 0);
    lua_pushcclosure(L, gmatchStep, 3);
    return 1;
}

void addString(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    size_t l;
    const char* news = lua_tolstring(ms->L, 3, &l);
    for (size_t i = 0; i < l; i++) {
        if (news[i] != kEscape) {
            luaL_addchar(b, news[i]);
        } else {
            i++;
            if (!std::isdigit(uchar(news[i]))) {
                luaL_addchar(b, news[i]);
            } else if (news[i] == '0') {
                luaL_addlstring(b, s, e - s);
            } else {
                pushOneCapture(ms, news[i] - '1', s, e);
                luaL_addvalue(b);
            }
        }
    }
}

void addValue(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    lua_State* L = ms->L;
    switch (lua_type(L, 3)) {
        case LUA_TNUMBER:
        case LUA_TSTRING:
            addString(ms, b, s, e);
            return;
        case LUA_TFUNCTION: {
            lua_pushvalue(L, 3);
            const int n = pushCaptures(ms, s, e);
            lua_call(L, n, 1);
            break;
        }
        case LUA_TTABLE:
            pushOneCapture(ms, 0, s, e);
            lua_gettable(L, 3);
            break;
    }
    if (!lua_toboolean(L, -1)) {
        lua_pop(L, 1);
        lua_pushlstring(L, s, e - s);
    } else if (!lua_isstring(L, -1)) {
        luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    }
    luaL_addvalue(b);
}

int strGsub(lua_State* L) {
    size_t srcl;
    const char* src = luaL_checklstring(L, 1, &srcl);
    const char* p = luaL_checkstring(L, 2);
    const int tr = lua_type(L, 3);
    const int maxS = luaL_optint(L, 4, static_cast<int>(srcl < INT_MAX ? srcl + 1 : INT_MAX));
    const int anchor = (*p == '^') ? (p++, 1) : 0;
    int n = 0;
    luaL_argcheck(L, tr == LUA_TNUMBER || tr == LUA_TSTRING || tr == LUA_TFUNCTION || tr == LUA_TTABLE, 3,
                  "string/function/table expected");
    MatchState ms;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    startState(&ms, L, src, srcl);
    while (n < maxS) {
        reset(&ms);
        const char* e = match(&ms, src, p);
        if (e) {
            n++;
            settle(&ms);
            addValue(&ms, &b, src, e);
        }
        if (e && e > src)
            src = e;
        else if (src < ms.srcEnd)
            luaL_addchar(&b, *src++);
        else
            break;
        if (anchor) break;
    }
    settle(&ms);
    luaL_addlstring(&b, src, ms.srcEnd - src);
    luaL_pushresult(&b);
    lua_pushinteger(L, n);
    return 2;
}

// Builds by doubling rather than piece by piece: a million copies of one byte take twenty steps.
int strRep(lua_State* L) {
    size_t l;
    luaL_checklstring(L, 1, &l);
    const lua_Number wanted = luaL_checknumber(L, 2);
    const size_t n = !(wanted >= 1)                               ? 0
                     : wanted >= static_cast<lua_Number>(INT_MAX) ? INT_MAX
                                                                  : static_cast<size_t>(wanted);
    lua_settop(L, 1);
    if (n == 0 || l == 0) {
        lua_pushliteral(L, "");
        return 1;
    }
    if (n > nE_LuaSandbox::memoryLeft(L) / l) return nE_LuaSandbox::raiseOutOfMemory(L);
    nE_LuaSandbox::charge(L, static_cast<long>((n * l) >> 6));
    lua_pushliteral(L, "");  // 2: the result
    lua_pushvalue(L, 1);     // 3: the piece, doubled each round
    for (size_t left = n; left > 0;) {
        if (left & 1) {
            lua_pushvalue(L, 2);
            lua_pushvalue(L, 3);
            lua_concat(L, 2);
            lua_replace(L, 2);
        }
        left >>= 1;
        if (left > 0) {
            lua_pushvalue(L, 3);
            lua_pushvalue(L, 3);
            lua_concat(L, 2);
            lua_replace(L, 3);
        }
    }
    lua_settop(L, 2);
    return 1;
}

}  // namespace

void nE_LuaStringLib::install(lua_State* L) {
    static const luaL_Reg kFunctions[] = {{"find", strFind}, {"match", strMatch}, {"gmatch", strGmatch},
                                          {"gsub", strGsub}, {"rep", strRep},     {nullptr, nullptr}};
    lua_pushliteral(L, "string");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        for (const luaL_Reg* f = kFunctions; f->name; ++f) {
            lua_pushstring(L, f->name);
            lua_pushcfunction(L, f->func);
            lua_rawset(L, -3);
        }
    }
    lua_pop(L, 1);
}
