#include "platform/d3d8/SoftDirect3D.h"

#include <atomic>
#include <new>

#include "platform/d3d8/SoftDevice.h"
#include "platform/d3d8/SoftTexture.h"
#include "platform/d3d8/SoftwareAdapter.h"

namespace softd3d {
namespace {

std::atomic<int> liveObjects{0};
std::atomic<uint32_t> refusedTextureFormat{D3DFMT_UNKNOWN};

}  // namespace

void NoteObjectCreated() { ++liveObjects; }
void NoteObjectDestroyed() { --liveObjects; }
int LiveObjectCount() { return liveObjects.load(); }

void RefuseTextureFormat(D3DFORMAT format) { refusedTextureFormat = format; }

bool TextureFormatAvailable(D3DFORMAT format) {
    return TextureBytesPerPixel(format) != 0 && format != refusedTextureFormat.load();
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mode = kDesktopMode;
    return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL) {
        return D3DERR_INVALIDCALL;
    }
    const bool usable = adapterFormat == kDesktopMode.Format && usage == 0 && resourceType == D3DRTYPE_TEXTURE &&
                        TextureFormatAvailable(checkFormat);
    return usable ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** returnedDevice) {
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL || parameters == nullptr ||
        returnedDevice == nullptr || (behaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) == 0) {
        return D3DERR_INVALIDCALL;
    }
    HWND window = parameters->hDeviceWindow != nullptr ? parameters->hDeviceWindow : focusWindow;
    return Device::Create(window, *parameters, returnedDevice);
}

}  // namespace softd3d

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    try {
        return new softd3d::Direct3D();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
