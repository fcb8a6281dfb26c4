#include "pflib/TTexture.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

// After <cstdio>: it uses FILE without including it.
#include <jerror.h>
#include <jpeglib.h>

#include "pflib/TFrameStats.h"
#include "pflib/TPlatform.h"
#include "pflib/common/TPath.h"
#include "pflib/pfDebug.h"

namespace pf {

namespace {
TTextureBackend* gBackend = nullptr;
std::atomic<size_t> gLiveCount{0};
std::atomic<size_t> gLiveBytes{0};

uint64_t gPixelBudget = TTexture::kDefaultPixelBudget;

uint32_t bigEndian(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}

// The size a JPEG declares in its frame header, found by walking the segments before it.
bool jpegHeader(FILE* file, TImageHeader& header) {
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
            uint8_t fields[5];  // precision, height, width
            if (std::fread(fields, 1, 5, file) != 5) return false;
            header.height = bigEndian(fields + 1, 2);
            header.width = bigEndian(fields + 3, 2);
            header.jpeg = true;
            return true;
        }
        if (std::fseek(file, static_cast<long>(bigEndian(length, 2)) - 2, SEEK_CUR) != 0) return false;
    }
}

// Deflate writes at least 2 bits for every 258 bytes it gives back (its longest match with the
// shortest codes), so a PNG's pixel data needs at least this many compressed bytes.
uint64_t pngMinimumBytes(uint32_t width, uint32_t height, int depth, int colourType) {
    int channels = 1;
    if (colourType == 2) channels = 3;
    if (colourType == 4) channels = 2;
    if (colourType == 6) channels = 4;
    const uint64_t rowBits = static_cast<uint64_t>(width) * static_cast<uint64_t>(depth * channels);
    const uint64_t raw = static_cast<uint64_t>(height) * (1 + (rowBits + 7) / 8);
    return raw / 1032;
}

// libjpeg's errors end the decode by jumping back; its warnings about data that ran out do too, where
// it would otherwise make up grey rows for everything the file lacks.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void jpegFail(j_common_ptr info) {
    JpegError* error = reinterpret_cast<JpegError*>(info->err);
    error->manager.format_message(info, error->message);
    std::longjmp(error->back, 1);
}

void jpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) jpegFail(info);
}

// What libjpeg may hold for a whole image (progressive files keep every coefficient): this much and
// 1 KiB more per byte of the file; past it libjpeg stops, having no backing store.
constexpr long kJpegWorkingFloor = 64L << 20;

// Decodes into `out` row by row, so the pixels grow only as the file delivers rows. False with a
// message when the data is broken or ends early.
bool decodeJpeg(const std::vector<uint8_t>& file, std::vector<uint8_t>& out, int& width, int& height,
                char* message) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFail;
    error.manager.emit_message = jpegMessage;
    error.message[0] = '\0';
    if (setjmp(error.back)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kJpegWorkingFloor + static_cast<long>(file.size()) * 1024;
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const size_t rowBytes = static_cast<size_t>(info.output_width) * 4;
    while (info.output_scanline < info.output_height) {
        const size_t at = out.size();
        // libjpeg's own memory goes with the decoder before the failed allocation is passed on.
        try {
            out.resize(at + rowBytes);
        } catch (const std::bad_alloc&) {
            jpeg_destroy_decompress(&info);
            throw;
        }
        JSAMPROW row = out.data() + at;
        jpeg_read_scanlines(&info, &row, 1);
        // Adobe's CMYK is stored inverted: each channel times K is already the colour.
        if (cmyk) {
            for (uint8_t* p = row; p < row + rowBytes; p += 4) {
                const int k = p[3];
                p[0] = static_cast<uint8_t>(p[0] * k / 255);
                p[1] = static_cast<uint8_t>(p[1] * k / 255);
                p[2] = static_cast<uint8_t>(p[2] * k / 255);
                p[3] = 255;
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool readFile(const str& path, std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
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

TTexture::TTexture(int width, int height, int type, std::vector<uint8_t>&& pixels)
    : width_(width), height_(height), type_(type), pixels_(std::move(pixels)) {
    pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    ++gLiveCount;
    gLiveBytes += pixels_.size();
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
    try {
        return std::shared_ptr<TTexture>(new TTexture(width, height, type));
    } catch (const std::bad_alloc&) {
        pfWriteDbgUnsafe("TTexture: not enough memory for a %d x %d texture\n", width, height);
        return nullptr;
    }
}

bool TTexture::ReadHeader(const str& file, TImageHeader& header) {
    header = TImageHeader();
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    uint8_t head[29];
    const size_t got = std::fread(head, 1, sizeof head, f);
    bool known = false;
    if (got == sizeof head && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0 &&
        std::memcmp(head + 12, "IHDR", 4) == 0) {
        header.width = bigEndian(head + 16, 4);
        header.height = bigEndian(head + 20, 4);
        header.minimumBytes = pngMinimumBytes(header.width, header.height, head[24], head[25]);
        known = true;
    } else if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        known = jpegHeader(f, header);
    }
    if (known && std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        header.fileBytes = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    std::fclose(f);
    return known;
}

bool TTexture::WithinBudget(const TImageHeader& header) {
    return header.width > 0 && header.height > 0 && header.width <= static_cast<uint32_t>(kMaxSize) &&
           header.height <= static_cast<uint32_t>(kMaxSize) &&
           static_cast<uint64_t>(header.width) * header.height <= gPixelBudget;
}

void TTexture::SetPixelBudget(uint64_t pixels) {
    gPixelBudget = pixels > 0 ? pixels : kDefaultPixelBudget;
}

uint64_t TTexture::PixelBudget() {
    return gPixelBudget;
}

std::shared_ptr<TTexture> TTexture::Get(const str& file) {
    const str path = TPlatform::ResolvePath(file);
    if (!TPath::IsFile(path)) return nullptr;
    // The size is checked before any pixel is decoded: a header claiming a huge image must not make
    // the decoder allocate it.
    TImageHeader header;
    if (!ReadHeader(path, header)) {
        pfWriteDbgUnsafe("TTexture: \"%s\" is not a PNG or JPEG image\n", path.c_str());
        return nullptr;
    }
    if (!WithinBudget(header)) {
        pfWriteDbgUnsafe(
            "TTexture: \"%s\" is %u x %u pixels, over the budget of %llu pixels (at most %d a "
            "side); not loaded\n",
            path.c_str(), header.width, header.height, static_cast<unsigned long long>(gPixelBudget),
            kMaxSize);
        return nullptr;
    }
    if (header.fileBytes < header.minimumBytes) {
        pfWriteDbgUnsafe("TTexture: \"%s\" is %llu bytes, too short for %u x %u pixels; not loaded\n",
                         path.c_str(), static_cast<unsigned long long>(header.fileBytes), header.width,
                         header.height);
        return nullptr;
    }
    TFrameStats::Mark("decode " + file);
    // An allocation the machine cannot give is a failed load, not the end of the program.
    try {
        if (header.jpeg) return decodeJpegFile(path);
        return decodePngFile(path);
    } catch (const std::bad_alloc&) {
        pfWriteDbgUnsafe("TTexture: \"%s\": not enough memory to decode it\n", path.c_str());
        return nullptr;
    }
}

std::shared_ptr<TTexture> TTexture::decodeJpegFile(const str& path) {
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes)) return nullptr;
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
    char message[JMSG_LENGTH_MAX];
    if (!decodeJpeg(bytes, pixels, width, height, message)) {
        pfWriteDbgUnsafe("TTexture: cannot decode \"%s\": %s\n", path.c_str(), message);
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > kMaxSize || height > kMaxSize) return nullptr;
    std::shared_ptr<TTexture> texture(new TTexture(width, height, kPlain, std::move(pixels)));
    return texture;
}

std::shared_ptr<TTexture> TTexture::decodePngFile(const str& path) {
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
        try {
            texture.reset(new TTexture(rgba->w, rgba->h, kPlain));
        } catch (const std::bad_alloc&) {
            SDL_FreeSurface(rgba);
            throw;
        }
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
