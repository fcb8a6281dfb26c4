#include "game/check/nG_ModuleCheck.h"

#include <tinyxml2.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "engine/core/nE_Factory.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/objects/nE_Text.h"
#include "engine/script/nE_LuaScan.h"
#include "engine/script/nE_Module.h"
#include "game/check/nG_FormatCheck.h"

namespace {

using Place = nG_CheckSession::Place;
using R = nE_ContentRules;

const char* const kTopLevel[] = {"module", "objs", "trigs", "code"};

// A boolean key as the loaders read it: a number other than 0.
bool truthy(const tinyxml2::XMLElement* e, const std::string& key) {
    const char* value = e->Attribute(key.c_str());
    return value && std::strtoll(value, nullptr, 10) != 0;
}

}  // namespace

bool nG_ModuleCheck::looksLikeModule(const tinyxml2::XMLDocument& doc) {
    for (const char* name : kTopLevel)
        if (doc.FirstChildElement(name)) return true;
    return false;
}

void nG_ModuleCheck::text(nG_CheckSession& s, nG_CheckSession::Module& m, const std::string& text) {
    tinyxml2::XMLDocument doc;
    if (!nG_FormatCheck::parse(s, doc, m.file, text)) return;
    m.readable = true;
    // The loader reads the first of each top-level element only.
    for (const char* name : kTopLevel) {
        const tinyxml2::XMLElement* first = doc.FirstChildElement(name);
        for (const tinyxml2::XMLElement* e = first ? first->NextSiblingElement(name) : nullptr; e;
             e = e->NextSiblingElement(name))
            s.fault(Place{m.file, e->GetLineNum()},
                    "only the first <" + std::string(name) + "> of a module is read; this one is ignored");
    }
    if (const tinyxml2::XMLElement* objs = doc.FirstChildElement("objs")) {
        if (const tinyxml2::XMLElement* first = objs->FirstChildElement()) {
            objectTree(s, m, first, Frame());
            for (const tinyxml2::XMLElement* e = first->NextSiblingElement(); e; e = e->NextSiblingElement())
                s.fault(Place{m.file, e->GetLineNum()}, "only the first element inside <objs> is read; <" +
                                                            std::string(e->Name()) +
                                                            "> is ignored (put it inside the first)");
        }
    }
    if (const tinyxml2::XMLElement* trigs = doc.FirstChildElement("trigs")) {
        std::map<std::string, int> seen;
        for (const tinyxml2::XMLElement* trig = trigs->FirstChildElement("trig"); trig;
             trig = trig->NextSiblingElement("trig")) {
            const char* value = trig->Attribute("name");
            const std::string name = value ? value : "";
            auto earlier = seen.find(name);
            if (earlier != seen.end()) {
                s.fault(Place{m.file, nG_FormatCheck::lineOf(trig, "name")},
                        "trigger \"" + name + "\" is registered again (first at line " +
                            std::to_string(earlier->second) + "); the first one is used");
                continue;
            }
            seen[name] = trig->GetLineNum();
            m.triggers.insert(name);
            std::string code;
            int line = 0;
            if (nG_FormatCheck::textOf(trig->FirstChildElement("code"), code, line))
                lua(s, &m, code, Place{m.file, line});
        }
    }
    std::string code;
    int line = 0;
    if (nG_FormatCheck::textOf(doc.FirstChildElement("code"), code, line))
        lua(s, &m, code, Place{m.file, line});
}

void nG_ModuleCheck::objectTree(nG_CheckSession& s, nG_CheckSession::Module& m, const tinyxml2::XMLElement* e,
                                const Frame& parent) {
    const std::string type = e->Name();
    if (!nE_Factory::has(type)) {
        s.fault(Place{m.file, e->GetLineNum()},
                "<" + type + "> is no object type; it is skipped with everything inside it");
        return;
    }
    s.typesUsed.insert(type);
    const char* objectName = e->Attribute("name");
    if (objectName) m.objects.insert(objectName);
    // An attribute the type's load never reads leaves the object with its default, silently.
    const std::set<std::string>& known = s.keysOf(type);
    for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        if (known.count(a->Name())) continue;
        const std::string who = objectName ? "object \"" + std::string(objectName) + "\"" : "<" + type + ">";
        s.fault(Place{m.file, a->GetLineNum()}, who + ": unknown attribute \"" + std::string(a->Name()) +
                                                    "\"" + nG_CheckSession::suggestion(a->Name(), known));
    }
    const std::vector<R::Key>& keys = R::keys();
    for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
        for (const R::Key& key : keys) {
            if ((key.type != type && key.type != "*") || key.key != a->Name()) continue;
            if (!key.unlessKey.empty() && truthy(e, key.unlessKey)) continue;
            s.reference(key.kind, a->Value(), Place{m.file, a->GetLineNum()}, &m);
        }
    }
    // What an animated object plays is looked up once every animation file is read.
    for (const R::Key& key : keys) {
        const char* res = e->Attribute(key.key.c_str());
        if (key.type != type || key.kind != R::kAnimation || !res || !*res || !objectName) continue;
        s.objectAnimations[objectName].insert(nE_AssetFiles::animation(res));
        if (const char* function = e->Attribute("animfunc"))
            s.animationUses.push_back(nG_CheckSession::AnimationUse{
                objectName, function, Place{m.file, nG_FormatCheck::lineOf(e, "animfunc")}});
    }
    Frame frame = parent;
    bool placed = false;
    for (const R::Placement& p : R::placements()) {
        if (p.parent != parent.object) continue;
        frame.x = p.x;
        frame.y = p.y;
        placed = true;
    }
    if (!placed) {
        frame.x += e->FloatAttribute("pos_x");
        frame.y += e->FloatAttribute("pos_y");
    }
    frame.object = objectName ? objectName : "";
    if (type == "text" && !truthy(e, "disprawtext") && e->Attribute("text") && *e->Attribute("text")) {
        nG_CheckSession::TextUse use;
        use.key = e->Attribute("text");
        use.at = Place{m.file, nG_FormatCheck::lineOf(e, "text")};
        use.font = e->Attribute("res") ? e->Attribute("res") : "";
        use.size = e->IntAttribute("fontsize", nE_Text::kDefaultFontSize);
        use.maxWidth = e->IntAttribute("maxwidth", nE_Text::kDefaultMaxWidth);
        use.align = e->IntAttribute("align", nE_Text::kDefaultAlign);
        use.x = frame.x;
        use.y = frame.y;
        use.image = parent.image;
        use.imageX = parent.imageX;
        use.imageY = parent.imageY;
        use.imageScaleX = parent.imageScaleX;
        use.imageScaleY = parent.imageScaleY;
        s.textUses.push_back(use);
    }
    for (const R::Key& key : keys) {
        const char* res = e->Attribute(key.key.c_str());
        if (key.type != type || key.kind != R::kImage || !res || !*res) continue;
        frame.image = res;
        frame.imageX = frame.x + e->FloatAttribute("drawoff_x");
        frame.imageY = frame.y + e->FloatAttribute("drawoff_y");
        frame.imageScaleX = e->FloatAttribute("scale_x", 1);
        frame.imageScaleY = e->FloatAttribute("scale_y", 1);
        break;
    }
    for (const tinyxml2::XMLElement* child = e->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (std::strcmp(child->Name(), "animlines") == 0) {
            for (const tinyxml2::XMLElement* line = child->FirstChildElement("line"); line;
                 line = line->NextSiblingElement("line"))
                if (const char* trigger = line->Attribute("endtrig"))
                    s.reference(R::kTrigger, trigger, Place{m.file, nG_FormatCheck::lineOf(line, "endtrig")},
                                &m);
            continue;
        }
        objectTree(s, m, child, frame);
    }
}

void nG_ModuleCheck::lua(nG_CheckSession& s, nG_CheckSession::Module* m, const std::string& code,
                         const Place& at) {
    // Code that does not compile never runs; its calls are not looked at.
    if (!s.compileLua(code, at)) return;
    if (m) {
        nE_LuaScan::Globals globals = nE_LuaScan::globals(code);
        s.luaDefined.insert(globals.defined.begin(), globals.defined.end());
        for (const nE_LuaScan::Call& call : globals.calls)
            s.functionUses.push_back(
                nG_CheckSession::FunctionUse{call.function, Place{at.file, at.line + call.line - 1}});
    }
    for (const nE_LuaScan::Call& call : nE_LuaScan::calls(code, s.scannedFunctions())) {
        const std::vector<R::Argument> rules = s.argumentsOf(call.function);
        // The level file a call starts, for the trigger call it runs there.
        std::string level;
        for (const R::Argument& rule : rules) {
            if (rule.kind != R::kLevel || rule.position > static_cast<int>(call.arguments.size())) continue;
            const nE_LuaScan::Argument& arg = call.arguments[static_cast<size_t>(rule.position - 1)];
            if (arg.literal && !arg.value.empty()) level = nE_Module::fileName(arg.value);
        }
        if (call.function == "AnmPlay" && call.arguments.size() >= 2 && call.arguments[0].literal &&
            call.arguments[1].literal)
            s.animationUses.push_back(
                nG_CheckSession::AnimationUse{call.arguments[0].value, call.arguments[1].value,
                                              Place{at.file, at.line + call.arguments[1].line - 1}});
        for (const R::Argument& rule : rules) {
            if (rule.position < 1 || rule.position > static_cast<int>(call.arguments.size())) continue;
            const nE_LuaScan::Argument& arg = call.arguments[static_cast<size_t>(rule.position - 1)];
            if (!arg.literal) {
                if (rule.kind == R::kModule && m) m->loadsUnknown = true;
                continue;
            }
            std::string name = arg.value;
            if (!rule.pattern.empty()) {
                name = rule.pattern;
                const size_t hole = name.find("%s");
                if (hole != std::string::npos) name.replace(hole, 2, arg.value);
            }
            s.reference(rule.kind, name, Place{at.file, at.line + arg.line - 1}, m, level);
            if (rule.kind == R::kStringKey)
                s.keyCalls.push_back(nG_CheckSession::KeyCall{call.function, rule.position, rule.pattern,
                                                              name, Place{at.file, at.line + arg.line - 1}});
        }
    }
}
