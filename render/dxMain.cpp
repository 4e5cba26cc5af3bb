#include "render/dxMain.h"

#include "render/dxDevice8.h"

dxMain::dxMain() : dxMain(Direct3DCreate8) {}

dxMain::dxMain(Direct3DFactory factory) : factory(std::move(factory)) {}

dxMain::~dxMain() = default;

HRESULT dxMain::CreateDirect3D() {
    direct3D.reset(factory ? factory(D3D_SDK_VERSION) : nullptr);
    return direct3D ? D3D_OK : E_FAIL;
}

HRESULT dxMain::CreateDevice(HWND window, bool windowed, std::unique_ptr<dxDevice8>& out) {
    if (!direct3D) {
        return E_FAIL;
    }
    out = std::make_unique<dxDevice8>();
    FillPresentParameters(windowed);
    IDirect3DDevice8* created = nullptr;
    const HRESULT result = direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING, &presentParameters, &created);
    if (FAILED(result) || created == nullptr) {
        return E_FAIL;
    }
    out->SetDevice(created);
    return D3D_OK;
}

D3DPRESENT_PARAMETERS dxMain::FillPresentParameters(bool windowed) {
    presentParameters = D3DPRESENT_PARAMETERS{};
    if (!direct3D) {
        return presentParameters;
    }
    direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode);
    presentParameters.BackBufferFormat = displayMode.Format;
    presentParameters.BackBufferCount = 1;
    presentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.hDeviceWindow = nullptr;
    presentParameters.Windowed = windowed ? TRUE : FALSE;
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = D3DFMT_D16;
    return presentParameters;
}

bool dxMain::LacksTextureFormat(D3DFORMAT format) {
    if (!direct3D) {
        return true;
    }
    return direct3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, displayMode.Format, 0, D3DRTYPE_TEXTURE,
                                       format) != D3D_OK;
}
