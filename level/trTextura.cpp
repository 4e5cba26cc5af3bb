#include "level/trTextura.h"

#include <algorithm>

#include "level/trLevel.h"
#include "render/dxDevice8.h"

// Where the pages of one depth come from.
struct trTextura::PageSet {
    D3DFORMAT format;
    uint32_t pageBytes;
    OwnedBytes trLevel::*block;
    uint32_t trLevel::*declaredSize;
};

namespace {

// The bytes of a tile block that can be read: what the level declares, but
// never more than its array holds.
size_t UsableBytes(const OwnedBytes& block, uint32_t declaredSize) {
    if (!block.allocated()) {
        return 0;
    }
    return std::min<size_t>(declaredSize, block.byteCount());
}

}  // namespace

trTextura::trTextura(const trLevel* level) : level(level) {
    if (level) {
        pageCount = static_cast<int32_t>(level->textiles32Size >> 18);
    }
}

int trTextura::CreatePages32(dxDevice8* device) {
    static constexpr PageSet kSet{D3DFMT_A8R8G8B8, kPageBytes32, &trLevel::textiles32, &trLevel::textiles32Size};
    const int result = CreatePages(device, kSet, pages32);
    if (result == 0) {
        is32Bit = true;
    }
    return result;
}

int trTextura::CreatePages16(dxDevice8* device) {
    static constexpr PageSet kSet{D3DFMT_R5G6B5, kPageBytes16, &trLevel::textiles16, &trLevel::textiles16Size};
    const int result = CreatePages(device, kSet, pages16);
    if (result == 0) {
        is32Bit = false;
    }
    return result;
}

int trTextura::CreatePages(dxDevice8* device, const PageSet& set, std::vector<Page>& pages) {
    if (device == nullptr) {
        return E_FAIL;
    }
    std::vector<Page> created(static_cast<size_t>(pageCount));
    const OwnedBytes* block = level ? &(level->*set.block) : nullptr;
    const size_t usable = block ? UsableBytes(*block, level->*set.declaredSize) : 0;
    const size_t fullTiles = usable / set.pageBytes;
    const size_t filled = std::min(created.size(), fullTiles);
    for (size_t i = 0; i < filled; ++i) {
        const uint8_t* tile = block->bytes() + i * set.pageBytes;
        created[i].reset(device->CreateTexture(kPageSide, kPageSide, set.format, tile));
    }
    pages = std::move(created);
    return 0;
}

IDirect3DTexture8* trTextura::PageAt(const std::vector<Page>& pages, int32_t page) {
    if (page < 0 || static_cast<size_t>(page) >= pages.size()) {
        return nullptr;
    }
    return pages[static_cast<size_t>(page)].get();
}

IDirect3DTexture8* trTextura::GetPage32(int32_t page) const { return PageAt(pages32, page); }

IDirect3DTexture8* trTextura::GetPage16(int32_t page) const { return PageAt(pages16, page); }
