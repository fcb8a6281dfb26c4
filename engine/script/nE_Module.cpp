#include "engine/script/nE_Module.h"

#include <tinyxml2.h>

#include <cctype>

#include "engine/core/nE_Core.h"
#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/core/nE_Object.h"
#include "engine/core/nE_Path.h"
#include "engine/core/nE_Scene.h"
#include "engine/core/nE_Xml.h"
#include "engine/script/nE_LuaChunk.h"
#include "engine/script/nE_SLHelper_XML.h"
#include "engine/script/nE_TriggerHub.h"
#include "pflib/TFile.h"
#include "pflib/TFrameStats.h"

namespace {

// The line the text of `element` begins on. Lua counts the code's lines from there, blank ones
// included; the parser gives a text the line of its first non-blank character, so the line breaks
// before it are counted back (a CDATA section begins on its own line).
int textLine(const tinyxml2::XMLElement* element) {
    const tinyxml2::XMLNode* first = element ? element->FirstChild() : nullptr;
    if (!first) return element ? element->GetLineNum() : 1;
    int line = first->GetLineNum();
    const tinyxml2::XMLText* text = first->ToText();
    if (text && !text->CData() && text->Value())
        for (const char* c = text->Value(); *c && std::isspace(static_cast<unsigned char>(*c)); ++c)
            if (*c == '\n') --line;
    return line > 0 ? line : 1;
}

// Every object of the module learns its file, so that developer tools can name where it is described.
void markSource(nE_Object& root, const std::string& file) {
    const auto shared = std::make_shared<const std::string>(file);
    std::vector<nE_Object*> todo{&root};
    while (!todo.empty()) {
        nE_Object* object = todo.back();
        todo.pop_back();
        object->sourceFile = shared;
        todo.insert(todo.end(), object->children.begin(), object->children.end());
    }
}

}  // namespace

nE_Module::nE_Module() = default;
nE_Module::~nE_Module() = default;

std::string nE_Module::fileName(const std::string& path) {
    std::string file = nE_Path::normalise(path);
    if (file.find(".xml") == std::string::npos) file += ".xml";
    return file;
}

std::unique_ptr<nE_Module> nE_Module::load(const std::string& path) {
    pf::TFrameStats::Mark("scene load " + path);
    auto module = std::make_unique<nE_Module>();
    module->path = path;
    const std::string file = nE_Path::resolve(fileName(path), nE_Path::kGameFolder, "Module");
    if (file.empty()) {
        module->refused = true;
        return module;
    }
    std::string text;
    if (!pf::TFile::ReadAll(file, text)) {
        module->missing = true;
        return module;
    }
    tinyxml2::XMLDocument doc;
    if (doc.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        // Nothing of it is brought in, which its author would otherwise see only as objects missing.
        int line = 0;
        const std::string what = nE_Xml::parseFault(doc, text, line);
        nE_ErrorLog::report({fileName(path), line,
                             "Module error: XML is not well-formed (" + what + "); nothing of it is loaded",
                             ""});
        module->malformed = true;
        return module;
    }

    const tinyxml2::XMLElement* header = doc.FirstChildElement("module");
    module->name = nE_Xml::text(header, "name", path.c_str());

    if (tinyxml2::XMLElement* objs = doc.FirstChildElement("objs")) {
        if (tinyxml2::XMLElement* first = objs->FirstChildElement())
            module->root = nE_SLHelper_XML::build(first);
        if (module->root) markSource(*module->root, fileName(path));
    }
    if (const tinyxml2::XMLElement* trigs = doc.FirstChildElement("trigs")) {
        for (const tinyxml2::XMLElement* trig = trigs->FirstChildElement("trig"); trig;
             trig = trig->NextSiblingElement("trig")) {
            const std::string trigName = nE_Xml::text(trig, "name");
            const tinyxml2::XMLElement* codeElement = trig->FirstChildElement("code");
            const char* code = codeElement ? codeElement->GetText() : nullptr;
            auto trigger = std::make_unique<nE_Trigger>(trigName, code ? code : "");
            trigger->file = fileName(path);
            trigger->firstLine = textLine(codeElement);
            module->triggers.push_back(std::move(trigger));
        }
    }
    if (const tinyxml2::XMLElement* codeElement = doc.FirstChildElement("code")) {
        const char* code = codeElement->GetText();
        module->code = code ? code : "";
        module->codeLine = textLine(codeElement);
    }
    return module;
}

void nE_Module::registerTriggers(nE_TriggerHub& hub) {
    for (std::unique_ptr<nE_Trigger>& trigger : triggers) hub.registerTrigger(std::move(trigger));
    triggers.clear();
}

void nE_Module::runCode(nE_TriggerHub& hub) const {
    lua_State* L = hub.luaState();
    if (!L || code.empty()) return;
    std::string error, traceback;
    const std::string file = fileName(path);
    // Broken module code would otherwise go unnoticed by its author.
    if (nE_LuaChunk::run(L, code, "=" + file, error, traceback, codeLine)) return;
    nE_ErrorLog::Entry entry;
    std::string text;
    nE_LuaChunk::place(error, traceback, file, entry.file, entry.line, text);
    entry.message = "Module error: " + path + " " + text;
    entry.traceback = nE_LuaChunk::withLevels(traceback);
    nE_ErrorLog::report(entry);
}

void nE_Module::bringInWithObjects(std::unique_ptr<nE_Module> module, nE_Scene& scene,
                                   nE_TriggerHub& triggers) {
    if (!module || module->refused) return;
    if (module->root) {
        // Taken out of the root all at once: one by one, each would shift the rest of its list.
        std::vector<nE_Object*> children;
        children.swap(module->root->children);
        for (nE_Object* child : children) child->parent = nullptr;
        // A child the storage refuses (a name clash making a cycle) goes with the root.
        for (nE_Object* refused : scene.attachAll(scene.storage(), children)) delete refused;
        module->root.reset();
    }
    module->registerTriggers(triggers);
    triggers.addUsedModule(module->path);
    module->runCode(triggers);
}

void nE_Module::bringInWithoutObjects(std::unique_ptr<nE_Module> module, nE_TriggerHub& triggers) {
    if (!module || module->refused) return;
    module->registerTriggers(triggers);
    module->runCode(triggers);
    triggers.addUsedModule(module->path);
}

bool nE_Module::acceptsPath(const std::string& path) {
    return !nE_Path::resolve(fileName(path), nE_Path::kGameFolder, "Module").empty();
}

void nE_Module::bringIn(const std::string& path, bool withObjects) {
    nE_Core* core = nE_Core::get();
    if (!core) return;
    if (withObjects) {
        bringInWithObjects(load(path), core->scene(), core->triggerHub());
    } else {
        bringInWithoutObjects(load(path), core->triggerHub());
    }
}
