#include "platform/d3d8/Rasterizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace softd3d {
namespace {

// Triangles are clipped to the near and far planes and to a guard band this
// many times wider than the view; inside the band the viewport maps to
// coordinates that fit the fixed-point edge functions comfortably.
constexpr float kGuardBand = 8.0f;
// w stays above this after clipping, so the perspective division is safe.
constexpr float kMinW = 1e-6f;
constexpr int kSubpixelBits = 4;
constexpr int kSubpixels = 1 << kSubpixelBits;
constexpr int64_t kHalfPixel = kSubpixels / 2;
// Texture coordinates spanning more repeats than this within one triangle are
// not sampled (the triangle takes texel 0, 0).
constexpr float kMaxTextureRepeats = 65536.0f;

// ---------------------------------------------------------------- clipping

// Plane distances and crossing points are worked out in double precision:
// a corner far outside the view would otherwise move the crossing by whole
// pixels.
using PlaneDistance = double (*)(const ClipVertex&);

// Signed distances to the clip planes, inside where >= 0.
constexpr double kGuard = kGuardBand;
constexpr std::array<PlaneDistance, 7> kClipPlanes = {
    [](const ClipVertex& p) { return double{p.z}; },                       // near
    [](const ClipVertex& p) { return double{p.w} - p.z; },                 // far
    [](const ClipVertex& p) { return double{p.w} - kMinW; },               // in front of the eye
    [](const ClipVertex& p) { return p.x + kGuard * p.w; },                // guard band left
    [](const ClipVertex& p) { return kGuard * p.w - p.x; },                // guard band right
    [](const ClipVertex& p) { return p.y + kGuard * p.w; },                // guard band bottom
    [](const ClipVertex& p) { return kGuard * p.w - p.y; },                // guard band top
};

// Bit i set when p is outside clip plane i (the order of kClipPlanes).
unsigned ClipOutcode(const ClipVertex& p) {
    const float band = kGuardBand * p.w;
    return unsigned{p.z < 0.0f} | unsigned{p.z > p.w} << 1 | unsigned{p.w < kMinW} << 2 |
           unsigned{p.x < -band} << 3 | unsigned{p.x > band} << 4 | unsigned{p.y < -band} << 5 |
           unsigned{p.y > band} << 6;
}

// Which sides of the view volume itself p is outside of.
unsigned ViewOutcode(const ClipVertex& p) {
    return unsigned{p.z < 0.0f} | unsigned{p.z > p.w} << 1 | unsigned{p.x < -p.w} << 2 | unsigned{p.x > p.w} << 3 |
           unsigned{p.y < -p.w} << 4 | unsigned{p.y > p.w} << 5;
}

bool IsFinite(const ClipVertex& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w) &&
           std::isfinite(p.u) && std::isfinite(p.v);
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    auto mix = [t](double p, double q) { return static_cast<float>(p + (q - p) * t); };
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w), mix(a.u, b.u), mix(a.v, b.v)};
}

// A convex polygon whose corners remember whether the edge to the next corner
// is an edge of the original triangle (wireframe draws only those).
// Each plane adds at most one corner to a convex polygon; the room beyond
// that only matters when rounding bends an edge, and such corners are dropped.
constexpr int kMaxCorners = 2 * (3 + static_cast<int>(kClipPlanes.size()));

struct Polygon {
    std::array<ClipVertex, kMaxCorners> corners;
    std::array<bool, kMaxCorners> originalEdge;
    int count = 0;

    void Add(const ClipVertex& p, bool edgeIsOriginal) {
        if (count == kMaxCorners) {
            return;
        }
        corners[count] = p;
        originalEdge[count] = edgeIsOriginal;
        ++count;
    }
};

// Keeps the part of the polygon on the inside of one plane. The crossing
// point is always computed from the inside corner, so two triangles sharing
// an edge get the same point.
Polygon ClipToPlane(const Polygon& in, PlaneDistance distance) {
    Polygon out;
    for (int i = 0; i < in.count; ++i) {
        const ClipVertex& current = in.corners[i];
        const ClipVertex& next = in.corners[(i + 1) % in.count];
        const double dCurrent = distance(current);
        const double dNext = distance(next);
        const bool currentInside = dCurrent >= 0.0;
        const bool nextInside = dNext >= 0.0;
        const bool original = in.originalEdge[i];
        if (currentInside) {
            out.Add(current, original);
            if (!nextInside) {
                out.Add(Lerp(current, next, dCurrent / (dCurrent - dNext)), false);
            }
        } else if (nextInside) {
            out.Add(Lerp(next, current, dNext / (dNext - dCurrent)), original);
        }
    }
    return out;
}

// ------------------------------------------------------------ screen space

struct ScreenVertex {
    int64_t fx, fy;  // position in 1/kSubpixels of a pixel
    float x, y;      // the same position in pixels
    float z;         // depth, 0 near to 1 far
    float iw;        // 1 / w
    float uw, vw;    // texture coordinates in texels, divided by w
};

struct Viewport {
    float halfWidth, halfHeight;
};

ScreenVertex ToScreen(const ClipVertex& p, const Viewport& viewport, float uScale, float vScale) {
    const float iw = 1.0f / p.w;
    const float x = (p.x * iw + 1.0f) * viewport.halfWidth;
    const float y = (1.0f - p.y * iw) * viewport.halfHeight;
    const auto fx = static_cast<int64_t>(std::floor(x * kSubpixels + 0.5f));
    const auto fy = static_cast<int64_t>(std::floor(y * kSubpixels + 0.5f));
    return {fx, fy, static_cast<float>(fx) / kSubpixels, static_cast<float>(fy) / kSubpixels, p.z * iw, iw,
            p.u * uScale * iw, p.v * vScale * iw};
}

// Twice the signed area in subpixel units; positive for clockwise on screen.
int64_t DoubleArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    return (b.fx - a.fx) * (c.fy - a.fy) - (c.fx - a.fx) * (b.fy - a.fy);
}

// Moves the polygon's texture coordinates by whole repeats so they start near
// zero (the texel lookup then never sees a negative coordinate); absurd
// ranges collapse to texel 0, 0.
void NormaliseTextureCoordinates(Polygon& polygon) {
    auto normalise = [&](float ClipVertex::*coordinate) {
        float low = polygon.corners[0].*coordinate;
        float high = low;
        for (int i = 1; i < polygon.count; ++i) {
            low = std::min(low, polygon.corners[i].*coordinate);
            high = std::max(high, polygon.corners[i].*coordinate);
        }
        const bool sane = high - low <= kMaxTextureRepeats;
        const float shift = std::floor(low);
        for (int i = 0; i < polygon.count; ++i) {
            float& value = polygon.corners[i].*coordinate;
            value = sane ? value - shift : 0.0f;
        }
    };
    normalise(&ClipVertex::u);
    normalise(&ClipVertex::v);
}

// ---------------------------------------------------------------- shading

enum class Sampling { White, WrapPowerOfTwo, Wrap };

int ToTexelIndex(float t) {
    t = t > 0.0f ? t : 0.0f;  // also maps NaN to 0
    t = t < 16777216.0f ? t : 16777216.0f;
    return static_cast<int>(t);
}

// Attribute values at one pixel.
struct PixelAttributes {
    float z, iw, uw, vw;
};

template <bool kDepth, Sampling kSampling>
struct Shader {
    // Depth test (less or equal) and write, then the texel; the texture is
    // fetched only for pixels that pass.
    static void Shade(uint32_t& colour, uint16_t* depth, const PixelAttributes& a, const TextureView& texture) {
        if constexpr (kDepth) {
            float scaled = a.z * 65535.0f + 0.5f;
            scaled = scaled > 0.0f ? scaled : 0.0f;
            scaled = scaled < 65535.0f ? scaled : 65535.0f;
            const auto quantised = static_cast<uint16_t>(scaled);
            if (quantised > *depth) {
                return;
            }
            *depth = quantised;
        }
        colour = Sample(a, texture);
    }

    static uint32_t Sample(const PixelAttributes& a, const TextureView& texture) {
        if constexpr (kSampling == Sampling::White) {
            return 0xFFFFFFFFu;
        } else {
            const float w = 1.0f / a.iw;
            const int u = ToTexelIndex(a.uw * w);
            const int v = ToTexelIndex(a.vw * w);
            int column, row;
            if constexpr (kSampling == Sampling::WrapPowerOfTwo) {
                column = u & (texture.width - 1);
                row = v & (texture.height - 1);
            } else {
                column = u % texture.width;
                row = v % texture.height;
            }
            return texture.texels[row * texture.width + column] | 0xFF000000u;
        }
    }
};

// -------------------------------------------------------------- filling

// An edge function over pixel centres, written so that a pixel is inside when
// value(px) = atRowStart + perPixel * px >= 0 (the top-left rule is folded
// into atRowStart).
struct EdgeFunction {
    int64_t perPixel;
    int64_t perRow;
    int64_t atRowStart;
};

EdgeFunction MakeEdge(const ScreenVertex& from, const ScreenVertex& to, int64_t firstRow) {
    const int64_t a = from.fy - to.fy;
    const int64_t b = to.fx - from.fx;
    const int64_t c = -(a * from.fx + b * from.fy);
    const bool topLeft = a > 0 || (a == 0 && b > 0);
    const int64_t sampleY = firstRow * kSubpixels + kHalfPixel;
    return {a * kSubpixels, b * kSubpixels, a * kHalfPixel + b * sampleY + c - (topLeft ? 0 : 1)};
}

// Narrows [left, right] to the pixels inside one edge on the current row.
// The crossing is estimated in floating point, limited to the row's width,
// and settled exactly; the estimate is within a pixel, so the loops are short.
inline void NarrowSpan(const EdgeFunction& edge, int64_t width, int64_t& left, int64_t& right) {
    const int64_t e = edge.atRowStart;
    const int64_t s = edge.perPixel;
    auto inside = [e, s](int64_t x) { return e + s * x >= 0; };
    if (s == 0) {
        if (e < 0) {
            right = left - 1;
        }
        return;
    }
    const double estimate = -static_cast<double>(e) / static_cast<double>(s);
    auto x = static_cast<int64_t>(std::clamp(estimate, -1.0, static_cast<double>(width)));
    if (s > 0) {  // inside from x onwards
        while (x < width && !inside(x)) ++x;
        while (x > -1 && inside(x - 1)) --x;
        left = std::max(left, x);
    } else {  // inside up to x
        while (x > -1 && !inside(x)) --x;
        while (x < width && inside(x + 1)) ++x;
        right = std::min(right, x);
    }
}

// Plane equation of one attribute over the screen: value at (x, y) in pixels
// is origin + dx * x + dy * y.
struct AttributePlane {
    double origin, dx, dy;

    float At(double x, double y) const { return static_cast<float>(origin + dx * x + dy * y); }
};

AttributePlane MakePlane(const ScreenVertex* v, float ScreenVertex::*attribute, double inverseArea) {
    const double x0 = v[0].x, y0 = v[0].y;
    const double x1 = v[1].x - x0, y1 = v[1].y - y0;
    const double x2 = v[2].x - x0, y2 = v[2].y - y0;
    const double f0 = v[0].*attribute;
    const double f1 = v[1].*attribute - f0;
    const double f2 = v[2].*attribute - f0;
    const double dx = (f1 * y2 - f2 * y1) * inverseArea;
    const double dy = (f2 * x1 - f1 * x2) * inverseArea;
    return {f0 - dx * x0 - dy * y0, dx, dy};
}

// Fills a triangle whose corners are clockwise on screen (positive area).
template <bool kDepth, Sampling kSampling>
void FillTriangle(const FrameTarget& target, const TextureView& texture, const ScreenVertex* v) {
    const int64_t lowY = std::min({v[0].fy, v[1].fy, v[2].fy});
    const int64_t highY = std::max({v[0].fy, v[1].fy, v[2].fy});
    // Rows whose pixel centres lie within the triangle's height.
    const int64_t firstRow = std::max<int64_t>(0, (lowY - kHalfPixel + kSubpixels - 1) >> kSubpixelBits);
    const int64_t lastRow = std::min<int64_t>(target.height - 1, (highY - kHalfPixel) >> kSubpixelBits);
    if (firstRow > lastRow) {
        return;
    }
    std::array<EdgeFunction, 3> edges = {MakeEdge(v[0], v[1], firstRow), MakeEdge(v[1], v[2], firstRow),
                                         MakeEdge(v[2], v[0], firstRow)};

    const double inverseArea = static_cast<double>(kSubpixels * kSubpixels) / static_cast<double>(DoubleArea(v[0], v[1], v[2]));
    const AttributePlane z = MakePlane(v, &ScreenVertex::z, inverseArea);
    const AttributePlane iw = MakePlane(v, &ScreenVertex::iw, inverseArea);
    const AttributePlane uw = MakePlane(v, &ScreenVertex::uw, inverseArea);
    const AttributePlane vw = MakePlane(v, &ScreenVertex::vw, inverseArea);
    const PixelAttributes step{static_cast<float>(z.dx), static_cast<float>(iw.dx), static_cast<float>(uw.dx),
                               static_cast<float>(vw.dx)};

    for (int64_t row = firstRow; row <= lastRow; ++row) {
        int64_t left = 0;
        int64_t right = target.width - 1;
        for (EdgeFunction& edge : edges) {
            NarrowSpan(edge, target.width, left, right);
            edge.atRowStart += edge.perRow;
        }
        if (left > right) {
            continue;
        }
        const double cx = static_cast<double>(left) + 0.5;
        const double cy = static_cast<double>(row) + 0.5;
        const PixelAttributes start{z.At(cx, cy), iw.At(cx, cy), uw.At(cx, cy), vw.At(cx, cy)};
        uint32_t* colour = target.colour + row * target.width;
        uint16_t* depth = kDepth ? target.depth + row * target.width : nullptr;
        for (int64_t x = left; x <= right; ++x) {
            const float i = static_cast<float>(x - left);
            const PixelAttributes at{start.z + step.z * i, start.iw + step.iw * i, start.uw + step.uw * i,
                                     start.vw + step.vw * i};
            Shader<kDepth, kSampling>::Shade(colour[x], kDepth ? depth + x : nullptr, at, texture);
        }
    }
}

// Draws the line from a to b, one pixel per step along its longer axis; the
// pixel at b itself is left to the next edge.
template <bool kDepth, Sampling kSampling>
void DrawEdge(const FrameTarget& target, const TextureView& texture, ScreenVertex a, ScreenVertex b) {
    const bool alongX = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    const float major0 = alongX ? a.x : a.y;
    const float major1 = alongX ? b.x : b.y;
    if (major0 == major1) {
        return;
    }
    if (major1 < major0) {
        std::swap(a, b);
    }
    const float from = alongX ? a.x : a.y;
    const float to = alongX ? b.x : b.y;
    const float minorFrom = alongX ? a.y : a.x;
    const float minorTo = alongX ? b.y : b.x;
    const int majorSize = alongX ? target.width : target.height;
    const int minorSize = alongX ? target.height : target.width;
    const int first = std::max(0, static_cast<int>(std::ceil(from - 0.5f)));
    const int last = std::min(majorSize - 1, static_cast<int>(std::ceil(to - 0.5f)) - 1);
    const float length = to - from;
    for (int step = first; step <= last; ++step) {
        const float t = (static_cast<float>(step) + 0.5f - from) / length;
        const int minor = static_cast<int>(std::floor(minorFrom + (minorTo - minorFrom) * t));
        if (minor < 0 || minor >= minorSize) {
            continue;
        }
        const int x = alongX ? step : minor;
        const int y = alongX ? minor : step;
        const size_t index = static_cast<size_t>(y) * static_cast<size_t>(target.width) + static_cast<size_t>(x);
        auto mix = [t](float p, float q) { return p + (q - p) * t; };
        const PixelAttributes at{mix(a.z, b.z), mix(a.iw, b.iw), mix(a.uw, b.uw), mix(a.vw, b.vw)};
        Shader<kDepth, kSampling>::Shade(target.colour[index], kDepth ? target.depth + index : nullptr, at,
                                         texture);
    }
}

// ---------------------------------------------------------------- dispatch

using FillFunction = void (*)(const FrameTarget&, const TextureView&, const ScreenVertex*);
using EdgeDrawFunction = void (*)(const FrameTarget&, const TextureView&, ScreenVertex, ScreenVertex);

template <bool kDepth>
constexpr std::array<FillFunction, 3> kFillers = {FillTriangle<kDepth, Sampling::White>,
                                                  FillTriangle<kDepth, Sampling::WrapPowerOfTwo>,
                                                  FillTriangle<kDepth, Sampling::Wrap>};
template <bool kDepth>
constexpr std::array<EdgeDrawFunction, 3> kEdgeDrawers = {DrawEdge<kDepth, Sampling::White>,
                                                         DrawEdge<kDepth, Sampling::WrapPowerOfTwo>,
                                                         DrawEdge<kDepth, Sampling::Wrap>};

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

Sampling SamplingFor(const TextureView& texture) {
    if (texture.texels == nullptr || texture.width <= 0 || texture.height <= 0) {
        return Sampling::White;
    }
    return IsPowerOfTwo(texture.width) && IsPowerOfTwo(texture.height) ? Sampling::WrapPowerOfTwo
                                                                       : Sampling::Wrap;
}

bool Culled(CullMode cull, int64_t doubleArea) {
    if (doubleArea == 0) {
        return true;
    }
    switch (cull) {
    case CullMode::Clockwise:
        return doubleArea > 0;
    case CullMode::CounterClockwise:
        return doubleArea < 0;
    case CullMode::None:
        break;
    }
    return false;
}

void Rasterise(const FrameTarget& target, const DrawState& state, Polygon& polygon) {
    const TextureView& texture = state.texture;
    const Sampling sampling = SamplingFor(texture);
    if (sampling != Sampling::White) {
        NormaliseTextureCoordinates(polygon);
    }
    const Viewport viewport{target.width * 0.5f, target.height * 0.5f};
    const float uScale = static_cast<float>(texture.width);
    const float vScale = static_cast<float>(texture.height);
    std::array<ScreenVertex, kMaxCorners> screen;
    int64_t polygonArea = 0;
    for (int i = 0; i < polygon.count; ++i) {
        if (!(polygon.corners[i].w > 0.0f)) {
            return;
        }
        screen[i] = ToScreen(polygon.corners[i], viewport, uScale, vScale);
    }
    for (int i = 0; i < polygon.count; ++i) {
        const ScreenVertex& p = screen[i];
        const ScreenVertex& q = screen[(i + 1) % polygon.count];
        polygonArea += p.fx * q.fy - q.fx * p.fy;
    }
    if (Culled(state.cull, polygonArea)) {
        return;
    }
    const bool depth = target.depth != nullptr;
    const auto index = static_cast<size_t>(sampling);
    if (state.fill == FillMode::Wireframe) {
        const EdgeDrawFunction draw = depth ? kEdgeDrawers<true>[index] : kEdgeDrawers<false>[index];
        for (int i = 0; i < polygon.count; ++i) {
            if (polygon.originalEdge[i]) {
                draw(target, texture, screen[i], screen[(i + 1) % polygon.count]);
            }
        }
        return;
    }
    const FillFunction fill = depth ? kFillers<true>[index] : kFillers<false>[index];
    const bool clockwise = polygonArea > 0;
    for (int i = 1; i + 1 < polygon.count; ++i) {
        std::array<ScreenVertex, 3> triangle = {screen[0], screen[i], screen[i + 1]};
        if (!clockwise) {
            std::swap(triangle[1], triangle[2]);
        }
        // A fan piece that snapping turned over or flattened is a sliver: skip it.
        if (DoubleArea(triangle[0], triangle[1], triangle[2]) > 0) {
            fill(target, texture, triangle.data());
        }
    }
}

}  // namespace

void DrawTriangle(const FrameTarget& target, const DrawState& state, const ClipVertex& a, const ClipVertex& b,
                  const ClipVertex& c) {
    if (target.colour == nullptr || target.width <= 0 || target.height <= 0) {
        return;
    }
    if (!IsFinite(a) || !IsFinite(b) || !IsFinite(c)) {
        return;
    }
    if ((ViewOutcode(a) & ViewOutcode(b) & ViewOutcode(c)) != 0) {
        return;  // wholly outside one side of the view
    }
    Polygon polygon;
    polygon.Add(a, true);
    polygon.Add(b, true);
    polygon.Add(c, true);
    const unsigned crossed = ClipOutcode(a) | ClipOutcode(b) | ClipOutcode(c);
    for (size_t plane = 0; plane < kClipPlanes.size() && polygon.count >= 3; ++plane) {
        if ((crossed & (1u << plane)) != 0) {
            polygon = ClipToPlane(polygon, kClipPlanes[plane]);
        }
    }
    if (polygon.count >= 3) {
        Rasterise(target, state, polygon);
    }
}

}  // namespace softd3d
