#include "engine/media/platform/nE_FrameTexture_Pl5.h"

const std::shared_ptr<pf::TTexture>& nE_FrameTexture_Pl5::platformTextureFor(int frameIndex) const {
    static const std::shared_ptr<pf::TTexture> none;
    const Frame* f = frame(frameIndex);
    if (!f || !f->texture) return none;
    const nE_TexImpl_Pl5* impl = f->texture->platformSide();
    return impl ? impl->platformTextureFor(0) : none;
}
