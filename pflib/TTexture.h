// Textures: CPU pixels (RGBA, 4 bytes, alpha fourth) plus whatever the backend keeps on the GPU.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pflib/pfTypes.h"

namespace pf {

class TTexture;

// One decode's outcome: RGBA pixels, or the reason it failed.
struct TDecodedImage {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    str message;
};

// What an image file's header says, read without decoding a pixel.
struct TImageHeader {
    uint32_t width = 0, height = 0;
    bool jpeg = false;
    uint64_t fileBytes = 0;
    // The fewest bytes a file of that size can have (PNG; 0 where no such bound is known).
    uint64_t minimumBytes = 0;
};

// What a backend keeps per texture (GPU copy); told when pixels change or the texture goes.
class TTextureBackend {
public:
    virtual ~TTextureBackend() = default;
    virtual void Release(TTexture& texture) = 0;
    // Copies GPU-side content (render targets) into the CPU pixels.
    virtual void ReadBack(TTexture& texture) = 0;
    // Called before the CPU pixels are locked: queued draws that read or write the texture
    // must reach the GPU first.
    virtual void BeforeLock(TTexture& texture, bool readOnly) { (void)texture, (void)readOnly; }
};

class TTexture {
public:
    enum Type { kPlain = 0, kRenderTarget = 1 };

    // Decodes a ".png" or ".jpg" file; empty handle when missing, corrupt, cut short or over the pixel
    // budget (refused from its header, before anything is allocated).
    // A file asked for ahead is taken from the pictures decoded in the background (waiting for its
    // decode if it is still running).
    static std::shared_ptr<TTexture> Get(const str& file);
    // Starts decoding the file on the worker pool, for a Get soon after; nothing for a file Get would
    // refuse from its header (Get then says why) or when too much is already waiting.
    static void Prefetch(const str& file);
    // Cancels the decodes not started, waits for the running ones and lets every prefetched picture
    // go (shut-down; tests).
    static void DropPrefetched();
    // Prefetched pictures not yet taken (including those still decoding).
    static size_t PrefetchedCount();
    // Reads and decodes a file whose header was checked; safe on any thread, logs nothing.
    static TDecodedImage Decode(const str& path, bool jpeg);
    // The header of a PNG or JPEG file; false for anything else.
    static bool ReadHeader(const str& file, TImageHeader& header);
    // Whether Get would take an image of the header's size.
    static bool WithinBudget(const TImageHeader& header);
    // The most pixels (width × height) an image file may have; 0 restores the default.
    static void SetPixelBudget(uint64_t pixels);
    static uint64_t PixelBudget();
    static constexpr uint64_t kDefaultPixelBudget = 4096ull * 4096ull;
    // An empty (transparent black) texture; empty handle for a non-positive size.
    static std::shared_ptr<TTexture> Create(int width, int height, bool flag, int type);

    ~TTexture();
    TTexture(const TTexture&) = delete;
    TTexture& operator=(const TTexture&) = delete;

    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetType() const { return type_; }

    // Pixels as 4-byte RGBA, pitch counted in 32-bit pixels. readOnly leaves the GPU copy alone.
    bool Lock(uint8_t** pixels, int* pitch, bool readOnly);
    void Unlock();

    // Writes the texture (render targets: their current content) as a PNG file.
    bool SavePng(const str& file);
    // Writes tightly packed RGBA rows (top row first) as a PNG file.
    static bool WritePng(const str& file, const uint8_t* rgba, int width, int height);
    // The largest width or height Create and Get accept.
    static constexpr int kMaxSize = 16384;

    // Backend access. A render target's CPU pixels are made when first asked for: until then they
    // are all transparent black, and the backend clears its GPU copy instead of uploading them.
    std::vector<uint8_t>& Pixels();
    bool HasPixels() const { return !pixels_.empty(); }
    uint32_t backendId = 0;     // e.g. the GL texture name
    uint32_t backendExtra = 0;  // e.g. the framebuffer of a render target
    bool dirty = true;          // CPU pixels newer than the GPU copy
    bool gpuNewer = false;      // GPU content newer than the CPU pixels (render targets)
    static void SetBackend(TTextureBackend* backend);
    static size_t LiveCount();
    // The pixel bytes of the live textures (4 a pixel): what their GPU copies take, and as much again
    // for the CPU pixels each keeps.
    static size_t LiveBytes();

private:
    TTexture(int width, int height, int type);
    // Takes decoded pixels, made up to width × height × 4 bytes.
    TTexture(int width, int height, int type, std::vector<uint8_t>&& pixels);
    // The checks Get makes before decoding (with its messages when report is set).
    static bool checkHeader(const str& path, TImageHeader& header, bool report);
    int width_, height_, type_;
    bool locked_ = false;
    bool lockReadOnly_ = false;
    std::vector<uint8_t> pixels_;
};

}  // namespace pf
