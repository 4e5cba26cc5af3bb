// Frames per second of the software Direct3D as the viewer drives it: clear,
// draw one textured mesh through the render device, present to a window.
// The floor is clear + present alone.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <utility>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "platform/win32/MemoryWindow.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"

namespace {

struct Size {
    int width, height;
};
constexpr Size kSizes[] = {{337, 377}, {1280, 720}};

constexpr int kGridSide = 32;  // 32 x 32 quads: 2,048 triangles
constexpr float kCameraDistance = 1000.0f;
constexpr float kFovY = std::numbers::pi_v<float> / 4;

// A device on an in-memory window, set up as the main window sets it up.
struct Viewer {
    explicit Viewer(Size size) : window(size.width, size.height) {
        context.CreateDirect3D();
        context.CreateDevice(&window, true, device);
        device->SetClearColor(255, 0, 255);
        device->SetProjection(0.1f, 3000.0f, static_cast<float>(size.width) / static_cast<float>(size.height), kFovY);
        device->SetEye(0.0f, 0.0f, kCameraDistance);
        device->SetTarget(0.0f, 0.0f, 0.0f);
    }

    MemoryWindow window;
    dxMain context;
    std::unique_ptr<dxDevice8> device;
};

// A gently waving square grid facing the camera, sized to cover a third of
// the view at the camera's distance.
std::unique_ptr<dxBufferTextura> MakeMesh(dxDevice8& device, IDirect3DTexture8* page, Size size) {
    const float viewHeight = 2.0f * kCameraDistance * std::tan(kFovY / 2);
    const float viewWidth = viewHeight * static_cast<float>(size.width) / static_cast<float>(size.height);
    const float side = std::sqrt(viewWidth * viewHeight / 3.0f);
    const float cell = side / kGridSide;
    auto corner = [&](int i, int j) {
        const float x = -side / 2 + static_cast<float>(i) * cell;
        const float y = -side / 2 + static_cast<float>(j) * cell;
        return std::array<float, 3>{x, y, 20.0f * std::sin(x * 0.02f) * std::cos(y * 0.02f)};
    };
    auto buffer = std::make_unique<dxBufferTextura>();
    for (int j = 0; j < kGridSide; ++j) {
        for (int i = 0; i < kGridSide; ++i) {
            auto quad = std::make_unique<dxCuadradoTex>(kPolygonTextured | kPolygonCullCounterClockwise);
            const float u0 = static_cast<float>(i) / kGridSide, u1 = static_cast<float>(i + 1) / kGridSide;
            const float v0 = static_cast<float>(j) / kGridSide, v1 = static_cast<float>(j + 1) / kGridSide;
            // Strip order 0, 1, 3, 2 of the outline (i, j) (i+1, j) (i+1, j+1) (i, j+1).
            quad->SetTextureCoords(page, u0, v0, u1, v0, u0, v1, u1, v1);
            for (auto [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
                const auto p = corner(i + di, j + dj);
                quad->AddVertex(p[0], p[1], p[2]);
            }
            buffer->AddPolygon(std::move(quad));
        }
    }
    device.UploadBuffer(buffer.get());
    return buffer;
}

std::vector<uint32_t> PagePixels() {
    std::vector<uint32_t> pixels(256 * 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            pixels[static_cast<size_t>(y * 256 + x)] = 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | uint32_t((x ^ y) & 0xFF);
        }
    }
    return pixels;
}

// Share of the last frame's pixels not left at the clear colour.
double CoveredShare(const MemoryWindow& window) {
    const auto& frame = window.Frame();
    size_t covered = 0;
    for (uint32_t pixel : frame) {
        covered += pixel != 0xFFFF00FFu ? 1 : 0;
    }
    return frame.empty() ? 0.0 : static_cast<double>(covered) / static_cast<double>(frame.size());
}

void TexturedMesh(benchmark::State& state, Size size) {
    Viewer viewer(size);
    const std::vector<uint32_t> pixels = PagePixels();
    IDirect3DTexture8* page = viewer.device->CreateTexture(256, 256, D3DFMT_A8R8G8B8, pixels.data());
    std::unique_ptr<dxBufferTextura> mesh = MakeMesh(*viewer.device, page, size);
    for (auto _ : state) {
        viewer.device->Clear(true);
        viewer.device->DrawBuffer(mesh.get(), 0);
        viewer.device->Present();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = 2.0 * kGridSide * kGridSide;
    state.counters["coverage"] = CoveredShare(viewer.window);
    mesh.reset();
    page->Release();
}

void ClearPresent(benchmark::State& state, Size size) {
    Viewer viewer(size);
    for (auto _ : state) {
        viewer.device->Clear(true);
        viewer.device->Present();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
    for (const Size& size : kSizes) {
        const std::string suffix = "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
        benchmark::RegisterBenchmark(("BM_TexturedMesh" + suffix).c_str(), TexturedMesh, size)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_ClearPresent" + suffix).c_str(), ClearPresent, size)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
