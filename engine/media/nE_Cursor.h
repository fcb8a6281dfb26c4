// The cursor service: engine-drawn cursors in place of the system pointer. The base only keeps the
// pointer position; the platform binding selects, updates and draws the cursor entries.
#pragma once

#include <cstdint>
#include <string>

class nE_Render;

// What add() is given: resource name without extension, hot-spot offset, predefined system cursor.
struct nE_CursorDesc {
    std::string name;
    float offsetX = 0, offsetY = 0;
    uint16_t systemCursor = 0;
};

class nE_Cursor {
public:
    nE_Cursor() = default;
    virtual ~nE_Cursor();
    nE_Cursor(const nE_Cursor&) = delete;
    nE_Cursor& operator=(const nE_Cursor&) = delete;

    virtual void setUseSystem(bool use);
    virtual bool isUsingSystem() const;
    virtual void select(int index);
    // Stores the position and shows the drawn cursor again.
    virtual void setPosition(float x, float y);
    virtual void draw(nE_Render* renderer);
    virtual void update(float dt);
    // Returns the index of the new entry; the base keeps no entries and returns -1.
    virtual int add(const nE_CursorDesc& desc);

    // The process's cursor service, or none.
    static nE_Cursor* current();
    static void setCurrent(nE_Cursor* cursor);

    float x = 0, y = 0;
    // Index of the selected entry, -1 for none. (Not "current": that name is the service accessor.)
    int currentIndex = -1;
    bool useSystem = false;
    // Suppresses the drawn cursor until the next position update (the pointer left the window).
    bool hidden = false;
};
