// The Direct3D context: the Direct3D object, the presentation parameters and
// the default adapter's display mode. Creates render devices on windows and
// answers whether the adapter accepts a texture format.
#pragma once

#include <functional>
#include <memory>

#include "platform/d3d8/d3d8.h"
#include "render/ComPtr.h"

class dxDevice8;

class dxMain {
public:
    // Makes the Direct3D object from an SDK version (Direct3DCreate8 by default).
    using Direct3DFactory = std::function<IDirect3D8*(UINT)>;

    dxMain();
    explicit dxMain(Direct3DFactory factory);
    ~dxMain();
    dxMain(const dxMain&) = delete;
    dxMain& operator=(const dxMain&) = delete;

    HRESULT CreateDirect3D();
    // Without a Direct3D object: E_FAIL and out untouched. Otherwise out gets
    // a new dxDevice8 whatever the outcome; it holds a device only on success.
    HRESULT CreateDevice(HWND window, bool windowed, std::unique_ptr<dxDevice8>& out);
    D3DPRESENT_PARAMETERS FillPresentParameters(bool windowed);
    // True unless the adapter answers D3D_OK for textures of the format;
    // also true when there is no Direct3D object.
    bool LacksTextureFormat(D3DFORMAT format);

    IDirect3D8* GetDirect3D() const { return direct3D.get(); }
    const D3DDISPLAYMODE& GetDisplayMode() const { return displayMode; }

private:
    ComPtr<IDirect3D8> direct3D;
    D3DPRESENT_PARAMETERS presentParameters{};
    D3DDISPLAYMODE displayMode{};
    Direct3DFactory factory;
};
