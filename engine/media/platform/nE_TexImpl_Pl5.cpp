#include "engine/media/platform/nE_TexImpl_Pl5.h"

#include <algorithm>

#include "engine/core/nE_Debug.h"
#include "engine/core/nE_ResourceRequester.h"
#include "engine/media/nE_AssetFiles.h"

bool nE_TexImpl_Pl5::loadImage(const std::string& name) {
    const std::string file = nE_AssetFiles::image(name);
    if (file.empty()) {
        nE_Debug::writef("nE_Texture::Could not find \"%s\" file!\n", name.c_str());
        nE_ResourceRequester::notFound("image \"" + name + "\"");
        return false;
    }
    platformTexture = pf::TTexture::Get(file);
    return platformTexture != nullptr;
}

const std::shared_ptr<pf::TTexture>& nE_TexImpl_Pl5::platformTextureFor(int) const {
    return platformTexture;
}
