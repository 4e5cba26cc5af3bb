// Meshes are modelled in display space (x right, y up, z towards the
// viewer's camera) around their own origin and written in level space, where
// y points down. Every face is wound clockwise as seen from outside: the
// renderer culls triangles that appear counter-clockwise on screen.
#include "tools/tr4demo/DemoLevel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "tools/tr4demo/DemoTextures.h"

namespace {

struct Vec {
    double x, y, z;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A pixel of a texture page.
struct Texel {
    uint8_t x, y;
};

struct Corner {
    Vec position;
    Texel texel;
};

uint8_t PixelOf(double fraction) { return static_cast<uint8_t>(std::clamp(std::lround(fraction * 255.0), 0L, 255L)); }

class MeshBuilder {
public:
    explicit MeshBuilder(LevelDescription& level) : level_(level) {}

    // Corners in order around the face; turned around when they do not run
    // clockwise as seen from the outward side.
    void AddQuad(uint16_t page, std::array<Corner, 4> corners, Vec outward) {
        if (!Clockwise(corners[0].position, corners[1].position, corners[2].position, outward)) {
            std::swap(corners[1], corners[3]);
        }
        QuadDescription quad;
        std::array<Texel, 4> texels{};
        for (std::size_t i = 0; i < 4; ++i) {
            quad.indices[i] = AddVertex(corners[i].position);
            texels[i] = corners[i].texel;
        }
        quad.texture = AddObjectTexture(page, texels);
        mesh_.quads.push_back(quad);
    }

    void AddTriangle(uint16_t page, std::array<Corner, 3> corners, Vec outward) {
        if (!Clockwise(corners[0].position, corners[1].position, corners[2].position, outward)) {
            std::swap(corners[1], corners[2]);
        }
        TriangleDescription triangle;
        std::array<Texel, 4> texels{};
        for (std::size_t i = 0; i < 3; ++i) {
            triangle.indices[i] = AddVertex(corners[i].position);
            texels[i] = corners[i].texel;
        }
        texels[3] = texels[2];
        triangle.texture = AddObjectTexture(page, texels);
        mesh_.triangles.push_back(triangle);
    }

    // The record, with its centre and radius taken from its vertices.
    MeshDescription Finish() {
        ShortVector low{INT16_MAX, INT16_MAX, INT16_MAX};
        ShortVector high{INT16_MIN, INT16_MIN, INT16_MIN};
        for (const ShortVector& v : mesh_.vertices) {
            low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
            high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
        }
        const Vec centre{(low.x + high.x) / 2.0, (low.y + high.y) / 2.0, (low.z + high.z) / 2.0};
        mesh_.centre = {static_cast<int16_t>(centre.x), static_cast<int16_t>(centre.y), static_cast<int16_t>(centre.z)};
        double radius = 0.0;
        for (const ShortVector& v : mesh_.vertices) {
            const Vec d = Vec{double(v.x), double(v.y), double(v.z)} - centre;
            radius = std::max(radius, std::sqrt(Dot(d, d)));
        }
        mesh_.radius = static_cast<uint32_t>(std::ceil(radius));
        return mesh_;
    }

private:
    // Clockwise on screen, seen from the outward side, in display space.
    static bool Clockwise(Vec a, Vec b, Vec c, Vec outward) { return Dot(Cross(b - a, c - a), outward) > 0.0; }

    uint16_t AddVertex(Vec display) {
        mesh_.vertices.push_back({static_cast<int16_t>(std::lround(display.x)),
                                  static_cast<int16_t>(-std::lround(display.y)),
                                  static_cast<int16_t>(std::lround(display.z))});
        return static_cast<uint16_t>(mesh_.vertices.size() - 1);
    }

    uint16_t AddObjectTexture(uint16_t page, const std::array<Texel, 4>& texels) {
        ObjectTextureDescription texture;
        texture.tile = page;
        for (std::size_t i = 0; i < 4; ++i) {
            texture.corners[i].xPixel = texels[i].x;
            texture.corners[i].yPixel = texels[i].y;
        }
        level_.objectTextures.push_back(texture);
        return static_cast<uint16_t>(level_.objectTextures.size() - 1);
    }

    LevelDescription& level_;
    MeshDescription mesh_;
};

// The four corners of a rectangle facing outward, as seen from outside:
// top-left, top-right, bottom-right, bottom-left, with the texels of the
// page rectangle (left, top) - (right, bottom) in the same order.
std::array<Corner, 4> FacingRectangle(Vec centre, Vec outward, Vec up, double halfWidth, double halfHeight,
                                      Texel topLeft, Texel bottomRight) {
    const Vec right = Cross(outward, up);
    const Vec across = right * halfWidth;
    const Vec above = up * halfHeight;
    return {{{centre - across + above, topLeft},
             {centre + across + above, {bottomRight.x, topLeft.y}},
             {centre + across - above, bottomRight},
             {centre - across - above, {topLeft.x, bottomRight.y}}}};
}

// A wooden crate 400 units on a side.
MeshDescription MakeCrate(LevelDescription& level) {
    constexpr double kHalf = 200.0;
    struct Side {
        Vec outward, up;
    };
    constexpr Side kSides[] = {
        {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 1, 0}},
        {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}}, {{0, -1, 0}, {0, 0, 1}},
    };
    MeshBuilder builder(level);
    for (const Side& side : kSides) {
        builder.AddQuad(kCratePage, FacingRectangle(side.outward * kHalf, side.outward, side.up, kHalf, kHalf, {0, 0},
                                                    {255, 255}),
                        side.outward);
    }
    return builder.Finish();
}

// A low-poly ball wrapped in the checkerboard: quads between rings,
// triangles around the poles.
MeshDescription MakeCheckerBall(LevelDescription& level) {
    constexpr double kRadius = 260.0;
    constexpr int kSegments = 16;
    constexpr int kRings = 8;
    auto corner = [&](int ring, double segment) {
        const double theta = std::numbers::pi * ring / kRings;
        const double phi = 2.0 * std::numbers::pi * segment / kSegments;
        const Vec position{kRadius * std::sin(theta) * std::cos(phi), kRadius * std::cos(theta),
                           kRadius * std::sin(theta) * std::sin(phi)};
        return Corner{position, {PixelOf(segment / kSegments), PixelOf(double(ring) / kRings)}};
    };
    MeshBuilder builder(level);
    for (int ring = 0; ring < kRings; ++ring) {
        for (int segment = 0; segment < kSegments; ++segment) {
            const Corner topLeft = corner(ring, segment);
            const Corner topRight = corner(ring, segment + 1);
            const Corner bottomRight = corner(ring + 1, segment + 1);
            const Corner bottomLeft = corner(ring + 1, segment);
            const Vec outward = corner(ring, segment + 0.5).position + corner(ring + 1, segment + 0.5).position;
            if (ring == 0) {
                builder.AddTriangle(kCheckerPage, {corner(0, segment + 0.5), bottomRight, bottomLeft}, outward);
            } else if (ring == kRings - 1) {
                builder.AddTriangle(kCheckerPage, {topLeft, topRight, corner(kRings, segment + 0.5)}, outward);
            } else {
                builder.AddQuad(kCheckerPage, {topLeft, topRight, bottomRight, bottomLeft}, outward);
            }
        }
    }
    return builder.Finish();
}

// A stone pyramid of triangles: four sides and a square base of two.
MeshDescription MakePyramid(LevelDescription& level) {
    constexpr double kHalfBase = 230.0;
    constexpr double kBaseY = -170.0;
    constexpr double kApexY = 250.0;
    const Vec apex{0, kApexY, 0};
    const Vec inside{0, kBaseY + (kApexY - kBaseY) / 4.0, 0};
    constexpr Texel kStoneTopLeft{0, 0};
    constexpr Texel kStoneBottomRight{255, kArrowTop - 1};
    constexpr Vec kDirections[] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};
    MeshBuilder builder(level);
    for (const Vec& direction : kDirections) {
        const Vec right = Cross(direction, {0, 1, 0});
        const Vec middle = direction * kHalfBase + Vec{0, kBaseY, 0};
        const Corner left{middle - right * kHalfBase, {0, kStoneBottomRight.y}};
        const Corner rightCorner{middle + right * kHalfBase, kStoneBottomRight};
        const Corner top{apex, {128, 0}};
        builder.AddTriangle(kStonePage, {top, rightCorner, left}, (apex + left.position + rightCorner.position) * (1.0 / 3.0) - inside);
    }
    const Vec down{0, -1, 0};
    const auto base = FacingRectangle({0, kBaseY, 0}, down, {0, 0, 1}, kHalfBase, kHalfBase, kStoneTopLeft,
                                      kStoneBottomRight);
    builder.AddTriangle(kStonePage, {base[0], base[1], base[2]}, down);
    builder.AddTriangle(kStonePage, {base[0], base[2], base[3]}, down);
    return builder.Finish();
}

// A thin sign with the up arrow on both sides.
MeshDescription MakeArrowSign(LevelDescription& level) {
    constexpr double kHalfThickness = 6.0;
    constexpr Texel kArrowTopLeft{0, kArrowTop};
    constexpr Texel kArrowBottomRight{255, 255};
    MeshBuilder builder(level);
    for (const Vec outward : {Vec{0, 0, 1}, Vec{0, 0, -1}}) {
        builder.AddQuad(kStonePage,
                        FacingRectangle(outward * kHalfThickness, outward, {0, 1, 0}, 260.0, 130.0, kArrowTopLeft,
                                        kArrowBottomRight),
                        outward);
    }
    return builder.Finish();
}

}  // namespace

LevelDescription MakeDemoLevel() {
    LevelDescription level;
    level.numObjectTextiles = kDemoPageCount;
    AppendDemoPages(level.textiles32, level.textiles16);
    level.meshes.resize(kDemoMeshCount);
    level.meshes[kCrateMesh] = MakeCrate(level);
    level.meshes[kCheckerBallMesh] = MakeCheckerBall(level);
    level.meshes[kPyramidMesh] = MakePyramid(level);
    level.meshes[kArrowSignMesh] = MakeArrowSign(level);
    return level;
}
