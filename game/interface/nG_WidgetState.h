// What an interface widget with run-time state adds to a saved game: an element named after the
// widget. The interface calls its widgets in a fixed order inside its own element "interface".
#pragma once

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nG_WidgetState {
public:
    virtual ~nG_WidgetState() = default;
    // A new element named after the widget (attributes "%d" integers, lists as children); the caller
    // inserts it.
    virtual tinyxml2::XMLElement* dumpState(tinyxml2::XMLDocument& doc) = 0;
    // Finds the widget's own element under parent and reads it back; what is missing keeps its default.
    virtual void restoreState(const tinyxml2::XMLElement* parent) = 0;
};
