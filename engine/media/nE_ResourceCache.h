// The process-wide resource cache. It hands out shared handles and keeps only weak references, so a
// resource lives exactly as long as some holder keeps its handle.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class nE_Font;
class nE_Resource;
class nE_Texture;

class nE_ResourceCache {
public:
    // The three kinds of resource. Each kind has its own map, so a texture and a frame texture (or a
    // font) of the same name never stand in for each other.
    enum Kind { kTexture = 0, kFrameTexture = 1, kFont = 2, kKindCount = 3 };
    using Factory = std::shared_ptr<nE_Resource> (*)();

    // Requests between two sweeps of expired entries.
    static constexpr int kSweepPeriod = 200;

    // The process instance; create replaces (and deletes) an existing one.
    static nE_ResourceCache* create();
    static void destroy();
    static nE_ResourceCache* instance();

    nE_ResourceCache();

    // An empty handle only for an empty name; a missing file still yields an (uncached) object.
    std::shared_ptr<nE_Texture> getTexture(const std::string& name);
    std::shared_ptr<nE_Texture> getFrameTexture(const std::string& name);
    // A font that failed to load (missing ".ttf") still comes back, without a face.
    std::shared_ptr<nE_Font> getFont(const std::string& name);
    std::shared_ptr<nE_Resource> request(Kind kind, const std::string& name);

    // Replaces the constructor used for a kind by this cache.
    void setFactory(Kind kind, Factory factory);
    // The constructor every new cache starts with for a kind (the platform binding installs the
    // texture kinds; fonts have theirs from the start).
    static void setDefaultFactory(Kind kind, Factory factory);

    // Erases every entry whose resource has no holder left.
    void sweep();
    // Drops all entries (the resources live on with their holders).
    void clear();
    // Drops one entry, so that the next request loads the name's file again.
    void forget(Kind kind, const std::string& name);

    // Whether a holder still keeps the kind's resource of that name (a request would not load it).
    bool holds(Kind kind, const std::string& name) const;
    // The names of a kind's resources that some holder still keeps, in no particular order.
    std::vector<std::string> liveNames(Kind kind) const;

    // Entries in the maps, alive or expired, all kinds together.
    size_t entryCount() const;
    // Requests counted since the last sweep.
    int requestCount() const { return requests_; }

private:
    using Map = std::unordered_map<std::string, std::weak_ptr<nE_Resource>>;
    Map maps_[kKindCount];
    Factory factories_[kKindCount];
    int requests_ = 0;
};
