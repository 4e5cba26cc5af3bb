#include "platform/d3d8/SoftDevice.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/d3d8/SoftDirect3D.h"

namespace softd3d {
namespace {

constexpr D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
constexpr DWORD kKnownClearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
// Every pixel of the back buffer is opaque: the X byte is written as 0xFF.
constexpr uint32_t kOpaque = 0xFF000000u;

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX out;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[row][k] * b.m[k][column];
            }
            out.m[row][column] = sum;
        }
    }
    return out;
}

UINT VertexSize(DWORD fvf) {
    switch (fvf) {
    case kFvfColoured:
        return 16;
    case kFvfTextured:
        return 20;
    default:
        return 0;
    }
}

uint16_t DepthValue(float z) { return static_cast<uint16_t>(z * 65535.0f + 0.5f); }

}  // namespace

HRESULT Device::Create(HWND window, const D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice8** device) {
    if (window == nullptr || device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const bool formatOk =
        parameters.BackBufferFormat == D3DFMT_UNKNOWN || parameters.BackBufferFormat == D3DFMT_X8R8G8B8;
    const bool depthOk = !parameters.EnableAutoDepthStencil || parameters.AutoDepthStencilFormat == D3DFMT_D16;
    if (!formatOk || !depthOk || parameters.MultiSampleType != D3DMULTISAMPLE_NONE) {
        return D3DERR_NOTAVAILABLE;
    }
    const UINT width = parameters.BackBufferWidth != 0 ? parameters.BackBufferWidth
                                                       : static_cast<UINT>(std::max(1, window->ClientWidth()));
    const UINT height = parameters.BackBufferHeight != 0 ? parameters.BackBufferHeight
                                                         : static_cast<UINT>(std::max(1, window->ClientHeight()));
    if (width > kMaxBackBufferSide || height > kMaxBackBufferSide ||
        uint64_t{width} * height > kMaxBackBufferPixels) {
        return D3DERR_NOTAVAILABLE;
    }
    try {
        *device = new Device(window, width, height, parameters.EnableAutoDepthStencil != FALSE);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

Device::Device(HWND window_, UINT width_, UINT height_, bool withDepth)
    : window(window_),
      width(static_cast<int>(width_)),
      height(static_cast<int>(height_)),
      colour(size_t{width_} * height_, kOpaque),
      depth(withDepth ? size_t{width_} * height_ : 0, 0xFFFF),
      transforms{kIdentity, kIdentity, kIdentity},
      combined(kIdentity) {}

// ------------------------------------------------------------ frame buffer

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD /*stencil*/) {
    const bool clearDepth = (flags & D3DCLEAR_ZBUFFER) != 0;
    if ((flags & ~kKnownClearFlags) != 0 || (count != 0 && rects == nullptr) || (clearDepth && depth.empty()) ||
        !(z >= 0.0f && z <= 1.0f)) {
        return D3DERR_INVALIDCALL;
    }
    const bool clearTarget = (flags & D3DCLEAR_TARGET) != 0;
    const uint32_t pixel = color | kOpaque;
    const uint16_t depthValue = DepthValue(z);
    const D3DRECT whole = {0, 0, width, height};
    const D3DRECT* areas = count == 0 ? &whole : rects;
    const DWORD areaCount = count == 0 ? 1 : count;
    for (DWORD i = 0; i < areaCount; ++i) {
        const int left = std::clamp<LONG>(areas[i].x1, 0, width);
        const int right = std::clamp<LONG>(areas[i].x2, 0, width);
        const int top = std::clamp<LONG>(areas[i].y1, 0, height);
        const int bottom = std::clamp<LONG>(areas[i].y2, 0, height);
        for (int y = top; y < bottom && left < right; ++y) {
            const size_t rowStart = size_t(y) * size_t(width);
            if (clearTarget) {
                std::fill(colour.begin() + rowStart + left, colour.begin() + rowStart + right, pixel);
            }
            if (clearDepth) {
                std::fill(depth.begin() + rowStart + left, depth.begin() + rowStart + right, depthValue);
            }
        }
    }
    return D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                        const RGNDATA* dirtyRegion) {
    // Part-frame presents are not offered: the whole back buffer goes out.
    if (sourceRect != nullptr || destRect != nullptr || dirtyRegion != nullptr || inScene) {
        return D3DERR_INVALIDCALL;
    }
    HWND destination = destWindowOverride != nullptr ? destWindowOverride : window;
    destination->PresentFrame(colour.data(), width, height, width);
    return D3D_OK;
}

FrameTarget Device::Target() {
    return FrameTarget{colour.data(), depth.empty() ? nullptr : depth.data(), width, height};
}

// -------------------------------------------------------------- transforms

int Device::SlotOf(D3DTRANSFORMSTATETYPE state) {
    switch (state) {
    case D3DTS_WORLD:
        return kWorld;
    case D3DTS_VIEW:
        return kView;
    case D3DTS_PROJECTION:
        return kProjection;
    }
    return -1;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    const int slot = SlotOf(state);
    if (slot < 0 || matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    transforms[slot] = *matrix;
    combinedStale = true;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    const int slot = SlotOf(state);
    if (slot < 0 || matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *matrix = transforms[slot];
    return D3D_OK;
}

const D3DMATRIX& Device::WorldViewProjection() {
    if (combinedStale) {
        combined = Multiply(Multiply(transforms[kWorld], transforms[kView]), transforms[kProjection]);
        combinedStale = false;
    }
    return combined;
}

// --------------------------------------------------------------- resources

HRESULT Device::CreateTexture(UINT width_, UINT height_, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** texture_) {
    if (usage != 0 || (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED)) {
        return D3DERR_INVALIDCALL;
    }
    if (TextureBytesPerPixel(format) != 0 && !TextureFormatAvailable(format)) {
        return D3DERR_NOTAVAILABLE;
    }
    return Texture::Create(width_, height_, levels, format, texture_);
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8** vertexBuffer) {
    if (usage != 0 || (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED)) {
        return D3DERR_INVALIDCALL;
    }
    return VertexBuffer::Create(length, fvf, vertexBuffer);
}

// ------------------------------------------------------------------ states

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) {
    if (streamNumber != 0) {
        return D3DERR_INVALIDCALL;
    }
    const auto* ours = dynamic_cast<const VertexBuffer*>(streamData);
    if (streamData != nullptr && ours == nullptr) {
        return D3DERR_INVALIDCALL;  // made by another implementation
    }
    streamHolder = RefPtr<IDirect3DVertexBuffer8>::Share(streamData);
    stream = ours;
    streamStride = stride;
    return D3D_OK;
}

HRESULT Device::SetVertexShader(DWORD handle) {
    if (VertexSize(handle) == 0) {
        return D3DERR_INVALIDCALL;
    }
    vertexFormat = handle;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
    case D3DRS_FILLMODE:
        if (value != D3DFILL_SOLID && value != D3DFILL_WIREFRAME) {
            return D3DERR_INVALIDCALL;
        }
        fillMode = value;
        return D3D_OK;
    case D3DRS_CULLMODE:
        if (value != D3DCULL_NONE && value != D3DCULL_CW && value != D3DCULL_CCW) {
            return D3DERR_INVALIDCALL;
        }
        cullMode = value;
        return D3D_OK;
    case D3DRS_LIGHTING:
        lighting = value;
        return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    switch (state) {
    case D3DRS_FILLMODE:
        *value = fillMode;
        return D3D_OK;
    case D3DRS_CULLMODE:
        *value = cullMode;
        return D3D_OK;
    case D3DRS_LIGHTING:
        *value = lighting;
        return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage != 0) {
        return D3DERR_INVALIDCALL;
    }
    switch (type) {
    case D3DTSS_COLOROP:
        colourOp = value;
        return D3D_OK;
    case D3DTSS_COLORARG1:
        colourArg1 = value;
        return D3D_OK;
    case D3DTSS_ALPHAOP:
        alphaOp = value;
        return D3D_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DTexture8* texture_) {
    if (stage != 0) {
        return D3DERR_INVALIDCALL;
    }
    const auto* ours = dynamic_cast<const Texture*>(texture_);
    if (texture_ != nullptr && ours == nullptr) {
        return D3DERR_INVALIDCALL;  // made by another implementation
    }
    textureHolder = RefPtr<IDirect3DTexture8>::Share(texture_);
    texture = ours;
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DTexture8** texture_) {
    if (stage != 0 || texture_ == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture_ = textureHolder.Get();
    if (*texture_ != nullptr) {
        (*texture_)->AddRef();
    }
    return D3D_OK;
}

// ----------------------------------------------------------------- drawing

HRESULT Device::BeginScene() {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const bool list = type == D3DPT_TRIANGLELIST;
    if (!inScene || (!list && type != D3DPT_TRIANGLESTRIP) || primitiveCount == 0 || stream == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const UINT vertexSize = VertexSize(vertexFormat);
    if (vertexSize == 0 || streamStride < vertexSize) {
        return D3DERR_INVALIDCALL;
    }
    const uint64_t vertexCount = list ? uint64_t{primitiveCount} * 3 : uint64_t{primitiveCount} + 2;
    const uint64_t lastVertex = uint64_t{startVertex} + vertexCount - 1;
    if (lastVertex * streamStride + vertexSize > stream->Length()) {
        return D3DERR_INVALIDCALL;  // the buffer does not hold that many vertices
    }
    TransformVertices(startVertex, static_cast<UINT>(vertexCount));

    DrawState state;
    state.fill = fillMode == D3DFILL_WIREFRAME ? FillMode::Wireframe : FillMode::Solid;
    state.cull = cullMode == D3DCULL_CW    ? CullMode::Clockwise
                 : cullMode == D3DCULL_CCW ? CullMode::CounterClockwise
                                           : CullMode::None;
    if (texture != nullptr) {
        state.texture = texture->View();
    }
    const FrameTarget target = Target();
    const ClipVertex* v = clipVertices.data();
    for (UINT i = 0; i < primitiveCount; ++i) {
        if (list) {
            DrawTriangle(target, state, v[3 * i], v[3 * i + 1], v[3 * i + 2]);
        } else if (i % 2 == 0) {
            DrawTriangle(target, state, v[i], v[i + 1], v[i + 2]);
        } else {  // odd strip triangles are turned round so the strip faces one way
            DrawTriangle(target, state, v[i + 1], v[i], v[i + 2]);
        }
    }
    return D3D_OK;
}

// Positions as row vectors through world x view x projection; texture
// coordinates follow the position in the textured format, 0, 0 otherwise.
void Device::TransformVertices(UINT first, UINT count) {
    const D3DMATRIX& m = WorldViewProjection();
    const bool textured = vertexFormat == kFvfTextured;
    clipVertices.resize(count);
    const BYTE* source = stream->Data() + size_t{first} * streamStride;
    for (UINT i = 0; i < count; ++i, source += streamStride) {
        float in[5] = {0, 0, 0, 0, 0};
        std::memcpy(in, source, textured ? 20 : 12);
        const float x = in[0], y = in[1], z = in[2];
        clipVertices[i] = ClipVertex{x * m._11 + y * m._21 + z * m._31 + m._41,
                                     x * m._12 + y * m._22 + z * m._32 + m._42,
                                     x * m._13 + y * m._23 + z * m._33 + m._43,
                                     x * m._14 + y * m._24 + z * m._34 + m._44,
                                     in[3],
                                     in[4]};
    }
}

}  // namespace softd3d
