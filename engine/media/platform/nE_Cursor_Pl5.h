// The cursor service on the platform: drawn cursors (an image or an animation) and, when switched on,
// the system's own cursors through SDL.
#pragma once

#include <memory>
#include <vector>

#include "engine/media/nE_Cursor.h"

class nE_Sprite;
struct SDL_Cursor;

class nE_Cursor_Pl5 : public nE_Cursor {
public:
    struct Entry {
        bool animated = false;
        float offsetX = 0, offsetY = 0;
        std::unique_ptr<nE_Sprite> object;  // an nE_Sprite or nE_AnimSprite, or none
        SDL_Cursor* system = nullptr;
    };

    // Hides the system pointer: the drawn cursor takes its place.
    nE_Cursor_Pl5();
    ~nE_Cursor_Pl5() override;

    // Switching on shows the system pointer with the current entry's shape; off hides it again.
    void setUseSystem(bool use) override;
    bool isUsingSystem() const override { return useSystem; }
    // Ignores an index out of range or equal to the current one (an animation does not restart).
    void select(int index) override;
    void setPosition(float x, float y) override;
    void draw(nE_Render* renderer) override;
    void update(float dt) override;
    // "<name>.xml" makes an animated cursor playing "DoAnim", else "<name>.png" a still one; with
    // neither the entry draws nothing. Returns the new entry's index.
    int add(const nE_CursorDesc& desc) override;

    const std::vector<Entry>& entries() const { return entries_; }

    // The SDL system cursor for a Windows cursor identifier (IDC_ARROW 32512 ...), -1 for none.
    static int systemCursorFor(int identifier);

private:
    const Entry* currentEntry() const;

    std::vector<Entry> entries_;
};
