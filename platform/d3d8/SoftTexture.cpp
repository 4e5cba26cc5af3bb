#include "platform/d3d8/SoftTexture.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace softd3d {

UINT TextureBytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
        return 2;
    default:
        return 0;
    }
}

UINT FullMipChainLength(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) {
        ++levels;
    }
    return levels;
}

HRESULT Texture::Create(UINT width, UINT height, UINT levels, D3DFORMAT format, IDirect3DTexture8** texture) {
    if (texture == nullptr || width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide ||
        TextureBytesPerPixel(format) == 0) {
        return D3DERR_INVALIDCALL;
    }
    const UINT fullChain = FullMipChainLength(width, height);
    if (levels > fullChain) {
        return D3DERR_INVALIDCALL;
    }
    try {
        *texture = new Texture(width, height, levels == 0 ? fullChain : levels, format);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

Texture::Texture(UINT width, UINT height, UINT levelCount, D3DFORMAT format_)
    : format(format_), bytesPerPixel(TextureBytesPerPixel(format_)), levels(levelCount) {
    for (Level& level : levels) {
        level.width = width;
        level.height = height;
        const size_t bytes = size_t{width} * height * bytesPerPixel;
        level.words.assign((bytes + 3) / 4, 0);
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    if (bytesPerPixel != 4) {
        RefreshSampleCopy();
    }
}

DWORD Texture::GetLevelCount() { return static_cast<DWORD>(levels.size()); }

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= levels.size() || desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *desc = D3DSURFACE_DESC{format, levels[level].width, levels[level].height};
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT levelIndex, D3DLOCKED_RECT* locked, const RECT* rect, DWORD /*flags*/) {
    if (levelIndex >= levels.size() || locked == nullptr || levels[levelIndex].locked) {
        return D3DERR_INVALIDCALL;
    }
    Level& level = levels[levelIndex];
    LONG left = 0;
    LONG top = 0;
    if (rect != nullptr) {
        const bool inside = rect->left >= 0 && rect->top >= 0 && rect->left < rect->right &&
                            rect->top < rect->bottom && static_cast<UINT>(rect->right) <= level.width &&
                            static_cast<UINT>(rect->bottom) <= level.height;
        if (!inside) {
            return D3DERR_INVALIDCALL;
        }
        left = rect->left;
        top = rect->top;
    }
    const size_t pitch = size_t{level.width} * bytesPerPixel;
    locked->Pitch = static_cast<INT>(pitch);
    locked->pBits = level.Bytes() + size_t(top) * pitch + size_t(left) * bytesPerPixel;
    level.locked = true;
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT levelIndex) {
    if (levelIndex >= levels.size() || !levels[levelIndex].locked) {
        return D3DERR_INVALIDCALL;
    }
    levels[levelIndex].locked = false;
    if (levelIndex == 0 && bytesPerPixel != 4) {
        RefreshSampleCopy();
    }
    return D3D_OK;
}

TextureView Texture::View() const {
    const Level& top = levels.front();
    const uint32_t* texels = bytesPerPixel == 4 ? top.words.data() : sampleCopy.data();
    return TextureView{texels, static_cast<int>(top.width), static_cast<int>(top.height)};
}

// R5G6B5 widened to 8 bits a channel, the top bits repeated into the low ones
// so that full intensity stays full.
static uint32_t WidenR5G6B5(uint16_t pixel) {
    const uint32_t r = (pixel >> 11) & 0x1F;
    const uint32_t g = (pixel >> 5) & 0x3F;
    const uint32_t b = pixel & 0x1F;
    return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

void Texture::RefreshSampleCopy() {
    Level& top = levels.front();
    const size_t count = size_t{top.width} * top.height;
    sampleCopy.resize(count);
    const BYTE* bytes = top.Bytes();
    for (size_t i = 0; i < count; ++i) {
        uint16_t pixel = 0;
        std::memcpy(&pixel, bytes + i * 2, sizeof pixel);
        sampleCopy[i] = WidenR5G6B5(pixel);
    }
}

}  // namespace softd3d
