// The Direct3D object of the software Direct3D: one adapter showing the
// desktop, able to make devices on in-memory back buffers.
#pragma once

#include "platform/d3d8/SoftObject.h"
#include "platform/d3d8/d3d8.h"

namespace softd3d {

// The mode GetAdapterDisplayMode reports.
constexpr D3DDISPLAYMODE kDesktopMode = {1024, 768, 60, D3DFMT_X8R8G8B8};

// Whether textures of this format can be made (one of the three texture
// formats, and not refused through RefuseTextureFormat).
bool TextureFormatAvailable(D3DFORMAT format);

class Direct3D final : public RefCounted<IDirect3D8> {
public:
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** returnedDevice) override;
};

}  // namespace softd3d
