// MessageBoxA over Qt, with a replaceable handler so that tests can answer
// the boxes and see what they said.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32/DeviceWindow.h"

constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_ICONSTOP = 0x00000010;
constexpr int IDOK = 1;

// Shows a modal box with the text, the caption as title and an OK button,
// and returns IDOK once it is dismissed. A null text or caption counts as
// empty. Without a Qt application the text goes to stderr instead.
int MessageBoxA(HWND owner, const char* text, const char* caption, uint32_t type);

namespace win32 {

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    uint32_t type;
};

// Answers MessageBoxA instead of a real box; its result is MessageBoxA's.
using MessageBoxHandler = std::function<int(const MessageBoxCall& call)>;

// Installs handler (an empty one brings the real box back) and returns the
// handler it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace win32
