// Properties as attributes of a TinyXML-2 element, with child elements for nested records.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/script/nE_SLHelper.h"

class nE_Object;
namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

class nE_SLHelper_XML : public nE_SLHelper {
public:
    // Works on `element`; with skipDefaults a value equal to its default is not written.
    explicit nE_SLHelper_XML(tinyxml2::XMLElement* element, bool skipDefaults = true);

    void writeVec3(const char* name, float x, float y, float z) override;
    void writeVec2(const char* name, float x, float y) override;
    void writeString(const char* name, const std::string& value) override;
    void writeFloat(const char* name, float value) override;
    void writeInt(const char* name, int value) override;
    void writeUInt(const char* name, unsigned value) override;
    void writeBool(const char* name, bool value) override;
    void writeInt(const char* name, int value, int def) override;
    void writeBool(const char* name, bool value, bool def) override;
    void writeString(const char* name, const std::string& value, const std::string& def) override;
    void writeFloat(const char* name, float value, float def) override;

    bool readVec3(const char* name, float& x, float& y, float& z) override;
    bool readVec2(const char* name, float& x, float& y) override;
    bool readString(const char* name, std::string& out) override;
    bool readFloat(const char* name, float& out) override;
    bool readInt(const char* name, int& out) override;
    bool readUInt(const char* name, unsigned& out) override;
    bool readBool(const char* name, bool& out) override;

    void beginChild(const char* name) override;
    void endChild() override;
    bool enterChild(const char* name, int index) override;
    void leaveChild() override;

    tinyxml2::XMLElement* current() const { return current_; }

    // Object levels per nested part of a saved tree, and object levels of a tree at most (deeper ones are
    // neither written nor read).
    static constexpr int kPartDepth = 32;
    static constexpr int kMaxTreeDepth = 1000;

    // Builds the object tree an element describes: the element's name is the type in the factory table;
    // none for an unknown type (its subtree is skipped). Children are built in document order.
    static std::unique_ptr<nE_Object> build(tinyxml2::XMLElement* element);
    // An element named after the object's type, filled by its save-properties; with `recursive` the
    // children's elements follow in child order. The element belongs to `doc` and is not yet inserted.
    // A tree deeper than kPartDepth is written in parts kept inside that element, so that no saved tree
    // nests deeper than the XML reader reads.
    static tinyxml2::XMLElement* save(nE_Object& object, tinyxml2::XMLDocument& doc, bool recursive,
                                      bool skipDefaults);

private:
    const char* attribute(const char* name) const;
    void up();

    tinyxml2::XMLElement* document_;  // the element the helper was made for; nesting never leaves it
    tinyxml2::XMLElement* current_;
    bool skipDefaults_;
    // Per parent and child name, the last child entered, so that entering children by rising index walks
    // each list once.
    std::map<std::pair<tinyxml2::XMLElement*, std::string>, std::pair<int, tinyxml2::XMLElement*>> entered_;
};
