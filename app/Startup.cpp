#include "app/Startup.h"

#include <array>

std::string MissingDisplayMessage(const EnvironmentReader& readVariable) {
    constexpr std::array kDisplayVariables = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    for (const char* name : kDisplayVariables) {
        const char* value = readVariable(name);
        if (value != nullptr && value[0] != '\0') {
            return {};
        }
    }
    return "tr4viewer: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)";
}
