// Textures and vertex buffers: their sizes, locks and refusals.
#include "tests/platform/SoftD3DTestSupport.h"

namespace softd3d::testing {
namespace {

using ResourceTest = DeviceTest;

struct TextureCase {
    const char* name;
    UINT width, height, mipLevels;
    D3DFORMAT format;
    HRESULT expected;
    DWORD expectedLevels;
    INT expectedPitch;
};

TEST_F(ResourceTest, D3DXCreateTextureMakesMipChainsAndRefusesBadRequests) {
    const TextureCase cases[] = {
        {"texture page, full chain", 256, 256, 0, D3DFMT_A8R8G8B8, D3D_OK, 9, 1024},
        {"16-bit texture page", 256, 256, 0, D3DFMT_R5G6B5, D3D_OK, 9, 512},
        {"X8R8G8B8", 8, 8, 0, D3DFMT_X8R8G8B8, D3D_OK, 4, 32},
        {"oblong, chain follows the longer side", 64, 16, 0, D3DFMT_A8R8G8B8, D3D_OK, 7, 256},
        {"three levels asked", 256, 256, 3, D3DFMT_A8R8G8B8, D3D_OK, 3, 1024},
        {"more levels than the chain has", 4, 4, 20, D3DFMT_A8R8G8B8, D3D_OK, 3, 16},
        {"one texel", 1, 1, 0, D3DFMT_R5G6B5, D3D_OK, 1, 2},
        {"no width", 0, 16, 0, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL, 0, 0},
        {"too wide", 8192, 16, 0, D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL, 0, 0},
        {"depth format", 16, 16, 0, D3DFMT_D16, D3DERR_INVALIDCALL, 0, 0},
    };
    for (const TextureCase& c : cases) {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(D3DXCreateTexture(device.Get(), c.width, c.height, c.mipLevels, 0, c.format, D3DPOOL_MANAGED,
                                    &texture),
                  c.expected)
            << c.name;
        if (FAILED(c.expected)) {
            EXPECT_EQ(texture, nullptr) << c.name;
            continue;
        }
        RefPtr<IDirect3DTexture8> held = RefPtr<IDirect3DTexture8>::Adopt(texture);
        EXPECT_EQ(texture->GetLevelCount(), c.expectedLevels) << c.name;
        D3DSURFACE_DESC top{};
        ASSERT_EQ(texture->GetLevelDesc(0, &top), D3D_OK);
        EXPECT_EQ(top.Format, c.format);
        EXPECT_EQ(top.Width, c.width);
        EXPECT_EQ(top.Height, c.height);
        D3DSURFACE_DESC last{};
        ASSERT_EQ(texture->GetLevelDesc(c.expectedLevels - 1, &last), D3D_OK);
        if (c.mipLevels == 0) {
            EXPECT_EQ(last.Width, 1u) << c.name;
            EXPECT_EQ(last.Height, 1u) << c.name;
        }
        EXPECT_EQ(texture->GetLevelDesc(c.expectedLevels, &last), D3DERR_INVALIDCALL) << c.name;
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, c.expectedPitch) << c.name;
        // The whole level is writable (the sanitizer build checks the bounds).
        std::memset(locked.pBits, 0xAB, static_cast<size_t>(locked.Pitch) * c.height);
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    }
}

TEST_F(ResourceTest, RefusedTextureFormatCannotBeCreated) {
    RefuseTextureFormat(D3DFMT_A8R8G8B8);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(D3DXCreateTexture(device.Get(), 16, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(D3DXCreateTexture(device.Get(), 16, 16, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture), D3D_OK);
    texture->Release();
}

TEST_F(ResourceTest, TextureLocksAreCheckedAndRectanglesOffsetTheBits) {
    RefPtr<IDirect3DTexture8> texture = MakeTexture(device.Get(), 8, 4, std::vector<uint32_t>(32, 0));
    D3DLOCKED_RECT whole{}, part{}, other{};
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(texture->LockRect(0, &other, nullptr, 0), D3DERR_INVALIDCALL) << "level 0 is already locked";
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL) << "level 0 is not locked";

    const RECT inside = {2, 1, 5, 3};
    ASSERT_EQ(texture->LockRect(0, &part, &inside, 0), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(part.pBits) - static_cast<BYTE*>(whole.pBits), 1 * 32 + 2 * 4);
    EXPECT_EQ(part.Pitch, 32);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

    const RECT badRects[] = {{0, 0, 9, 4}, {0, 0, 8, 5}, {-1, 0, 2, 2}, {3, 1, 3, 2}, {4, 2, 2, 1}};
    for (const RECT& rect : badRects) {
        EXPECT_EQ(texture->LockRect(0, &other, &rect, 0), D3DERR_INVALIDCALL)
            << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
    EXPECT_EQ(texture->LockRect(4, &other, nullptr, 0), D3DERR_INVALIDCALL) << "8 x 4 has 4 levels";
    EXPECT_EQ(texture->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->LockRect(3, &other, nullptr, 0), D3D_OK);
    EXPECT_EQ(other.Pitch, 4) << "the last level is 1 x 1";
    EXPECT_EQ(texture->UnlockRect(3), D3D_OK);
}

struct LockCase {
    const char* name;
    UINT offset, size;
    HRESULT expected;
    UINT expectedStart;  // offset of the pointer handed out
};

TEST_F(ResourceTest, VertexBufferLocksOnlyRangesInsideTheBuffer) {
    constexpr UINT kLength = 100;
    const LockCase cases[] = {
        {"0, 0 locks the whole buffer", 0, 0, D3D_OK, 0},
        {"exact length", 0, kLength, D3D_OK, 0},
        {"size 0 from an offset locks to the end", 40, 0, D3D_OK, 40},
        {"last byte", 99, 1, D3D_OK, 99},
        {"one byte too many", 0, kLength + 1, D3DERR_INVALIDCALL, 0},
        {"past the end", 60, 41, D3DERR_INVALIDCALL, 0},
        {"offset at the end", kLength, 0, D3DERR_INVALIDCALL, 0},
        {"offset beyond the end", kLength + 1, 1, D3DERR_INVALIDCALL, 0},
        {"size that wraps around", 50, 0xFFFFFFF0u, D3DERR_INVALIDCALL, 0},
    };
    IDirect3DVertexBuffer8* created = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(kLength, 0, kTexturedFvf, D3DPOOL_DEFAULT, &created), D3D_OK);
    RefPtr<IDirect3DVertexBuffer8> buffer = RefPtr<IDirect3DVertexBuffer8>::Adopt(created);
    BYTE* start = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &start, 0), D3D_OK);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    for (const LockCase& c : cases) {
        BYTE* data = nullptr;
        ASSERT_EQ(buffer->Lock(c.offset, c.size, &data, 0), c.expected) << c.name;
        if (SUCCEEDED(c.expected)) {
            EXPECT_EQ(data - start, static_cast<ptrdiff_t>(c.expectedStart)) << c.name;
            std::memset(data, 0x5A, kLength - c.expectedStart);  // bounds checked by the sanitizer build
            EXPECT_EQ(buffer->Unlock(), D3D_OK);
        }
    }
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL) << "nothing is locked";
    EXPECT_EQ(buffer->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, VertexBufferCreationRefusesEmptyAndOversizedBuffers) {
    for (UINT length : {0u, (64u << 20) + 1, 0xFFFFFFFFu}) {
        IDirect3DVertexBuffer8* buffer = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(length, 0, kTexturedFvf, D3DPOOL_DEFAULT, &buffer), D3DERR_INVALIDCALL)
            << length;
        EXPECT_EQ(buffer, nullptr);
    }
}

}  // namespace
}  // namespace softd3d::testing
