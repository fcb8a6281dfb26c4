// Sounds of pf_recording: nothing is heard; every instance leaves a record tests can inspect
// and complete.
#pragma once

#include <memory>
#include <vector>

#include "pflib/TSound.h"

namespace pf {
namespace testing {

// What happened to one played instance. The record outlives the instance.
struct TRecordedSound {
    str name;  // as given to TSound::Get
    bool looped = false;
    float volume = 1.f;  // last SetVolume
    bool paused = false;
    bool killed = false;
    bool completed = false;  // OnPlaybackComplete was delivered
    bool destroyed = false;  // the instance is gone
    TSoundCallBack* callback = nullptr;
};

// Every instance played since the last reset, in order.
std::vector<std::shared_ptr<TRecordedSound>>& PlayedSounds();
// Every name given to TSound::Get, in order (also the failed ones).
std::vector<str>& RequestedSounds();
// TSound::Get gives an empty handle for this name (as for an undecodable file).
void FailSound(const str& name);
// Play gives empty handles (no free channel) while set.
void SetPlayFails(bool fail);
// Delivers the completion now, as the platform does when a sound has played to its end: only
// once, never for a killed, looped or destroyed instance, and only with a callback set.
// True when OnPlaybackComplete was called.
bool CompleteSound(const std::shared_ptr<TRecordedSound>& sound);
bool CompleteSound(size_t index);
// Forgets every record and failure; the master volume goes back to 1.
void ResetSounds();

}  // namespace testing
}  // namespace pf
