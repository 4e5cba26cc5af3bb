// The window a Direct3D device draws into. Our Direct3D asks it for the size
// of its client area and hands it every presented frame. The window layer
// implements it on a real widget; tests use an in-memory window.
#pragma once

#include <cstdint>

class DeviceWindow {
public:
    virtual ~DeviceWindow() = default;

    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    // One finished frame: height rows of width X8R8G8B8 pixels, rows
    // pitchInPixels apart. The pixels are valid only during the call.
    virtual void PresentFrame(const uint32_t* pixels, int width, int height, int pitchInPixels) = 0;
};

using HWND = DeviceWindow*;
