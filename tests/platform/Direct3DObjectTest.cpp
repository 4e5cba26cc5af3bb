// The Direct3D object: creation, the adapter's answers, device creation and
// reference counting.
#include "tests/platform/SoftD3DTestSupport.h"

namespace softd3d::testing {
namespace {

class Direct3DObjectTest : public LiveObjectTest {
protected:
    void SetUp() override {
        LiveObjectTest::SetUp();
        direct3D = RefPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
        ASSERT_TRUE(direct3D);
    }
    void TearDown() override {
        direct3D.Reset();
        LiveObjectTest::TearDown();
    }
    HRESULT CreateDevice(HWND window, D3DPRESENT_PARAMETERS parameters, RefPtr<IDirect3DDevice8>& device,
                         DWORD behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING) {
        IDirect3DDevice8* created = nullptr;
        const HRESULT result =
            direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour, &parameters, &created);
        device = RefPtr<IDirect3DDevice8>::Adopt(created);
        EXPECT_EQ(SUCCEEDED(result), created != nullptr);
        return result;
    }

    RefPtr<IDirect3D8> direct3D;
};

TEST_F(LiveObjectTest, Direct3DCreate8AcceptsOnlyTheSdkVersionOfDirectX81) {
    for (UINT version : {0u, 120u, 219u, 221u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Direct3DCreate8(version), nullptr) << version;
    }
    IDirect3D8* direct3D = Direct3DCreate8(220);
    ASSERT_NE(direct3D, nullptr);
    EXPECT_EQ(direct3D->Release(), 0u);
}

TEST_F(LiveObjectTest, ObjectsLiveUntilTheirLastReleaseAndAreCounted) {
    const int before = LiveObjectCount();
    IDirect3D8* direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(direct3D, nullptr);
    EXPECT_EQ(LiveObjectCount(), before + 1);
    EXPECT_EQ(direct3D->AddRef(), 2u);
    EXPECT_EQ(direct3D->Release(), 1u);
    EXPECT_EQ(LiveObjectCount(), before + 1);
    EXPECT_EQ(direct3D->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(Direct3DObjectTest, ReportsTheDesktopMode) {
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(mode.Width, 0u);
    EXPECT_GT(mode.Height, 0u);
    EXPECT_EQ(mode.RefreshRate, 60u);
    EXPECT_EQ(direct3D->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);
}

struct FormatCase {
    const char* name;
    D3DFORMAT refused;  // D3DFMT_UNKNOWN: none
    D3DFORMAT adapterFormat;
    DWORD usage;
    D3DRESOURCETYPE resourceType;
    D3DFORMAT asked;
    HRESULT expected;
};

TEST_F(Direct3DObjectTest, CheckDeviceFormatAcceptsTheThreeTextureFormats) {
    const auto texture = D3DRTYPE_TEXTURE;
    const auto desktop = D3DFMT_X8R8G8B8;
    const FormatCase cases[] = {
        {"A8R8G8B8", D3DFMT_UNKNOWN, desktop, 0, texture, D3DFMT_A8R8G8B8, D3D_OK},
        {"X8R8G8B8", D3DFMT_UNKNOWN, desktop, 0, texture, D3DFMT_X8R8G8B8, D3D_OK},
        {"R5G6B5", D3DFMT_UNKNOWN, desktop, 0, texture, D3DFMT_R5G6B5, D3D_OK},
        {"depth format", D3DFMT_UNKNOWN, desktop, 0, texture, D3DFMT_D16, D3DERR_NOTAVAILABLE},
        {"unknown format", D3DFMT_UNKNOWN, desktop, 0, texture, D3DFMT_UNKNOWN, D3DERR_NOTAVAILABLE},
        {"other resource type", D3DFMT_UNKNOWN, desktop, 0, static_cast<D3DRESOURCETYPE>(1), D3DFMT_R5G6B5,
         D3DERR_NOTAVAILABLE},
        {"usage asked for", D3DFMT_UNKNOWN, desktop, 1, texture, D3DFMT_R5G6B5, D3DERR_NOTAVAILABLE},
        {"adapter format not yet read", D3DFMT_UNKNOWN, D3DFMT_UNKNOWN, 0, texture, D3DFMT_R5G6B5,
         D3DERR_NOTAVAILABLE},
        {"refused 32-bit", D3DFMT_X8R8G8B8, desktop, 0, texture, D3DFMT_X8R8G8B8, D3DERR_NOTAVAILABLE},
        {"refusal leaves 16-bit", D3DFMT_X8R8G8B8, desktop, 0, texture, D3DFMT_R5G6B5, D3D_OK},
        {"refusal leaves A8R8G8B8", D3DFMT_X8R8G8B8, desktop, 0, texture, D3DFMT_A8R8G8B8, D3D_OK},
    };
    for (const FormatCase& c : cases) {
        RefuseTextureFormat(c.refused);
        EXPECT_EQ(direct3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, c.adapterFormat, c.usage,
                                              c.resourceType, c.asked),
                  c.expected)
            << c.name;
    }
}

TEST_F(Direct3DObjectTest, BackBufferTakesTheClientSizeUnlessGiven) {
    struct Case {
        const char* name;
        int clientWidth, clientHeight;
        UINT backBufferWidth, backBufferHeight;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {"client size", 337, 377, 0, 0, 337, 377},
        {"explicit size", 337, 377, 100, 50, 100, 50},
        {"one side given", 337, 377, 100, 0, 100, 377},
        {"empty client area counts as one pixel", 0, -5, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        MemoryWindow window(c.clientWidth, c.clientHeight);
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        parameters.BackBufferWidth = c.backBufferWidth;
        parameters.BackBufferHeight = c.backBufferHeight;
        RefPtr<IDirect3DDevice8> device;
        ASSERT_EQ(CreateDevice(&window, parameters, device), D3D_OK) << c.name;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(window.PresentCount(), 1) << c.name;
        EXPECT_EQ(window.FrameWidth(), c.expectedWidth) << c.name;
        EXPECT_EQ(window.FrameHeight(), c.expectedHeight) << c.name;
    }
}

TEST_F(Direct3DObjectTest, CreateDeviceRefusesWhatItCannotDo) {
    struct Case {
        const char* name;
        void (*change)(D3DPRESENT_PARAMETERS&);
        bool nullWindow;
        DWORD behaviour;
        HRESULT expected;
    };
    const DWORD software = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    const Case cases[] = {
        {"no window", [](D3DPRESENT_PARAMETERS&) {}, true, software, D3DERR_INVALIDCALL},
        {"no vertex processing named", [](D3DPRESENT_PARAMETERS&) {}, false, 0, D3DERR_INVALIDCALL},
        {"16-bit back buffer", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_R5G6B5; }, false,
         software, D3DERR_NOTAVAILABLE},
        {"depth format not D16",
         [](D3DPRESENT_PARAMETERS& p) { p.AutoDepthStencilFormat = D3DFMT_X8R8G8B8; }, false, software,
         D3DERR_NOTAVAILABLE},
        {"multisampling", [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(2); },
         false, software, D3DERR_NOTAVAILABLE},
        {"side too long", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 8193; }, false, software,
         D3DERR_NOTAVAILABLE},
        {"too many pixels",
         [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = p.BackBufferHeight = 8192; }, false, software,
         D3DERR_NOTAVAILABLE},
        {"largest side at the limit",
         [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 8192; p.BackBufferHeight = 16; }, false, software,
         D3D_OK},
    };
    for (const Case& c : cases) {
        MemoryWindow window(64, 48);
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        c.change(parameters);
        RefPtr<IDirect3DDevice8> device;
        EXPECT_EQ(CreateDevice(c.nullWindow ? nullptr : &window, parameters, device, c.behaviour), c.expected)
            << c.name;
    }
    IDirect3DDevice8* untouched = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    MemoryWindow window(64, 48);
    EXPECT_EQ(direct3D->CreateDevice(1, D3DDEVTYPE_HAL, &window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                     &untouched),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &window,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr, &untouched),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(untouched, nullptr);
}

TEST_F(Direct3DObjectTest, DeviceWindowInParametersWinsOverFocusWindow) {
    MemoryWindow focus(10, 10);
    MemoryWindow deviceWindow(20, 30);
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.hDeviceWindow = &deviceWindow;
    RefPtr<IDirect3DDevice8> device;
    ASSERT_EQ(CreateDevice(&focus, parameters, device), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(focus.PresentCount(), 0);
    EXPECT_EQ(deviceWindow.PresentCount(), 1);
    EXPECT_EQ(deviceWindow.FrameWidth(), 20);
    EXPECT_EQ(deviceWindow.FrameHeight(), 30);
}

}  // namespace
}  // namespace softd3d::testing
