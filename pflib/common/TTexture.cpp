#include "pflib/TTexture.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <atomic>
#include <cstring>

#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {
TTextureBackend* gBackend = nullptr;
std::atomic<size_t> gLiveCount{0};

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
}

TTexture::~TTexture() {
    if (gBackend && (backendId || backendExtra)) gBackend->Release(*this);
    --gLiveCount;
}

void TTexture::SetBackend(TTextureBackend* backend) {
    gBackend = backend;
}

size_t TTexture::LiveCount() {
    return gLiveCount.load();
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
