#include "pflib/recording/TRecordingSound.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"

namespace pf {

namespace {

struct SoundState {
    std::vector<std::shared_ptr<testing::TRecordedSound>> played;
    std::vector<str> requested;
    std::set<str> failing;
    bool playFails = false;
};

SoundState& sounds() {
    static SoundState* s = new SoundState();
    return *s;
}

class RecordingInstance : public TSoundInstance {
public:
    explicit RecordingInstance(std::shared_ptr<testing::TRecordedSound> record)
        : record_(std::move(record)) {}
    ~RecordingInstance() override {
        record_->destroyed = true;
        record_->callback = nullptr;
    }
    void SetCallBack(TSoundCallBack* callback) override { record_->callback = callback; }
    void SetVolume(float volume) override { record_->volume = volume; }
    void Kill(int reserved) override {
        (void)reserved;
        record_->killed = true;
    }
    void Pause(bool pause, int reserved) override {
        (void)reserved;
        record_->paused = pause;
    }
    bool IsPlaying() const override { return !record_->killed && !record_->completed; }

private:
    std::shared_ptr<testing::TRecordedSound> record_;
};

class RecordingSound : public TSound {
public:
    explicit RecordingSound(str name) : name_(std::move(name)) {}
    std::shared_ptr<TSoundInstance> Play(bool looped, int reserved) override {
        (void)reserved;
        if (sounds().playFails) return nullptr;
        auto record = std::make_shared<testing::TRecordedSound>();
        record->name = name_;
        record->looped = looped;
        sounds().played.push_back(record);
        return std::make_shared<RecordingInstance>(record);
    }

private:
    str name_;
};

class RecordingManager : public TSoundManager {
public:
    void SetVolume(float volume) override { volume_ = volume; }
    float GetVolume() const override { return volume_; }
    void DispatchCompletions() override {}
    float volume_ = 1.f;
};

RecordingManager& manager() {
    static RecordingManager* m = new RecordingManager();
    return *m;
}

}  // namespace

std::shared_ptr<TSound> TSound::Get(const str& name, bool stream) {
    (void)stream;
    sounds().requested.push_back(name);
    if (sounds().failing.count(name) || !TPath::IsFile(TPlatform::ResolvePath(name + ".ogg"))) return nullptr;
    return std::make_shared<RecordingSound>(name);
}

void TSound::Prefetch(const str& name) {
    (void)name;
}

TSoundManager* TSoundManager::GetInstance() {
    return &manager();
}

namespace testing {

std::vector<std::shared_ptr<TRecordedSound>>& PlayedSounds() {
    return sounds().played;
}

std::vector<str>& RequestedSounds() {
    return sounds().requested;
}

void FailSound(const str& name) {
    sounds().failing.insert(name);
}

void SetPlayFails(bool fail) {
    sounds().playFails = fail;
}

bool CompleteSound(const std::shared_ptr<TRecordedSound>& sound) {
    if (!sound || sound->destroyed || sound->killed || sound->completed || sound->looped) return false;
    sound->completed = true;
    if (!sound->callback) return false;
    sound->callback->OnPlaybackComplete();
    return true;
}

bool CompleteSound(size_t index) {
    return index < sounds().played.size() && CompleteSound(sounds().played[index]);
}

void ResetSounds() {
    sounds().played.clear();
    sounds().requested.clear();
    sounds().failing.clear();
    sounds().playFails = false;
    manager().volume_ = 1.f;
}

}  // namespace testing
}  // namespace pf
