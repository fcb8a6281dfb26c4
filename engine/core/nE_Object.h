// The scene object: a named node of the scene tree with a local render state, flags, input and crop
// rectangles, eight event triggers and keyframe animation lines. Every engine object and game widget
// derives from it. A parent owns its children (plain pointers, deleted with the parent).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/nE_RenderState.h"
#include "engine/media/nE_Render.h"

class nE_AnimLine;
class nE_Resource;
class nE_SLHelper;
struct nE_InputEvent;
namespace tinyxml2 {
class XMLElement;
}

class nE_Object {
public:
    // Indices into eventTriggers.
    enum Event {
        kEventMouseDown = 0,
        kEventMouseUp = 1,
        kEventEnter = 2,
        kEventLeave = 3,
        kEventEnterDrag = 4,
        kEventLeaveDrag = 5,
        kEventDrop = 6,
        kEventDrag = 7,
        kEventCount = 8
    };

    // One animation line with the property it drives and whether it only offsets this frame.
    struct AnimSlot {
        int type = 0;
        bool relative = false;
        std::unique_ptr<nE_AnimLine> line;
    };

    // A change of a state the world state is made of. While one is open the object's world state is
    // computed afresh at every call; when it ends the kept one is dropped. The object must outlive it.
    class StateEdit {
    public:
        ~StateEdit() {
            --owner_.openEdits_;
            owner_.worldKept_ = false;
        }
        StateEdit(const StateEdit&) = delete;
        StateEdit& operator=(const StateEdit&) = delete;
        nE_RenderState* operator->() const { return &state_; }
        nE_RenderState& operator*() const { return state_; }

    private:
        friend class nE_Object;
        StateEdit(nE_Object& owner, nE_RenderState& state) : owner_(owner), state_(state) {
            ++owner_.openEdits_;
            owner_.worldKept_ = false;
        }
        nE_Object& owner_;
        nE_RenderState& state_;
    };

    nE_Object();
    nE_Object(const nE_Object&) = delete;
    nE_Object& operator=(const nE_Object&) = delete;

    // --- the 19 virtual operations, in their fixed order ---

    // Unloads, leaves the hover and drag links, destroys the lines and the subtree, leaves the parent.
    // A subclass holding resources calls deactivate() in its own destructor: virtual unloadResources
    // no longer reaches it from here.
    virtual ~nE_Object();
    virtual std::string getResourceName() const;
    // When the name changes on a loaded object its resources are reloaded.
    virtual void setResourceName(const std::string& name);
    virtual std::shared_ptr<nE_Resource> getResource();
    virtual void loadProperties(nE_SLHelper& helper);
    virtual void saveProperties(nE_SLHelper& helper);
    virtual std::string getTypeName() const;
    virtual nE_Rect getLocalRect();
    // Whether the display point lies in inputRect as placed by the world matrix.
    virtual bool hitTestPoint(float x, float y, nE_RenderState& world);
    virtual void restoreDeviceResources(bool recursive);
    // Appends one element per match of text in the name, the triggers and the resource name.
    virtual void findText(tinyxml2::XMLElement* node, const std::string& text, bool recursive);
    virtual void resetState();
    virtual void loadResources();
    virtual void unloadResources();
    // Evaluates the animation lines.
    virtual void update(float dt);
    // Whether this object takes the event (the hit test has already reached it). Named apart from
    // the field `input`, which says whether the object takes part in hit tests at all.
    virtual bool handleInput(const nE_InputEvent& event, nE_RenderState& world);
    virtual void drawSelf(nE_Render* renderer, nE_RenderState& world);
    virtual void childWasHit(nE_Object* hit, const nE_InputEvent& event);
    virtual void inputWentElsewhere(nE_Object* hit, const nE_InputEvent& event);

    // --- tree ---

    // Takes ownership. Refused (false) when that would make a cycle: the child is the parent or one of
    // its ancestors, or an object below the child bears the parent's name.
    bool addChild(nE_Object* child);
    // Adds each object in turn as addChild does, leaving the same order, but sorts once: a module
    // brings in its objects by the thousand. Returns those refused (still the caller's).
    std::vector<nE_Object*> addChildren(const std::vector<nE_Object*>& batch);
    // Detaches the child (searched in the subtrees too when recursive); the caller owns the result.
    nE_Object* removeChild(nE_Object* child, bool recursive);
    // Detaches and destroys every child, first to last.
    void removeAllChildren();
    // Direct children first, then (recursive) each child's subtree in order.
    nE_Object* find(const std::string& name, bool recursive);
    // Whether object lies below this one.
    bool isAncestorOf(const nE_Object* object) const;
    // Recursive load: children first, then self.
    void activate();
    // Recursive unload: self first, then children.
    void deactivate();
    // Stable sort by ascending z: equal z keep their insertion order.
    void sortChildren();
    // Adds a child this object keeps a pointer to (a widget's part): it is held by this object.
    bool addPart(nE_Object* child);

    // --- render state ---

    // The own placement and colour; animState holds this frame's relative offsets of the lines.
    const nE_RenderState& localState() const { return localState_; }
    const nE_RenderState& animState() const { return animState_; }
    StateEdit editLocalState() { return StateEdit(*this, localState_); }
    StateEdit editAnimState() { return StateEdit(*this, animState_); }
    // 1 to 3: placed under the grandparent with the parent's angle, scale and position dropped in turn.
    int attachType() const { return attachType_; }
    void setAttachType(int type);
    // Where the pointer holds the object while it is dragged.
    const pf::TVec2& dragPosition() const { return dragPosition_; }
    void setDragPosition(const pf::TVec2& at);
    // The world state last computed under a parent state or as a tree's top.
    const nE_RenderState& lastWorldState() const { return lastWorldState_; }

    // localState combined with animState, reduced (1 no angle, 2 also scale 1, 3 also x, y = 0),
    // matrix computed; no parent applied.
    nE_RenderState combinedState(int reduction) const;
    // The world state under the given parent state (none for a tree's top), after attachType and drag;
    // with a parent it is remembered in lastWorldState. The hit test and the draw of one frame ask for
    // the same state: it is computed again only when what it is made of has changed.
    // A parent state that is not the world state of an object of a tree (a placement of the caller's
    // own) is taken as new at every call.
    nE_RenderState worldState(const nE_RenderState* parentState, int reduction = 0);
    // The world state computed through the whole parent chain, as the draw walk would.
    nE_RenderState worldStateFromTop();

    // --- walks ---

    // The walks stay correct when a handler destroys, parks or re-attaches objects while they run: an
    // object destroyed or moved away is skipped, one added joins at the next walk, none is updated
    // twice in one walk. An object that must destroy itself from its own handler uses
    // nE_Scene::destroyLater.
    void updateWalk(float dt);
    void drawWalk(nE_Render* renderer, const nE_RenderState* parentState);
    // The object that takes the event, topmost first, or none (also when the one that took it went
    // during the walk; then nothing below takes it either). The others are told with the taker, or
    // with none when it has gone.
    nE_Object* hitTest(const nE_InputEvent& event, const nE_RenderState* parentState);
    // Whether an update, draw or hit-test walk is running.
    static bool walkInProgress();

    // --- animation lines ---

    // Appends the line without replacing one of its type (descriptions load this way).
    void appendAnimLine(int type, bool relative, std::unique_ptr<nE_AnimLine> line);
    // Destroys the first line of the type; false when there is none.
    bool removeAnimLine(int type);
    // Applies one line's values to animState (relative) or to the own properties (absolute).
    void applyAnimValues(int type, bool relative, const float value[3]);

    // Queues eventTriggers[index] with this object's name as sender; nothing when it is empty.
    void queueEvent(int index) const;
    // The description key of eventTriggers[index] ("event_mdown", ...); "" outside the events.
    static const char* eventKey(int index);

    std::string name;
    bool inputRectSet = false;
    nE_Rect inputRect;
    bool cropRectSet = false;
    nE_Rect cropRect;
    bool active = true;
    bool input = true;
    bool visible = true;
    bool drag = false;
    bool realDrag = false;
    bool updateChildren = true;
    bool inputChildren = true;
    bool drawChildren = true;
    std::vector<nE_Object*> children;
    nE_Object* parent = nullptr;
    std::string eventTriggers[kEventCount];
    std::vector<AnimSlot> animLines;
    bool loaded = false;
    std::string resourceName;
    // Where the object was described, for the developer tools: the module file (shared by the objects
    // of one load; none for objects made otherwise) and the line of its element (0 when unknown).
    std::shared_ptr<const std::string> sourceFile;
    int sourceLine = 0;

    // The module file, or "" for objects made otherwise.
    std::string sourceFileName() const { return sourceFile ? *sourceFile : std::string(); }
    // For messages to its author: "object \"door\" (module assets/levels/hall)", without the module when
    // it has none.
    std::string describe() const;

    // C++ code that keeps a pointer to an object holds it, so that no script moves it (or an ancestor
    // of it away from the holder) to where the end of its new parent would free it under that pointer.
    // pinned: held for the object's whole life (the tops of the game layer, a hub in the parked tree).
    // holder: the object that keeps the pointer; the hold lasts while this object lies below it, so
    // a holder that gives the object away (moves it out from under itself) lets it go.
    bool pinned = false;
    const nE_Object* holder = nullptr;

private:
    // The checks of addChild: not itself, not an ancestor, no object below it bearing this name.
    bool acceptsChild(nE_Object* child);
    // worldState under a parent state whose content parentStamp names (0: unknown, never the same
    // as before). Gives in stamp the name of the result's content, 0 when the result is not kept.
    nE_RenderState stampedWorldState(const nE_RenderState* parentState, uint64_t parentStamp, int reduction,
                                     uint64_t& stamp);
    nE_RenderState stampedWorldStateFromTop(uint64_t& stamp);
    void drawWalkUnder(nE_Render* renderer, const nE_RenderState* parentState, uint64_t parentStamp);
    nE_Object* hitTestUnder(const nE_InputEvent& event, const nE_RenderState* parentState,
                            uint64_t parentStamp);
    // Takes s as lastWorldState; its stamp changes only when what the children build on changes.
    void rememberWorldState(const nE_RenderState& s);

    nE_RenderState localState_;
    nE_RenderState animState_;
    pf::TVec2 dragPosition_;
    int attachType_ = 0;
    nE_RenderState lastWorldState_;
    unsigned updatedInWalk_ = 0;
    // lastWorldState_ still stands for a new computation: no edit since, made under the parent state
    // named keptParentStamp_ (or as a top, when !keptUnderParent_).
    bool worldKept_ = false;
    unsigned openEdits_ = 0;
    bool keptUnderParent_ = false;
    uint64_t keptParentStamp_ = 0;
    // Names the content of lastWorldState_ that children build on (matrix and colour); 0 before any.
    uint64_t worldStamp_ = 0;
};
