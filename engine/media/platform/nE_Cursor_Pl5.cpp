#include "engine/media/platform/nE_Cursor_Pl5.h"

#include <SDL.h>

#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_Render.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "pflib/TPlatform.h"

nE_Cursor_Pl5::nE_Cursor_Pl5() {
    pf::TPlatform::ShowCursor(false);
}

nE_Cursor_Pl5::~nE_Cursor_Pl5() {
    for (Entry& entry : entries_) {
        entry.object.reset();
        if (entry.system) SDL_FreeCursor(entry.system);
        entry.system = nullptr;
    }
}

int nE_Cursor_Pl5::systemCursorFor(int identifier) {
    // Windows' predefined cursor identifiers (IDC_ARROW ... IDC_HELP) and the nearest SDL shape.
    static const struct {
        int identifier;
        SDL_SystemCursor shape;
    } kShapes[] = {
        {32512, SDL_SYSTEM_CURSOR_ARROW},     {32513, SDL_SYSTEM_CURSOR_IBEAM},
        {32514, SDL_SYSTEM_CURSOR_WAIT},      {32515, SDL_SYSTEM_CURSOR_CROSSHAIR},
        {32516, SDL_SYSTEM_CURSOR_ARROW},     {32642, SDL_SYSTEM_CURSOR_SIZENWSE},
        {32643, SDL_SYSTEM_CURSOR_SIZENESW},  {32644, SDL_SYSTEM_CURSOR_SIZEWE},
        {32645, SDL_SYSTEM_CURSOR_SIZENS},    {32646, SDL_SYSTEM_CURSOR_SIZEALL},
        {32648, SDL_SYSTEM_CURSOR_NO},        {32649, SDL_SYSTEM_CURSOR_HAND},
        {32650, SDL_SYSTEM_CURSOR_WAITARROW}, {32651, SDL_SYSTEM_CURSOR_ARROW},
    };
    for (const auto& entry : kShapes)
        if (entry.identifier == identifier) return entry.shape;
    return -1;
}

const nE_Cursor_Pl5::Entry* nE_Cursor_Pl5::currentEntry() const {
    if (currentIndex < 0 || currentIndex >= static_cast<int>(entries_.size())) return nullptr;
    return &entries_[currentIndex];
}

void nE_Cursor_Pl5::setUseSystem(bool use) {
    useSystem = use;
    pf::TPlatform::ShowCursor(use);
    if (!use) return;
    if (const Entry* entry = currentEntry()) {
        if (entry->system) SDL_SetCursor(entry->system);
    }
}

void nE_Cursor_Pl5::select(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size()) || index == currentIndex) return;
    currentIndex = index;
    if (useSystem && entries_[index].system) SDL_SetCursor(entries_[index].system);
}

void nE_Cursor_Pl5::setPosition(float newX, float newY) {
    x = newX;
    y = newY;
    if (useSystem && !SDL_GetCursor()) {
        if (const Entry* entry = currentEntry()) {
            if (entry->system) SDL_SetCursor(entry->system);
        }
    }
    hidden = false;
}

void nE_Cursor_Pl5::update(float dt) {
    if (useSystem) return;
    const Entry* entry = currentEntry();
    if (entry && entry->object) entry->object->updateWalk(dt);
}

void nE_Cursor_Pl5::draw(nE_Render* renderer) {
    if (!renderer || useSystem || hidden) return;
    const Entry* entry = currentEntry();
    if (!entry || !entry->object) return;
    renderer->begin2d();
    entry->object->editLocalState()->x = x + entry->offsetX;
    entry->object->editLocalState()->y = y + entry->offsetY;
    entry->object->drawWalk(renderer, nullptr);
    renderer->end2d();
}

int nE_Cursor_Pl5::add(const nE_CursorDesc& desc) {
    Entry entry;
    const std::string file = nE_AssetFiles::cursor(desc.name);
    const bool animated = file.size() > 4 && file.compare(file.size() - 4, 4, ".xml") == 0;
    if (animated) {
        auto animation = std::make_unique<nE_AnimSprite>();
        animation->setResourceName(desc.name);
        animation->activate();
        animation->play("DoAnim", "");
        entry.animated = true;
        entry.object = std::move(animation);
    } else if (!file.empty()) {
        auto sprite = std::make_unique<nE_Sprite>();
        sprite->setResourceName(desc.name);
        sprite->activate();
        entry.object = std::move(sprite);
    }
    entry.offsetX = desc.offsetX;
    entry.offsetY = desc.offsetY;
    const int shape = systemCursorFor(desc.systemCursor);
    // Without a video system (tests, headless runs) SDL makes no cursor; the entry simply has none.
    if (shape >= 0) entry.system = SDL_CreateSystemCursor(static_cast<SDL_SystemCursor>(shape));
    entries_.push_back(std::move(entry));
    return static_cast<int>(entries_.size()) - 1;
}
