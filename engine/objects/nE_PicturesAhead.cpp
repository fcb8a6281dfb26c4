#include "engine/objects/nE_PicturesAhead.h"

#include <string>
#include <unordered_set>

#include "engine/core/nE_Object.h"
#include "engine/media/nE_AssetFiles.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/objects/nE_AnimSprite.h"
#include "engine/objects/nE_Sprite.h"
#include "pflib/TTexture.h"

namespace {

void walk(nE_Object* object, nE_ResourceCache* cache, std::unordered_set<std::string>& asked) {
    // A loaded object is passed over by the activation, its subtree with it.
    if (object->loaded) return;
    for (nE_Object* child : object->children) walk(child, cache, asked);
    // Animated sprites load frame textures, which name their pictures in files of their own.
    if (!dynamic_cast<nE_Sprite*>(object) || dynamic_cast<nE_AnimSprite*>(object)) return;
    const std::string& name = object->resourceName;
    if (name.empty() || cache->holds(nE_ResourceCache::kTexture, name) || !asked.insert(name).second) return;
    const std::string file = nE_AssetFiles::image(name);
    if (!file.empty()) pf::TTexture::Prefetch(file);
}

}  // namespace

void nE_PicturesAhead::forTree(nE_Object* root) {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    if (!root || !cache) return;
    std::unordered_set<std::string> asked;
    walk(root, cache, asked);
}
