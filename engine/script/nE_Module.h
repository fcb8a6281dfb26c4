// A module file: object descriptions, triggers and a Lua chunk, brought into the scene together. The record
// only lives while one module is being brought in.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/script/nE_Trigger.h"

class nE_Object;
class nE_Scene;
class nE_TriggerHub;

class nE_Module {
public:
    nE_Module();
    ~nE_Module();
    nE_Module(const nE_Module&) = delete;
    nE_Module& operator=(const nE_Module&) = delete;

    // The file a module path names: every "\" turned into "/", ".xml" appended unless already present.
    static std::string fileName(const std::string& path);

    // Reads the module file. A missing or malformed file gives an empty module (with its path kept); a
    // path outside the game folder is refused with a line and gives a refused module, which bringing
    // in ignores (no code, no used module).
    static std::unique_ptr<nE_Module> load(const std::string& path);

    // Parks the module's objects in the scene's storage, registers its triggers (names already registered
    // keep their old trigger), records its path as used and runs its code.
    static void bringInWithObjects(std::unique_ptr<nE_Module> module, nE_Scene& scene,
                                   nE_TriggerHub& triggers);
    // As above without the objects, which are discarded (a saved game restores objects itself).
    static void bringInWithoutObjects(std::unique_ptr<nE_Module> module, nE_TriggerHub& triggers);

    // Whether a module path may be loaded: only names of files inside the game folder (nE_Path::resolve).
    // Reports a refused one.
    static bool acceptsPath(const std::string& path);

    // Loads the module at path and brings it into the scene, trigger hub and Lua state of nE_Core.
    static void bringIn(const std::string& path, bool withObjects);

    std::string name;
    std::string path;
    std::unique_ptr<nE_Object> root;
    std::vector<std::unique_ptr<nE_Trigger>> triggers;
    std::string code;
    int codeLine = 1;  // the line of the file the code starts on
    bool refused = false;
    bool missing = false;    // there is no file of that name (the caller says where it was asked for)
    bool malformed = false;  // the file is there but is not well-formed XML (reported)

private:
    void registerTriggers(nE_TriggerHub& hub);
    void runCode(nE_TriggerHub& hub) const;
};
