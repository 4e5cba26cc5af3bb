// Test doubles of the Direct3D interfaces. Every double counts its
// references instead of destroying itself, so a test can see that an object
// was released exactly once (references back to 0) or never.
#pragma once

#include <gmock/gmock.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/d3d8/d3dx8.h"

namespace fake {

template <class Interface>
class Counted : public Interface {
public:
    ULONG AddRef() override {
        ++addRefs;
        return static_cast<ULONG>(++references);
    }
    ULONG Release() override {
        ++releases;
        return static_cast<ULONG>(--references);
    }

    int references = 1;  // the creator's reference
    int addRefs = 0;
    int releases = 0;
};

// A vertex buffer whose Lock hands out its own bytes.
class VertexBuffer : public Counted<IDirect3DVertexBuffer8> {
public:
    explicit VertexBuffer(UINT length) : bytes(length) {
        ON_CALL(*this, Lock).WillByDefault([this](UINT offset, UINT size, BYTE** data, DWORD) {
            if (static_cast<size_t>(offset) + size > bytes.size()) {
                return D3DERR_INVALIDCALL;
            }
            *data = bytes.data() + offset;
            return D3D_OK;
        });
    }
    MOCK_METHOD(HRESULT, Lock, (UINT, UINT, BYTE**, DWORD), (override));
    MOCK_METHOD(HRESULT, Unlock, (), (override));

    std::vector<BYTE> bytes;
};

// A texture with a level 0 of width x height pixels that LockRect exposes.
class Texture : public Counted<IDirect3DTexture8> {
public:
    Texture(UINT width, UINT height, D3DFORMAT format, size_t bytesPerPixel)
        : width(width), height(height), format(format), bytes(width * height * bytesPerPixel, 0xCD) {
        ON_CALL(*this, GetLevelCount).WillByDefault(testing::Return(1u));
        ON_CALL(*this, LockRect).WillByDefault([this](UINT, D3DLOCKED_RECT* locked, const RECT*, DWORD) {
            locked->pBits = bytes.data();
            locked->Pitch = static_cast<INT>(bytes.size() / (this->height == 0 ? 1 : this->height));
            return D3D_OK;
        });
    }
    MOCK_METHOD(DWORD, GetLevelCount, (), (override));
    MOCK_METHOD(HRESULT, GetLevelDesc, (UINT, D3DSURFACE_DESC*), (override));
    MOCK_METHOD(HRESULT, LockRect, (UINT, D3DLOCKED_RECT*, const RECT*, DWORD), (override));
    MOCK_METHOD(HRESULT, UnlockRect, (UINT), (override));

    UINT width;
    UINT height;
    D3DFORMAT format;
    std::vector<BYTE> bytes;
};

// The device state at the moment of one DrawPrimitive.
struct DrawRecord {
    D3DPRIMITIVETYPE type;
    UINT start;
    UINT count;
    DWORD fillMode;
    DWORD cullMode;
    IDirect3DTexture8* texture;
};

// A device that remembers render states, transforms and the bound texture,
// logs every draw, and makes vertex buffers and textures it keeps alive.
class Device : public Counted<IDirect3DDevice8> {
public:
    Device() {
        using testing::_;
        ON_CALL(*this, CreateVertexBuffer(_, _, _, _, _))
            .WillByDefault([this](UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** out) {
                vertexBuffers.push_back(std::make_unique<testing::NiceMock<VertexBuffer>>(length));
                *out = vertexBuffers.back().get();
                return D3D_OK;
            });
        ON_CALL(*this, CreateTexture(_, _, _, _, _, _, _))
            .WillByDefault([this](UINT width, UINT height, UINT, DWORD, D3DFORMAT format, D3DPOOL,
                                  IDirect3DTexture8** out) {
                const size_t bytesPerPixel = format == D3DFMT_R5G6B5 ? 2 : 4;
                textures.push_back(std::make_unique<testing::NiceMock<Texture>>(width, height, format, bytesPerPixel));
                *out = textures.back().get();
                return D3D_OK;
            });
        ON_CALL(*this, SetRenderState(_, _)).WillByDefault([this](D3DRENDERSTATETYPE state, DWORD value) {
            renderStates[state] = value;
            return D3D_OK;
        });
        ON_CALL(*this, SetTexture(_, _)).WillByDefault([this](DWORD, IDirect3DTexture8* texture) {
            boundTexture = texture;
            return D3D_OK;
        });
        ON_CALL(*this, SetTransform(_, _))
            .WillByDefault([this](D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
                D3DXMATRIX copy;
                static_cast<D3DMATRIX&>(copy) = *matrix;
                transforms[state] = copy;
                return D3D_OK;
            });
        ON_CALL(*this, DrawPrimitive(_, _, _))
            .WillByDefault([this](D3DPRIMITIVETYPE type, UINT start, UINT count) {
                draws.push_back({type, start, count, renderStates[D3DRS_FILLMODE], renderStates[D3DRS_CULLMODE],
                                 boundTexture});
                return D3D_OK;
            });
    }

    MOCK_METHOD(HRESULT, Clear, (DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD), (override));
    MOCK_METHOD(HRESULT, Present, (const RECT*, const RECT*, HWND, const RGNDATA*), (override));
    MOCK_METHOD(HRESULT, SetTransform, (D3DTRANSFORMSTATETYPE, const D3DMATRIX*), (override));
    MOCK_METHOD(HRESULT, GetTransform, (D3DTRANSFORMSTATETYPE, D3DMATRIX*), (override));
    MOCK_METHOD(HRESULT, CreateTexture, (UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**),
                (override));
    MOCK_METHOD(HRESULT, CreateVertexBuffer, (UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**), (override));
    MOCK_METHOD(HRESULT, SetStreamSource, (UINT, IDirect3DVertexBuffer8*, UINT), (override));
    MOCK_METHOD(HRESULT, SetVertexShader, (DWORD), (override));
    MOCK_METHOD(HRESULT, SetRenderState, (D3DRENDERSTATETYPE, DWORD), (override));
    MOCK_METHOD(HRESULT, GetRenderState, (D3DRENDERSTATETYPE, DWORD*), (override));
    MOCK_METHOD(HRESULT, SetTextureStageState, (DWORD, D3DTEXTURESTAGESTATETYPE, DWORD), (override));
    MOCK_METHOD(HRESULT, SetTexture, (DWORD, IDirect3DTexture8*), (override));
    MOCK_METHOD(HRESULT, GetTexture, (DWORD, IDirect3DTexture8**), (override));
    MOCK_METHOD(HRESULT, BeginScene, (), (override));
    MOCK_METHOD(HRESULT, EndScene, (), (override));
    MOCK_METHOD(HRESULT, DrawPrimitive, (D3DPRIMITIVETYPE, UINT, UINT), (override));

    std::vector<std::unique_ptr<testing::NiceMock<VertexBuffer>>> vertexBuffers;
    std::vector<std::unique_ptr<testing::NiceMock<Texture>>> textures;
    std::map<D3DRENDERSTATETYPE, DWORD> renderStates;
    std::map<D3DTRANSFORMSTATETYPE, D3DXMATRIX> transforms;
    IDirect3DTexture8* boundTexture = nullptr;
    std::vector<DrawRecord> draws;
};

class Direct3D : public Counted<IDirect3D8> {
public:
    MOCK_METHOD(HRESULT, GetAdapterDisplayMode, (UINT, D3DDISPLAYMODE*), (override));
    MOCK_METHOD(HRESULT, CheckDeviceFormat, (UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT),
                (override));
    MOCK_METHOD(HRESULT, CreateDevice, (UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice8**),
                (override));
};

}  // namespace fake
