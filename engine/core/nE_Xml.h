// Reading the attributes of the engine's XML files (animations, frame textures, particle files,
// modules, saved dumps) the same way everywhere: a missing attribute, or one that is no number where
// a number is wanted, gives the fallback.
#pragma once

#include <string>

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nE_Xml {
public:
    static std::string text(const tinyxml2::XMLElement* element, const char* name, const char* fallback = "");
    // Decimal, leading spaces and sign allowed, trailing text ignored ("12px" is 12); held within int.
    static int integer(const tinyxml2::XMLElement* element, const char* name, int fallback = 0);
    // As strtod reads it; NaN and infinities pass as written.
    static float number(const tinyxml2::XMLElement* element, const char* name, float fallback = 0);
    // What is wrong with text the document failed to parse, and the line of the fault: for tags that
    // do not pair up, the closing tag that came instead (or the file's last line), not the opening
    // line the parser names.
    static std::string parseFault(const tinyxml2::XMLDocument& doc, const std::string& text, int& line);
};
