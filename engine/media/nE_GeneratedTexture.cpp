#include "engine/media/nE_GeneratedTexture.h"

static nE_GeneratedTexture::Maker g_maker = nullptr;

void nE_GeneratedTexture::setMaker(Maker maker) {
    g_maker = maker;
}

std::shared_ptr<nE_GeneratedTexture> nE_GeneratedTexture::make() {
    return g_maker ? g_maker() : nullptr;
}
