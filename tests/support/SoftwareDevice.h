// A render device on the software Direct3D, drawing into an in-memory window,
// for tests that need real textures and vertex buffers.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/MemoryWindow.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"

struct SoftwareDevice {
    SoftwareDevice() {
        EXPECT_EQ(context.CreateDirect3D(), D3D_OK);
        EXPECT_EQ(context.CreateDevice(&window, true, device), D3D_OK);
    }
    MemoryWindow window{32, 32};
    dxMain context;
    std::unique_ptr<dxDevice8> device;
};
