// Frames of 10,000 textured 64 x 64 quads through the OpenGL renderer, headless.
#include <benchmark/benchmark.h>

#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TRenderer.h"
#include "pflib/TTexture.h"

namespace {

constexpr int kQuads = 10000;
constexpr int kWidth = 1024, kHeight = 768;

bool Prepare() {
    static const bool ready = [] {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        return pf::TPlatform::SetDisplay(kWidth, kHeight, false, false, 0);
    }();
    return ready;
}

std::shared_ptr<pf::TTexture> Checker(int seed) {
    auto texture = pf::TTexture::Create(64, 64, true, pf::TTexture::kPlain);
    auto& p = texture->Pixels();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint8_t* px = &p[(y * 64 + x) * 4];
            const bool on = ((x / 8) + (y / 8) + seed) % 2;
            px[0] = on ? 255 : 40;
            px[1] = static_cast<uint8_t>(seed * 16);
            px[2] = on ? 40 : 255;
            px[3] = 200;
        }
    }
    return texture;
}

// Arg: number of textures the quads cycle through (1 batches everything).
void BM_DrawTexturedQuads(benchmark::State& state) {
    if (!Prepare()) {
        state.SkipWithError("no headless OpenGL display");
        return;
    }
    std::vector<std::shared_ptr<pf::TTexture>> textures;
    for (int i = 0; i < state.range(0); ++i) textures.push_back(Checker(i));
    pf::TRenderer* r = pf::TRenderer::GetInstance();
    pf::TBasicEffect* effect = r->GetDefault2dEffect();

    std::vector<pf::TVertex> quad(4);
    const float us[] = {0, 1, 0, 1}, vs[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        quad[i].u = us[i];
        quad[i].v = vs[i];
    }
    pf::TRenderStats stats;
    auto frame = [&] {
        r->BeginDraw();
        r->Begin2d();
        effect->SetBlendMode(pf::kBlendNormal);
        effect->SetFilteringMode(1);
        r->SetClippingRectangle(pf::TURect{0, 0, kWidth, kHeight});
        for (int i = 0; i < kQuads; ++i) {
            // Each quad is placed through the world matrix, as the engine places sprites.
            pf::TMat4 m = pf::TMat4::Identity();
            m.m[12] = static_cast<float>((i * 37) % (kWidth - 64));
            m.m[13] = static_cast<float>((i * 53) % (kHeight - 64));
            r->SetWorldMatrix(m);
            const float xs[] = {0, 64, 0, 64}, ys[] = {0, 0, 64, 64};
            for (int k = 0; k < 4; ++k) {
                quad[k].x = xs[k];
                quad[k].y = ys[k];
            }
            effect->SetTexture(textures[i % textures.size()]);
            r->DrawVertices(pf::kDrawTriangleStrip, pf::TVertexSet{quad.data(), 4});
        }
        r->End2d();
        r->EndDraw(false);
        r->Finish();
        stats = r->GetStats();
    };
    // The first frame uploads the textures and has the rasteriser compile its shaders.
    frame();
    for (auto _ : state) frame();
    state.counters["gl_draw_calls"] = stats.drawCalls;
    state.counters["submissions"] = stats.submissions;
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_DrawTexturedQuads)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace
