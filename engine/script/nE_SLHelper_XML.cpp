#include "engine/script/nE_SLHelper_XML.h"

#include <tinyxml2.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"

namespace {

// atoi without its undefined behaviour on out-of-range text: clamps instead.
long long parseInteger(const char* text) {
    errno = 0;
    return std::strtoll(text, nullptr, 10);
}

int toInt(const char* text) {
    const long long value = parseInteger(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

nE_SLHelper_XML::nE_SLHelper_XML(tinyxml2::XMLElement* element, bool skipDefaults)
    : document_(element), current_(element), skipDefaults_(skipDefaults) {}

const char* nE_SLHelper_XML::attribute(const char* name) const {
    return current_ ? current_->Attribute(name) : nullptr;
}

void nE_SLHelper_XML::writeVec3(const char* name, float x, float y, float z) {
    char text[160];
    std::snprintf(text, sizeof text, "%.6f;%.6f;%.6f", x, y, z);
    writeString(name, text);
}

void nE_SLHelper_XML::writeVec2(const char* name, float x, float y) {
    char text[112];
    std::snprintf(text, sizeof text, "%.6f;%.6f", x, y);
    writeString(name, text);
}

void nE_SLHelper_XML::writeString(const char* name, const std::string& value) {
    if (current_) current_->SetAttribute(name, value.c_str());
}

void nE_SLHelper_XML::writeFloat(const char* name, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    writeString(name, text);
}

void nE_SLHelper_XML::writeInt(const char* name, int value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    writeString(name, text);
}

void nE_SLHelper_XML::writeUInt(const char* name, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, "%u", value);
    writeString(name, text);
}

void nE_SLHelper_XML::writeBool(const char* name, bool value) {
    writeString(name, value ? "1" : "0");
}

void nE_SLHelper_XML::writeInt(const char* name, int value, int def) {
    if (!(skipDefaults_ && value == def)) writeInt(name, value);
}

void nE_SLHelper_XML::writeBool(const char* name, bool value, bool def) {
    if (!(skipDefaults_ && value == def)) writeBool(name, value);
}

void nE_SLHelper_XML::writeString(const char* name, const std::string& value, const std::string& def) {
    if (!(skipDefaults_ && value == def)) writeString(name, value);
}

void nE_SLHelper_XML::writeFloat(const char* name, float value, float def) {
    if (!(skipDefaults_ && value == def)) writeFloat(name, value);
}

bool nE_SLHelper_XML::readVec3(const char* name, float& x, float& y, float& z) {
    const char* text = attribute(name);
    if (!text) return false;
    float v[3] = {x, y, z};
    std::sscanf(text, "%f;%f;%f", &v[0], &v[1], &v[2]);
    x = v[0];
    y = v[1];
    z = v[2];
    return true;
}

bool nE_SLHelper_XML::readVec2(const char* name, float& x, float& y) {
    const char* text = attribute(name);
    if (!text) return false;
    float v[2] = {x, y};
    std::sscanf(text, "%f;%f", &v[0], &v[1]);
    x = v[0];
    y = v[1];
    return true;
}

bool nE_SLHelper_XML::readString(const char* name, std::string& out) {
    const char* text = attribute(name);
    if (!text) return false;
    out = text;
    return true;
}

bool nE_SLHelper_XML::readFloat(const char* name, float& out) {
    const char* text = attribute(name);
    if (!text) return false;
    out = static_cast<float>(std::atof(text));
    return true;
}

bool nE_SLHelper_XML::readInt(const char* name, int& out) {
    const char* text = attribute(name);
    if (!text) return false;
    out = toInt(text);
    return true;
}

bool nE_SLHelper_XML::readUInt(const char* name, unsigned& out) {
    const char* text = attribute(name);
    if (!text) return false;
    const long long value = parseInteger(text);
    out = value < 0 ? 0u : value > static_cast<long long>(UINT_MAX) ? UINT_MAX : static_cast<unsigned>(value);
    return true;
}

bool nE_SLHelper_XML::readBool(const char* name, bool& out) {
    const char* text = attribute(name);
    if (!text) return false;
    out = parseInteger(text) != 0;
    return true;
}

void nE_SLHelper_XML::beginChild(const char* name) {
    if (!current_) return;
    tinyxml2::XMLElement* child = current_->GetDocument()->NewElement(name);
    current_->InsertEndChild(child);
    current_ = child;
}

void nE_SLHelper_XML::up() {
    // An unbalanced end or leave must not wander out of the object's own element.
    if (!current_ || current_ == document_) return;
    tinyxml2::XMLNode* parent = current_->Parent();
    if (parent && parent->ToElement()) current_ = parent->ToElement();
}

void nE_SLHelper_XML::endChild() {
    up();
}

bool nE_SLHelper_XML::enterChild(const char* name, int index) {
    if (!current_ || index < 0 || !name) return false;
    std::pair<int, tinyxml2::XMLElement*>& last = entered_[{current_, name}];
    tinyxml2::XMLElement* child = nullptr;
    if (last.second && index == last.first + 1) {
        child = last.second->NextSiblingElement(name);
    } else {
        child = current_->FirstChildElement(name);
        for (int i = 0; child && i < index; ++i) child = child->NextSiblingElement(name);
    }
    if (!child) return false;
    last = {index, child};
    current_ = child;
    return true;
}

void nE_SLHelper_XML::leaveChild() {
    up();
}

namespace {

// An object tree is written in parts no deeper than kPartDepth, so that a saved game stays within the
// element depth that the XML reader accepts however deep its objects nest: the children of an object at
// that depth go into a part element "ne_deep" (with an "id") at the top of the tree, and the object
// keeps a marker "ne_more" naming it. Readers without parts skip both (no object type has those names).
const char* const kPart = "ne_deep";
const char* const kMore = "ne_more";

struct TreeWriter {
    tinyxml2::XMLDocument& doc;
    tinyxml2::XMLElement* top = nullptr;
    bool skipDefaults;
    int parts = 0;
    bool reported = false;

    tinyxml2::XMLElement* write(nE_Object& object, bool recursive, int depth, int partDepth) {
        tinyxml2::XMLElement* element = doc.NewElement(object.getTypeName().c_str());
        if (!top) top = element;
        nE_SLHelper_XML helper(element, skipDefaults);
        object.saveProperties(helper);
        if (!recursive || object.children.empty()) return element;
        if (depth >= nE_SLHelper_XML::kMaxTreeDepth) {
            if (!reported)
                nE_Debug::writef(
                    "nE_SLHelper_XML: objects nested deeper than %d levels (below \"%s\") are not saved",
                    nE_SLHelper_XML::kMaxTreeDepth, object.name.c_str());
            reported = true;
            return element;
        }
        tinyxml2::XMLElement* holder = element;
        if (partDepth >= nE_SLHelper_XML::kPartDepth) {
            holder = doc.NewElement(kPart);
            holder->SetAttribute("id", ++parts);
            tinyxml2::XMLElement* more = doc.NewElement(kMore);
            more->SetAttribute("id", parts);
            element->InsertEndChild(more);
            partDepth = 0;
        }
        for (nE_Object* child : object.children)
            holder->InsertEndChild(write(*child, true, depth + 1, partDepth + 1));
        if (holder != element) top->InsertEndChild(holder);
        return element;
    }
};

struct TreeReader {
    std::map<int, tinyxml2::XMLElement*> parts;  // each is built once, where its marker first asks for it

    std::unique_ptr<nE_Object> build(tinyxml2::XMLElement* element, int depth) {
        if (!element || !element->Name()) return nullptr;
        std::unique_ptr<nE_Object> object(nE_Factory::create(element->Name()));
        if (!object) return nullptr;
        object->sourceLine = element->GetLineNum();
        nE_SLHelper_XML helper(element, true);
        object->loadProperties(helper);
        object->sourceLine = element->GetLineNum();
        addChildren(*object, element, depth);
        return object;
    }

    void addChildren(nE_Object& object, tinyxml2::XMLElement* element, int depth) {
        std::vector<nE_Object*> built;
        collect(built, element, depth);
        // A child refused by the tree (it would make a name cycle) is dropped.
        for (nE_Object* refused : object.addChildren(built)) delete refused;
    }

    // The children are added in one batch, sorted once: one by one, each add would check its siblings'
    // order again.
    void collect(std::vector<nE_Object*>& built, tinyxml2::XMLElement* element, int depth) {
        if (depth >= nE_SLHelper_XML::kMaxTreeDepth) return;
        for (tinyxml2::XMLElement* childElement = element->FirstChildElement(); childElement;
             childElement = childElement->NextSiblingElement()) {
            if (!std::strcmp(childElement->Name(), kMore)) {
                auto part = parts.find(childElement->IntAttribute("id"));
                if (part == parts.end()) continue;
                tinyxml2::XMLElement* holder = part->second;
                parts.erase(part);
                collect(built, holder, depth);
                continue;
            }
            if (std::unique_ptr<nE_Object> child = build(childElement, depth + 1))
                built.push_back(child.release());
        }
    }
};

}  // namespace

std::unique_ptr<nE_Object> nE_SLHelper_XML::build(tinyxml2::XMLElement* element) {
    TreeReader reader;
    if (element)
        for (tinyxml2::XMLElement* part = element->FirstChildElement(kPart); part;
             part = part->NextSiblingElement(kPart))
            reader.parts.emplace(part->IntAttribute("id"), part);
    return reader.build(element, 0);
}

tinyxml2::XMLElement* nE_SLHelper_XML::save(nE_Object& object, tinyxml2::XMLDocument& doc, bool recursive,
                                            bool skipDefaults) {
    TreeWriter writer{doc, nullptr, skipDefaults};
    return writer.write(object, recursive, 0, 0);
}
