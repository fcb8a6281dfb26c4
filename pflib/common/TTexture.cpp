#include "pflib/TTexture.h"

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
#include "pflib/common/TDecodeCache.h"
#include "pflib/common/TPath.h"
#include "pflib/common/TPngCodec.h"
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

}  // namespace

TTexture::TTexture(int width, int height, int type) : width_(width), height_(height), type_(type) {
    // A target's first content comes from drawing into it; zeroed pixels would be written and
    // uploaded for nothing (milliseconds for a screen-sized snapshot).
    if (type != kRenderTarget)
        pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
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

std::vector<uint8_t>& TTexture::Pixels() {
    if (pixels_.empty()) pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4, 0);
    return pixels_;
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

bool TTexture::checkHeader(const str& path, TImageHeader& header, bool report) {
    // The size is checked before any pixel is decoded: a header claiming a huge image must not make
    // the decoder allocate it.
    if (!ReadHeader(path, header)) {
        if (report) pfWriteDbgUnsafe("TTexture: \"%s\" is not a PNG or JPEG image\n", path.c_str());
        return false;
    }
    if (!WithinBudget(header)) {
        if (report)
            pfWriteDbgUnsafe(
                "TTexture: \"%s\" is %u x %u pixels, over the budget of %llu pixels (at most %d a "
                "side); not loaded\n",
                path.c_str(), header.width, header.height, static_cast<unsigned long long>(gPixelBudget),
                kMaxSize);
        return false;
    }
    if (header.fileBytes < header.minimumBytes) {
        if (report)
            pfWriteDbgUnsafe("TTexture: \"%s\" is %llu bytes, too short for %u x %u pixels; not loaded\n",
                             path.c_str(), static_cast<unsigned long long>(header.fileBytes), header.width,
                             header.height);
        return false;
    }
    return true;
}

std::shared_ptr<TTexture> TTexture::Get(const str& file) {
    const str path = TPlatform::ResolvePath(file);
    if (!TPath::IsFile(path)) return nullptr;
    TImageHeader header;
    if (!checkHeader(path, header, true)) return nullptr;
    TDecodeCache::Trim();
    TDecodedImage image;
    if (TDecodeCache::Take(path, image)) {
        TFrameStats::Mark("decoded ahead " + file);
    } else {
        TFrameStats::Mark("decode " + file);
        image = Decode(path, header.jpeg);
    }
    if (!image.message.empty()) pfWriteDbgUnsafe("%s\n", image.message.c_str());
    if (!image.ok) return nullptr;
    // An allocation the machine cannot give is a failed load, not the end of the program.
    try {
        return std::shared_ptr<TTexture>(
            new TTexture(image.width, image.height, kPlain, std::move(image.pixels)));
    } catch (const std::bad_alloc&) {
        pfWriteDbgUnsafe("TTexture: \"%s\": not enough memory to decode it\n", path.c_str());
        return nullptr;
    }
}

void TTexture::Prefetch(const str& file) {
    const str path = TPlatform::ResolvePath(file);
    if (!TPath::IsFile(path)) return;
    TImageHeader header;
    if (!checkHeader(path, header, false)) return;
    TDecodeCache::Trim();
    TDecodeCache::Ask(path, header.jpeg, static_cast<uint64_t>(header.width) * header.height * 4);
}

void TTexture::DropPrefetched() {
    TDecodeCache::Stop();
}

size_t TTexture::PrefetchedCount() {
    return TDecodeCache::Count();
}

TDecodedImage TTexture::Decode(const str& path, bool jpeg) {
    TDecodedImage image;
    try {
        std::vector<uint8_t> bytes;
        if (!readFile(path, bytes)) return image;
        str reason;
        if (jpeg) {
            char message[JMSG_LENGTH_MAX];
            image.ok = decodeJpeg(bytes, image.pixels, image.width, image.height, message);
            if (!image.ok) reason = message;
        } else {
            image.ok = TPngCodec::Decode(bytes, image.pixels, image.width, image.height, reason);
        }
        if (!image.ok) {
            image.message = "TTexture: cannot decode \"" + path + "\": " + reason;
        } else if (image.width <= 0 || image.height <= 0 || image.width > kMaxSize ||
                   image.height > kMaxSize) {
            image.ok = false;
        }
    } catch (const std::bad_alloc&) {
        image.ok = false;
        image.message = "TTexture: \"" + path + "\": not enough memory to decode it";
    }
    if (!image.ok) {
        image.pixels.clear();
        image.pixels.shrink_to_fit();
    }
    return image;
}

bool TTexture::Lock(uint8_t** pixels, int* pitch, bool readOnly) {
    if (locked_ || !pixels || !pitch) return false;
    if (gBackend) {
        gBackend->BeforeLock(*this, readOnly);
        if (gpuNewer) gBackend->ReadBack(*this);
    }
    try {
        *pixels = Pixels().data();
    } catch (const std::bad_alloc&) {
        pfWriteDbgUnsafe("TTexture: not enough memory for the pixels of a %d x %d texture\n", width_,
                         height_);
        return false;
    }
    locked_ = true;
    lockReadOnly_ = readOnly;
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
    return TPngCodec::Write(file, rgba, width, height);
}

bool TTexture::SavePng(const str& file) {
    if (gBackend) {
        gBackend->BeforeLock(*this, true);
        if (gpuNewer) gBackend->ReadBack(*this);
    }
    try {
        return WritePng(file, Pixels().data(), width_, height_);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace pf
