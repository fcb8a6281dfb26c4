// The game's own object types in the factory table ("textedit", "str_guide", ...), and what their keys
// name for the content checker. A new game type adds its line to both.
#pragma once

class nG_GameTypes {
public:
    // Registers (or registers again) every game type.
    static void registerAll();
    // Declares the keys of the game types that name assets, string keys or trigger calls.
    static void declareContent();
};
