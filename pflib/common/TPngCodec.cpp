#include "pflib/common/TPngCodec.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace pf {

namespace {

// libpng's errors end the decode by jumping back to the setjmp of the call that started it.
struct PngError {
    char message[256] = "";
};

void pngFail(png_structp png, png_const_charp text) {
    auto* error = static_cast<PngError*>(png_get_error_ptr(png));
    std::snprintf(error->message, sizeof error->message, "%s", text);
    png_longjmp(png, 1);
}

void pngWarn(png_structp, png_const_charp) {}

struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->bytes->size() - reader->at < length) png_error(png, "the file ends early");
    std::memcpy(out, reader->bytes->data() + reader->at, length);
    reader->at += length;
}

// Everything that may be left over when libpng jumps back out of a decode.
struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    ~ReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

bool decodeInto(ReadState& state, PngError& error, MemoryReader& reader, std::vector<uint8_t>& rgba,
                int& width, int& height) {
    png_structp png = state.png;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, state.info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, state.info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
    // Palette and small grey depths become 8-bit channels, a tRNS chunk becomes alpha, 16-bit samples
    // keep their high byte, and whatever still lacks alpha is made opaque.
    png_set_expand(png);
    png_set_strip_16(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, state.info);
    if (png_get_rowbytes(png, state.info) != static_cast<size_t>(w) * 4) {
        std::snprintf(error.message, sizeof error.message, "unexpected row layout");
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    rgba.resize(static_cast<size_t>(w) * h * 4);
    state.rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) state.rows[y] = rgba.data() + static_cast<size_t>(y) * w * 4;
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    return true;
}

struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE* file = nullptr;
    ~WriteState() {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        if (file) std::fclose(file);
    }
};

bool writeFrom(WriteState& state, const uint8_t* rgba, int width, int height) {
    png_structp png = state.png;
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, state.file);
    png_set_IHDR(png, state.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, state.info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgba + static_cast<size_t>(y) * width * 4));
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool TPngCodec::Decode(const std::vector<uint8_t>& file, std::vector<uint8_t>& rgba, int& width, int& height,
                       str& message) {
    PngError error;
    ReadState state;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, pngFail, pngWarn);
    if (state.png) state.info = png_create_info_struct(state.png);
    if (!state.png || !state.info) {
        message = "libpng could not start";
        return false;
    }
    if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) {
        message = "not a PNG file";
        return false;
    }
    MemoryReader reader{&file, 0};
    // An allocation libpng cannot make comes back as its error; ours is passed on.
    if (decodeInto(state, error, reader, rgba, width, height)) return true;
    message = error.message[0] ? error.message : "broken PNG data";
    rgba.clear();
    return false;
}

bool TPngCodec::Write(const str& path, const uint8_t* rgba, int width, int height) {
    PngError error;
    WriteState state;
    state.file = std::fopen(path.c_str(), "wb");
    if (!state.file) return false;
    state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngFail, pngWarn);
    if (state.png) state.info = png_create_info_struct(state.png);
    if (!state.png || !state.info) return false;
    if (!writeFrom(state, rgba, width, height)) return false;
    const bool ok = std::fflush(state.file) == 0 && !std::ferror(state.file);
    const int closed = std::fclose(state.file);
    state.file = nullptr;
    return ok && closed == 0;
}

}  // namespace pf
