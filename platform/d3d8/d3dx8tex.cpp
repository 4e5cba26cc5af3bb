// D3DX texture creation over the device's own CreateTexture.
#include <algorithm>

#include "platform/d3d8/SoftTexture.h"
#include "platform/d3d8/d3dx8.h"

// As D3DX does, a level count beyond the full chain is cut down to it.
HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture) {
    if (device == nullptr || texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const UINT levels = std::min(mipLevels, softd3d::FullMipChainLength(width, height));
    return device->CreateTexture(width, height, levels, usage, format, pool, texture);
}
