// The render device: one Direct3D device with a clear colour, a perspective
// projection, a look-at camera, texture page creation, and upload and draw of
// polygon buffers. Without a device every operation that needs one does
// nothing and reports E_FAIL (or null).
#pragma once

#include <cstdint>

#include "platform/d3d8/d3dx8.h"
#include "render/ComPtr.h"

class dxBufferColor8;

class dxDevice8 {
public:
    dxDevice8();
    ~dxDevice8() = default;
    dxDevice8(const dxDevice8&) = delete;
    dxDevice8& operator=(const dxDevice8&) = delete;

    IDirect3DDevice8* GetDevice() const { return d3dDevice.get(); }
    // Takes over the reference passed in; a device held before is released.
    void SetDevice(IDirect3DDevice8* device) { d3dDevice.reset(device); }

    // Only the low 8 bits of each component count.
    HRESULT SetClearColor(int32_t red, int32_t green, int32_t blue);
    // The opaque colour Clear uses.
    D3DCOLOR GetClearColor() const;
    HRESULT Clear(bool withDepth);
    HRESULT Present();

    HRESULT SetProjection(float zNear, float zFar, float aspect, float fovY);
    HRESULT SetEye(float x, float y, float z);
    HRESULT SetTarget(float x, float y, float z);
    const D3DXMATRIX& GetProjection() const { return projection; }
    const D3DXMATRIX& GetView() const { return view; }

    // A managed texture with a full mip chain whose level 0 gets the
    // width x height pixels (rows packed, 4 bytes a pixel for A8R8G8B8, 2 for
    // R5G6B5). Null for another format, null pixels or any failure. The
    // caller owns the one reference.
    IDirect3DTexture8* CreateTexture(int32_t width, int32_t height, D3DFORMAT format, const void* pixels);

    // Builds the buffer and stores a new vertex buffer made from it.
    HRESULT UploadBuffer(dxBufferColor8* buffer);
    // Draws the buffer polygon by polygon under its flags, with its world
    // matrix (then reset). Mode 2 draws untextured wireframe; other modes act as 0.
    HRESULT DrawBuffer(dxBufferColor8* buffer, int32_t mode);

private:
    HRESULT SetViewTransform();
    void SetPolygonStates(int32_t flags, IDirect3DTexture8* texture, int32_t mode);

    ComPtr<IDirect3DDevice8> d3dDevice;
    int32_t clearRed = 0;
    int32_t clearGreen = 0;
    int32_t clearBlue = 0;
    D3DXMATRIX projection;
    D3DXMATRIX view;
    D3DXVECTOR3 target{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 eye{0.0f, 0.0f, 0.0f};
};
