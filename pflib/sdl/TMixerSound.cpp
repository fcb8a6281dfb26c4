#include "pflib/sdl/TMixerSound.h"

#include <cstdio>
#include <cstring>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TMixerManager.h"

namespace pf {

namespace {
bool looksLikeOgg(const str& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char magic[4] = {0};
    const bool ok = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "OggS", 4) == 0;
    std::fclose(file);
    return ok;
}
}  // namespace

std::shared_ptr<TSound> TSound::Get(const str& name, bool stream) {
    (void)stream;  // sounds are decoded whole; they are short enough
    const str path = TPlatform::ResolvePath(name + ".ogg");
    if (!TPath::IsFile(path) || !looksLikeOgg(path)) return nullptr;
    TMixerManager& manager = TMixerManager::Get();
    if (!manager.Ensure()) return std::make_shared<TMixerSound>(nullptr);
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        pfWriteDbgUnsafe("pf: cannot decode \"%s\": %s\n", path.c_str(), Mix_GetError());
        return nullptr;
    }
    return std::make_shared<TMixerSound>(chunk);
}

TMixerSound::~TMixerSound() {
    // Instances hold the sound, so no channel plays it any more.
    if (chunk_) Mix_FreeChunk(chunk_);
}

std::shared_ptr<TSoundInstance> TMixerSound::Play(bool looped, int reserved) {
    (void)reserved;
    return TMixerManager::Get().Play(shared_from_this(), looped);
}

}  // namespace pf
