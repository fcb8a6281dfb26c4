// Shared fixture of the headless OpenGL renderer tests: a kSize × kSize offscreen display with one
// frame and 2-D bracket open, the default effect reset, and pixel read-back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "pflib/TPlatform.h"
#include "pflib/TTexture.h"
#include "pflib/sdl/TGlRenderer.h"

namespace gltest {

constexpr int kSize = 64;

struct Rgba {
    int r, g, b, a;
};

// Four vertices of a quad as a strip: top-left, top-right, bottom-left, bottom-right.
inline std::vector<pf::TVertex> Quad(float x, float y, float w, float h, float u1 = 1, float v1 = 1,
                                     pf::TColor32 colour = {}) {
    std::vector<pf::TVertex> v(4);
    const float xs[] = {x, x + w, x, x + w}, ys[] = {y, y, y + h, y + h};
    const float us[] = {0, u1, 0, u1}, vs[] = {0, 0, v1, v1};
    for (int i = 0; i < 4; ++i) v[i] = pf::TVertex{xs[i], ys[i], 0, colour, us[i], vs[i]};
    return v;
}

class GlFixture : public ::testing::Test {
protected:
    // filtering: the default effect's filtering mode at the start of each test.
    explicit GlFixture(int filtering) : filtering_(filtering) {}

    void SetUp() override {
        pf::TRunOptions options;
        options.headless = true;
        pf::TPlatform::SetRunOptions(options);
        ASSERT_TRUE(pf::TPlatform::SetDisplay(kSize, kSize, false, false, 0));
        Begin();
    }
    void TearDown() override {
        r.EndRenderTarget();
        r.End2d();
        r.EndDraw(true);
    }
    void Begin() {
        ASSERT_TRUE(r.BeginDraw());
        ASSERT_TRUE(r.Begin2d());
        effect()->SetTexture(nullptr);
        effect()->SetBlendMode(pf::kBlendNormal);
        effect()->SetTextureMapMode(pf::kMapClamp, pf::kMapClamp);
        effect()->SetFilteringMode(filtering_);
        r.SetWorldMatrix(pf::TMat4::Identity());
    }
    void End() {
        r.End2d();
        r.EndDraw(true);
    }

    pf::TBasicEffect* effect() { return r.GetDefault2dEffect(); }

    void Draw(const std::shared_ptr<pf::TTexture>& texture, const std::vector<pf::TVertex>& quad) {
        effect()->SetTexture(texture);
        ASSERT_TRUE(r.DrawVertices(pf::kDrawTriangleStrip, pf::TVertexSet{quad.data(), 4}));
    }

    Rgba Pixel(int x, int y) {
        std::vector<uint8_t> p;
        EXPECT_TRUE(r.ReadPixels(pf::TURect{x, y, x + 1, y + 1}, p));
        if (p.size() < 4) return {-1, -1, -1, -1};
        return {p[0], p[1], p[2], p[3]};
    }

    pf::TGlRenderer& r = pf::TGlRenderer::Get();

private:
    int filtering_;
};

}  // namespace gltest
