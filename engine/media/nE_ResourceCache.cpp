#include "engine/media/nE_ResourceCache.h"

#include "engine/media/nE_Font.h"
#include "engine/media/nE_Resource.h"
#include "engine/media/nE_Texture.h"

static nE_ResourceCache* g_cache = nullptr;

// Textures come from the platform binding, which installs its constructors at start-up; fonts are
// the engine's own.
static nE_ResourceCache::Factory g_defaults[nE_ResourceCache::kKindCount] = {nullptr, nullptr,
                                                                             nE_Font::create};

void nE_ResourceCache::setDefaultFactory(Kind kind, Factory factory) {
    if (kind >= 0 && kind < kKindCount) g_defaults[kind] = factory;
}

nE_ResourceCache* nE_ResourceCache::create() {
    destroy();
    g_cache = new nE_ResourceCache();
    return g_cache;
}

void nE_ResourceCache::destroy() {
    delete g_cache;
    g_cache = nullptr;
}

nE_ResourceCache* nE_ResourceCache::instance() {
    return g_cache;
}

nE_ResourceCache::nE_ResourceCache() {
    for (int kind = 0; kind < kKindCount; ++kind) factories_[kind] = g_defaults[kind];
}

void nE_ResourceCache::setFactory(Kind kind, Factory factory) {
    if (kind >= 0 && kind < kKindCount) factories_[kind] = factory;
}

std::shared_ptr<nE_Texture> nE_ResourceCache::getTexture(const std::string& name) {
    return std::dynamic_pointer_cast<nE_Texture>(request(kTexture, name));
}

std::shared_ptr<nE_Texture> nE_ResourceCache::getFrameTexture(const std::string& name) {
    return std::dynamic_pointer_cast<nE_Texture>(request(kFrameTexture, name));
}

std::shared_ptr<nE_Font> nE_ResourceCache::getFont(const std::string& name) {
    return std::dynamic_pointer_cast<nE_Font>(request(kFont, name));
}

std::shared_ptr<nE_Resource> nE_ResourceCache::request(Kind kind, const std::string& name) {
    if (++requests_ >= kSweepPeriod) {
        requests_ = 0;
        sweep();
    }
    if (name.empty() || kind < 0 || kind >= kKindCount) return nullptr;

    Map& map = maps_[kind];
    auto found = map.find(name);
    if (found != map.end()) {
        if (std::shared_ptr<nE_Resource> alive = found->second.lock()) return alive;
    }

    if (!factories_[kind]) return nullptr;
    std::shared_ptr<nE_Resource> resource = factories_[kind]();
    if (!resource) return nullptr;
    // A failed load is not entered, so the next request tries (and reports) again.
    if (resource->load(name)) map[name] = resource;
    return resource;
}

bool nE_ResourceCache::holds(Kind kind, const std::string& name) const {
    if (kind < 0 || kind >= kKindCount) return false;
    auto found = maps_[kind].find(name);
    return found != maps_[kind].end() && !found->second.expired();
}

void nE_ResourceCache::sweep() {
    for (Map& map : maps_) {
        for (auto it = map.begin(); it != map.end();) {
            if (it->second.expired())
                it = map.erase(it);
            else
                ++it;
        }
    }
}

void nE_ResourceCache::clear() {
    for (Map& map : maps_) map.clear();
}

void nE_ResourceCache::forget(Kind kind, const std::string& name) {
    if (kind >= 0 && kind < kKindCount) maps_[kind].erase(name);
}

size_t nE_ResourceCache::entryCount() const {
    size_t n = 0;
    for (const Map& map : maps_) n += map.size();
    return n;
}

std::vector<std::string> nE_ResourceCache::liveNames(Kind kind) const {
    std::vector<std::string> names;
    if (kind < 0 || kind >= kKindCount) return names;
    for (const auto& entry : maps_[kind])
        if (!entry.second.expired()) names.push_back(entry.first);
    return names;
}
