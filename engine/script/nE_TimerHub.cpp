#include "engine/script/nE_TimerHub.h"

#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/core/nE_Xml.h"
#include "engine/script/nE_TriggerHub.h"

namespace {

// Tags are written as element names; a tag that is no valid XML name would make the whole saved game
// unreadable, so such a tag is written as a "tag" element carrying the name in an attribute.
bool isXmlName(const std::string& text) {
    if (text.empty()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool start =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        const bool inner = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!start && (i == 0 || !inner)) return false;
    }
    return true;
}

}  // namespace

nE_Timer* nE_TimerHub::first(const std::string& name) const {
    for (const auto& timer : timers_) {
        if (timer->name == name) return timer.get();
    }
    return nullptr;
}

nE_Timer* nE_TimerHub::start(const std::string& name, const std::string& call, float seconds) {
    timers_.push_back(std::make_unique<nE_Timer>(name, call, seconds));
    return timers_.back().get();
}

void nE_TimerHub::stop(const std::string& name) {
    if (nE_Timer* timer = first(name)) {
        timer->finished = true;
        timer->running = false;
    }
}

void nE_TimerHub::stopByTag(const std::string& tag) {
    for (const auto& timer : timers_) {
        if (timer->tags.count(tag)) timer->finished = true;
    }
}

void nE_TimerHub::pause(const std::string& name, int n) {
    for (const auto& timer : timers_) {
        if (timer->name == name) timer->running = (n == 0);
    }
}

void nE_TimerHub::pauseByTag(const std::string& tag, int n) {
    for (const auto& timer : timers_) {
        auto it = timer->tags.find(tag);
        if (it != timer->tags.end()) it->second = (n == 0);
    }
}

float nE_TimerHub::getTime(const std::string& name) const {
    const nE_Timer* timer = first(name);
    return timer ? timer->elapsed : 0.0f;
}

void nE_TimerHub::addTag(const std::string& name, const std::string& tag) {
    if (nE_Timer* timer = first(name)) timer->tags[tag] = true;
}

void nE_TimerHub::removeTag(const std::string& name, const std::string& tag) {
    if (nE_Timer* timer = first(name)) timer->tags.erase(tag);
}

void nE_TimerHub::update(float dt) {
    if (paused) return;
    for (size_t i = timers_.size(); i-- > 0;) {
        nE_Timer& timer = *timers_[i];
        if (!timer.finished && timer.runs()) {
            timer.elapsed += dt;
            if (timer.elapsed >= timer.fireTime) {
                timer.elapsed = timer.fireTime;
                timer.finished = true;
                timer.running = false;
                if (triggers_)
                    triggers_->queueCallFrom(timer.name, timer.call, "timer \"" + timer.name + "\"",
                                             timer.file, timer.line);
            }
        }
        if (timer.finished) timers_.erase(timers_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

tinyxml2::XMLElement* nE_TimerHub::dump(tinyxml2::XMLNode* parent) const {
    if (!parent || !parent->GetDocument()) return nullptr;
    tinyxml2::XMLDocument* doc = parent->GetDocument();
    tinyxml2::XMLElement* root = doc->NewElement("timer_dump");
    parent->InsertEndChild(root);
    tinyxml2::XMLElement* list = doc->NewElement("timers");
    root->InsertEndChild(list);
    char number[64];
    for (const auto& timer : timers_) {
        if (timer->finished) continue;
        tinyxml2::XMLElement* element = doc->NewElement("timer");
        element->SetAttribute("name", timer->name.c_str());
        element->SetAttribute("code", timer->call.c_str());
        std::snprintf(number, sizeof number, "%g", timer->elapsed);
        element->SetAttribute("curtime", number);
        std::snprintf(number, sizeof number, "%g", timer->fireTime);
        element->SetAttribute("firetime", number);
        element->SetAttribute("playing", timer->running ? "1" : "0");
        tinyxml2::XMLElement* tags = doc->NewElement("tags");
        element->InsertEndChild(tags);
        for (const auto& tag : timer->tags) {
            const bool plain = isXmlName(tag.first);
            tinyxml2::XMLElement* entry = doc->NewElement(plain ? tag.first.c_str() : "tag");
            if (!plain) entry->SetAttribute("name", tag.first.c_str());
            entry->SetAttribute("playing", tag.second ? "1" : "0");
            tags->InsertEndChild(entry);
        }
        list->InsertEndChild(element);
    }
    return root;
}

void nE_TimerHub::restore(const tinyxml2::XMLNode* node) {
    clear();
    if (!node) return;
    const tinyxml2::XMLElement* root = nullptr;
    const tinyxml2::XMLElement* self = node->ToElement();
    if (self && std::strcmp(self->Name(), "timer_dump") == 0) {
        root = self;
    } else {
        root = node->FirstChildElement("timer_dump");
    }
    const tinyxml2::XMLElement* list = root ? root->FirstChildElement("timers") : nullptr;
    if (!list) return;
    for (const tinyxml2::XMLElement* element = list->FirstChildElement(); element;
         element = element->NextSiblingElement()) {
        auto timer =
            std::make_unique<nE_Timer>(nE_Xml::text(element, "name", ""), nE_Xml::text(element, "code", ""),
                                       nE_Xml::number(element, "firetime"));
        timer->elapsed = nE_Xml::number(element, "curtime");
        timer->running = nE_Xml::text(element, "playing") == "1";
        if (const tinyxml2::XMLElement* tags = element->FirstChildElement("tags")) {
            for (const tinyxml2::XMLElement* tag = tags->FirstChildElement(); tag;
                 tag = tag->NextSiblingElement()) {
                timer->tags[nE_Xml::text(tag, "name", tag->Name())] = nE_Xml::text(tag, "playing") != "0";
            }
        }
        timers_.push_back(std::move(timer));
    }
}
