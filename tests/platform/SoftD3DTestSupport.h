// Shared pieces of the software Direct3D tests: a device on an in-memory
// window, vertex upload, textures from texel lists, and expected pictures
// described as regions with a "don't care" margin along their edges.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/SoftObject.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/d3d8/d3dx8.h"
#include "platform/win32/MemoryWindow.h"

namespace softd3d::testing {

struct TexturedVertex {
    float x, y, z, u, v;
};
struct ColouredVertex {
    float x, y, z;
    D3DCOLOR colour;
};

constexpr DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr DWORD kColouredFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr D3DCOLOR kBackground = 0xFF203040u;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

inline D3DPRESENT_PARAMETERS WindowedParameters() {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
}

// Every test starts and ends with the same number of live Direct3D objects,
// and with no texture format refused.
class LiveObjectTest : public ::testing::Test {
protected:
    void SetUp() override { liveAtStart = LiveObjectCount(); }
    void TearDown() override {
        RefuseTextureFormat(D3DFMT_UNKNOWN);
        EXPECT_EQ(LiveObjectCount(), liveAtStart) << "a Direct3D object was leaked or released twice";
    }

private:
    int liveAtStart = 0;
};

// A Direct3D object and a device on a 64 x 48 in-memory window.
class DeviceTest : public LiveObjectTest {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        LiveObjectTest::SetUp();
        direct3D = RefPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
        ASSERT_TRUE(direct3D);
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        IDirect3DDevice8* created = nullptr;
        ASSERT_EQ(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &created),
                  D3D_OK);
        device = RefPtr<IDirect3DDevice8>::Adopt(created);
    }
    void TearDown() override {
        device.Reset();
        direct3D.Reset();
        LiveObjectTest::TearDown();
    }

    template <class Vertex>
    RefPtr<IDirect3DVertexBuffer8> Upload(const std::vector<Vertex>& vertices, DWORD fvf) {
        const UINT length = static_cast<UINT>(vertices.size() * sizeof(Vertex));
        IDirect3DVertexBuffer8* buffer = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(length, 0, fvf, D3DPOOL_DEFAULT, &buffer), D3D_OK);
        BYTE* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, length, &data, 0), D3D_OK);
        std::memcpy(data, vertices.data(), length);
        EXPECT_EQ(buffer->Unlock(), D3D_OK);
        return RefPtr<IDirect3DVertexBuffer8>::Adopt(buffer);
    }

    // Uploads the vertices and draws them in one scene.
    template <class Vertex>
    void Draw(const std::vector<Vertex>& vertices, D3DPRIMITIVETYPE type, UINT primitives) {
        const DWORD fvf = sizeof(Vertex) == sizeof(TexturedVertex) ? kTexturedFvf : kColouredFvf;
        RefPtr<IDirect3DVertexBuffer8> buffer = Upload(vertices, fvf);
        ASSERT_EQ(device->SetStreamSource(0, buffer.Get(), sizeof(Vertex)), D3D_OK);
        ASSERT_EQ(device->SetVertexShader(fvf), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        EXPECT_EQ(device->DrawPrimitive(type, 0, primitives), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        ASSERT_EQ(device->SetStreamSource(0, nullptr, 0), D3D_OK);
    }

    void ClearAll(D3DCOLOR colour = kBackground) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0), D3D_OK);
    }
    void Present() { ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK); }

    void SetPerspective(float fovY, float zNear, float zFar) {
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, fovY, static_cast<float>(kWidth) / kHeight, zNear, zFar);
        ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    }

    MemoryWindow window{kWidth, kHeight};
    RefPtr<IDirect3D8> direct3D;
    RefPtr<IDirect3DDevice8> device;
};

// A texture whose level 0 holds the given texels, rows packed. For R5G6B5 the
// texels are narrowed from X8R8G8B8.
inline RefPtr<IDirect3DTexture8> MakeTexture(IDirect3DDevice8* device, int width, int height,
                                             const std::vector<uint32_t>& texels,
                                             D3DFORMAT format = D3DFMT_A8R8G8B8) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(D3DXCreateTexture(device, width, height, 0, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
    if (texture == nullptr) {
        return {};
    }
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<BYTE*>(locked.pBits) + y * locked.Pitch;
        for (int x = 0; x < width; ++x) {
            const uint32_t texel = texels[static_cast<size_t>(y * width + x)];
            if (format == D3DFMT_R5G6B5) {
                const auto narrow = static_cast<uint16_t>(((texel >> 8) & 0xF800) | ((texel >> 5) & 0x07E0) |
                                                          ((texel >> 3) & 0x001F));
                std::memcpy(row + x * 2, &narrow, 2);
            } else {
                std::memcpy(row + x * 4, &texel, 4);
            }
        }
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return RefPtr<IDirect3DTexture8>::Adopt(texture);
}

// --------------------------------------------------------- expected pictures

// A point on screen in normalised device coordinates (x right, y up, -1..1).
struct Ndc {
    double x, y;
};

// An expected picture: a background and convex regions painted over it in
// order, each with a colour or a colour function of the pixel. Pixel centres
// closer than the margin to a region's edge may take either side.
class ExpectedPicture {
public:
    using Colour = std::function<uint32_t(int x, int y)>;

    ExpectedPicture(int width, int height, uint32_t background) : width(width), height(height) {
        colours.assign(static_cast<size_t>(width * height), background);
        anyColour.assign(colours.size(), false);
    }

    ExpectedPicture& Region(std::vector<Ndc> corners, Colour colour, double margin = 0.75) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double distance = SignedDistanceInside(corners, x + 0.5, y + 0.5);
                const size_t i = static_cast<size_t>(y * width + x);
                if (std::abs(distance) < margin) {
                    anyColour[i] = true;
                } else if (distance > 0) {
                    colours[i] = colour(x, y);
                    anyColour[i] = false;
                }
            }
        }
        return *this;
    }
    ExpectedPicture& Region(std::vector<Ndc> corners, uint32_t colour, double margin = 0.75) {
        return Region(std::move(corners), [colour](int, int) { return colour; }, margin);
    }

    // Compares with the window's last frame; on a mismatch writes the frame
    // to a PPM file named after the scene and reports where it differs.
    ::testing::AssertionResult Matches(const MemoryWindow& window, const std::string& scene) const {
        if (window.FrameWidth() != width || window.FrameHeight() != height) {
            return ::testing::AssertionFailure() << scene << ": frame is " << window.FrameWidth() << " x "
                                                 << window.FrameHeight();
        }
        int wrong = 0;
        std::string first;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(y * width + x);
                if (anyColour[i] || window.Pixel(x, y) == colours[i]) {
                    continue;
                }
                if (wrong++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "first at (%d, %d): 0x%08X, expected 0x%08X", x, y,
                                  window.Pixel(x, y), colours[i]);
                    first = text;
                }
            }
        }
        if (wrong == 0) {
            return ::testing::AssertionSuccess();
        }
        const std::string path = (std::filesystem::temp_directory_path() / (scene + ".ppm")).string();
        window.WritePpm(path);
        return ::testing::AssertionFailure() << scene << ": " << wrong << " pixels differ, " << first
                                             << "; frame written to " << path;
    }

    static double PixelX(double ndcX, int width) { return (ndcX + 1.0) * 0.5 * width; }
    static double PixelY(double ndcY, int height) { return (1.0 - ndcY) * 0.5 * height; }

private:
    // Distance in pixels from the point to the polygon's outline, positive
    // inside (corners in either winding).
    double SignedDistanceInside(const std::vector<Ndc>& corners, double px, double py) const {
        double area = 0;
        const size_t n = corners.size();
        for (size_t i = 0; i < n; ++i) {
            const Ndc& a = corners[i];
            const Ndc& b = corners[(i + 1) % n];
            area += (PixelX(a.x, width) * PixelY(b.y, height) - PixelX(b.x, width) * PixelY(a.y, height));
        }
        const double orientation = area > 0 ? 1.0 : -1.0;
        double nearest = 1e300;
        bool inside = true;
        for (size_t i = 0; i < n; ++i) {
            const double ax = PixelX(corners[i].x, width), ay = PixelY(corners[i].y, height);
            const double bx = PixelX(corners[(i + 1) % n].x, width), by = PixelY(corners[(i + 1) % n].y, height);
            const double ex = bx - ax, ey = by - ay;
            const double lengthSquared = ex * ex + ey * ey;
            inside = inside && orientation * (ex * (py - ay) - ey * (px - ax)) > 0;
            const double t = lengthSquared > 0 ? std::clamp(((px - ax) * ex + (py - ay) * ey) / lengthSquared, 0.0, 1.0) : 0.0;
            nearest = std::min(nearest, std::hypot(px - (ax + t * ex), py - (ay + t * ey)));
        }
        return inside ? nearest : -nearest;
    }

    int width;
    int height;
    std::vector<uint32_t> colours;
    std::vector<bool> anyColour;
};

}  // namespace softd3d::testing
