#include "pflib/sdl/TMixerManager.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>

#include "pflib/TPlatform.h"
#include "pflib/pfDebug.h"
#include "pflib/sdl/TMixerSound.h"
#include "pflib/sdl/TVorbisStream.h"

namespace pf {

namespace {
constexpr int kInitialChannels = 16;
constexpr int kMaxChannels = 1024;
// The silent chunk streamed playbacks loop on; its samples are overwritten by the decoder.
uint8_t g_silence[4096];
}  // namespace

TSoundManager* TSoundManager::GetInstance() {
    return &TMixerManager::Get();
}

TMixerManager& TMixerManager::Get() {
    // Never destroyed: the audio thread may report a channel while the process exits.
    static TMixerManager* manager = new TMixerManager();
    return *manager;
}

bool TMixerManager::Ensure() {
    if (tried_) return open_;
    tried_ = true;
    if (TPlatform::GetRunOptions().headless)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        pfWriteDbgUnsafe("pf: no audio (%s); the run is silent\n", SDL_GetError());
        return false;
    }
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        pfWriteDbgUnsafe("pf: cannot open the audio device (%s); the run is silent\n", Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const int channels = Mix_AllocateChannels(kInitialChannels);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slots_.assign(static_cast<size_t>(channels), Slot());
    }
    Mix_ChannelFinished(&TMixerManager::OnChannelFinished);
    silence_ = Mix_QuickLoad_RAW(g_silence, sizeof g_silence);
    open_ = true;
    return true;
}

void TMixerManager::OnChannelFinished(int channel) {
    // SDL's audio thread (or inside Mix_HaltChannel): only queue, the main thread delivers.
    TMixerManager& self = Get();
    std::lock_guard<std::mutex> lock(self.mutex_);
    if (channel >= 0 && static_cast<size_t>(channel) < self.slots_.size())
        self.finished_.emplace_back(channel, self.slots_[channel].generation);
}

int TMixerManager::ChannelVolume(float volume) const {
    return static_cast<int>(std::lround(std::clamp(volume, 0.f, 1.f) * master_ * MIX_MAX_VOLUME));
}

int TMixerManager::ChannelCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(slots_.size());
}

void TMixerManager::FillStream(int, void* samples, int bytes, void* stream) {
    (*static_cast<std::shared_ptr<TVorbisStream>*>(stream))->Fill(static_cast<uint8_t*>(samples), bytes);
}

void TMixerManager::ReleaseStream(int, void* stream) {
    delete static_cast<std::shared_ptr<TVorbisStream>*>(stream);
}

std::shared_ptr<TSoundInstance> TMixerManager::Play(const std::shared_ptr<TMixerSound>& sound, bool looped) {
    auto instance = std::make_shared<TMixerInstance>(sound, looped);
    if (!Ensure() || (!sound->Chunk() && !sound->Streamed()) || (sound->Streamed() && !silence_)) {
        if (!looped) silentPending_.push_back(instance);
        return instance;
    }
    Mix_Chunk* chunk = sound->Chunk();
    if (sound->Streamed()) {
        // Opening a decoder reads the headers only: starting a long track costs no decoding.
        int rate = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        instance->stream_ = TVorbisStream::Open(sound->Path(), looped, rate, format, channels);
        if (!instance->stream_) {
            pfWriteDbgUnsafe("pf: cannot stream \"%s\"\n", sound->Path().c_str());
            return nullptr;
        }
        chunk = silence_;
    }
    int channel = -1;
    for (int attempt = 0; attempt < 2 && channel < 0; ++attempt) {
        size_t count;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (size_t i = 0; i < slots_.size(); ++i) {
                if (!slots_[i].busy) {
                    channel = static_cast<int>(i);
                    Slot& slot = slots_[i];
                    slot.busy = true;
                    ++slot.generation;
                    slot.instance = instance;
                    instance->generation_ = slot.generation;
                    break;
                }
            }
            count = slots_.size();
        }
        if (channel >= 0 || count >= static_cast<size_t>(kMaxChannels)) break;
        // Every channel is busy: make more (outside the lock, the mixer takes the audio lock).
        const int grown = Mix_AllocateChannels(static_cast<int>(std::min<size_t>(count * 2, kMaxChannels)));
        std::lock_guard<std::mutex> lock(mutex_);
        if (grown > 0 && static_cast<size_t>(grown) > slots_.size())
            slots_.resize(static_cast<size_t>(grown));
    }
    if (channel < 0) return nullptr;
    instance->channel_ = channel;
    Mix_Volume(channel, ChannelVolume(instance->volume_));
    bool started = true;
    if (instance->stream_) {
        auto* held = new std::shared_ptr<TVorbisStream>(instance->stream_);
        if (!Mix_RegisterEffect(channel, &TMixerManager::FillStream, &TMixerManager::ReleaseStream, held)) {
            delete held;
            started = false;
        }
    }
    started = started && Mix_PlayChannel(channel, chunk, looped || instance->stream_ ? -1 : 0) >= 0;
    if (!started) {
        pfWriteDbgUnsafe("pf: cannot play a sound: %s\n", Mix_GetError());
        if (instance->stream_) Mix_UnregisterAllEffects(channel);
        Release(channel, instance->generation_);
        instance->channel_ = -1;
        instance->state_ = TMixerInstance::kFinished;
        return nullptr;
    }
    return instance;
}

bool TMixerManager::Release(int channel, uint64_t generation) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || static_cast<size_t>(channel) >= slots_.size()) return false;
    Slot& slot = slots_[channel];
    if (!slot.busy || slot.generation != generation) return false;
    slot.busy = false;
    ++slot.generation;  // whatever this use still reports is stale now
    slot.instance.reset();
    return true;
}

void TMixerManager::Kill(TMixerInstance& instance) {
    if (instance.state_ == TMixerInstance::kPlaying) instance.state_ = TMixerInstance::kKilled;
    const int channel = instance.channel_;
    instance.channel_ = -1;
    if (channel >= 0 && Release(channel, instance.generation_)) Mix_HaltChannel(channel);
}

void TMixerManager::Detach(TMixerInstance& instance) {
    const int channel = instance.channel_;
    instance.channel_ = -1;
    if (open_ && channel >= 0 && Release(channel, instance.generation_)) Mix_HaltChannel(channel);
}

void TMixerManager::Pause(TMixerInstance& instance, bool pause) {
    instance.paused_ = pause;
    if (!open_ || instance.channel_ < 0) return;
    if (pause) {
        Mix_Pause(instance.channel_);
        // The mixer stores the pause time as the mark, so a pause in SDL's first millisecond
        // would not hold: wait for the clock and pause again.
        if (!Mix_Paused(instance.channel_) && Mix_Playing(instance.channel_)) {
            SDL_Delay(1);
            Mix_Pause(instance.channel_);
        }
    } else {
        Mix_Resume(instance.channel_);
    }
}

void TMixerManager::SetInstanceVolume(TMixerInstance& instance, float volume) {
    instance.volume_ = std::clamp(std::isfinite(volume) ? volume : 0.f, 0.f, 1.f);
    if (open_ && instance.channel_ >= 0) Mix_Volume(instance.channel_, ChannelVolume(instance.volume_));
}

void TMixerManager::SetVolume(float volume) {
    master_ = std::clamp(std::isfinite(volume) ? volume : 0.f, 0.f, 1.f);
    if (!open_) return;
    std::vector<std::shared_ptr<TMixerInstance>> playing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Slot& slot : slots_)
            if (auto instance = slot.instance.lock()) playing.push_back(instance);
    }
    for (auto& instance : playing)
        if (instance->channel_ >= 0) Mix_Volume(instance->channel_, ChannelVolume(instance->volume_));
}

void TMixerManager::HaltEndedStreams() {
    if (!open_) return;
    std::vector<std::shared_ptr<TMixerInstance>> ended;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Slot& slot : slots_) {
            if (!slot.busy) continue;
            auto instance = slot.instance.lock();
            if (instance && instance->stream_ && instance->stream_->Ended()) ended.push_back(instance);
        }
    }
    // Outside the lock: halting reports the channel through OnChannelFinished.
    for (auto& instance : ended)
        if (instance->channel_ >= 0) Mix_HaltChannel(instance->channel_);
}

void TMixerManager::DispatchCompletions() {
    HaltEndedStreams();
    std::vector<std::pair<int, uint64_t>> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done.swap(finished_);
    }
    std::vector<std::shared_ptr<TMixerInstance>> complete;
    for (const auto& [channel, generation] : done) {
        std::shared_ptr<TMixerInstance> instance;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (static_cast<size_t>(channel) >= slots_.size()) continue;
            Slot& slot = slots_[channel];
            if (!slot.busy || slot.generation != generation) continue;
            instance = slot.instance.lock();
            slot.busy = false;
            ++slot.generation;
            slot.instance.reset();
        }
        if (instance) complete.push_back(instance);
    }
    // Silent runs: a non-looped instance ends at the first dispatch where it is not paused.
    for (auto it = silentPending_.begin(); it != silentPending_.end();) {
        auto instance = it->lock();
        if (instance && instance->paused_ && instance->state_ == TMixerInstance::kPlaying) {
            ++it;
            continue;
        }
        if (instance) complete.push_back(instance);
        it = silentPending_.erase(it);
    }
    for (auto& instance : complete) {
        if (instance->state_ != TMixerInstance::kPlaying) continue;
        instance->state_ = TMixerInstance::kFinished;
        instance->channel_ = -1;
        // The callback may drop the instance or start new sounds; our reference keeps it alive.
        if (instance->callback_) instance->callback_->OnPlaybackComplete();
    }
}

void TMixerManager::Shutdown() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    Mix_ChannelFinished(nullptr);
    TMixerSound::ClearCache();
    if (silence_) Mix_FreeChunk(silence_);
    silence_ = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Slot& slot : slots_) {
            if (auto instance = slot.instance.lock()) instance->channel_ = -1;
            slot = Slot();
        }
        finished_.clear();
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    tried_ = false;
}

}  // namespace pf
