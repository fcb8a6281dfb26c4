// Script functions of the strategy guide: to the contents, the next page, the previous page.
#pragma once

struct lua_State;

class nG_GuideFunctions {
public:
    static int StrategyGuideTOC(lua_State* L);
    static int StrategyGuideNext(lua_State* L);
    static int StrategyGuidePrev(lua_State* L);
};
