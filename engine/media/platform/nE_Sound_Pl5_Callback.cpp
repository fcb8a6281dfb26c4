#include "engine/media/platform/nE_Sound_Pl5_Callback.h"

#include "engine/media/platform/nE_Sound_Pl5.h"

void nE_Sound_Pl5_Callback::OnPlaybackComplete() {
    if (std::this_thread::get_id() != owner_) {
        pending_.store(true);
        return;
    }
    // Last statement: finishing deletes this callback.
    sound_->onFinished();
}
