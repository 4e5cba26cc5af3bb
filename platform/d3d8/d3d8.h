// Our own Direct3D 8 declarations: the types, codes and interfaces the viewer
// uses, with Direct3D 8's numeric values and calling conventions. The
// implementation behind them is the software renderer in this folder.
#pragma once

#include <cstdint>

#include "platform/win32/DeviceWindow.h"

using HRESULT = int32_t;
using ULONG = uint32_t;
using UINT = uint32_t;
using DWORD = uint32_t;
using INT = int32_t;
using LONG = int32_t;
using BOOL = int32_t;
using BYTE = uint8_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr UINT D3D_SDK_VERSION = 220;
constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;

// A8R8G8B8: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
using D3DCOLOR = uint32_t;

enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_D16 = 80,
};

enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1 };
enum D3DRESOURCETYPE : uint32_t { D3DRTYPE_TEXTURE = 3 };
enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1 };
enum D3DSWAPEFFECT : uint32_t { D3DSWAPEFFECT_DISCARD = 1 };
enum D3DMULTISAMPLE_TYPE : uint32_t { D3DMULTISAMPLE_NONE = 0 };

// Flexible vertex format bits.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;

enum D3DTRANSFORMSTATETYPE : uint32_t {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : uint32_t {
    D3DRS_FILLMODE = 8,
    D3DRS_CULLMODE = 22,
    D3DRS_LIGHTING = 137,
};

enum D3DFILLMODE : uint32_t { D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };

enum D3DPRIMITIVETYPE : uint32_t {
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
};

enum D3DTEXTURESTAGESTATETYPE : uint32_t {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_ALPHAOP = 4,
};

enum D3DTEXTUREOP : uint32_t { D3DTOP_DISABLE = 1, D3DTOP_SELECTARG1 = 2 };
constexpr DWORD D3DTA_TEXTURE = 2;

struct D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT FullScreen_PresentationInterval;
};

struct D3DLOCKED_RECT {
    INT Pitch;
    void* pBits;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format;
    UINT Width;
    UINT Height;
};

struct D3DRECT {
    LONG x1, y1, x2, y2;
};

struct RECT {
    LONG left, top, right, bottom;
};

struct RGNDATA;

// Row-major 4 x 4 matrix acting on row vectors: v' = v * M.
struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

// Reference counting as Direct3D does it: a new object holds one reference,
// AddRef and Release return the new count, and the object is destroyed when
// the count reaches zero.
struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IDirect3DVertexBuffer8 : IUnknown {
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;

protected:
    ~IDirect3DVertexBuffer8() = default;
};

struct IDirect3DTexture8 : IUnknown {
    virtual DWORD GetLevelCount() = 0;
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;

protected:
    ~IDirect3DTexture8() = default;
};

struct IDirect3DDevice8 : IUnknown {
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) = 0;
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture8** texture) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** vertexBuffer) = 0;
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) = 0;
    virtual HRESULT SetVertexShader(DWORD handle) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;

protected:
    ~IDirect3DDevice8() = default;
};

struct IDirect3D8 : IUnknown {
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                      DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* presentationParameters,
                                 IDirect3DDevice8** returnedDevice) = 0;

protected:
    ~IDirect3D8() = default;
};

// Creates the Direct3D object; null when sdkVersion is not D3D_SDK_VERSION.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
