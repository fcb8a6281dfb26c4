// Fuzzes building object trees of every engine type from XML descriptions and saving them back, and the
// file loaders behind those types: the same input is also read as an animation, a particle file, a
// frame texture and a module. Once a tree has been through one save and load (which settles the XML
// library's own normalisations), saving and loading again must give the same text.
#include <stdlib.h>
#include <tinyxml2.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/core/nE_EngineTypes.h"
#include "engine/core/nE_Factory.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Scene.h"
#include "engine/media/nE_Font.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/media/platform/nE_Bindings_Pl5.h"
#include "engine/script/nE_Module.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TriggerHub.h"
#include "pflib/TPlatform.h"

namespace {

std::string g_folder;

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

void removeFolder() {
    if (!g_folder.empty()) std::system(("rm -rf '" + g_folder + "'").c_str());
}

// Brings the object into a live tree (loading its resources) and runs a few frames.
void live(nE_Scene& scene, nE_Object* object) {
    scene.attach(scene.root(), object);
    for (int i = 0; i < 3; ++i) scene.update(0.05f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every missing file is reported on standard output; libFuzzer and the sanitizers use standard error.
    if (!std::freopen("/dev/null", "w", stdout)) return 0;
    nE_EngineTypes::registerAll();
    nE_Bindings_Pl5::install();
    nE_Font::initLibrary();
    nE_ResourceCache::create();
    // The scratch game folder lies under TMPDIR (scripts/fuzz points it into the build folder).
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/halvern-fuzz-XXXXXX";
    if (mkdtemp(&pattern[0])) {
        g_folder = pattern;
        std::atexit(removeFolder);
    }
    pf::TRunOptions options;
    options.gameDir = g_folder;
    options.userDir = g_folder + "/user";
    pf::TPlatform::SetRunOptions(options);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nE_Scene scene;

    // The input as descriptions of objects of every type.
    tinyxml2::XMLDocument doc;
    if (doc.Parse(reinterpret_cast<const char*>(data), size) == tinyxml2::XML_SUCCESS) {
        for (tinyxml2::XMLElement* element = doc.FirstChildElement(); element;
             element = element->NextSiblingElement()) {
            std::unique_ptr<nE_Object> object = nE_SLHelper_XML::build(element);
            if (!object) continue;
            saved(*object, false);
            const std::string second = resaved(saved(*object, true));
            if (resaved(second) != second) std::abort();
            live(scene, object.release());
        }
    }

    // The input as the file behind each type, and as a frame texture and a module (its code is not
    // run: a hub without a Lua state only registers the triggers).
    if (FILE* file = std::fopen((g_folder + "/fz.xml").c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    for (const char* type : {"spr", "anim", "partsys", "text"}) {
        nE_Object* object = nE_Factory::create(type);
        object->setResourceName("fz");
        live(scene, object);
    }
    if (nE_ResourceCache* cache = nE_ResourceCache::instance()) cache->getFrameTexture("fz");
    nE_TriggerHub hub;
    nE_Module::bringInWithObjects(nE_Module::load("fz"), scene, hub);
    return 0;
}
