// The one list of everything the program declares to the content checker (nE_ContentRules): the
// object types' keys, the script functions' arguments and each class's fixed assets, modules and
// triggers. A class that loads assets or calls triggers by fixed names gives itself a static
// declareContent() and adds its line to declareAll; the checker then asks for them.
#pragma once

class nG_GameContent {
public:
    // Registers the object types (the checker asks the factory which element names are types),
    // forgets the rules and declares them all again.
    static void declareAll();
};
