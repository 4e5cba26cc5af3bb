// tr4mesh render: draws one mesh as the viewer's panel shows it after a
// number of frames, on the software Direct3D and an in-memory window, and
// writes the last frame as a PNG.
#include <cstring>
#include <iostream>
#include <memory>

#include <QImage>
#include <QString>

#include "level/trLevel.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/win32/MemoryWindow.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "tools/tr4mesh/Commands.h"
#include "tools/tr4mesh/LevelDamage.h"

namespace {

void WritePng(const MemoryWindow& window, const std::string& path) {
    const int width = window.FrameWidth();
    const int height = window.FrameHeight();
    if (width < 1 || height < 1) {
        throw ToolError("no frame was presented");
    }
    // The frame's X8R8G8B8 pixels are QImage's RGB32 layout.
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), window.Frame().data() + static_cast<std::size_t>(y) * width,
                    static_cast<std::size_t>(width) * sizeof(uint32_t));
    }
    if (!image.save(QString::fromStdString(path), "PNG")) {
        throw ToolError("cannot write " + path);
    }
}

std::string MeshOutOfRange(const RenderOptions& options, int32_t count, const std::string& damage) {
    std::string message = "mesh " + std::to_string(options.mesh) + " is out of range: " + options.file + " holds " +
                          std::to_string(count) + (count == 1 ? " mesh" : " meshes");
    if (!damage.empty()) {
        message += " (the file is damaged: " + damage + ")";
    }
    return message;
}

}  // namespace

int RunRender(const RenderOptions& options) {
    RequireReadableFile(options.file);
    // The viewer asks the adapter about 32-bit textures and falls back to
    // 16-bit pages when it refuses them; --16bit makes it refuse.
    softd3d::RefuseTextureFormat(options.sixteenBit ? D3DFMT_X8R8G8B8 : D3DFMT_UNKNOWN);

    OffscreenViewer viewer(options.width, options.height);
    if (!viewer.device) {
        throw ToolError("cannot create a " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                        " Direct3D device");
    }
    dxDevice8* device = viewer.device.get();
    const PageDepth depth =
        viewer.context.LacksTextureFormat(D3DFMT_X8R8G8B8) ? PageDepth::Bits16 : PageDepth::Bits32;

    auto level = std::make_unique<trLevel>();
    // Destroyed before the device: its buffers hold the device's vertex buffers.
    std::optional<OpenedLevel> opened = OpenLevel(options.file.c_str(), *level, device, depth);
    if (!opened) {
        throw ToolError("cannot open " + options.file);
    }
    const std::string damage = DescribeDamage(*level);
    const int32_t count = opened->meshList ? opened->meshList->GetCount() : 0;
    trMesh* mesh = nullptr;
    if (options.mesh < 0 || options.mesh >= count || opened->meshList->GetMesh(options.mesh, mesh) != 1) {
        throw ToolError(MeshOutOfRange(options, count, damage));
    }

    AimViewerCamera(*device, mesh->centre);
    float spinAngle = 0.0f;
    for (int frame = 0; frame < options.frames; ++frame) {
        RunViewerFrame(*device, spinAngle, mesh, opened->meshList->GetBuffer(options.mesh));
    }
    WritePng(viewer.window, options.out);
    std::cout << "wrote " << options.out << ": mesh " << options.mesh << ", " << options.width << "x"
              << options.height << ", " << options.frames << (options.frames == 1 ? " frame, " : " frames, ")
              << (depth == PageDepth::Bits16 ? "16-bit" : "32-bit") << " pages\n";
    if (!damage.empty()) {
        std::cerr << "tr4mesh: " << options.file << " is damaged: " << damage << '\n';
        return kExitDamaged;
    }
    return kExitOk;
}
