// The texture pages of a loaded level: one 256 x 256 Direct3D texture per
// tile, made from the level's 32-bit or 16-bit tile block.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "render/ComPtr.h"

class dxDevice8;
struct trLevel;

class trTextura {
public:
    static constexpr int32_t kPageSide = 256;
    static constexpr uint32_t kPageBytes32 = kPageSide * kPageSide * 4;
    static constexpr uint32_t kPageBytes16 = kPageSide * kPageSide * 2;

    // Counts the pages from the level's textiles32Size (whole tiles only).
    // Creates nothing; the level must outlive the page creation.
    explicit trTextura(const trLevel* level);
    trTextura(const trTextura&) = delete;
    trTextura& operator=(const trTextura&) = delete;

    // Create the page set of one depth: D3DFMT_A8R8G8B8 from textiles32, or
    // D3DFMT_R5G6B5 from textiles16. Return E_FAIL, changing nothing, without
    // a device; otherwise 0. A page whose tile is not wholly inside its block,
    // or whose texture cannot be made, stays null. Calling one again replaces
    // (and releases) the pages it made before.
    int CreatePages32(dxDevice8* device);
    int CreatePages16(dxDevice8* device);

    // The page with that number, or null: no such page, set not created, or
    // the page could not be made. The pointer carries no reference of its
    // own; it is valid while this trTextura lives.
    IDirect3DTexture8* GetPage32(int32_t page) const;
    IDirect3DTexture8* GetPage16(int32_t page) const;

    // True after CreatePages32, false after CreatePages16 (and before either).
    bool Is32Bit() const { return is32Bit; }
    int32_t GetPageCount() const { return pageCount; }

private:
    using Page = ComPtr<IDirect3DTexture8>;
    struct PageSet;

    int CreatePages(dxDevice8* device, const PageSet& set, std::vector<Page>& pages);
    static IDirect3DTexture8* PageAt(const std::vector<Page>& pages, int32_t page);

    // Each page holds the one reference; destroying the set releases them.
    std::vector<Page> pages32;
    std::vector<Page> pages16;
    int32_t pageCount = 0;
    const trLevel* level = nullptr;
    bool is32Bit = false;
};
