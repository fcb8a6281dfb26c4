#include "pflib/TTexture.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {
TTextureBackend* gBackend = nullptr;
std::atomic<size_t> gLiveCount{0};
std::atomic<size_t> gLiveBytes{0};

uint32_t bigEndian(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}

// The size a JPEG declares in its frame header, found by walking the segments before it.
bool jpegSize(FILE* file, uint32_t& width, uint32_t& height) {
    if (std::fseek(file, 2, SEEK_SET) != 0) return false;
    for (;;) {
        int c = std::fgetc(file);
        if (c != 0xFF) return false;
        do c = std::fgetc(file);
        while (c == 0xFF);
        if (c == EOF) return false;
        // Markers without a length.
        if (c == 0xD8 || c == 0x01 || (c >= 0xD0 && c <= 0xD7)) continue;
        // The image ends or its data starts before any frame header.
        if (c == 0xD9 || c == 0xDA) return false;
        uint8_t length[2];
        if (std::fread(length, 1, 2, file) != 2 || bigEndian(length, 2) < 2) return false;
        const bool frame = c >= 0xC0 && c <= 0xCF && c != 0xC4 && c != 0xC8 && c != 0xCC;
        if (frame) {
            uint8_t header[5];  // precision, height, width
            if (std::fread(header, 1, 5, file) != 5) return false;
            height = bigEndian(header + 1, 2);
            width = bigEndian(header + 3, 2);
            return true;
        }
        if (std::fseek(file, static_cast<long>(bigEndian(length, 2)) - 2, SEEK_CUR) != 0) return false;
    }
}

// The size a PNG or JPEG file declares, read from its header without decoding anything. False for
// other content.
bool declaredSize(const str& path, uint32_t& width, uint32_t& height) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t head[24];
    const size_t got = std::fread(head, 1, sizeof head, file);
    bool known = false;
    if (got == sizeof head && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0 &&
        std::memcmp(head + 12, "IHDR", 4) == 0) {
        width = bigEndian(head + 16, 4);
        height = bigEndian(head + 20, 4);
        known = true;
    } else if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        known = jpegSize(file, width, height);
    }
    std::fclose(file);
    return known;
}

void initImageLibrary() {
    static const bool done = [] {
        IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
        return true;
    }();
    (void)done;
}
}  // namespace

TTexture::TTexture(int width, int height, int type)
    : width_(width),
      height_(height),
      type_(type),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0) {
    ++gLiveCount;
    gLiveBytes += static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

TTexture::~TTexture() {
    if (gBackend && (backendId || backendExtra)) gBackend->Release(*this);
    --gLiveCount;
    gLiveBytes -= static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4;
}

void TTexture::SetBackend(TTextureBackend* backend) {
    gBackend = backend;
}

size_t TTexture::LiveCount() {
    return gLiveCount.load();
}

size_t TTexture::LiveBytes() {
    return gLiveBytes.load();
}

std::shared_ptr<TTexture> TTexture::Create(int width, int height, bool flag, int type) {
    (void)flag;
    if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize) return nullptr;
    if (type != kPlain && type != kRenderTarget) return nullptr;
    return std::shared_ptr<TTexture>(new TTexture(width, height, type));
}

std::shared_ptr<TTexture> TTexture::Get(const str& file) {
    const str path = TPlatform::ResolvePath(file);
    if (!TPath::IsFile(path)) return nullptr;
    // The size is checked before any pixel is decoded: a header claiming a huge image must not make
    // the decoder allocate it.
    uint32_t declaredWidth = 0, declaredHeight = 0;
    if (!declaredSize(path, declaredWidth, declaredHeight)) {
        pfWriteDbgUnsafe("TTexture: \"%s\" is not a PNG or JPEG image\n", path.c_str());
        return nullptr;
    }
    if (declaredWidth == 0 || declaredHeight == 0 || declaredWidth > kMaxSize || declaredHeight > kMaxSize) {
        pfWriteDbgUnsafe("TTexture: \"%s\" is %u x %u pixels, over the %d limit; not loaded\n", path.c_str(),
                         declaredWidth, declaredHeight, kMaxSize);
        return nullptr;
    }
    initImageLibrary();
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        pfWriteDbgUnsafe("TTexture: cannot decode \"%s\": %s\n", path.c_str(), IMG_GetError());
        return nullptr;
    }
    // RGBA32 is bytes r, g, b, a in memory whatever the machine's byte order.
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) return nullptr;
    std::shared_ptr<TTexture> texture;
    if (rgba->w > 0 && rgba->h > 0 && rgba->w <= kMaxSize && rgba->h <= kMaxSize) {
        texture.reset(new TTexture(rgba->w, rgba->h, kPlain));
        const size_t rowBytes = static_cast<size_t>(rgba->w) * 4;
        SDL_LockSurface(rgba);
        for (int y = 0; y < rgba->h; ++y)
            std::memcpy(&texture->pixels_[y * rowBytes],
                        static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch, rowBytes);
        SDL_UnlockSurface(rgba);
    }
    SDL_FreeSurface(rgba);
    return texture;
}

bool TTexture::Lock(uint8_t** pixels, int* pitch, bool readOnly) {
    if (locked_ || !pixels || !pitch) return false;
    if (gBackend) {
        gBackend->BeforeLock(*this, readOnly);
        if (gpuNewer) gBackend->ReadBack(*this);
    }
    locked_ = true;
    lockReadOnly_ = readOnly;
    *pixels = pixels_.data();
    *pitch = width_;
    return true;
}

void TTexture::Unlock() {
    if (!locked_) return;
    locked_ = false;
    if (lockReadOnly_) return;
    dirty = true;
    gpuNewer = false;
}

bool TTexture::WritePng(const str& file, const uint8_t* rgba, int width, int height) {
    if (!rgba || width <= 0 || height <= 0 || file.empty()) return false;
    const str parent = TPath::Parent(file);
    if (!parent.empty()) TPath::MakeDirs(parent);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) return false;
    initImageLibrary();
    const bool ok = IMG_SavePNG(surface, file.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

bool TTexture::SavePng(const str& file) {
    if (gBackend) {
        gBackend->BeforeLock(*this, true);
        if (gpuNewer) gBackend->ReadBack(*this);
    }
    return WritePng(file, pixels_.data(), width_, height_);
}

}  // namespace pf
