// The engine's own object types in the factory table ("obj", "spr", "anim", "partsys", "text", ...),
// registered by the engine itself so that every builder of descriptions (the program, the tests, the
// fuzz targets) knows them. A new engine type adds its line here.
#pragma once

class nE_EngineTypes {
public:
    // Registers (or registers again) every engine type.
    static void registerAll();
    // Declares the keys of the engine types that name assets, string keys or trigger calls, for the
    // content checker (nE_ContentRules).
    static void declareContent();
};
