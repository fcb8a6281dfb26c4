// The content checker's look at modules: the object descriptions (every key an object type declares
// as naming something), the triggers with their code, the module code, and the literal arguments of
// the script functions inside that code.
#pragma once

#include <string>

#include "game/check/nG_CheckSession.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nG_ModuleCheck {
public:
    // Whether a document has a module's top-level elements ("module", "objs", "trigs", "code").
    static bool looksLikeModule(const tinyxml2::XMLDocument& doc);
    // Checks a module file's text into its record.
    static void text(nG_CheckSession& s, nG_CheckSession::Module& m, const std::string& text);
    // Compiles Lua code (module code or a trigger's) that starts at `at`, then checks the literal
    // arguments of the script functions it calls.
    static void lua(nG_CheckSession& s, nG_CheckSession::Module* m, const std::string& code,
                    const nG_CheckSession::Place& at);

private:
    // Where an object's children are placed: its position on the screen, and the nearest image around
    // them with its position.
    struct Frame {
        float x = 0, y = 0;
        std::string image;
        float imageX = 0, imageY = 0;
        float imageScaleX = 1, imageScaleY = 1;
        std::string object;  // the name of the object whose children these are
    };
    // The parser bounds the depth of elements, and so this recursion.
    static void objectTree(nG_CheckSession& s, nG_CheckSession::Module& m, const tinyxml2::XMLElement* e,
                           const Frame& parent);
};
