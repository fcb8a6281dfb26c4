#include "pflib/sdl/TMixerSound.h"

#include <sys/stat.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <list>
#include <map>
#include <mutex>

#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/TWorkerPool.h"
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

// Short sounds decoded ahead on a worker, by path, until a Get takes them. The worker decodes with
// the same decoder and conversion SDL_mixer uses for an Ogg chunk, so the samples are the ones a load
// on the main thread would give; only wrapping them into a chunk is left for the main thread.
struct Ahead {
    long long size = 0, modified = 0;
    int rate = 0, channels = 0;
    SDL_AudioFormat format = 0;
    bool done = false, ok = false;
    std::vector<uint8_t> samples;
};
std::mutex g_aheadLock;
std::condition_variable g_aheadDone;
std::map<str, std::shared_ptr<Ahead>> g_ahead;
std::unique_ptr<TWorkerPool> g_aheadPool;

void decodeAhead(const str& path, Ahead& ahead) {
    double seconds = 0;
    // Long sounds are streamed and never decoded whole.
    if (!TVorbisStream::Probe(path, seconds) || seconds > g_streamAbove) return;
    FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle) return;
    OggVorbis_File file;
    if (ov_open_callbacks(handle, &file, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        std::fclose(handle);
        return;
    }
    const vorbis_info* info = ov_info(&file, -1);
    SDL_AudioStream* convert = info && info->channels > 0 && info->rate > 0
                                   ? SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info->channels),
                                                        static_cast<int>(info->rate), ahead.format,
                                                        static_cast<Uint8>(ahead.channels), ahead.rate)
                                   : nullptr;
    bool ok = convert != nullptr;
    char buffer[8192];
    int section = 0;
    for (long got = 1; ok && got != 0;) {
        got = ov_read(&file, buffer, sizeof buffer, SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
        // A damaged file is left to the main thread's decoder, which says why.
        if (got < 0) ok = false;
        if (got > 0) ok = SDL_AudioStreamPut(convert, buffer, static_cast<int>(got)) == 0;
    }
    if (ok) ok = SDL_AudioStreamFlush(convert) == 0;
    if (ok) {
        ahead.samples.resize(static_cast<size_t>(SDL_AudioStreamAvailable(convert)));
        ok = !ahead.samples.empty() &&
             SDL_AudioStreamGet(convert, ahead.samples.data(), static_cast<int>(ahead.samples.size())) ==
                 static_cast<int>(ahead.samples.size());
    }
    if (convert) SDL_FreeAudioStream(convert);
    ov_clear(&file);
    ahead.ok = ok;
    if (!ok) ahead.samples.clear();
}

void finishAhead(const std::shared_ptr<Ahead>& ahead) {
    std::lock_guard<std::mutex> held(g_aheadLock);
    ahead->done = true;
    g_aheadDone.notify_all();
}

// The samples decoded ahead for the file as it is now, waiting for a decode still running; none when
// it was not asked for or could not be decoded there.
std::shared_ptr<Ahead> takeAhead(const str& path, const struct stat& st) {
    std::unique_lock<std::mutex> held(g_aheadLock);
    auto it = g_ahead.find(path);
    if (it == g_ahead.end()) return nullptr;
    std::shared_ptr<Ahead> ahead = it->second;
    g_ahead.erase(it);
    g_aheadDone.wait(held, [&] { return ahead->done; });
    const bool same = ahead->size == static_cast<long long>(st.st_size) &&
                      ahead->modified == static_cast<long long>(st.st_mtime);
    return same && ahead->ok ? ahead : nullptr;
}

void dropAhead() {
    std::unique_ptr<TWorkerPool> pool;
    {
        std::lock_guard<std::mutex> held(g_aheadLock);
        pool.swap(g_aheadPool);
    }
    if (pool) pool->Stop();
    std::lock_guard<std::mutex> held(g_aheadLock);
    g_ahead.clear();
}

}  // namespace

void TSound::Prefetch(const str& name) {
    const str path = TPlatform::ResolvePath(name + ".ogg");
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !looksLikeOgg(path)) return;
    for (const Kept& kept : g_kept)
        if (kept.path == path) return;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!TMixerManager::Get().Ensure() || !Mix_QuerySpec(&rate, &format, &channels)) return;
    auto ahead = std::make_shared<Ahead>();
    ahead->size = static_cast<long long>(st.st_size);
    ahead->modified = static_cast<long long>(st.st_mtime);
    ahead->rate = rate;
    ahead->format = format;
    ahead->channels = channels;
    std::lock_guard<std::mutex> held(g_aheadLock);
    if (g_ahead.count(path)) return;
    // One worker: the others' cores belong to the frame and to the pictures.
    if (!g_aheadPool) g_aheadPool.reset(new TWorkerPool(1));
    // A pool without workers (the browser's build) declines: the sound is then decoded when asked for.
    if (g_aheadPool->Submit([path, ahead] { decodeAhead(path, *ahead), finishAhead(ahead); },
                            [ahead] { finishAhead(ahead); }))
        g_ahead[path] = ahead;
}

void TMixerSound::SetStreamAbove(double seconds) {
    g_streamAbove = seconds;
}

size_t TMixerSound::CachedCount() {
    return g_kept.size();
}

void TMixerSound::ClearCache() {
    dropAhead();
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
    if (std::shared_ptr<Ahead> ahead = stream ? nullptr : takeAhead(path, st)) {
        Mix_Chunk* chunk =
            Mix_QuickLoad_RAW(ahead->samples.data(), static_cast<Uint32>(ahead->samples.size()));
        if (chunk) {
            TFrameStats::Mark("sound decoded ahead " + path);
            auto sound = std::make_shared<TMixerSound>(chunk, std::move(ahead->samples));
            keep(path, st, sound);
            return sound;
        }
    }

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
        TFrameStats::Mark("sound decode " + path);
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
