#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "tests/render/FakeD3D.h"

namespace {

using testing::_;
using testing::DoAll;
using testing::NiceMock;
using testing::Return;
using testing::SetArgPointee;

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

// A context whose Direct3D object is a fake that the test keeps alive.
class Direct3DContext : public testing::Test {
protected:
    Direct3DContext() {
        ON_CALL(direct3D, GetAdapterDisplayMode(_, _))
            .WillByDefault(DoAll(SetArgPointee<1>(D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8}), Return(D3D_OK)));
    }

    std::unique_ptr<dxMain> MakeContext() {
        return std::make_unique<dxMain>([this](UINT version) -> IDirect3D8* {
            askedVersion = version;
            return &direct3D;
        });
    }

    NiceMock<fake::Direct3D> direct3D;
    UINT askedVersion = 0;
};

TEST_F(Direct3DContext, WithoutDirect3DNothingIsMadeAndNothingReleased) {
    dxMain context([](UINT) -> IDirect3D8* { return nullptr; });
    EXPECT_EQ(context.CreateDirect3D(), E_FAIL);
    EXPECT_EQ(context.GetDirect3D(), nullptr);

    auto sentinel = std::make_unique<dxDevice8>();
    dxDevice8* before = sentinel.get();
    EXPECT_EQ(context.CreateDevice(nullptr, true, sentinel), E_FAIL);
    EXPECT_EQ(sentinel.get(), before);
    std::unique_ptr<dxDevice8> empty;
    EXPECT_EQ(context.CreateDevice(nullptr, true, empty), E_FAIL);
    EXPECT_EQ(empty, nullptr);

    const D3DPRESENT_PARAMETERS parameters = context.FillPresentParameters(true);
    const D3DPRESENT_PARAMETERS zero{};
    EXPECT_EQ(std::memcmp(&parameters, &zero, sizeof zero), 0);
    EXPECT_TRUE(context.LacksTextureFormat(D3DFMT_A8R8G8B8));
}

TEST_F(Direct3DContext, CreatesDirect3DForTheSdkVersionAndReleasesItOnce) {
    {
        auto context = MakeContext();
        EXPECT_EQ(context->CreateDirect3D(), D3D_OK);
        EXPECT_EQ(askedVersion, 220u);
        EXPECT_EQ(context->GetDirect3D(), &direct3D);
    }
    EXPECT_EQ(direct3D.releases, 1);
    EXPECT_EQ(direct3D.references, 0);
}

TEST_F(Direct3DContext, CreatingDirect3DAgainReleasesThePreviousObject) {
    NiceMock<fake::Direct3D> second;
    fake::Direct3D* next = &direct3D;
    {
        dxMain context([&](UINT) -> IDirect3D8* {
            fake::Direct3D* made = next;
            next = &second;
            return made;
        });
        context.CreateDirect3D();
        context.CreateDirect3D();
        EXPECT_EQ(direct3D.references, 0);
        EXPECT_EQ(context.GetDirect3D(), &second);
    }
    EXPECT_EQ(second.references, 0);
}

TEST_F(Direct3DContext, FillsPresentParametersFromTheDesktopMode) {
    auto context = MakeContext();
    context->CreateDirect3D();
    for (bool windowed : {true, false}) {
        const D3DPRESENT_PARAMETERS p = context->FillPresentParameters(windowed);
        EXPECT_EQ(p.BackBufferWidth, 0u);
        EXPECT_EQ(p.BackBufferHeight, 0u);
        EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
        EXPECT_EQ(p.BackBufferCount, 1u);
        EXPECT_EQ(p.MultiSampleType, D3DMULTISAMPLE_NONE);
        EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
        EXPECT_EQ(p.hDeviceWindow, nullptr);
        EXPECT_EQ(p.Windowed, windowed ? 1 : 0);
        EXPECT_EQ(p.EnableAutoDepthStencil, 1);
        EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D16);
        EXPECT_EQ(p.Flags, 0u);
        EXPECT_EQ(p.FullScreen_RefreshRateInHz, 0u);
        EXPECT_EQ(p.FullScreen_PresentationInterval, 0u);
    }
    EXPECT_EQ(context->GetDisplayMode().Width, 1024u);
}

TEST_F(Direct3DContext, CreatesTheDeviceOnTheWindowWithSoftwareVertexProcessing) {
    auto context = MakeContext();
    context->CreateDirect3D();
    NiceMock<fake::Device> device;
    auto* window = reinterpret_cast<HWND>(&device);  // any handle; only passed along
    EXPECT_CALL(direct3D, CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, _, _))
        .WillOnce([&](UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS* p, IDirect3DDevice8** out) {
            EXPECT_EQ(p->Windowed, 1);
            EXPECT_EQ(p->BackBufferFormat, D3DFMT_X8R8G8B8);
            *out = &device;
            return D3D_OK;
        });
    std::unique_ptr<dxDevice8> made;
    EXPECT_EQ(context->CreateDevice(window, true, made), D3D_OK);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetDevice(), &device);
    made.reset();
    EXPECT_EQ(device.references, 0);
}

TEST_F(Direct3DContext, RefusedDeviceLeavesAFreshRenderDevice) {
    auto context = MakeContext();
    context->CreateDirect3D();
    EXPECT_CALL(direct3D, CreateDevice(_, _, _, _, _, _)).WillOnce(Return(D3DERR_NOTAVAILABLE));
    std::unique_ptr<dxDevice8> made;
    EXPECT_EQ(context->CreateDevice(nullptr, true, made), E_FAIL);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetDevice(), nullptr);
    EXPECT_EQ(made->GetClearColor(), 0xFF000000u);
    EXPECT_EQ(made->GetProjection(), Identity());
    EXPECT_EQ(made->GetView(), Identity());
}

TEST_F(Direct3DContext, LacksTextureFormatUnlessTheAnswerIsExactlyD3dOk) {
    auto context = MakeContext();
    context->CreateDirect3D();
    const std::pair<HRESULT, bool> answers[] = {
        {D3D_OK, false}, {1, true}, {0x7FFFFFFF, true}, {D3DERR_NOTAVAILABLE, true}, {E_FAIL, true}};
    for (const auto& [answer, lacks] : answers) {
        EXPECT_CALL(direct3D, CheckDeviceFormat(0u, D3DDEVTYPE_HAL, D3DFMT_UNKNOWN, 0u, D3DRTYPE_TEXTURE,
                                                D3DFMT_X8R8G8B8))
            .WillOnce(Return(answer));
        EXPECT_EQ(context->LacksTextureFormat(D3DFMT_X8R8G8B8), lacks) << "answer " << answer;
    }
}

TEST_F(Direct3DContext, LacksTextureFormatAsksAboutTheDesktopFormatOnceKnown) {
    auto context = MakeContext();
    context->CreateDirect3D();
    std::unique_ptr<dxDevice8> made;
    context->CreateDevice(nullptr, true, made);
    EXPECT_CALL(direct3D, CheckDeviceFormat(_, _, D3DFMT_X8R8G8B8, _, _, D3DFMT_R5G6B5)).WillOnce(Return(D3D_OK));
    EXPECT_FALSE(context->LacksTextureFormat(D3DFMT_R5G6B5));
}

}  // namespace
