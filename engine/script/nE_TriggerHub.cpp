#include "engine/script/nE_TriggerHub.h"

#include <tinyxml2.h>

#include <lua.hpp>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ErrorLog.h"
#include "engine/core/nE_Xml.h"
#include "engine/script/nE_CallString.h"
#include "engine/script/nE_LuaCall.h"
#include "engine/script/nE_Module.h"

namespace {

const tinyxml2::XMLElement* findDump(const tinyxml2::XMLNode* node, const char* name) {
    if (!node) return nullptr;
    if (const tinyxml2::XMLElement* self = node->ToElement()) {
        if (self->Name() && std::string(self->Name()) == name) return self;
    }
    return node->FirstChildElement(name);
}

}  // namespace

bool nE_TriggerHub::registerTrigger(std::unique_ptr<nE_Trigger> trigger) {
    if (!trigger) return false;
    const std::string name = trigger->name;
    return registry_.emplace(name, std::shared_ptr<nE_Trigger>(std::move(trigger))).second;
}

nE_Trigger* nE_TriggerHub::find(const std::string& name) const {
    auto it = registry_.find(name);
    return it == registry_.end() ? nullptr : it->second.get();
}

void nE_TriggerHub::remove(const std::string& name) {
    registry_.erase(name);
}

std::optional<nE_TriggerCall> nE_TriggerHub::parseCall(const std::string& sender,
                                                       const std::string& text) const {
    std::string name, params;
    if (!nE_CallString::split(text, name, params)) return std::nullopt;
    auto it = registry_.find(name);
    if (it == registry_.end()) return std::nullopt;
    return nE_TriggerCall{it->second, params, sender};
}

bool nE_TriggerHub::queueCall(const std::string& sender, const std::string& call) {
    std::optional<nE_TriggerCall> parsed = parseCall(sender, call);
    if (!parsed) return false;
    queue_.push_back(std::move(*parsed));
    return true;
}

std::string nE_TriggerHub::refusal(const std::string& call) const {
    if (call.find_first_not_of(" \t\r\n") == std::string::npos) return std::string();
    std::string name, params;
    if (!nE_CallString::split(call, name, params)) return "its \"(\" is never closed";
    if (registry_.count(name)) return std::string();
    return "no trigger \"" + name + "\" is registered";
}

void nE_TriggerHub::reportRefused(const std::string& call, const std::string& who, const std::string& file,
                                  int line) const {
    const std::string why = refusal(call);
    if (why.empty()) return;
    nE_ErrorLog::Entry entry{file, line, who + (who.empty() ? "" : " ") + "calls \"" + call + "\": " + why,
                             ""};
    // Said once while it is among the latest errors: a looping animation would repeat it every turn,
    // but after a reload cleared them it shows again.
    for (const nE_ErrorLog::Entry& kept : nE_ErrorLog::recent())
        if (kept.file == entry.file && kept.line == entry.line && kept.message == entry.message) return;
    nE_ErrorLog::report(entry);
}

bool nE_TriggerHub::queueCallFrom(const std::string& sender, const std::string& call, const std::string& who,
                                  const std::string& file, int line) {
    if (queueCall(sender, call)) return true;
    reportRefused(call, who, file, line);
    return false;
}

bool nE_TriggerHub::executeNow(const std::string& sender, const std::string& call) {
    std::optional<nE_TriggerCall> parsed = parseCall(sender, call);
    if (!parsed) return false;
    execute(*parsed);
    return true;
}

void nE_TriggerHub::runQueue() {
    if (queue_.empty()) return;
    std::vector<nE_TriggerCall> pending;
    pending.swap(queue_);
    for (const nE_TriggerCall& call : pending) execute(call);
}

void nE_TriggerHub::execute(const nE_TriggerCall& call) {
    running_.push_back(call);
    setParams(call);
    // Hold the trigger: the code may delete it from the registry while it runs.
    std::shared_ptr<nE_Trigger> trigger = call.trigger;
    trigger->execute(lua_);
    running_.pop_back();
    if (!running_.empty()) setParams(running_.back());
}

namespace {

struct Params {
    std::vector<std::pair<std::string, std::string>> fields;
};

// Runs protected: builds the table and stores it raw, so that a module guarding its globals with a
// metatable can neither block nor break it.
int storeParams(lua_State* L) {
    const auto* params = static_cast<const Params*>(lua_touserdata(L, 1));
    lua_pushliteral(L, "ne_params");
    lua_createtable(L, 0, static_cast<int>(params->fields.size()));
    for (const auto& field : params->fields) {
        lua_pushlstring(L, field.first.data(), field.first.size());
        lua_pushlstring(L, field.second.data(), field.second.size());
        lua_rawset(L, -3);
    }
    lua_rawset(L, LUA_GLOBALSINDEX);
    return 0;
}

}  // namespace

void nE_TriggerHub::setParams(const nE_TriggerCall& call) {
    if (!lua_) return;
    Params params;
    const std::vector<std::string> pieces = nE_CallString::pieces(call.params);
    for (size_t i = 0; i < pieces.size(); ++i)
        params.fields.emplace_back("param_" + std::to_string(i), pieces[i]);
    params.fields.emplace_back("sender", call.sender);
    std::string error;
    if (!nE_LuaCall::protect(lua_, storeParams, &params, error))
        nE_Debug::writef("Trigger error: %s %s", call.trigger->name.c_str(), error.c_str());
}

tinyxml2::XMLElement* nE_TriggerHub::dump(tinyxml2::XMLNode* parent) const {
    if (!parent || !parent->GetDocument()) return nullptr;
    tinyxml2::XMLDocument* doc = parent->GetDocument();
    tinyxml2::XMLElement* root = doc->NewElement("trg_dump");
    parent->InsertEndChild(root);
    tinyxml2::XMLElement* queue = doc->NewElement("queue");
    root->InsertEndChild(queue);
    for (const nE_TriggerCall& call : queue_) {
        tinyxml2::XMLElement* trig = doc->NewElement("trig");
        trig->SetAttribute("name", call.trigger->name.c_str());
        trig->SetAttribute("params", call.params.c_str());
        trig->SetAttribute("sender", call.sender.c_str());
        queue->InsertEndChild(trig);
    }
    tinyxml2::XMLElement* modules = doc->NewElement("used_modules");
    root->InsertEndChild(modules);
    for (const std::string& path : usedModules_) {
        tinyxml2::XMLElement* module = doc->NewElement("module");
        module->SetAttribute("name", path.c_str());
        modules->InsertEndChild(module);
    }
    return root;
}

void nE_TriggerHub::restore(const tinyxml2::XMLNode* node) {
    clear();
    const tinyxml2::XMLElement* root = findDump(node, "trg_dump");
    if (!root) return;
    if (const tinyxml2::XMLElement* modules = root->FirstChildElement("used_modules")) {
        for (const tinyxml2::XMLElement* module = modules->FirstChildElement(); module;
             module = module->NextSiblingElement()) {
            const std::string path = nE_Xml::text(module, "name");
            // A tampered save must not run code from elsewhere.
            if (path.empty() || !nE_Module::acceptsPath(path)) continue;
            nE_Module::bringInWithoutObjects(nE_Module::load(path), *this);
        }
    }
    if (const tinyxml2::XMLElement* queue = root->FirstChildElement("queue")) {
        for (const tinyxml2::XMLElement* trig = queue->FirstChildElement(); trig;
             trig = trig->NextSiblingElement()) {
            const std::string name = nE_Xml::text(trig, "name");
            if (name.empty()) continue;
            auto it = registry_.find(name);
            if (it == registry_.end()) continue;
            queue_.push_back(nE_TriggerCall{it->second, nE_Xml::text(trig, "params", ""),
                                            nE_Xml::text(trig, "sender", "")});
        }
    }
}

void nE_TriggerHub::addUsedModule(const std::string& path) {
    for (const std::string& used : usedModules_) {
        if (used == path) return;
    }
    usedModules_.push_back(path);
}

void nE_TriggerHub::clear() {
    registry_.clear();
    queue_.clear();
    usedModules_.clear();
}
