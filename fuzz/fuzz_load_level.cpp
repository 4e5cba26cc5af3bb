// libFuzzer target: any bytes, written to a file, go down the whole open
// path of the viewer: load, mesh list, texture pages and uploaded buffers on
// the software Direct3D, then one frame of the first mesh. A damaged file may
// only end in a result or std::bad_alloc.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "geometry/OpenLevel.h"
#include "level/trLevel.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"

// Damaged files may ask for more memory than the machine has; that must be
// reported as std::bad_alloc, not end the process. Allocations above 1 GiB
// are refused here: the sanitizer's bookkeeping for a lazily zeroed 4 GiB
// array costs seconds, which would slow fuzzing to a crawl. The unit tests
// load such files with those arrays really allocated.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}

namespace {

// One scratch file per fuzzing process, removed when the process ends.
struct ScratchFile {
    std::string path = "/tmp/fuzz_load_level-" + std::to_string(getpid()) + ".tr4";
    ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& InputPath() {
    static const ScratchFile scratch;
    return scratch.path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// A small software device made once for the whole run, as the viewer makes
// its one device at start-up.
OffscreenViewer& TheViewer() {
    static OffscreenViewer viewer(64, 64);
    return viewer;
}

// The version bytes are never examined, so the first one picks the page
// depth: both page sets get exercised.
PageDepth DepthFor(const uint8_t* data, size_t size) {
    return size > 0 && (data[0] & 1) != 0 ? PageDepth::Bits16 : PageDepth::Bits32;
}

void DrawFirstMesh(const OpenedLevel& opened, dxDevice8& device) {
    trMesh* mesh = nullptr;
    if (!opened.meshList || opened.meshList->GetMesh(0, mesh) != 1) return;
    float spinAngle = 0.0f;
    AimViewerCamera(device, mesh->centre);
    RunViewerFrame(device, spinAngle, mesh, opened.meshList->GetBuffer(0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) return 0;
    OffscreenViewer& viewer = TheViewer();
    try {
        trLevel level{};
        const std::optional<OpenedLevel> opened =
            OpenLevel(InputPath().c_str(), level, viewer.device.get(), DepthFor(data, size));
        if (opened) DrawFirstMesh(*opened, *viewer.device);
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
