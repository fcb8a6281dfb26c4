// A sound of the hub played through the platform: the platform sound, its playing instance and the
// callback that hears the end of playback.
#pragma once

#include <memory>
#include <string>

#include "engine/media/nE_Sound.h"

namespace pf {
class TSound;
class TSoundInstance;
}  // namespace pf
class nE_Sound_Pl5_Callback;

class nE_Sound_Pl5 : public nE_Sound {
public:
    // The platform sound may be empty (it could not be had): the sound is then silent.
    nE_Sound_Pl5(const std::string& soundName, const std::string& soundGroup,
                 std::shared_ptr<pf::TSound> platformSound);
    ~nE_Sound_Pl5() override;

    // Releases the instance, the callback and the platform sound after the base's finish.
    void onFinished() override;
    void play(bool loop, const std::string& trigger, float fadeIn) override;
    void setPaused(bool flag) override;
    // Also delivers an end notice that arrived from another thread.
    void update(float dt) override;
    void kill() override;
    void applyVolume(float v) override;

    const std::shared_ptr<pf::TSound>& platformSound() const { return sound_; }
    const std::shared_ptr<pf::TSoundInstance>& platformInstance() const { return instance_; }

private:
    void release();

    std::shared_ptr<pf::TSound> sound_;
    std::shared_ptr<pf::TSoundInstance> instance_;
    std::unique_ptr<nE_Sound_Pl5_Callback> callback_;
};
