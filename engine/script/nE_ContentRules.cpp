#include "engine/script/nE_ContentRules.h"

namespace {

struct Tables {
    std::vector<nE_ContentRules::Key> keys;
    std::vector<nE_ContentRules::Argument> arguments;
    std::vector<nE_ContentRules::Need> needs;
    std::vector<nE_ContentRules::TextBox> textBoxes;
    std::vector<nE_ContentRules::Placement> placements;
};

Tables& tables() {
    static Tables t;
    return t;
}

nE_ContentRules::Kind kindOfLetter(char letter) {
    switch (letter) {
        case 'i':
            return nE_ContentRules::kImage;
        case 'a':
            return nE_ContentRules::kAnimation;
        case 'f':
            return nE_ContentRules::kFont;
        case 's':
            return nE_ContentRules::kSound;
        case 'v':
            return nE_ContentRules::kVideo;
        case 'p':
            return nE_ContentRules::kParticles;
        case 'c':
            return nE_ContentRules::kCursor;
        case 'g':
            return nE_ContentRules::kGuide;
        case 'm':
            return nE_ContentRules::kModule;
        case 'l':
            return nE_ContentRules::kLevel;
        case 'F':
            return nE_ContentRules::kFile;
        case 'k':
            return nE_ContentRules::kStringKey;
        case 't':
            return nE_ContentRules::kTrigger;
        case 'T':
            return nE_ContentRules::kLevelTrigger;
        case 'o':
            return nE_ContentRules::kObject;
        default:
            return nE_ContentRules::kNone;
    }
}

}  // namespace

void nE_ContentRules::addKey(const std::string& type, const std::string& key, Kind kind,
                             const std::string& unlessKey) {
    for (Key& k : tables().keys) {
        if (k.type == type && k.key == key) {
            k.kind = kind;
            k.unlessKey = unlessKey;
            return;
        }
    }
    tables().keys.push_back(Key{type, key, kind, unlessKey});
}

void nE_ContentRules::addArgument(const std::string& function, int position, Kind kind,
                                  const std::string& pattern) {
    for (Argument& a : tables().arguments) {
        if (a.function == function && a.position == position) {
            a.kind = kind;
            a.pattern = pattern;
            return;
        }
    }
    tables().arguments.push_back(Argument{function, position, kind, pattern});
}

void nE_ContentRules::addArguments(const std::string& function, const char* letters) {
    if (!letters) return;
    for (int i = 0; letters[i]; ++i) {
        const Kind kind = kindOfLetter(letters[i]);
        if (kind != kNone) addArgument(function, i + 1, kind);
    }
}

void nE_ContentRules::addNeed(const Need& need) {
    tables().needs.push_back(need);
}

void nE_ContentRules::addTextBox(const TextBox& box) {
    tables().textBoxes.push_back(box);
}

void nE_ContentRules::addCaption(const std::string& owner, const std::string& key, const std::string& font,
                                 int size, const std::string& image) {
    TextBox box;
    box.owner = owner;
    box.font = font;
    box.size = size;
    box.wraps = false;
    box.key = key;
    box.image = image;
    addTextBox(box);
}

void nE_ContentRules::addPlacement(const Placement& placement) {
    tables().placements.push_back(placement);
}

const std::vector<nE_ContentRules::Placement>& nE_ContentRules::placements() {
    return tables().placements;
}

const std::vector<nE_ContentRules::TextBox>& nE_ContentRules::textBoxes() {
    return tables().textBoxes;
}

const std::vector<nE_ContentRules::Key>& nE_ContentRules::keys() {
    return tables().keys;
}

const std::vector<nE_ContentRules::Argument>& nE_ContentRules::arguments() {
    return tables().arguments;
}

const std::vector<nE_ContentRules::Need>& nE_ContentRules::needs() {
    return tables().needs;
}

void nE_ContentRules::clear() {
    tables() = Tables();
}

const char* nE_ContentRules::kindName(Kind kind) {
    switch (kind) {
        case kImage:
            return "image";
        case kAnimation:
            return "animation";
        case kFrameTexture:
            return "frame texture";
        case kFont:
            return "font";
        case kSound:
            return "sound";
        case kVideo:
            return "video";
        case kParticles:
            return "particle file";
        case kCursor:
            return "cursor";
        case kGuide:
            return "strategy guide";
        case kModule:
            return "module";
        case kLevel:
            return "level file";
        case kFile:
            return "file";
        case kStringKey:
            return "string key";
        case kTrigger:
        case kLevelTrigger:
            return "trigger call";
        case kObject:
            return "object";
        case kNone:
            break;
    }
    return "name";
}
