// Opening a level without a window, and the viewer's frame on a device.
//
// OpenLevel does what the "Open Source" command does after its file dialog:
// read the file, split its meshes, make the texture pages of one depth and
// upload one buffer per mesh. The viewer helpers set up a device, aim its
// camera and run one frame exactly as the main window does, so tools and
// benchmarks show what the viewer shows.
#pragma once

#include <memory>
#include <optional>

#include "level/Lista_Mesh.h"
#include "level/trTextura.h"
#include "platform/win32/MemoryWindow.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"

class dxBufferTextura;
struct trLevel;

enum class PageDepth { Bits32, Bits16 };

struct OpenedLevel {
    // Declared before the list so that it is destroyed after it: the list's
    // polygons point at these pages.
    std::unique_ptr<trTextura> textures;
    // Null when the level supplied no mesh data.
    std::unique_ptr<Lista_Mesh> meshList;
};

// The mesh list of a loaded level, parsed from the mesh-data bytes the file
// really supplied; null when there are none.
std::unique_ptr<Lista_Mesh> ParseSuppliedMeshes(const trLevel& level);

// Reads the level file at path into level and prepares its meshes on device
// (which may be null: then no page is made and nothing is uploaded). Only the
// mesh-data bytes the file really supplied are parsed. Returns nullopt,
// leaving level as it was, when the file cannot be opened. Throws
// std::bad_alloc when a damaged file declares more than can be allocated.
std::optional<OpenedLevel> OpenLevel(const char* path, trLevel& level, dxDevice8* device, PageDepth depth);

// The main window's designed outer size and the size of its 3D panel.
constexpr int kViewerWindowWidth = 956;
constexpr int kViewerWindowHeight = 640;
constexpr int kViewerPanelWidth = 337;
constexpr int kViewerPanelHeight = 377;

// The projection's aspect ratio for a window: width / height in integer
// division, then float (956 x 640 gives 1.0). A height below 1 counts as 1.
float ViewerAspect(int windowWidth, int windowHeight);

// Magenta clear colour and the viewer's projection with the given aspect.
void SetUpViewerDevice(dxDevice8& device, float aspect);

// The viewer's device drawing into an in-memory window of the given size
// instead of the panel, set up as the main window sets up its device (for
// the tools, benchmarks and fuzzing). device is null when it could not be
// made.
struct OffscreenViewer {
    OffscreenViewer(int width, int height);

    MemoryWindow window;
    dxMain context;
    std::unique_ptr<dxDevice8> device;
};

// Eye 1000 units along +z from the centre, looking at it; level y is negated.
void AimViewerCamera(dxDevice8& device, const trMeshCentre& centre);

// One frame: advance the spin, clear, draw the buffer (when given) turned by
// the spin about its origin and moved to the mesh centre, present.
void RunViewerFrame(dxDevice8& device, float& spinAngle, const trMesh* mesh, dxBufferTextura* buffer);
