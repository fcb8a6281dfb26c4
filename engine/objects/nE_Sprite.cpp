#include "engine/objects/nE_Sprite.h"

#include "engine/core/nE_ResourceRequester.h"
#include "engine/media/nE_Render.h"
#include "engine/media/nE_ResourceCache.h"
#include "engine/media/nE_Texture.h"
#include "engine/script/nE_SLHelper.h"

namespace {
// The blend mode that adds the image to what lies below.
constexpr int kAddBlend = 2;
}  // namespace

nE_Sprite::nE_Sprite() = default;

nE_Sprite::~nE_Sprite() {
    // The base destructor can no longer reach this class's unloadResources.
    deactivate();
    texture.reset();
}

void nE_Sprite::setResourceName(const std::string& newName) {
    resourceName = newName;
    reloadIfLoaded();
}

std::shared_ptr<nE_Resource> nE_Sprite::getResource() {
    return texture;
}

bool nE_Sprite::readResourceName(nE_SLHelper& helper) {
    std::string res = resourceName;
    if (!helper.readFileName("res", res) || res == resourceName) return false;
    resourceName = res;
    return true;
}

void nE_Sprite::reloadIfLoaded() {
    if (!loaded) return;
    unloadResources();
    nE_ResourceRequester::Scope asking(describe(), sourceFileName(), sourceLine);
    loadResources();
}

void nE_Sprite::loadProperties(nE_SLHelper& helper) {
    nE_Object::loadProperties(helper);
    if (readResourceName(helper)) reloadIfLoaded();
}

void nE_Sprite::saveProperties(nE_SLHelper& helper) {
    nE_Object::saveProperties(helper);
    helper.writeString("res", resourceName);
}

std::string nE_Sprite::getTypeName() const {
    return "spr";
}

nE_Rect nE_Sprite::getLocalRect() {
    if (!texture) return nE_Rect{};
    return texture->localRect(localState().frameIndex);
}

bool nE_Sprite::hitTestPoint(float x, float y, nE_RenderState& world) {
    if (!inputRectSet && texture) return texture->hitTest(x, y, world);
    return nE_Object::hitTestPoint(x, y, world);
}

void nE_Sprite::fitInputRect() {
    if (texture && !inputRectSet) inputRect = texture->localRect(localState().frameIndex);
}

void nE_Sprite::loadResources() {
    nE_ResourceCache* cache = nE_ResourceCache::instance();
    texture = cache ? cache->getTexture(resourceName) : nullptr;
    fitInputRect();
}

void nE_Sprite::unloadResources() {
    texture.reset();
}

void nE_Sprite::drawSelf(nE_Render* renderer, nE_RenderState& world) {
    if (!renderer) return;
    renderer->drawTexture(texture, world);
    if (highlight <= 0) return;
    nE_RenderState lit = world;
    lit.blendMode = kAddBlend;
    lit.alpha *= highlight;
    renderer->drawTexture(texture, lit);
}
