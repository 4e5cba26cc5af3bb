// Checks made by the process entry before the window layer starts.
#pragma once

#include <functional>
#include <string>

// Reads one environment variable; null when it is not set.
using EnvironmentReader = std::function<const char*(const char* name)>;

// Empty when a display can be reached: DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM is set and not empty. Otherwise a one-line explanation.
std::string MissingDisplayMessage(const EnvironmentReader& readVariable);
