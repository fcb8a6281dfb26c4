#include "pflib/sdl/TMixerSound.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <list>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TMixerManager.h"
#include "pflib/sdl/TVorbisStream.h"

namespace pf {

namespace {

double g_streamAbove = TMixerSound::kStreamAbove;

bool looksLikeOgg(const str& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char magic[4] = {0};
    const bool ok = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "OggS", 4) == 0;
    std::fclose(file);
    return ok;
}

// The kept sounds, most recently used first. A file changed on disk is a new entry.
struct Kept {
    str path;
    long long size;
    long long modified;
    std::shared_ptr<TMixerSound> sound;
    size_t bytes;
};
std::list<Kept> g_kept;
size_t g_keptBytes = 0;

std::shared_ptr<TMixerSound> findKept(const str& path, const struct stat& st) {
    for (auto it = g_kept.begin(); it != g_kept.end(); ++it) {
        if (it->path != path) continue;
        if (it->size != static_cast<long long>(st.st_size) ||
            it->modified != static_cast<long long>(st.st_mtime)) {
            g_keptBytes -= it->bytes;
            g_kept.erase(it);
            return nullptr;
        }
        g_kept.splice(g_kept.begin(), g_kept, it);
        return it->sound;
    }
    return nullptr;
}

void keep(const str& path, const struct stat& st, const std::shared_ptr<TMixerSound>& sound) {
    const size_t bytes = sound->Chunk() ? sound->Chunk()->alen : 0;
    g_kept.push_front(
        Kept{path, static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtime), sound, bytes});
    g_keptBytes += bytes;
    // Playing instances hold their sound themselves: dropping it here only means decoding it again later.
    while (g_keptBytes > TMixerSound::kCacheBytes && g_kept.size() > 1) {
        g_keptBytes -= g_kept.back().bytes;
        g_kept.pop_back();
    }
}

}  // namespace

void TMixerSound::SetStreamAbove(double seconds) {
    g_streamAbove = seconds;
}

size_t TMixerSound::CachedCount() {
    return g_kept.size();
}

void TMixerSound::ClearCache() {
    g_kept.clear();
    g_keptBytes = 0;
}

std::shared_ptr<TSound> TSound::Get(const str& name, bool stream) {
    const str path = TPlatform::ResolvePath(name + ".ogg");
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !looksLikeOgg(path))
        return nullptr;
    TMixerManager& manager = TMixerManager::Get();
    if (!manager.Ensure()) return std::make_shared<TMixerSound>(nullptr);
    if (std::shared_ptr<TMixerSound> kept = findKept(path, st)) return kept;

    // The headers tell the length without decoding: long sounds are streamed, short ones decoded once.
    double seconds = 0;
    if (!TVorbisStream::Probe(path, seconds)) {
        pfWriteDbgUnsafe("pf: cannot decode \"%s\": not an Ogg Vorbis sound\n", path.c_str());
        return nullptr;
    }
    std::shared_ptr<TMixerSound> sound;
    if (stream || seconds > g_streamAbove) {
        sound = std::make_shared<TMixerSound>(path, seconds);
    } else {
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        if (!chunk) {
            pfWriteDbgUnsafe("pf: cannot decode \"%s\": %s\n", path.c_str(), Mix_GetError());
            return nullptr;
        }
        sound = std::make_shared<TMixerSound>(chunk);
    }
    keep(path, st, sound);
    return sound;
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
