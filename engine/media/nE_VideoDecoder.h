// A video's decoder: the colour stream (name + ".ogg") and at most one alpha source, the ".zalpha"
// records or a second Theora stream (".oggalpha"), stepped together one frame at a time. Problems
// are reported in one line each, naming the video; a colour stream that cannot be played leaves a
// decoder without frames, so playing it ends at once.
#pragma once

#include <memory>
#include <string>

#include "engine/media/nE_TheoraStream.h"

class nE_ByteReader;
class nE_ZAlphaReader;

class nE_VideoDecoder {
public:
    enum AlphaKind { kNoAlpha = 0, kZAlpha = 1, kOggAlpha = 2 };
    // The frame rate taken when the colour stream has none to give.
    static constexpr double kFallbackFrameRate = 25.0;

    nE_VideoDecoder();
    ~nE_VideoDecoder();
    nE_VideoDecoder(const nE_VideoDecoder&) = delete;
    nE_VideoDecoder& operator=(const nE_VideoDecoder&) = delete;

    // Opens name + ".ogg" (which the caller has found) and the alpha file: name + ".zalpha" when it
    // exists, else name + ".oggalpha". False when the colour stream cannot be played.
    bool open(const std::string& name);
    // The same over readers already open; `name` labels the reports.
    bool open(const std::string& name, std::unique_ptr<nE_ByteReader> colour,
              std::unique_ptr<nE_ByteReader> alpha, AlphaKind kind);

    // Advances every stream by one frame, the colour stream first; `forShow` also inflates a
    // ".zalpha" plane. False at the end of the video: any stream without a further frame, or a
    // damaged alpha record.
    bool advance(bool forShow);
    // Converts the current frame into RGBA rows of `pitch` pixels (at least width()); false when no
    // picture has been decoded yet.
    bool convert(uint8_t* out, int pitch);
    // Back to the start, then n frames advanced without converting. False when the end came first.
    bool seek(int n);

    bool playable() const { return playable_; }
    int width() const { return colour_.width(); }
    int height() const { return colour_.height(); }
    double frameRate() const { return playable_ ? colour_.frameRate() : kFallbackFrameRate; }
    AlphaKind alphaKind() const { return alphaKind_; }

private:
    // Reports a problem of one of the streams, once per reason.
    void report(const char* which, const std::string& reason);
    void dropAlpha();

    std::string name_;
    nE_TheoraStream colour_;
    std::unique_ptr<nE_ZAlphaReader> zalpha_;
    std::unique_ptr<nE_TheoraStream> alphaVideo_;
    AlphaKind alphaKind_ = kNoAlpha;
    bool playable_ = false;
    bool alphaPlane_ = false;  // the ".zalpha" plane holds the current frame's alpha
    std::string lastReport_;
};
