// The device of the software Direct3D: a back buffer and a 16-bit depth
// buffer in memory, the fixed-function states the viewer sets, and drawing of
// triangle lists and strips from one vertex stream.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/Rasterizer.h"
#include "platform/d3d8/SoftObject.h"
#include "platform/d3d8/SoftTexture.h"
#include "platform/d3d8/SoftVertexBuffer.h"
#include "platform/d3d8/d3d8.h"

namespace softd3d {

// Largest back buffer accepted: sides up to 8192 and 16 Mi pixels in all.
constexpr UINT kMaxBackBufferSide = 8192;
constexpr uint64_t kMaxBackBufferPixels = uint64_t{4096} * 4096;

// Vertex formats a vertex shader handle may name: position and colour (16
// bytes a vertex), position and one pair of texture coordinates (20 bytes).
constexpr DWORD kFvfColoured = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr DWORD kFvfTextured = D3DFVF_XYZ | D3DFVF_TEX1;

class Device final : public RefCounted<IDirect3DDevice8> {
public:
    // The back buffer takes the window's client size where the parameters
    // give 0 (a client side below 1 counts as 1). The window must outlive
    // the device. Refused: no window (D3DERR_INVALIDCALL); a back buffer
    // format other than X8R8G8B8 or unknown, a depth format other than D16,
    // multisampling, or a back buffer above the limits (D3DERR_NOTAVAILABLE).
    static HRESULT Create(HWND window, const D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice8** device);

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;

private:
    Device(HWND window, UINT width, UINT height, bool withDepth);

    enum TransformSlot { kWorld, kView, kProjection, kTransformSlots };
    static int SlotOf(D3DTRANSFORMSTATETYPE state);
    const D3DMATRIX& WorldViewProjection();
    void TransformVertices(UINT first, UINT count);
    FrameTarget Target();

    HWND window;
    int width;
    int height;
    std::vector<uint32_t> colour;
    std::vector<uint16_t> depth;  // empty without a depth buffer

    D3DMATRIX transforms[kTransformSlots];
    D3DMATRIX combined;
    bool combinedStale = true;

    DWORD fillMode = D3DFILL_SOLID;
    DWORD cullMode = D3DCULL_CCW;
    DWORD lighting = TRUE;  // stored only: nothing is lit
    DWORD colourOp = 4;     // Direct3D's default for stage 0 (modulate); stored only
    DWORD colourArg1 = D3DTA_TEXTURE;
    DWORD alphaOp = D3DTOP_SELECTARG1;

    RefPtr<IDirect3DVertexBuffer8> streamHolder;
    const VertexBuffer* stream = nullptr;
    UINT streamStride = 0;
    DWORD vertexFormat = 0;
    RefPtr<IDirect3DTexture8> textureHolder;
    const Texture* texture = nullptr;
    bool inScene = false;

    std::vector<ClipVertex> clipVertices;  // reused by every draw
};

}  // namespace softd3d
