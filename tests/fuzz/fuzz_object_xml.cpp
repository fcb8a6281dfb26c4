// Fuzzes building object trees from XML descriptions and saving them back. Once a tree has been through
// one save and load (which settles the XML library's own normalisations), saving and loading again must
// give the same text.
#include <tinyxml2.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/nE_Object.h"
#include "engine/script/nE_SLHelper_XML.h"

namespace {

std::string saved(nE_Object& object, bool skipDefaults) {
    tinyxml2::XMLDocument doc;
    doc.InsertEndChild(nE_SLHelper_XML::save(object, doc, true, skipDefaults));
    tinyxml2::XMLPrinter printer(nullptr, true);
    doc.Print(&printer);
    return printer.CStr();
}

// Builds the saved text again and saves it.
std::string resaved(const std::string& text) {
    tinyxml2::XMLDocument doc;
    if (doc.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS) std::abort();
    std::unique_ptr<nE_Object> object = nE_SLHelper_XML::build(doc.RootElement());
    if (!object) std::abort();
    return saved(*object, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tinyxml2::XMLDocument doc;
    if (doc.Parse(reinterpret_cast<const char*>(data), size) != tinyxml2::XML_SUCCESS) return 0;
    for (tinyxml2::XMLElement* element = doc.FirstChildElement(); element;
         element = element->NextSiblingElement()) {
        std::unique_ptr<nE_Object> object = nE_SLHelper_XML::build(element);
        if (!object) continue;
        saved(*object, false);
        const std::string second = resaved(saved(*object, true));
        if (resaved(second) != second) std::abort();
    }
    return 0;
}
