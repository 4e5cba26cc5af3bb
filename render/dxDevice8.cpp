#include "render/dxDevice8.h"

#include <cstring>

#include "render/dxBuffer.h"

namespace {

constexpr int32_t kDrawUntexturedWireframe = 2;

D3DCOLOR OpaqueColour(int32_t red, int32_t green, int32_t blue) {
    return 0xFF000000u | ((static_cast<uint32_t>(red) & 0xFFu) << 16) | ((static_cast<uint32_t>(green) & 0xFFu) << 8) |
           (static_cast<uint32_t>(blue) & 0xFFu);
}

// Bytes per pixel of the formats texture pages are made in; 0 for others.
size_t BytesPerPixel(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
            return 4;
        case D3DFMT_R5G6B5:
            return 2;
        default:
            return 0;
    }
}

HRESULT PassOrFail(HRESULT result) { return SUCCEEDED(result) ? result : E_FAIL; }

}  // namespace

dxDevice8::dxDevice8() {
    D3DXMatrixIdentity(&projection);
    D3DXMatrixIdentity(&view);
}

HRESULT dxDevice8::SetClearColor(int32_t red, int32_t green, int32_t blue) {
    clearRed = red;
    clearGreen = green;
    clearBlue = blue;
    return D3D_OK;
}

D3DCOLOR dxDevice8::GetClearColor() const { return OpaqueColour(clearRed, clearGreen, clearBlue); }

HRESULT dxDevice8::Clear(bool withDepth) {
    if (!d3dDevice) {
        return E_FAIL;
    }
    const DWORD flags = withDepth ? (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER) : D3DCLEAR_TARGET;
    d3dDevice->Clear(0, nullptr, flags, GetClearColor(), 1.0f, 0);
    return D3D_OK;
}

HRESULT dxDevice8::Present() {
    if (!d3dDevice) {
        return E_FAIL;
    }
    return PassOrFail(d3dDevice->Present(nullptr, nullptr, nullptr, nullptr));
}

HRESULT dxDevice8::SetProjection(float zNear, float zFar, float aspect, float fovY) {
    D3DXMatrixPerspectiveFovLH(&projection, fovY, aspect, zNear, zFar);
    if (!d3dDevice) {
        return E_FAIL;
    }
    d3dDevice->SetTransform(D3DTS_PROJECTION, &projection);
    return D3D_OK;
}

HRESULT dxDevice8::SetEye(float x, float y, float z) {
    eye = D3DXVECTOR3(x, y, z);
    return SetViewTransform();
}

HRESULT dxDevice8::SetTarget(float x, float y, float z) {
    target = D3DXVECTOR3(x, y, z);
    return SetViewTransform();
}

HRESULT dxDevice8::SetViewTransform() {
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    if (!d3dDevice) {
        return E_FAIL;
    }
    return d3dDevice->SetTransform(D3DTS_VIEW, &view);
}

IDirect3DTexture8* dxDevice8::CreateTexture(int32_t width, int32_t height, D3DFORMAT format, const void* pixels) {
    const size_t bytesPerPixel = BytesPerPixel(format);
    if (!d3dDevice || pixels == nullptr || bytesPerPixel == 0 || width <= 0 || height <= 0) {
        return nullptr;
    }
    IDirect3DTexture8* created = nullptr;
    if (FAILED(D3DXCreateTexture(d3dDevice.get(), static_cast<UINT>(width), static_cast<UINT>(height), 0, 0, format,
                                 D3DPOOL_MANAGED, &created)) ||
        created == nullptr) {
        return nullptr;
    }
    ComPtr<IDirect3DTexture8> texture(created);
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)) || locked.pBits == nullptr) {
        return nullptr;
    }
    std::memcpy(locked.pBits, pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * bytesPerPixel);
    texture->UnlockRect(0);
    return texture.release();
}

HRESULT dxDevice8::UploadBuffer(dxBufferColor8* buffer) {
    if (!d3dDevice || buffer == nullptr || buffer->Build() == -1) {
        return E_FAIL;
    }
    const UINT length = static_cast<UINT>(buffer->GetVertexCount()) * static_cast<UINT>(buffer->GetStride());
    IDirect3DVertexBuffer8* created = nullptr;
    if (FAILED(d3dDevice->CreateVertexBuffer(length, 0, static_cast<DWORD>(buffer->GetFVF()), D3DPOOL_DEFAULT,
                                             &created)) ||
        created == nullptr) {
        return E_FAIL;
    }
    ComPtr<IDirect3DVertexBuffer8> vertexBuffer(created);  // released unless stored below
    BYTE* data = nullptr;
    if (FAILED(vertexBuffer->Lock(0, length, &data, 0))) {
        return E_FAIL;
    }
    if (data == nullptr) {
        vertexBuffer->Unlock();
        return E_FAIL;
    }
    std::memcpy(data, buffer->GetVertexData(), length);
    vertexBuffer->Unlock();
    buffer->SetVertexBuffer(vertexBuffer.release());
    buffer->ClearDirty();
    return D3D_OK;
}

void dxDevice8::SetPolygonStates(int32_t flags, IDirect3DTexture8* texture, int32_t mode) {
    d3dDevice->SetRenderState(D3DRS_FILLMODE, (flags & kPolygonWireframe) ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    d3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (flags & kPolygonCullClockwise) {
        d3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    }
    if (flags & kPolygonCullCounterClockwise) {
        d3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    d3dDevice->SetTexture(0, (flags & kPolygonTextured) ? texture : nullptr);
    if (mode == kDrawUntexturedWireframe) {
        d3dDevice->SetTexture(0, nullptr);
        d3dDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    }
}

HRESULT dxDevice8::DrawBuffer(dxBufferColor8* buffer, int32_t mode) {
    if (!d3dDevice || buffer == nullptr) {
        return E_FAIL;
    }
    if (FAILED(d3dDevice->SetStreamSource(0, buffer->GetVertexBuffer(), static_cast<UINT>(buffer->GetStride()))) ||
        FAILED(d3dDevice->SetVertexShader(static_cast<DWORD>(buffer->GetFVF())))) {
        return E_FAIL;
    }
    d3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DXMATRIX world = buffer->GetWorld();
    d3dDevice->SetTransform(D3DTS_WORLD, &world);
    buffer->ResetWorld();

    const int32_t polygonCount = buffer->GetTriangleCount() + buffer->GetQuadCount();
    if (FAILED(d3dDevice->BeginScene())) {
        return E_FAIL;
    }
    d3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    UINT start = 0;
    for (int32_t i = 0; i < polygonCount; ++i) {
        const int32_t flags = buffer->GetPolygonFlags(i);
        SetPolygonStates(flags, buffer->GetPolygonTexture(i), mode);
        if (flags & kPolygonQuad) {
            d3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, start, 2);
            start += 4;
        } else {
            d3dDevice->DrawPrimitive(D3DPT_TRIANGLELIST, start, 1);
            start += 3;
        }
    }
    return FAILED(d3dDevice->EndScene()) ? E_FAIL : D3D_OK;
}
