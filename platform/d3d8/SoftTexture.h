// Textures of the software Direct3D: a chain of mip levels in system memory.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/SoftObject.h"
#include "platform/d3d8/d3d8.h"

namespace softd3d {

// Largest texture side accepted; larger requests are refused, not attempted.
constexpr UINT kMaxTextureSide = 4096;

// Bytes per pixel of a texture format this Direct3D can hold; 0 for any other.
UINT TextureBytesPerPixel(D3DFORMAT format);

// Number of levels of a full chain down to 1 x 1 (256 x 256 has 9).
UINT FullMipChainLength(UINT width, UINT height);

// What the rasteriser samples: level 0 as rows of 32-bit X8R8G8B8 texels,
// width texels apart.
struct TextureView {
    const uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
};

class Texture final : public RefCounted<IDirect3DTexture8> {
public:
    // levels 0 asks for the full chain. Fails with D3DERR_INVALIDCALL for a
    // size of 0 or above kMaxTextureSide, an unknown format or more levels
    // than the chain has; E_OUTOFMEMORY when the memory cannot be had.
    static HRESULT Create(UINT width, UINT height, UINT levels, D3DFORMAT format, IDirect3DTexture8** texture);

    DWORD GetLevelCount() override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // Level 0 as the rasteriser reads it. 32-bit formats are read in place;
    // a 16-bit level 0 is read from a 32-bit copy made when it is unlocked.
    TextureView View() const;

private:
    struct Level {
        UINT width = 0;
        UINT height = 0;
        std::vector<uint32_t> words;  // pixels, rows packed, padded to whole words
        bool locked = false;

        BYTE* Bytes() { return reinterpret_cast<BYTE*>(words.data()); }
    };

    Texture(UINT width, UINT height, UINT levels, D3DFORMAT format);
    void RefreshSampleCopy();

    D3DFORMAT format;
    UINT bytesPerPixel;
    std::vector<Level> levels;
    std::vector<uint32_t> sampleCopy;  // 16-bit formats only
};

}  // namespace softd3d
