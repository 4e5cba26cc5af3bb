// The commands of tr4mesh. Each returns the process exit code and reports a
// failure by throwing ToolError with a one-line message.
#pragma once

#include <stdexcept>
#include <string>

#include "geometry/OpenLevel.h"

// Exit codes: success, a failure, and a level that was read but is damaged
// (what could be read was still listed or rendered).
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDamaged = 3;

struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct InfoOptions {
    std::string file;
    bool json = false;
};

struct RenderOptions {
    std::string file;
    int mesh = 0;
    std::string out;
    int width = kViewerPanelWidth;
    int height = kViewerPanelHeight;
    int frames = 1;
    bool sixteenBit = false;
};

int RunInfo(const InfoOptions& options);
int RunRender(const RenderOptions& options);
