// Links every library of the browser build and puts each to work on one of the game's own files, so
// a library that builds but lacks a codec, a dependency or a symbol shows here rather than in the page.
// Usage (under node): check PNG JPG OGG TTF XML
#include <SDL.h>
#include <SDL_mixer.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>
#include <png.h>
#include <theora/theoradec.h>
#include <tinyxml2.h>
#include <vorbis/vorbisfile.h>
#include <zlib.h>

#include <cstdio>
#include <lua.hpp>
#include <vector>

static int failures = 0;

static void report(const char* what, bool ok, const char* detail = "") {
    std::printf("%-10s %s %s\n", what, ok ? "ok" : "FAILED", detail);
    if (!ok) ++failures;
}

static bool decodeJpeg(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(info.output_width * info.output_components);
    JSAMPROW rows[1] = {row.data()};
    while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, rows, 1);
    bool ok = info.output_width > 0 && info.output_height > 0;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return ok;
}

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: check PNG JPG OGG TTF XML\n");
        return 2;
    }

    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    bool luaOk = luaL_dostring(lua, "return string.rep('a', 6 * 7)") == 0 && lua_objlen(lua, -1) == 42;
    lua_close(lua);
    report("lua", luaOk);

    tinyxml2::XMLDocument xml;
    report("tinyxml2", xml.LoadFile(argv[5]) == tinyxml2::XML_SUCCESS && xml.RootElement(), argv[5]);

    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    bool pngOk = png_image_begin_read_from_file(&image, argv[1]);
    if (pngOk) {
        image.format = PNG_FORMAT_RGBA;
        std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
        pngOk = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) && image.width > 0;
    }
    report("libpng", pngOk, argv[1]);
    report("libjpeg", decodeJpeg(argv[2]), argv[2]);

    OggVorbis_File vorbis;
    bool vorbisOk = ov_fopen(argv[3], &vorbis) == 0;
    if (vorbisOk) {
        char buffer[4096];
        int section = 0;
        long total = 0, got;
        while ((got = ov_read(&vorbis, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) total += got;
        vorbisOk = total > 0 && got == 0;
        ov_clear(&vorbis);
    }
    report("vorbis", vorbisOk, argv[3]);

    FT_Library fonts = nullptr;
    FT_Face face = nullptr;
    bool fontOk = FT_Init_FreeType(&fonts) == 0 && FT_New_Face(fonts, argv[4], 0, &face) == 0 &&
                  FT_Set_Pixel_Sizes(face, 0, 32) == 0 && FT_Load_Char(face, 'A', FT_LOAD_RENDER) == 0 &&
                  face->glyph->bitmap.width > 0;
    report("freetype", fontOk, argv[4]);
    if (fonts) FT_Done_FreeType(fonts);

    // Without a video file, the decoder is checked to refuse a stream that has no headers.
    th_info info;
    th_info_init(&info);
    report("theora", th_decode_alloc(&info, nullptr) == nullptr && th_version_number() > 0,
           th_version_string());
    th_info_clear(&info);

    const char text[] = "zlib round trip zlib round trip zlib round trip";
    unsigned char packed[128], unpacked[128];
    uLongf packedSize = sizeof packed, unpackedSize = sizeof unpacked;
    report("zlib", compress(packed, &packedSize, reinterpret_cast<const Bytef*>(text), sizeof text) == Z_OK &&
                       uncompress(unpacked, &unpackedSize, packed, packedSize) == Z_OK &&
                       unpackedSize == sizeof text);

    SDL_version linked;
    SDL_GetVersion(&linked);
    report("sdl2", SDL_Init(SDL_INIT_EVENTS) == 0 && linked.major == 2, SDL_GetError());
    report("sdl2_mixer", (Mix_Init(MIX_INIT_OGG) & MIX_INIT_OGG) != 0, Mix_GetError());
    Mix_Quit();
    SDL_Quit();

    std::printf("%s\n", failures ? "web libraries: FAILED" : "web libraries: ok");
    return failures ? 1 : 0;
}
