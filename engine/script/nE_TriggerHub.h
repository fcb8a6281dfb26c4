// Registry of triggers, the queue of pending calls, the running stack and the used modules.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/script/nE_TriggerCall.h"

struct lua_State;
namespace tinyxml2 {
class XMLElement;
class XMLNode;
}  // namespace tinyxml2

class nE_TriggerHub {
public:
    // The hub runs trigger code in L (not owned); it may be set later.
    explicit nE_TriggerHub(lua_State* L = nullptr) : lua_(L) {}
    nE_TriggerHub(const nE_TriggerHub&) = delete;
    nE_TriggerHub& operator=(const nE_TriggerHub&) = delete;

    void setLuaState(lua_State* L) { lua_ = L; }
    lua_State* luaState() const { return lua_; }

    // Adds the trigger under its name. The first registration of a name wins: false (and the new trigger
    // is destroyed) when the name is taken.
    bool registerTrigger(std::unique_ptr<nE_Trigger> trigger);
    nE_Trigger* find(const std::string& name) const;
    // Calls already queued still run the removed trigger.
    void remove(const std::string& name);

    // Queues the call string for the next run of the queue; false when it names no trigger.
    bool queueCall(const std::string& sender, const std::string& call);
    // Runs the call at once; false when it names no trigger.
    bool executeNow(const std::string& sender, const std::string& call);
    // Runs the calls queued before this run; calls queued meanwhile wait for the next one.
    void runQueue();

    // Why a call string runs nothing, in words for its author; empty when it names a registered trigger
    // or is blank (an absent end trigger may be written as a space).
    std::string refusal(const std::string& call) const;
    // Reports through the error log a call that runs nothing: `who` made it (e.g. object "door"), at
    // file and line (empty, 0 when unknown). A line still among the error log's latest is not
    // written again, so a looping animation does not repeat it every turn.
    void reportRefused(const std::string& call, const std::string& who, const std::string& file,
                       int line) const;
    // Queues the call; when it runs nothing, reports it as above.
    bool queueCallFrom(const std::string& sender, const std::string& call, const std::string& who,
                       const std::string& file, int line);

    // Parses a call string against the registry; nothing when it is malformed or names no trigger.
    std::optional<nE_TriggerCall> parseCall(const std::string& sender, const std::string& text) const;

    // Appends a "trg_dump" element (queued calls and used modules) under parent and returns it.
    tinyxml2::XMLElement* dump(tinyxml2::XMLNode* parent) const;
    // Clears the hub, brings the dumped modules back in without their objects, then queues the dumped calls
    // whose triggers are registered. `node` contains "trg_dump" (or is it).
    void restore(const tinyxml2::XMLNode* node);

    void addUsedModule(const std::string& path);
    const std::vector<std::string>& usedModules() const { return usedModules_; }
    const std::vector<nE_TriggerCall>& queue() const { return queue_; }
    size_t runningDepth() const { return running_.size(); }
    // The innermost call running now; null between calls.
    const nE_TriggerCall* runningCall() const { return running_.empty() ? nullptr : &running_.back(); }
    size_t triggerCount() const { return registry_.size(); }

    // Destroys every registered trigger and empties the registry, the queue and the used modules.
    void clear();

private:
    void execute(const nE_TriggerCall& call);
    void setParams(const nE_TriggerCall& call);

    lua_State* lua_;
    std::map<std::string, std::shared_ptr<nE_Trigger>> registry_;
    std::vector<nE_TriggerCall> queue_;
    std::vector<nE_TriggerCall> running_;
    std::vector<std::string> usedModules_;
};
