// The fixed-function pipeline's back end: clipping of triangles given in clip
// space, the viewport, culling by winding on screen, and filling (solid or
// edges only) into a colour and a 16-bit depth buffer.
#pragma once

#include <cstdint>

#include "platform/d3d8/SoftTexture.h"

namespace softd3d {

// One vertex after the world, view and projection transforms, with its
// texture coordinates.
struct ClipVertex {
    float x, y, z, w;
    float u, v;
};

// The buffers drawn into: rows of width pixels, no padding between rows.
struct FrameTarget {
    uint32_t* colour = nullptr;
    uint16_t* depth = nullptr;  // null: no depth buffer, no depth test
    int width = 0;
    int height = 0;
};

enum class FillMode { Solid, Wireframe };
// Which winding on screen is dropped; the names are Direct3D's cull modes.
enum class CullMode { None, Clockwise, CounterClockwise };

struct DrawState {
    FillMode fill = FillMode::Solid;
    CullMode cull = CullMode::CounterClockwise;
    // Level 0 of the texture of stage 0; no texels: the polygon is white.
    TextureView texture;
};

// Draws one triangle whose corners are given in the order of the primitive.
// Pixel centres lie at half-integer screen positions; a pixel whose centre is
// on a shared edge belongs to exactly one of the two triangles (top-left
// rule). Nothing is written outside the target, whatever the coordinates.
void DrawTriangle(const FrameTarget& target, const DrawState& state, const ClipVertex& a, const ClipVertex& b,
                  const ClipVertex& c);

}  // namespace softd3d
