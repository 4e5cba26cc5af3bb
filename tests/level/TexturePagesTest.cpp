#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "level/trLevel.h"
#include "level/trTextura.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "tests/support/SoftwareDevice.h"

namespace {

constexpr uint32_t kTile32 = trTextura::kPageBytes32;
constexpr uint32_t kTile16 = trTextura::kPageBytes16;

// Fills a tile block whose every byte tells its tile and position apart.
void FillTiles(OwnedBytes& block, size_t bytes) {
    block.Allocate(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        block.bytes()[i] = static_cast<uint8_t>((i * 7) ^ (i >> 9) ^ (i >> 17));
    }
}

// Whether level 0 of the page holds exactly the 256 x 256 tile that starts
// at tile, bytesPerPixel bytes a pixel.
bool PageHoldsTile(IDirect3DTexture8* page, const uint8_t* tile, size_t bytesPerPixel) {
    D3DLOCKED_RECT locked{};
    if (page == nullptr || FAILED(page->LockRect(0, &locked, nullptr, 0))) {
        return false;
    }
    const size_t rowBytes = 256 * bytesPerPixel;
    bool same = true;
    for (size_t row = 0; row < 256 && same; ++row) {
        const auto* pageRow = static_cast<const uint8_t*>(locked.pBits) + row * static_cast<size_t>(locked.Pitch);
        same = std::memcmp(pageRow, tile + row * rowBytes, rowBytes) == 0;
    }
    page->UnlockRect(0);
    return same;
}

struct PageCountCase {
    uint32_t textiles32Size;
    int32_t pages;
};

TEST(TexturePages, PageCountTakesWholeTilesOfTheThirtyTwoBitBlock) {
    const PageCountCase cases[] = {
        {0, 0}, {kTile32 - 1, 0}, {kTile32, 1}, {3 * kTile32 + 5, 3}, {std::numeric_limits<uint32_t>::max(), 16383},
    };
    for (const auto& c : cases) {
        trLevel level{};
        level.textiles32Size = c.textiles32Size;
        EXPECT_EQ(trTextura(&level).GetPageCount(), c.pages) << c.textiles32Size;
    }
    EXPECT_EQ(trTextura(nullptr).GetPageCount(), 0);
}

TEST(TexturePages, ThirtyTwoBitPagesAreTheTilesInOrder) {
    SoftwareDevice gpu;
    for (uint32_t size : {kTile32 - 1, kTile32, 3 * kTile32 + 5}) {
        SCOPED_TRACE(size);
        trLevel level{};
        level.textiles32Size = size;
        FillTiles(level.textiles32, size);
        trTextura textures(&level);
        ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
        EXPECT_TRUE(textures.Is32Bit());
        const int32_t count = textures.GetPageCount();
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_TRUE(PageHoldsTile(textures.GetPage32(i), level.textiles32.bytes() + i * size_t{kTile32}, 4))
                << "page " << i;
        }
        EXPECT_EQ(textures.GetPage32(count), nullptr);
        EXPECT_EQ(textures.GetPage16(0), nullptr);  // that set was never made
    }
}

TEST(TexturePages, SixteenBitPagesAreTheTilesInOrder) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = 3 * kTile32;
    level.textiles16Size = 3 * kTile16;
    FillTiles(level.textiles16, level.textiles16Size);
    trTextura textures(&level);
    ASSERT_EQ(textures.CreatePages16(gpu.device.get()), 0);
    EXPECT_FALSE(textures.Is32Bit());
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(PageHoldsTile(textures.GetPage16(i), level.textiles16.bytes() + i * size_t{kTile16}, 2))
            << "page " << i;
    }
    EXPECT_EQ(textures.GetPage32(0), nullptr);
}

struct ShortBlockCase {
    const char* name;
    uint32_t declaredSize;  // the level's size field for the block
    uint32_t arrayBytes;    // what the array really holds
    int32_t pagesMade;      // of 3
};

TEST(TexturePages, PagesBeyondAShortBlockStayNull) {
    const ShortBlockCase cases[] = {
        {"declared size one and a half tiles", kTile16 + kTile16 / 2, kTile16 + kTile16 / 2, 1},
        {"declared size one byte short of three", 3 * kTile16 - 1, 3 * kTile16 - 1, 2},
        {"array shorter than its declared size", 3 * kTile16, kTile16, 1},
        {"no array at all", 3 * kTile16, 0, 0},
    };
    SoftwareDevice gpu;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        trLevel level{};
        level.textiles32Size = 3 * kTile32;
        level.textiles16Size = c.declaredSize;
        if (c.arrayBytes > 0) FillTiles(level.textiles16, c.arrayBytes);
        trTextura textures(&level);
        ASSERT_EQ(textures.CreatePages16(gpu.device.get()), 0);
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(textures.GetPage16(i) != nullptr, i < c.pagesMade) << "page " << i;
        }
    }
}

TEST(TexturePages, ThirtyTwoBitArrayShorterThanItsSizeIsNotOverread) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = 3 * kTile32;
    FillTiles(level.textiles32, kTile32 + 100);
    trTextura textures(&level);
    ASSERT_EQ(textures.GetPageCount(), 3);
    ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
    EXPECT_TRUE(PageHoldsTile(textures.GetPage32(0), level.textiles32.bytes(), 4));
    EXPECT_EQ(textures.GetPage32(1), nullptr);
    EXPECT_EQ(textures.GetPage32(2), nullptr);
}

TEST(TexturePages, PixelBytesReachThePageUnchanged) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = kTile32;
    level.textiles32.Allocate(kTile32);
    const uint8_t pixel[] = {0x10, 0x20, 0x30, 0x40};
    std::memcpy(level.textiles32.bytes(), pixel, sizeof pixel);
    trTextura textures(&level);
    ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
    IDirect3DTexture8* page = textures.GetPage32(0);
    ASSERT_NE(page, nullptr);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(page->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Width, 256u);
    EXPECT_EQ(desc.Height, 256u);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(page->LockRect(0, &locked, nullptr, 0), D3D_OK);
    uint32_t first = 0;
    std::memcpy(&first, locked.pBits, sizeof first);
    page->UnlockRect(0);
    // Blue 10, green 20, red 30, alpha 40.
    EXPECT_EQ(first, 0x40302010u);
}

TEST(TexturePages, NoDeviceMakesNoPagesAndKeepsTheDepth) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = kTile32;
    level.textiles16Size = kTile16;
    FillTiles(level.textiles32, kTile32);
    FillTiles(level.textiles16, kTile16);
    trTextura textures(&level);
    EXPECT_EQ(textures.CreatePages32(nullptr), E_FAIL);
    EXPECT_EQ(textures.GetPage32(0), nullptr);
    ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
    EXPECT_EQ(textures.CreatePages16(nullptr), E_FAIL);
    EXPECT_TRUE(textures.Is32Bit());
    EXPECT_EQ(textures.GetPage16(0), nullptr);
    EXPECT_NE(textures.GetPage32(0), nullptr);
}

TEST(TexturePages, PageNumbersOutsideTheSetGiveNull) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = 2 * kTile32;
    FillTiles(level.textiles32, 2 * kTile32);
    trTextura textures(&level);
    ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
    for (int32_t page : {-1, 2, 0x8001, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(textures.GetPage32(page), nullptr) << page;
        EXPECT_EQ(textures.GetPage16(page), nullptr) << page;
    }
}

TEST(TexturePages, TheSetReleasesEachOfItsPagesOnce) {
    SoftwareDevice gpu;
    trLevel level{};
    level.textiles32Size = 3 * kTile32;
    FillTiles(level.textiles32, 3 * kTile32);
    const int before = softd3d::LiveObjectCount();
    {
        trTextura textures(&level);
        ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
        EXPECT_EQ(softd3d::LiveObjectCount(), before + 3);
        // A second creation replaces the pages and gives the old ones back.
        ASSERT_EQ(textures.CreatePages32(gpu.device.get()), 0);
        EXPECT_EQ(softd3d::LiveObjectCount(), before + 3);
    }
    EXPECT_EQ(softd3d::LiveObjectCount(), before);
}

}  // namespace
