// Pictures drawn by the software Direct3D, each compared pixel by pixel with
// the picture the scene should give.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <numbers>

#include "tests/platform/SoftD3DTestSupport.h"

namespace softd3d::testing {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// A 4 x 4 texture whose texels all differ.
uint32_t CheckerTexel(int column, int row) {
    return 0xFF000000u | uint32_t(40 + column * 60) << 16 | uint32_t(30 + row * 70) << 8 | uint32_t(column * 16 + row);
}
std::vector<uint32_t> CheckerTexels() {
    std::vector<uint32_t> texels;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            texels.push_back(CheckerTexel(column, row));
        }
    }
    return texels;
}

// What a texel becomes after a trip through R5G6B5: the top bits of each
// channel, repeated into the low bits.
uint32_t Through565(uint32_t texel) {
    const uint32_t r = (texel >> 19) & 0x1F, g = (texel >> 10) & 0x3F, b = (texel >> 3) & 0x1F;
    return 0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// The quad [-0.5, 0.5] x [-0.5, 0.5] at depth z as a strip, corners top left,
// top right, bottom left, bottom right; u and v run over [u0, u1] x [v0, v1].
std::vector<TexturedVertex> Quad(float z, float u0 = 0, float u1 = 1, float v0 = 0, float v1 = 1,
                                 float left = -0.5f, float right = 0.5f) {
    return {{left, 0.5f, z, u0, v0}, {right, 0.5f, z, u1, v0}, {left, -0.5f, z, u0, v1}, {right, -0.5f, z, u1, v1}};
}
const std::vector<Ndc> kQuadCorners = {{-0.5, 0.5}, {0.5, 0.5}, {0.5, -0.5}, {-0.5, -0.5}};

// Pixel column and row inside the quad, in 1/4ths of the quad's size.
int QuarterColumn(int x) { return static_cast<int>(std::floor((x + 0.5 - 16.0) / 8.0)); }
int QuarterRow(int y) { return static_cast<int>(std::floor((y + 0.5 - 12.0) / 6.0)); }

class RenderingTest : public DeviceTest {
public:
    void Bind(const RefPtr<IDirect3DTexture8>& texture) { ASSERT_EQ(device->SetTexture(0, texture.Get()), D3D_OK); }
    void Cull(D3DCULL mode) { ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, mode), D3D_OK); }
    RefPtr<IDirect3DTexture8> Solid(uint32_t colour) { return MakeTexture(device.Get(), 1, 1, {colour}); }
};

struct Scene {
    const char* name;
    void (*draw)(RenderingTest&);
    ExpectedPicture (*expected)();
};

void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.name; }

ExpectedPicture Background() { return ExpectedPicture(DeviceTest::kWidth, DeviceTest::kHeight, kBackground); }

// Left: clockwise on screen; right: counter-clockwise.
const std::vector<TexturedVertex> kTwoWindings = {
    {-0.9f, -0.5f, 0.5f, 0, 0}, {-0.6f, 0.5f, 0.5f, 0, 0}, {-0.3f, -0.5f, 0.5f, 0, 0},
    {0.3f, -0.5f, 0.5f, 0, 0},  {0.9f, -0.5f, 0.5f, 0, 0}, {0.6f, 0.5f, 0.5f, 0, 0}};
const std::vector<Ndc> kClockwiseCorners = {{-0.9, -0.5}, {-0.6, 0.5}, {-0.3, -0.5}};
const std::vector<Ndc> kCounterClockwiseCorners = {{0.3, -0.5}, {0.9, -0.5}, {0.6, 0.5}};

// Two overlapping quads: red nearer (z 0.3) on the left, blue farther (z 0.7)
// on the right; the order of drawing must not matter.
void DrawDepthPair(RenderingTest& t, bool nearFirst) {
    auto nearQuad = [&] { t.Bind(t.Solid(kRed)); t.Draw(Quad(0.3f, 0, 1, 0, 1, -0.6f, 0.2f), D3DPT_TRIANGLESTRIP, 2); };
    auto farQuad = [&] { t.Bind(t.Solid(kBlue)); t.Draw(Quad(0.7f, 0, 1, 0, 1, -0.2f, 0.6f), D3DPT_TRIANGLESTRIP, 2); };
    if (nearFirst) {
        nearQuad();
        farQuad();
    } else {
        farQuad();
        nearQuad();
    }
}
ExpectedPicture RedOverBlue() {
    return Background()
        .Region({{-0.2, 0.5}, {0.6, 0.5}, {0.6, -0.5}, {-0.2, -0.5}}, kBlue)
        .Region({{-0.6, 0.5}, {0.2, 0.5}, {0.2, -0.5}, {-0.6, -0.5}}, kRed);
}

// A floor at height h in view space, seen through a 90 degree lens; with the
// window's aspect, x on screen is 0.75 x / z and y is h / z.
constexpr float kXScale = 0.75f;

const Scene kScenes[] = {
    {"clear_colour_is_exact_and_opaque",
     [](RenderingTest& t) { t.ClearAll(0x00A1B2C3u); },
     [] { return ExpectedPicture(DeviceTest::kWidth, DeviceTest::kHeight, 0xFFA1B2C3u); }},

    {"textured_quad_shows_texels_in_place",
     [](RenderingTest& t) {
         t.Bind(MakeTexture(t.device.Get(), 4, 4, CheckerTexels()));
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
     },
     [] {
         return Background().Region(kQuadCorners,
                                    [](int x, int y) { return CheckerTexel(QuarterColumn(x), QuarterRow(y)); });
     }},

    {"textured_quad_from_16_bit_texture",
     [](RenderingTest& t) {
         t.Bind(MakeTexture(t.device.Get(), 4, 4, CheckerTexels(), D3DFMT_R5G6B5));
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
     },
     [] {
         return Background().Region(
             kQuadCorners, [](int x, int y) { return Through565(CheckerTexel(QuarterColumn(x), QuarterRow(y))); });
     }},

    {"alpha_of_texels_plays_no_part",
     [](RenderingTest& t) {
         t.Bind(t.Solid(0x00336699u));
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
     },
     [] { return Background().Region(kQuadCorners, 0xFF336699u); }},

    {"coordinates_wrap_including_negative_ones",
     [](RenderingTest& t) {
         t.Bind(MakeTexture(t.device.Get(), 4, 4, CheckerTexels()));
         t.Draw(Quad(0.5f, -1.0f, 1.0f, 1.0f, 3.0f), D3DPT_TRIANGLESTRIP, 2);
     },
     [] {
         // Each repeat covers half the quad: 4 texels in 16 pixels across, 12 down.
         return Background().Region(kQuadCorners, [](int x, int y) {
             const int column = static_cast<int>(std::floor((x + 0.5 - 16.0) / 4.0)) % 4;
             const int row = static_cast<int>(std::floor((y + 0.5 - 12.0) / 3.0)) % 4;
             return CheckerTexel(column, row);
         });
     }},

    {"untextured_coloured_vertices_are_white",
     [](RenderingTest& t) {
         const std::vector<ColouredVertex> v = {{-0.5f, 0.5f, 0.5f, 0xFF00FF00u},
                                                {0.5f, 0.5f, 0.5f, 0xFF00FF00u},
                                                {-0.5f, -0.5f, 0.5f, 0xFF00FF00u},
                                                {0.5f, -0.5f, 0.5f, 0xFF00FF00u}};
         t.Draw(v, D3DPT_TRIANGLESTRIP, 2);
     },
     [] { return Background().Region(kQuadCorners, kWhite); }},

    {"nearer_quad_hides_farther_one_drawn_after",
     [](RenderingTest& t) { DrawDepthPair(t, true); }, RedOverBlue},

    {"nearer_quad_covers_farther_one_drawn_before",
     [](RenderingTest& t) { DrawDepthPair(t, false); }, RedOverBlue},

    {"cull_ccw_by_default_keeps_clockwise",
     [](RenderingTest& t) { t.Draw(kTwoWindings, D3DPT_TRIANGLELIST, 2); },
     [] { return Background().Region(kClockwiseCorners, kWhite); }},

    {"cull_cw_keeps_counter_clockwise",
     [](RenderingTest& t) {
         t.Cull(D3DCULL_CW);
         t.Draw(kTwoWindings, D3DPT_TRIANGLELIST, 2);
     },
     [] { return Background().Region(kCounterClockwiseCorners, kWhite); }},

    {"cull_none_keeps_both",
     [](RenderingTest& t) {
         t.Cull(D3DCULL_NONE);
         t.Draw(kTwoWindings, D3DPT_TRIANGLELIST, 2);
     },
     [] { return Background().Region(kClockwiseCorners, kWhite).Region(kCounterClockwiseCorners, kWhite); }},

    {"strip_faces_one_way_so_cull_ccw_keeps_all",
     [](RenderingTest& t) { t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2); },
     [] { return Background().Region(kQuadCorners, kWhite); }},

    {"strip_faces_one_way_so_cull_cw_drops_all",
     [](RenderingTest& t) {
         t.Cull(D3DCULL_CW);
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
     },
     Background},

    {"longer_strip_faces_one_way",
     [](RenderingTest& t) {
         const std::vector<TexturedVertex> zigzag = {{-0.8f, 0.5f, 0.5f, 0, 0},  {-0.8f, -0.5f, 0.5f, 0, 0},
                                                     {-0.2f, 0.5f, 0.5f, 0, 0},  {-0.2f, -0.5f, 0.5f, 0, 0},
                                                     {0.4f, 0.5f, 0.5f, 0, 0},   {0.4f, -0.5f, 0.5f, 0, 0}};
         t.Cull(D3DCULL_CW);  // this strip turns counter-clockwise on screen
         t.Draw(zigzag, D3DPT_TRIANGLESTRIP, 4);
     },
     [] { return Background().Region({{-0.8, 0.5}, {0.4, 0.5}, {0.4, -0.5}, {-0.8, -0.5}}, kWhite); }},

    {"far_part_beyond_far_plane_is_clipped",
     [](RenderingTest& t) {
         // z runs from 0.5 at the left edge to 1.5 at the right: beyond x = 0 it is past the far plane.
         const std::vector<TexturedVertex> v = {{-0.5f, 0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 1.5f, 0, 0},
                                                {-0.5f, -0.5f, 0.5f, 0, 0}, {0.5f, -0.5f, 1.5f, 0, 0}};
         t.Draw(v, D3DPT_TRIANGLESTRIP, 2);
     },
     [] { return Background().Region({{-0.5, 0.5}, {0.0, 0.5}, {0.0, -0.5}, {-0.5, -0.5}}, kWhite); }},

    {"huge_triangle_mostly_off_screen_is_drawn_exactly",
     [](RenderingTest& t) {
         t.Cull(D3DCULL_NONE);
         const std::vector<TexturedVertex> v = {{-30.0f, -30.0f, 0.5f, 0, 0}, {30.5f, 30.0f, 0.5f, 0, 0},
                                                {30.0f, -30.0f, 0.5f, 0, 0}};
         t.Draw(v, D3DPT_TRIANGLELIST, 1);
     },
     [] { return Background().Region({{-30.0, -30.0}, {30.5, 30.0}, {30.0, -30.0}}, kWhite); }},

    {"equal_depth_redraw_replaces_the_first",
     [](RenderingTest& t) {
         t.Bind(t.Solid(kRed));
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
         t.Bind(t.Solid(kBlue));
         t.Draw(Quad(0.5f), D3DPT_TRIANGLESTRIP, 2);
     },
     [] { return Background().Region(kQuadCorners, kBlue); }},

    {"enormous_triangle_through_the_view_is_exact",
     [](RenderingTest& t) {
         t.Cull(D3DCULL_NONE);
         const std::vector<TexturedVertex> v = {{-1e8f, -1e8f, 0.5f, 0, 0}, {1e8f, 1e8f, 0.5f, 0, 0},
                                                {1e8f, -1e8f, 0.5f, 0, 0}};
         t.Draw(v, D3DPT_TRIANGLELIST, 1);
     },
     [] { return Background().Region({{-1e8, -1e8}, {1e8, 1e8}, {1e8, -1e8}}, kWhite); }},

    {"triangle_crossing_near_plane_is_clipped_not_smeared",
     [](RenderingTest& t) {
         t.SetPerspective(std::numbers::pi_v<float> / 2, 1.0f, 100.0f);
         t.Cull(D3DCULL_NONE);
         // A floor at y = -0.5 from 5 units behind the eye to 10 in front.
         const std::vector<TexturedVertex> v = {{-1.0f, -0.5f, -5.0f, 0, 0}, {1.0f, -0.5f, -5.0f, 0, 0},
                                                {0.0f, -0.5f, 10.0f, 0, 0}};
         t.Draw(v, D3DPT_TRIANGLELIST, 1);
     },
     [] {
         // At the near plane (z = 1) the floor's edges are at x = -0.6 and 0.6.
         return Background().Region({{-0.6 * kXScale, -0.5}, {0.6 * kXScale, -0.5}, {0.0, -0.05}}, kWhite);
     }},

    {"texture_is_perspective_correct",
     [](RenderingTest& t) {
         t.SetPerspective(std::numbers::pi_v<float> / 2, 1.0f, 100.0f);
         t.Cull(D3DCULL_NONE);
         t.Bind(MakeTexture(t.device.Get(), 1, 8, {kRed, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue}));
         // A floor at y = -1 from z 1.25 (v 0) to z 10 (v 1): the red first
         // eighth ends at z 2.34375, much nearer the eye than the middle of
         // the floor's height on screen.
         const std::vector<TexturedVertex> v = {{-1, -1, 1.25f, 0, 0}, {1, -1, 1.25f, 0, 0}, {-1, -1, 10, 0, 1},
                                                {1, -1, 1.25f, 0, 0},  {1, -1, 10, 0, 1},    {-1, -1, 10, 0, 1}};
         t.Draw(v, D3DPT_TRIANGLELIST, 2);
     },
     [] {
         const double zSplit = 1.25 + 8.75 / 8;
         const double n = kXScale / 1.25, m = kXScale / zSplit, f = kXScale / 10;
         return Background()
             .Region({{-n, -0.8}, {n, -0.8}, {m, -1 / zSplit}, {-m, -1 / zSplit}}, kRed)
             .Region({{-m, -1 / zSplit}, {m, -1 / zSplit}, {f, -0.1}, {-f, -0.1}}, kBlue);
     }},
};

class SceneTest : public RenderingTest, public ::testing::WithParamInterface<Scene> {};

TEST_P(SceneTest, FrameMatchesExpectedPicture) {
    const Scene& scene = GetParam();
    ClearAll();
    scene.draw(*this);
    Present();
    EXPECT_TRUE(scene.expected().Matches(window, scene.name));
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneTest, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<Scene>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace softd3d::testing

namespace softd3d::testing {
namespace {

// Wireframe draws the three edges of each triangle and nothing inside: every
// pixel more than a pixel and a half from an edge keeps the background, and
// every point along an edge has a drawn pixel next to it.
TEST_F(RenderingTest, WireframeDrawsEdgesOnly) {
    const std::vector<Ndc> corners = {{-0.8, -0.7}, {-0.1, 0.8}, {0.7, -0.6}};  // clockwise on screen
    std::vector<TexturedVertex> vertices;
    for (const Ndc& c : corners) {
        vertices.push_back({static_cast<float>(c.x), static_cast<float>(c.y), 0.5f, 0, 0});
    }
    ClearAll();
    ASSERT_EQ(device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
    Draw(vertices, D3DPT_TRIANGLELIST, 1);
    Present();

    auto toPixel = [](const Ndc& c) {
        return std::pair{ExpectedPicture::PixelX(c.x, kWidth), ExpectedPicture::PixelY(c.y, kHeight)};
    };
    auto distanceToEdges = [&](double px, double py) {
        double nearest = 1e9;
        for (size_t i = 0; i < 3; ++i) {
            const auto [ax, ay] = toPixel(corners[i]);
            const auto [bx, by] = toPixel(corners[(i + 1) % 3]);
            const double ex = bx - ax, ey = by - ay;
            const double t = std::clamp(((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
            nearest = std::min(nearest, std::hypot(px - ax - t * ex, py - ay - t * ey));
        }
        return nearest;
    };
    int drawnAwayFromEdges = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (distanceToEdges(x + 0.5, y + 0.5) > 1.5 && window.Pixel(x, y) != kBackground) {
                ++drawnAwayFromEdges;
            }
        }
    }
    EXPECT_EQ(drawnAwayFromEdges, 0);

    int gaps = 0;
    for (size_t i = 0; i < 3; ++i) {
        const auto [ax, ay] = toPixel(corners[i]);
        const auto [bx, by] = toPixel(corners[(i + 1) % 3]);
        const int steps = static_cast<int>(std::hypot(bx - ax, by - ay));
        for (int s = 1; s < steps; ++s) {
            const double px = ax + (bx - ax) * s / steps, py = ay + (by - ay) * s / steps;
            bool drawn = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    drawn = drawn || window.Pixel(static_cast<int>(px) + dx, static_cast<int>(py) + dy) == kWhite;
                }
            }
            gaps += drawn ? 0 : 1;
        }
    }
    EXPECT_EQ(gaps, 0);
    if (drawnAwayFromEdges != 0 || gaps != 0) {
        window.WritePpm((std::filesystem::temp_directory_path() / "wireframe.ppm").string());
    }
}

// Wireframe edges are depth tested like filled pixels: a nearer filled quad
// hides the edges of a farther triangle.
TEST_F(RenderingTest, WireframeEdgesAreHiddenByNearerSurfaces) {
    ClearAll();
    Bind(Solid(kRed));
    Draw(Quad(0.2f, 0, 1, 0, 1, -1.0f, 1.0f), D3DPT_TRIANGLESTRIP, 2);  // full width, y in [-0.5, 0.5]
    Bind({});
    ASSERT_EQ(device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME), D3D_OK);
    Draw(std::vector<TexturedVertex>{{-0.9f, -0.9f, 0.8f, 0, 0}, {0.0f, 0.9f, 0.8f, 0, 0}, {0.9f, -0.9f, 0.8f, 0, 0}},
         D3DPT_TRIANGLELIST, 1);
    Present();
    int whiteInsideQuad = 0, whiteOutsideQuad = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (window.Pixel(x, y) == kWhite) {
                (y >= 12 && y < 36 ? whiteInsideQuad : whiteOutsideQuad)++;
            }
        }
    }
    EXPECT_EQ(whiteInsideQuad, 0);
    EXPECT_GT(whiteOutsideQuad, 0) << "the parts of the edges outside the quad are drawn";
}

}  // namespace
}  // namespace softd3d::testing

namespace softd3d::testing {
namespace {

// Vertices holding the worst a file or a careless caller can give: NaN,
// infinities, huge and tiny values, corners behind the eye. Drawing them
// must stay inside the buffers (the sanitizer build checks every access) and
// a triangle with a NaN corner draws nothing.
TEST_F(RenderingTest, HostileVerticesAreDrawnSafely) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {0.0f, 0.5f, -0.7f, 1.0f, 1e-30f, -1e-30f, 1e7f, -1e7f, 3e38f, -3e38f, inf, -inf, nan};
    constexpr size_t kCount = sizeof values / sizeof values[0];
    // w = z, so corners behind the eye and at it come up too.
    D3DMATRIX wFromZ{};
    wFromZ._11 = wFromZ._22 = wFromZ._33 = wFromZ._34 = 1.0f;
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &wFromZ), D3D_OK);
    Cull(D3DCULL_NONE);
    Bind(MakeTexture(device.Get(), 4, 4, CheckerTexels()));

    uint32_t seed = 12345;
    auto pick = [&] {
        seed = seed * 1664525u + 1013904223u;
        return values[(seed >> 16) % kCount];
    };
    for (DWORD fill : {D3DFILL_SOLID, D3DFILL_WIREFRAME}) {
        ASSERT_EQ(device->SetRenderState(D3DRS_FILLMODE, fill), D3D_OK);
        std::vector<TexturedVertex> triangles;
        for (int i = 0; i < 3 * 400; ++i) {
            triangles.push_back({pick(), pick(), pick(), pick(), pick()});
        }
        ClearAll();
        Draw(triangles, D3DPT_TRIANGLELIST, 400);
        Draw(triangles, D3DPT_TRIANGLESTRIP, 3 * 400 - 2);
    }

    const std::vector<TexturedVertex> withNaN = {{nan, 0, 0.5f, 0, 0}, {1, 1, 0.5f, 0, 0}, {1, -1, 0.5f, 0, 0}};
    const std::vector<TexturedVertex> nanTexture = {{-1, 1, 0.5f, nan, 0}, {1, 1, 0.5f, 0, 0}, {1, -1, 0.5f, 0, 0}};
    for (const auto& triangle : {withNaN, nanTexture}) {
        ClearAll();
        Draw(triangle, D3DPT_TRIANGLELIST, 1);
        Present();
        EXPECT_TRUE(Background().Matches(window, "nan_corner"));
    }
}

}  // namespace
}  // namespace softd3d::testing
