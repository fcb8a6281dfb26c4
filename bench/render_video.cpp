// A 640 x 480, 30 fps video's cost per frame on headless OpenGL (Mesa's llvmpipe): decoding (Theora,
// and inflating the ".zalpha" plane), the conversion to RGBA into the video's texture, the upload of
// that texture and the finished frame that draws it. The clip is made by bench/video/make_clip.py;
// bench/run makes it and names it in HALVERN_BENCH_VIDEO (the resource name, without ".ogg").
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/media/nE_ByteReader.h"
#include "engine/media/nE_VideoDecoder.h"
#include "engine/media/platform/nE_GeneratedTexture_Pl5.h"
#include "engine/media/platform/nE_Render_Pl5.h"
#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

bool prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0);
    }();
    return ready;
}

const char* clipName() {
    return std::getenv("HALVERN_BENCH_VIDEO");
}

// The clip with its ".zalpha" (alpha 1) or its colour stream alone (alpha 0).
std::unique_ptr<nE_VideoDecoder> openClip(bool alpha, benchmark::State& state) {
    const char* name = clipName();
    if (!name) {
        state.SkipWithError("HALVERN_BENCH_VIDEO is not set; run bench/run");
        return nullptr;
    }
    auto decoder = std::make_unique<nE_VideoDecoder>();
    auto colour = std::make_unique<nE_ByteReader>();
    colour->openFile(std::string(name) + ".ogg");
    std::unique_ptr<nE_ByteReader> zalpha;
    if (alpha) {
        zalpha = std::make_unique<nE_ByteReader>();
        zalpha->openFile(std::string(name) + ".zalpha");
    }
    if (!decoder->open(name, std::move(colour), std::move(zalpha),
                       alpha ? nE_VideoDecoder::kZAlpha : nE_VideoDecoder::kNoAlpha) ||
        decoder->width() != 640 || decoder->height() != 480) {
        state.SkipWithError("the benchmark clip is missing or not 640 x 480");
        return nullptr;
    }
    return decoder;
}

// The next frame, from the start again after the last one (the rewind is not timed).
void advance(nE_VideoDecoder& decoder, benchmark::State& state, bool forShow) {
    if (decoder.advance(forShow)) return;
    state.PauseTiming();
    decoder.seek(0);
    decoder.advance(forShow);
    state.ResumeTiming();
}

void BM_VideoDecode(benchmark::State& state) {
    auto decoder = openClip(state.range(0) != 0, state);
    if (!decoder) return;
    for (auto _ : state) advance(*decoder, state, true);
}

void BM_VideoSkip(benchmark::State& state) {
    auto decoder = openClip(state.range(0) != 0, state);
    if (!decoder) return;
    for (auto _ : state) advance(*decoder, state, false);
}

void BM_VideoConvert(benchmark::State& state) {
    auto decoder = openClip(state.range(0) != 0, state);
    if (!decoder) return;
    for (int i = 0; i < 40; ++i) decoder->advance(true);
    nE_GeneratedTexture_Pl5 texture;
    for (auto _ : state) {
        int pitch = 0;
        uint8_t* pixels = texture.beginWrite(640, 480, &pitch);
        decoder->convert(pixels, pitch);
        texture.endWrite();
    }
}

// Finished frames drawing the video's texture 1:1 in the middle of the screen. Arg 0: 1 gives the
// texture new pixels before each frame (the upload of a shown video frame), 0 draws it unchanged.
void BM_VideoTextureFrame(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("no headless OpenGL display");
        return;
    }
    auto decoder = openClip(true, state);
    if (!decoder) return;
    nE_Render_Pl5 renderer;
    renderer.init(kWidth, kHeight);
    renderer.createSolidTextures();
    auto texture = std::make_shared<nE_GeneratedTexture_Pl5>();
    decoder->advance(true);
    int pitch = 0;
    decoder->convert(texture->beginWrite(640, 480, &pitch), pitch);
    texture->endWrite();
    std::shared_ptr<nE_Texture> drawn = texture;
    nE_RenderState where;
    where.x = kWidth / 2;
    where.y = kHeight / 2;
    pf::TRenderer* platform = pf::TRenderer::GetInstance();
    const bool upload = state.range(0) != 0;
    auto frame = [&] {
        if (upload) {
            // A lock for writing marks every pixel new; the pixels themselves are not the cost here.
            texture->beginWrite(640, 480, &pitch);
            texture->endWrite();
        }
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        nE_RenderState state = where;
        renderer.drawTexture(drawn, state);
        renderer.end2d();
        renderer.endFrame();
        platform->Finish();
    };
    for (int i = 0; i < 3; ++i) frame();
    for (auto _ : state) frame();
    renderer.shutdown();
}

// A shown frame from end to end: decode, convert, upload and the finished frame that draws it.
void BM_VideoShownFrame(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("no headless OpenGL display");
        return;
    }
    auto decoder = openClip(state.range(0) != 0, state);
    if (!decoder) return;
    nE_Render_Pl5 renderer;
    renderer.init(kWidth, kHeight);
    renderer.createSolidTextures();
    auto texture = std::make_shared<nE_GeneratedTexture_Pl5>();
    std::shared_ptr<nE_Texture> drawn = texture;
    pf::TRenderer* platform = pf::TRenderer::GetInstance();
    auto frame = [&] {
        advance(*decoder, state, true);
        int pitch = 0;
        decoder->convert(texture->beginWrite(640, 480, &pitch), pitch);
        texture->endWrite();
        renderer.beginFrame();
        renderer.clear();
        renderer.begin2d();
        nE_RenderState where;
        where.x = kWidth / 2;
        where.y = kHeight / 2;
        renderer.drawTexture(drawn, where);
        renderer.end2d();
        renderer.endFrame();
        platform->Finish();
    };
    for (int i = 0; i < 3; ++i) frame();
    for (auto _ : state) frame();
    renderer.shutdown();
}

BENCHMARK(BM_VideoDecode)->ArgName("alpha")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoSkip)->ArgName("alpha")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoConvert)->ArgName("alpha")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoTextureFrame)
    ->ArgName("upload")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_VideoShownFrame)->ArgName("alpha")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
