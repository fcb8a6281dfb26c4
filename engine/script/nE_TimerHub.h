// Named, tagged timers that queue trigger calls when they fire.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/script/nE_Timer.h"

class nE_TriggerHub;
namespace tinyxml2 {
class XMLElement;
class XMLNode;
}  // namespace tinyxml2

class nE_TimerHub {
public:
    // Fired calls go to `triggers` (not owned); it may be set later.
    explicit nE_TimerHub(nE_TriggerHub* triggers = nullptr) : triggers_(triggers) {}
    nE_TimerHub(const nE_TimerHub&) = delete;
    nE_TimerHub& operator=(const nE_TimerHub&) = delete;

    void setTriggerHub(nE_TriggerHub* triggers) { triggers_ = triggers; }

    // The timer started, owned by the hub.
    nE_Timer* start(const std::string& name, const std::string& call, float seconds);
    // The first timer of that name is finished without firing.
    void stop(const std::string& name);
    void stopByTag(const std::string& tag);
    // Every timer of that name: running = (n == 0).
    void pause(const std::string& name, int n);
    // In every timer carrying the tag, the tag's switch = (n == 0).
    void pauseByTag(const std::string& tag, int n);
    // Elapsed seconds of the first timer of that name; 0 if none.
    float getTime(const std::string& name) const;
    void addTag(const std::string& name, const std::string& tag);
    void removeTag(const std::string& name, const std::string& tag);

    // Advances the running timers, newest first; fired and stopped timers are removed.
    void update(float dt);
    void clear() { timers_.clear(); }

    // Appends a "timer_dump" element under parent and returns it.
    tinyxml2::XMLElement* dump(tinyxml2::XMLNode* parent) const;
    // Replaces all timers by those dumped in "timer_dump" under `node` (or `node` itself).
    void restore(const tinyxml2::XMLNode* node);

    const std::vector<std::unique_ptr<nE_Timer>>& timers() const { return timers_; }

    bool paused = false;

private:
    nE_Timer* first(const std::string& name) const;

    nE_TriggerHub* triggers_;
    std::vector<std::unique_ptr<nE_Timer>> timers_;
};
