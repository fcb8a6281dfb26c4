// One Theora video stream read from an Ogg file: its headers, then one frame at a time. Other logical
// streams in the file (sound) are passed over. Pictures too large to be a texture, undefined frame
// rates and reserved chroma layouts are refused while the headers are read, before the decoder
// allocates anything.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class nE_ByteReader;

class nE_TheoraStream {
public:
    // The largest picture side accepted.
    static constexpr int kMaxSide = 4096;

    // The planes of the current frame as the decoder holds them (whole coded frame, top row first)
    // and the picture's place in it. Chroma is decimated by 1 << xShift horizontally and
    // 1 << yShift vertically.
    struct Planes {
        const uint8_t* data[3] = {nullptr, nullptr, nullptr};  // Y', Cb, Cr
        int stride[3] = {0, 0, 0};
        int xShift = 1, yShift = 1;
        int picX = 0, picY = 0;
    };

    nE_TheoraStream();
    ~nE_TheoraStream();
    nE_TheoraStream(const nE_TheoraStream&) = delete;
    nE_TheoraStream& operator=(const nE_TheoraStream&) = delete;

    // Takes the reader and reads the three headers. False (with a reason for takeError) when the
    // bytes hold no playable Theora stream.
    bool open(std::unique_ptr<nE_ByteReader> reader);
    // Decodes the next frame (a repeated frame counts). False at the end of the stream. A packet the
    // decoder refuses still counts as a frame that repeats the picture before it, and leaves a
    // reason for takeError (once per stream).
    bool nextFrame();
    // The current frame's planes; false before the first frame.
    bool planes(Planes& out);
    // Back to the start: the headers are read again and the next frame is the first.
    bool rewind();

    int width() const { return width_; }
    int height() const { return height_; }
    // Frames per second, > 0 once open.
    double frameRate() const { return frameRate_; }
    // The codec's own numbering of the chroma layouts.
    enum { kChroma420 = 0, kChroma422 = 2, kChroma444 = 3 };
    int pixelFormat() const { return pixelFormat_; }
    // Why the last open or rewind failed, or that a frame was damaged; empty after it is taken.
    std::string takeError();

private:
    struct Codec;
    bool readHeaders();
    // Takes the next page of the file into the video stream (finding that stream among the beginning
    // pages); false at the end of the bytes. `beginning` tells whether it began a stream.
    bool nextPage(bool* beginning);
    void release();

    std::unique_ptr<nE_ByteReader> reader_;
    std::unique_ptr<Codec> codec_;
    int width_ = 0, height_ = 0;
    double frameRate_ = 0;
    int pixelFormat_ = 0;
    bool haveFrame_ = false;
    bool damageReported_ = false;
    std::string error_;
};
