// The scene: the live tree under "ne_origin" (updated, drawn, hit, resources held) and the parked tree
// under "ne_storage" (no resources), input dispatch with hover and drag-and-drop, and the update and
// draw walks. Events never call code: they queue trigger calls for the next tick.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class nE_Object;
class nE_Render;
struct nE_InputEvent;

class nE_Scene {
public:
    // Where queued trigger calls go: (sender, call string).
    using QueueHook = std::function<void(const std::string& sender, const std::string& call)>;

    nE_Scene();
    ~nE_Scene();
    nE_Scene(const nE_Scene&) = delete;
    nE_Scene& operator=(const nE_Scene&) = delete;

    nE_Object* root() const { return root_.get(); }
    nE_Object* storage() const { return storage_.get(); }

    // The root, its subtree, the storage, its subtree, in this order; none if absent.
    nE_Object* findObject(const std::string& name) const;
    // Moves the object under the new parent; under the live tree it is activated, under the storage
    // deactivated. Nothing when either is missing or the move would make a cycle.
    void attach(nE_Object* newParent, nE_Object* object);
    // attach for each object in turn, sorting the new parent's children once. Returns those refused.
    std::vector<nE_Object*> attachAll(nE_Object* newParent, const std::vector<nE_Object*>& objects);
    // Parks the object in the storage (scripts park objects, they never destroy them).
    void park(nE_Object* object);
    bool isLive(const nE_Object* object) const;
    // What keeps a script from moving the object: the object itself or one below it that C++ code holds
    // from outside the object's subtree (a scene top, a pinned object, one whose holder lies above the
    // object); none when a move leaves no pointer dangling.
    const nE_Object* heldAgainstMove(const nE_Object* object) const;
    // Whether a script may move the object; a refusal is written to the debug log, headed by who.
    bool scriptMayMove(const nE_Object* object, const char* who) const;

    void dispatch(const nE_InputEvent& event);
    // Completes a pending drop, then runs the update walk.
    void update(float dt);
    void draw(nE_Render* renderer);

    void startDrag(nE_Object* object);
    void drop();

    // Replaces the object's first line of the type with a new one built from the numbers.
    static void addAnimLine(nE_Object* object, int type, bool relative, bool looped,
                            const std::string& endTrigger, const float* numbers, int count);
    static void removeAnimLine(nE_Object* object, int type);

    // Whether a corner of either object's placed input rectangle lies inside the other's.
    static bool intersect(nE_Object* a, nE_Object* b);

    // Deferred destruction, for objects that must go from inside their own handlers (a dialog closing
    // itself, a menu entry removing its menu): the object leaves its tree at once (no walk reaches it,
    // its resources are released) and is destroyed at the next flush: after the outermost dispatch,
    // update or draw of a scene, or by flushDestroyed. The scene's two tops are refused.
    static void destroyLater(nE_Object* object);
    // Destroys what destroyLater collected, unless a walk is still running.
    static void flushDestroyed();
    static size_t pendingDestroyCount();

    // Process-wide links; never owning. Destroyed objects clear themselves.
    static nE_Object* hover();
    static void setHover(nE_Object* object);
    static nE_Object* dragged();
    static void setDragged(nE_Object* object);

    // Queues the call with the sender through the hook (by default the trigger hub of nE_Core, when it
    // exists); an empty call queues nothing.
    static void queueTrigger(const std::string& sender, const std::string& call);
    // As queueTrigger, for a call an author wrote into an object (an event key, an end trigger): a call
    // that runs nothing is reported with the object and where it was described. `by` is the object, or
    // null to find it by the sender's name; `key` names the key that holds the call.
    static void queueAuthoredTrigger(const std::string& sender, const std::string& call,
                                     const nE_Object* by = nullptr, const char* key = "");
    // Replaces where queued calls go; an empty hook restores the trigger hub.
    static void setQueueHook(QueueHook hook);

    bool dropPending = false;
    // A drag begun by a press whose button is still down: released after the pointer has moved away from
    // the press, it drops where it is (press, drag, release); released on the spot, the object stays on
    // the pointer until the next press (click to pick up, click to use).
    bool heldDrag = false;
    bool heldMoved = false;
    float pressX = 0, pressY = 0;
    // Set by a drop trigger (ObjDoNotDrop) to keep the object on the pointer once.
    bool keepDragging = false;

private:
    void dispatchWalk(const nE_InputEvent& event);

    std::unique_ptr<nE_Object> root_;
    std::unique_ptr<nE_Object> storage_;
};
