#include "pixmote/src/PmDecoder.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "pixmote/src/PmImage.h"

namespace pixmote {

namespace {

// The most pixels a file of a given size can hold: deflate packs at most 1032 bytes into one, at
// 8 pixels a byte in 1-bit PNGs; a Huffman-coded JPEG spends at least a bit on each 8 x 8 block,
// 512 pixels a byte (with room to spare, as arithmetic coding could claim any number). A header
// claiming more lies, and is refused before a buffer of that size is made and filled.
constexpr uint64_t kPngPixelsPerByte = 8 * 1032;
constexpr uint64_t kJpegPixelsPerByte = 4096;

bool plausible(uint32_t w, uint32_t h, size_t size, uint64_t perByte) {
    return uint64_t(w) * h <= uint64_t(size) * perByte;
}

// Both libraries refuse a side of 0 themselves.
bool sideFits(uint32_t side) {
    return side <= static_cast<uint32_t>(kPmMaxImageSide);
}

// The pixel buffer is left uninitialised: a header can claim a large image in a few bytes, and the
// pages of a buffer nobody writes to cost nothing. A decode that succeeds has written every row.
std::unique_ptr<uint8_t[]> pixelBuffer(uint32_t w, uint32_t h) {
    return std::unique_ptr<uint8_t[]>(new uint8_t[static_cast<size_t>(w) * h * 4]);
}

// What the decoders keep across setjmp lives here, on the heap: locals changed between setjmp and
// a longjmp back to it have no defined value afterwards.
struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0, at = 0;
    pm_result result = PM_ERROR_DECODE;
    std::unique_ptr<png_bytep[]> rows;
    ~PngState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// libpng's error handler must not return: it jumps back into decodePng.
void pngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep out, png_size_t n) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (n > state->size - state->at) png_error(png, "truncated");
    std::memcpy(out, state->data + state->at, n);
    state->at += n;
}

struct JpegState {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr error{};
    std::jmp_buf jump;
    bool created = false;
    pm_result result = PM_ERROR_DECODE;
    std::unique_ptr<uint8_t[]> row;
    ~JpegState() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

JpegState* jpegState(j_common_ptr cinfo) {
    return static_cast<JpegState*>(cinfo->client_data);
}

void jpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(jpegState(cinfo)->jump, 1);
}

// libjpeg carries on past damage with a warning, filling what is missing with grey; a cut or
// corrupt image is refused instead. Stray bytes between markers are common and harmless.
void jpegMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code != JWRN_EXTRANEOUS_DATA) std::longjmp(jpegState(cinfo)->jump, 1);
}

}  // namespace

pm_result PmDecoder::decode(const uint8_t* data, size_t size, PmPixels& out) {
    out = PmPixels();
    if (!data) return PM_ERROR_INVALID_ARGUMENT;
    if (size >= 8 && png_sig_cmp(data, 0, 8) == 0) return decodePng(data, size, out);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return decodeJpeg(data, size, out);
    return PM_ERROR_DECODE;
}

pm_result PmDecoder::decodePng(const uint8_t* data, size_t size, PmPixels& out) {
    auto state = std::make_unique<PngState>();
    state->data = data;
    state->size = size;
    state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!state->png) return PM_ERROR_OUT_OF_MEMORY;
    state->info = png_create_info_struct(state->png);
    if (!state->info) return PM_ERROR_OUT_OF_MEMORY;
    if (setjmp(png_jmpbuf(state->png))) {
        out = PmPixels();
        return state->result;
    }
    png_set_read_fn(state->png, state.get(), pngRead);
    // Ancillary chunks (text, profiles) are skipped unread, and none may hold more than 1 MiB.
    png_set_keep_unknown_chunks(state->png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_chunk_malloc_max(state->png, 1 << 20);
    png_read_info(state->png, state->info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(state->png, state->info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (!sideFits(width) || !sideFits(height)) {
        state->result = PM_ERROR_TOO_LARGE;
        png_longjmp(state->png, 1);
    }
    if (!plausible(width, height, size, kPngPixelsPerByte)) png_longjmp(state->png, 1);
    // Everything becomes 8-bit RGBA: palettes expanded, grey made colour, 16 bits cut, tRNS made alpha.
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(state->png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(state->png);
    if (png_get_valid(state->png, state->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(state->png);
    if (depth == 16) png_set_strip_16(state->png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(state->png);
    png_set_filler(state->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    if (png_get_rowbytes(state->png, state->info) != static_cast<size_t>(width) * 4)
        png_longjmp(state->png, 1);
    out.rgba = pixelBuffer(width, height);
    state->rows.reset(new png_bytep[height]);
    for (png_uint_32 y = 0; y < height; ++y) state->rows[y] = &out.rgba[static_cast<size_t>(y) * width * 4];
    png_read_image(state->png, state->rows.get());
    // The chunks after the pixels are not read: an image whose pixels are whole is used as it is.
    out.w = static_cast<int>(width);
    out.h = static_cast<int>(height);
    return PM_OK;
}

pm_result PmDecoder::decodeJpeg(const uint8_t* data, size_t size, PmPixels& out) {
    auto state = std::make_unique<JpegState>();
    jpeg_decompress_struct& cinfo = state->cinfo;
    // Kept by jpeg_create_decompress, like err.
    cinfo.client_data = state.get();
    cinfo.err = jpeg_std_error(&state->error);
    state->error.error_exit = jpegErrorExit;
    state->error.emit_message = jpegMessage;
    if (setjmp(state->jump)) {
        out = PmPixels();
        return state->result;
    }
    jpeg_create_decompress(&cinfo);
    state->created = true;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!sideFits(cinfo.image_width) || !sideFits(cinfo.image_height)) {
        state->result = PM_ERROR_TOO_LARGE;
        std::longjmp(state->jump, 1);
    }
    if (!plausible(cinfo.image_width, cinfo.image_height, size, kJpegPixelsPerByte))
        std::longjmp(state->jump, 1);
    // Grey and colour come out as RGB; CMYK is converted below.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int channels = cinfo.output_components;
    if (channels != (cmyk ? 4 : 3)) std::longjmp(state->jump, 1);
    const size_t width = cinfo.output_width, height = cinfo.output_height;
    out.rgba = pixelBuffer(cinfo.output_width, cinfo.output_height);
    state->row.reset(new uint8_t[width * channels]);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* o = &out.rgba[static_cast<size_t>(cinfo.output_scanline) * width * 4];
        JSAMPROW row = state->row.get();
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) std::longjmp(state->jump, 1);
        for (size_t x = 0; x < width; ++x, o += 4) {
            const uint8_t* in = &row[x * channels];
            if (cmyk) {
                // Stored inverted, as Adobe writes them: each value is already 255 - ink.
                o[0] = static_cast<uint8_t>(in[0] * in[3] / 255);
                o[1] = static_cast<uint8_t>(in[1] * in[3] / 255);
                o[2] = static_cast<uint8_t>(in[2] * in[3] / 255);
            } else {
                o[0] = in[0], o[1] = in[1], o[2] = in[2];
            }
            o[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
    out.w = static_cast<int>(width);
    out.h = static_cast<int>(height);
    return PM_OK;
}

pm_result PmDecoder::readFile(const char* path, std::vector<uint8_t>& bytes, size_t limit) {
    bytes.clear();
    if (!path) return PM_ERROR_INVALID_ARGUMENT;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return PM_ERROR_IO;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
    uint8_t buffer[65536];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
        if (bytes.size() + n > limit) return PM_ERROR_TOO_LARGE;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return std::ferror(file) ? PM_ERROR_IO : PM_OK;
}

}  // namespace pixmote
