// A video decoder that decodes and converts the next frame on a worker while the current one is
// shown. The decoder is the worker's alone while a frame is in flight: every call here waits for it
// first, so the frames come out exactly as the decoder alone would give them, only earlier.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/media/nE_VideoDecoder.h"

class nE_VideoAhead {
public:
    explicit nE_VideoAhead(std::unique_ptr<nE_VideoDecoder> decoder);
    // Waits for a frame in flight.
    ~nE_VideoAhead();
    nE_VideoAhead(const nE_VideoAhead&) = delete;
    nE_VideoAhead& operator=(const nE_VideoAhead&) = delete;

    // As the decoder's; a frame decoded ahead counts as the next one.
    bool advance(bool forShow);
    bool convert(uint8_t* out, int pitch);
    bool seek(int n);
    // Starts the next frame's decoding and conversion on a worker; with `rewind`, from the start
    // (what seek(0) and advance(true) would do).
    void decodeAhead(bool rewind = false);

    bool playable();
    int width();
    int height();
    double frameRate();
    nE_VideoDecoder::AlphaKind alphaKind();

private:
    // Takes the frame in flight back, with what its decoding reported.
    void join();
    void dropAhead();

    std::unique_ptr<nE_VideoDecoder> decoder_;
    std::future<void> task_;
    std::vector<std::string> lines_;
    bool ahead_ = false;        // the decoder stands one frame past the caller
    bool aheadMore_ = false;    // that frame's advance succeeded
    bool pixelsReady_ = false;  // pixels_ hold the current frame, converted
    bool aheadConverted_ = false;
    std::vector<uint8_t> pixels_;
};
