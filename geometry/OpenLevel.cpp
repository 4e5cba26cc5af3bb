#include "geometry/OpenLevel.h"

#include <algorithm>

#include "level/trLevel.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"

namespace {

constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 3000.0f;
constexpr float kFieldOfViewY = 0.785398185f;
constexpr int32_t kEyeDistance = 1000;
// Added in double precision, the sum rounded to float32 when stored.
constexpr double kSpinPerFrame = 0.001;

// Level y points down; it is negated on the integer so -32768 stays exact.
float DisplayY(int16_t y) { return static_cast<float>(-static_cast<int32_t>(y)); }

}  // namespace

std::unique_ptr<Lista_Mesh> ParseSuppliedMeshes(const trLevel& level) {
    const uint32_t byteCount =
        static_cast<uint32_t>(std::min<std::size_t>(level.meshDataBytes, level.meshData.byteCount()));
    Lista_Mesh* parsed = nullptr;
    ParseMeshes(level.meshData.bytes(), byteCount, parsed);
    return std::unique_ptr<Lista_Mesh>(parsed);
}

std::optional<OpenedLevel> OpenLevel(const char* path, trLevel& level, dxDevice8* device, PageDepth depth) {
    if (LoadLevelFile(path, &level) == 0) {
        return std::nullopt;
    }
    OpenedLevel opened;
    opened.meshList = ParseSuppliedMeshes(level);
    opened.textures = std::make_unique<trTextura>(&level);
    if (depth == PageDepth::Bits16) {
        opened.textures->CreatePages16(device);
    } else {
        opened.textures->CreatePages32(device);
    }
    if (opened.meshList) {
        opened.meshList->BuildBuffers(device, opened.textures.get(), level);
    }
    return opened;
}

float ViewerAspect(int windowWidth, int windowHeight) {
    return static_cast<float>(windowWidth / std::max(1, windowHeight));
}

void SetUpViewerDevice(dxDevice8& device, float aspect) {
    device.SetClearColor(255, 0, 255);
    device.SetProjection(kNearPlane, kFarPlane, aspect, kFieldOfViewY);
}

OffscreenViewer::OffscreenViewer(int width, int height) : window(width, height) {
    if (FAILED(context.CreateDirect3D()) || FAILED(context.CreateDevice(&window, true, device))) {
        device.reset();
        return;
    }
    SetUpViewerDevice(*device, ViewerAspect(kViewerWindowWidth, kViewerWindowHeight));
}

void AimViewerCamera(dxDevice8& device, const trMeshCentre& centre) {
    const float x = static_cast<float>(centre.x);
    const float y = DisplayY(centre.y);
    device.SetEye(x, y, static_cast<float>(int32_t{centre.z} + kEyeDistance));
    device.SetTarget(x, y, static_cast<float>(centre.z));
}

void RunViewerFrame(dxDevice8& device, float& spinAngle, const trMesh* mesh, dxBufferTextura* buffer) {
    spinAngle = static_cast<float>(spinAngle + kSpinPerFrame);
    device.Clear(true);
    if (buffer != nullptr && mesh != nullptr) {
        buffer->Translate(static_cast<float>(mesh->centre.x), DisplayY(mesh->centre.y),
                          static_cast<float>(mesh->centre.z));
        buffer->RotateY(spinAngle);
        device.DrawBuffer(buffer, 0);
    }
    device.Present();
}
