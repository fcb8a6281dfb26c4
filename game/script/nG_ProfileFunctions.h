// Script functions of the player profiles: the list, the current one, its game mode, save slots and
// achievement counters.
#pragma once

struct lua_State;

class nG_ProfileFunctions {
public:
    static int GetCurrentProfileId(lua_State* L);
    static int GetNumProfiles(lua_State* L);
    static int GetProfileNameById(lua_State* L);
    // The hub's index, or -1 for a name a file cannot carry.
    static int AddProfile(lua_State* L);
    static int DeleteProfile(lua_State* L);
    static int SetCurrentProfile(lua_State* L);
    static int SaveProfile(lua_State* L);
    static int SetGameMode(lua_State* L);
    static int GetGameMode(lua_State* L);
    static int IsGameSaveExist(lua_State* L);
    static int ClearProfileSave(lua_State* L);
    static int IsCorruptedProfile(lua_State* L);
    // The names of the profiles restored from their backups that the player was not told of yet (joined
    // by ", "), marking them told; "" when none.
    static int TakeRestoredProfiles(lua_State* L);
    static int GetAchievement(lua_State* L);
    // A seed for a new game's chance choices, 1 to 2147483646: the run's --seed (fixed-step runs 1),
    // else from the clock, so that each new game draws afresh and a replayed walk draws the same.
    static int NewGameSeed(lua_State* L);
};
