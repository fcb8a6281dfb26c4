// The script function of the atmospheric effects: the forces they all share.
#pragma once

struct lua_State;

class nE_AtFunctions {
public:
    // (table): "air_counterforce", "gravity_force" {x, y, z}, "wind_force" {x, y, z},
    // "rand_wind_min_force", "rand_wind_max_force", "rand_wind_min_wait_time", "rand_wind_max_wait_time",
    // "rand_wind_min_change_time", "rand_wind_max_change_time". Keys that are absent, of the wrong type
    // or not finite keep their values. The stack is left as it was.
    static int AtGlobalForceSet(lua_State* L);
};
