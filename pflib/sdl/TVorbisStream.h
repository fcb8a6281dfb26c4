// One playback's decoder of an Ogg Vorbis file, read a little at a time on SDL's audio thread and
// converted to the device's format, so that a long sound (music, ambience) starts at once and never
// lies decoded whole in memory.
#pragma once

#include <SDL2/SDL.h>
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <memory>

#include "pflib/pfTypes.h"

namespace pf {

class TVorbisStream {
public:
    // The length of a Vorbis file in seconds, from its headers; false when it is none.
    static bool Probe(const str& path, double& seconds);
    // A decoder for the device format, positioned at the start; none when the file cannot be decoded.
    static std::unique_ptr<TVorbisStream> Open(const str& path, bool looped, int rate, SDL_AudioFormat format,
                                               int channels);
    ~TVorbisStream();
    TVorbisStream(const TVorbisStream&) = delete;
    TVorbisStream& operator=(const TVorbisStream&) = delete;

    // Fills `bytes` of `out` with the next audio in the device format; silence past the end. Audio
    // thread (or under the audio lock).
    void Fill(uint8_t* out, int bytes);
    // A non-looped stream has handed out its last sample.
    bool Ended() const { return ended_.load(); }

private:
    TVorbisStream() = default;

    OggVorbis_File file_{};
    bool fileOpen_ = false;
    SDL_AudioStream* convert_ = nullptr;
    bool looped_ = false;
    bool sourceDone_ = false;
    uint8_t silence_ = 0;
    std::atomic<bool> ended_{false};
};

}  // namespace pf
