// The rendering layer end to end on the software Direct3D, drawing into an
// in-memory window.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/win32/MemoryWindow.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"

namespace {

constexpr int kSide = 64;
constexpr uint32_t kMagenta = 0xFF00FF;

uint32_t Rgb(uint32_t pixel) { return pixel & 0xFFFFFFu; }

// The viewer's set-up: magenta clear colour, 45-degree projection, camera
// 1000 units along +z from the origin.
class SoftwareRender : public testing::Test {
protected:
    void SetUp() override {
        liveAtStart = softd3d::LiveObjectCount();
        context = std::make_unique<dxMain>();
        ASSERT_EQ(context->CreateDirect3D(), D3D_OK);
        ASSERT_EQ(context->CreateDevice(&window, true, device), D3D_OK);
        device->SetClearColor(255, 0, 255);
        device->SetProjection(0.1f, 3000.0f, 1.0f, std::numbers::pi_v<float> / 4);
        device->SetEye(0, 0, 1000);
        device->SetTarget(0, 0, 0);
    }

    void TearDown() override {
        buffer.reset();
        for (IDirect3DTexture8* page : pages) page->Release();
        device.reset();
        context.reset();
        EXPECT_EQ(softd3d::LiveObjectCount(), liveAtStart);
    }

    IDirect3DTexture8* SolidPage(D3DFORMAT format, uint32_t texel) {
        const size_t bytesPerPixel = format == D3DFMT_R5G6B5 ? 2 : 4;
        std::vector<uint8_t> pixels(256 * 256 * bytesPerPixel);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(texel >> (8 * (i % bytesPerPixel)));
        IDirect3DTexture8* page = device->CreateTexture(256, 256, format, pixels.data());
        if (page != nullptr) pages.push_back(page);
        return page;
    }

    // A 400 x 400 quad around the origin in the z = 0 plane, corners in strip order.
    void UploadQuad(IDirect3DTexture8* page, int32_t flags = 0) {
        auto quad = std::make_unique<dxCuadradoTex>(flags);
        quad->SetTextureCoords(page, 0, 0, 0, 1, 1, 0, 1, 1);
        quad->AddVertex(-200, -200, 0);
        quad->AddVertex(-200, 200, 0);
        quad->AddVertex(200, -200, 0);
        quad->AddVertex(200, 200, 0);
        buffer = std::make_unique<dxBufferTextura>();
        ASSERT_EQ(buffer->AddPolygon(std::move(quad)), D3D_OK);
        ASSERT_EQ(device->UploadBuffer(buffer.get()), D3D_OK);
    }

    void DrawFrame(int32_t mode = 0) {
        device->Clear(true);
        ASSERT_EQ(device->DrawBuffer(buffer.get(), mode), D3D_OK);
        ASSERT_EQ(device->Present(), D3D_OK);
        ASSERT_EQ(window.FrameWidth(), kSide);
    }

    int liveAtStart = 0;
    MemoryWindow window{kSide, kSide};
    std::unique_ptr<dxMain> context;
    std::unique_ptr<dxDevice8> device;
    std::unique_ptr<dxBufferTextura> buffer;
    std::vector<IDirect3DTexture8*> pages;
};

TEST_F(SoftwareRender, AnUploadedTexturedQuadShowsItsPageOnMagenta) {
    IDirect3DTexture8* page = SolidPage(D3DFMT_A8R8G8B8, 0xFF20C040);
    ASSERT_NE(page, nullptr);
    UploadQuad(page);
    DrawFrame();
    EXPECT_EQ(Rgb(window.Pixel(kSide / 2, kSide / 2)), 0x20C040u);
    EXPECT_EQ(Rgb(window.Pixel(1, 1)), kMagenta);
    EXPECT_EQ(Rgb(window.Pixel(kSide - 2, kSide - 2)), kMagenta);
}

TEST_F(SoftwareRender, SixteenBitPagesShowTheirColourToo) {
    IDirect3DTexture8* page = SolidPage(D3DFMT_R5G6B5, 0xF800);  // full red
    ASSERT_NE(page, nullptr);
    UploadQuad(page);
    DrawFrame();
    const uint32_t centre = Rgb(window.Pixel(kSide / 2, kSide / 2));
    EXPECT_GE(centre >> 16, 0xF8u);
    EXPECT_EQ(centre & 0xFFFFu, 0u);
}

TEST_F(SoftwareRender, WorldMoveActsOnOneDrawOnly) {
    UploadQuad(SolidPage(D3DFMT_A8R8G8B8, 0xFF20C040));
    buffer->Translate(450, 0, 0);  // seen from +z, +x lies on the left of the view
    DrawFrame();
    EXPECT_EQ(Rgb(window.Pixel(kSide / 2, kSide / 2)), kMagenta);
    EXPECT_EQ(Rgb(window.Pixel(4, kSide / 2)), 0x20C040u);
    EXPECT_EQ(Rgb(window.Pixel(kSide - 4, kSide / 2)), kMagenta);

    DrawFrame();  // the move was consumed: back in the middle
    EXPECT_EQ(Rgb(window.Pixel(kSide / 2, kSide / 2)), 0x20C040u);
    EXPECT_EQ(Rgb(window.Pixel(4, kSide / 2)), kMagenta);
}

TEST_F(SoftwareRender, WireframeModeLeavesTheInsideUnfilledAndUntextured) {
    UploadQuad(SolidPage(D3DFMT_A8R8G8B8, 0xFF20C040));
    DrawFrame(2);
    // Inside a triangle of the strip, away from its edges and the diagonal.
    EXPECT_EQ(Rgb(window.Pixel(kSide / 2 - 6, kSide / 2 - 6 + 12)), kMagenta);
    int edgePixels = 0;
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) {
            const uint32_t rgb = Rgb(window.Pixel(x, y));
            EXPECT_NE(rgb, 0x20C040u) << x << "," << y;
            edgePixels += rgb != kMagenta;
        }
    }
    EXPECT_GT(edgePixels, 0);
}

TEST_F(SoftwareRender, PolygonsAddedAfterTheUploadAreNotDrawnFromOutsideTheVertexBuffer) {
    IDirect3DTexture8* page = SolidPage(D3DFMT_A8R8G8B8, 0xFF20C040);
    UploadQuad(page);
    auto late = std::make_unique<dxCuadradoTex>(0);
    late->SetTextureCoords(page, 0, 0, 0, 1, 1, 0, 1, 1);
    ASSERT_EQ(buffer->AddPolygon(std::move(late)), D3D_OK);
    DrawFrame();  // draws what was uploaded; the late quad has no vertices there
    EXPECT_EQ(Rgb(window.Pixel(kSide / 2, kSide / 2)), 0x20C040u);
}

TEST_F(SoftwareRender, TextureFormatQueryFollowsTheAdapter) {
    EXPECT_FALSE(context->LacksTextureFormat(D3DFMT_X8R8G8B8));
    softd3d::RefuseTextureFormat(D3DFMT_X8R8G8B8);
    EXPECT_TRUE(context->LacksTextureFormat(D3DFMT_X8R8G8B8));
    softd3d::RefuseTextureFormat(D3DFMT_UNKNOWN);
    EXPECT_FALSE(context->LacksTextureFormat(D3DFMT_X8R8G8B8));
}

}  // namespace
