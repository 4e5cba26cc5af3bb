// The device's states, scenes, clears, draw checks and the references it
// holds on what is bound to it.
#include "tests/platform/SoftD3DTestSupport.h"

namespace softd3d::testing {
namespace {

using DeviceStateTest = DeviceTest;

D3DMATRIX Numbered(float first) {
    D3DMATRIX m;
    for (int i = 0; i < 16; ++i) {
        m.m[i / 4][i % 4] = first + static_cast<float>(i);
    }
    return m;
}

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(DeviceStateTest, TransformsStartAsIdentityAndComeBackAsSet) {
    D3DMATRIX identity{};
    for (int i = 0; i < 4; ++i) {
        identity.m[i][i] = 1.0f;
    }
    const D3DTRANSFORMSTATETYPE states[] = {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION};
    for (D3DTRANSFORMSTATETYPE state : states) {
        D3DMATRIX got{};
        ASSERT_EQ(device->GetTransform(state, &got), D3D_OK);
        EXPECT_TRUE(SameMatrix(got, identity)) << state;
    }
    for (size_t i = 0; i < 3; ++i) {
        const D3DMATRIX m = Numbered(10.0f * static_cast<float>(i));
        ASSERT_EQ(device->SetTransform(states[i], &m), D3D_OK);
    }
    for (size_t i = 0; i < 3; ++i) {
        D3DMATRIX got{};
        ASSERT_EQ(device->GetTransform(states[i], &got), D3D_OK);
        EXPECT_TRUE(SameMatrix(got, Numbered(10.0f * static_cast<float>(i)))) << states[i];
    }
    const D3DMATRIX m = Numbered(0);
    EXPECT_EQ(device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(1), &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, RenderStatesStartAsDirect3DsAndRefuseUnknownValues) {
    struct Case {
        D3DRENDERSTATETYPE state;
        DWORD initial;
        DWORD accepted;
        DWORD refused;  // 0: every value is accepted
    };
    const Case cases[] = {
        {D3DRS_FILLMODE, D3DFILL_SOLID, D3DFILL_WIREFRAME, 7},
        {D3DRS_CULLMODE, D3DCULL_CCW, D3DCULL_NONE, 4},
        {D3DRS_LIGHTING, TRUE, FALSE, 0},
    };
    for (const Case& c : cases) {
        DWORD value = 0xDEAD;
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.initial) << c.state;
        ASSERT_EQ(device->SetRenderState(c.state, c.accepted), D3D_OK);
        if (c.refused != 0) {
            EXPECT_EQ(device->SetRenderState(c.state, c.refused), D3DERR_INVALIDCALL) << c.state;
        }
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.accepted) << c.state;
    }
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(7), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShader(D3DFVF_XYZ), D3DERR_INVALIDCALL) << "only the two vertex formats";
    EXPECT_EQ(device->SetVertexShader(kColouredFvf), D3D_OK);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    EXPECT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, ScenesDoNotNestAndPresentWaitsForTheirEnd) {
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(window.PresentCount(), 1);
}

TEST_F(DeviceStateTest, PresentCanGoToAnotherWindow) {
    MemoryWindow other(5, 5);
    ClearAll(0xFF00FF00u);
    ASSERT_EQ(device->Present(nullptr, nullptr, &other, nullptr), D3D_OK);
    EXPECT_EQ(window.PresentCount(), 0);
    EXPECT_EQ(other.PresentCount(), 1);
    EXPECT_EQ(other.FrameWidth(), kWidth) << "the back buffer is handed over whole";
    EXPECT_EQ(other.Pixel(kWidth - 1, kHeight - 1), 0xFF00FF00u);
}

struct DrawCase {
    const char* name;
    D3DPRIMITIVETYPE type;
    UINT start;
    UINT count;
    UINT stride;
    HRESULT expected;
};

// Six textured vertices are bound; every refused draw leaves the frame alone.
TEST_F(DeviceStateTest, DrawPrimitiveRefusesToReadPastTheVertexBuffer) {
    const auto list = D3DPT_TRIANGLELIST;
    const auto strip = D3DPT_TRIANGLESTRIP;
    const DrawCase cases[] = {
        {"two listed triangles", list, 0, 2, 20, D3D_OK},
        {"strip ending on the last vertex", strip, 2, 2, 20, D3D_OK},
        {"third listed triangle", list, 0, 3, 20, D3DERR_INVALIDCALL},
        {"list starting too late", list, 4, 1, 20, D3DERR_INVALIDCALL},
        {"strip one vertex too long", strip, 3, 2, 20, D3DERR_INVALIDCALL},
        {"count that would wrap", list, 0, 0xFFFFFFFFu, 20, D3DERR_INVALIDCALL},
        {"start that would wrap", strip, 0xFFFFFFFFu, 1, 20, D3DERR_INVALIDCALL},
        {"no primitives", list, 0, 0, 20, D3DERR_INVALIDCALL},
        {"stride wider than the buffer allows", list, 0, 2, 24, D3DERR_INVALIDCALL},
        {"stride narrower than a vertex", list, 0, 1, 12, D3DERR_INVALIDCALL},
        {"unknown primitive type", static_cast<D3DPRIMITIVETYPE>(1), 0, 1, 20, D3DERR_INVALIDCALL},
    };
    const std::vector<TexturedVertex> vertices = {{-1, 1, 0.5f, 0, 0},  {1, 1, 0.5f, 0, 0}, {-1, -1, 0.5f, 0, 0},
                                                  {-1, -1, 0.5f, 0, 0}, {1, 1, 0.5f, 0, 0}, {1, -1, 0.5f, 0, 0}};
    RefPtr<IDirect3DVertexBuffer8> buffer = Upload(vertices, kTexturedFvf);
    ASSERT_EQ(device->SetVertexShader(kTexturedFvf), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    for (const DrawCase& c : cases) {
        ClearAll();
        ASSERT_EQ(device->SetStreamSource(0, buffer.Get(), c.stride), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        EXPECT_EQ(device->DrawPrimitive(c.type, c.start, c.count), c.expected) << c.name;
        ASSERT_EQ(device->EndScene(), D3D_OK);
        Present();
        const bool drew = window.Pixel(kWidth / 2, kHeight / 2) == kWhite;
        EXPECT_EQ(drew, SUCCEEDED(c.expected)) << c.name;
    }
}

TEST_F(DeviceStateTest, DrawPrimitiveNeedsASceneAStreamAndAVertexFormat) {
    RefPtr<IDirect3DVertexBuffer8> buffer =
        Upload(std::vector<TexturedVertex>{{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}}, kTexturedFvf);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no stream";
    ASSERT_EQ(device->SetStreamSource(0, buffer.Get(), 20), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no vertex format";
    ASSERT_EQ(device->SetVertexShader(kTexturedFvf), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "outside a scene";
    EXPECT_EQ(device->SetStreamSource(1, buffer.Get(), 20), D3DERR_INVALIDCALL) << "one stream only";
}

TEST_F(DeviceStateTest, ClearWritesOnlyWhatItIsAsked) {
    // Target only: the depth of a near quad survives and hides a farther one.
    ClearAll();
    Draw(std::vector<TexturedVertex>{{-1, 1, 0.2f, 0, 0}, {1, 1, 0.2f, 0, 0}, {-1, -1, 0.2f, 0, 0}, {1, -1, 0.2f, 0, 0}},
         D3DPT_TRIANGLESTRIP, 2);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0), D3D_OK);
    Draw(std::vector<TexturedVertex>{{-1, 1, 0.6f, 0, 0}, {1, 1, 0.6f, 0, 0}, {-1, -1, 0.6f, 0, 0}, {1, -1, 0.6f, 0, 0}},
         D3DPT_TRIANGLESTRIP, 2);
    Present();
    EXPECT_EQ(window.Pixel(kWidth / 2, kHeight / 2), kBackground);

    // Depth only: the colour stays and the depth no longer hides anything.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF123456u, 1.0f, 0), D3D_OK);
    Present();
    EXPECT_EQ(window.Pixel(kWidth / 2, kHeight / 2), kBackground);

    // Rectangles: only their pixels, clamped to the buffer.
    const D3DRECT rects[] = {{2, 3, 4, 5}, {60, 40, 1000, 1000}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0xFF010203u, 1.0f, 0), D3D_OK);
    Present();
    EXPECT_EQ(window.Pixel(2, 3), 0xFF010203u);
    EXPECT_EQ(window.Pixel(3, 4), 0xFF010203u);
    EXPECT_EQ(window.Pixel(4, 4), kBackground);
    EXPECT_EQ(window.Pixel(1, 3), kBackground);
    EXPECT_EQ(window.Pixel(kWidth - 1, kHeight - 1), 0xFF010203u);
    EXPECT_EQ(window.Pixel(59, 40), kBackground);
}

TEST_F(DeviceStateTest, ClearRefusesWhatItCannotDo) {
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL) << "count without rects";
    EXPECT_EQ(device->Clear(0, nullptr, 4, 0, 1.0f, 0), D3DERR_INVALIDCALL) << "no stencil buffer";
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL) << "depth above 1";
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, std::nanf(""), 0), D3DERR_INVALIDCALL);

    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.EnableAutoDepthStencil = FALSE;
    IDirect3DDevice8* created = nullptr;
    ASSERT_EQ(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                     &parameters, &created),
              D3D_OK);
    RefPtr<IDirect3DDevice8> noDepth = RefPtr<IDirect3DDevice8>::Adopt(created);
    EXPECT_EQ(noDepth->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(noDepth->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
}

// The device keeps what is bound alive after the caller lets go, and lets go
// of it when it is unbound, replaced, or the device itself goes.
TEST_F(DeviceStateTest, BoundObjectsAreHeldByTheDevice) {
    const int before = LiveObjectCount();
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(60, 0, kTexturedFvf, D3DPOOL_DEFAULT, &buffer), D3D_OK);
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device.Get(), 4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 20), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(buffer->Release(), 1u) << "the device holds the other reference";
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(LiveObjectCount(), before + 2);

    IDirect3DTexture8* got = nullptr;
    ASSERT_EQ(device->GetTexture(0, &got), D3D_OK);
    EXPECT_EQ(got, texture);
    EXPECT_EQ(got->Release(), 1u) << "GetTexture hands out a reference of its own";

    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0), D3D_OK);
    EXPECT_EQ(LiveObjectCount(), before + 1) << "unbinding the stream freed the vertex buffer";
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);  // binding again what is bound keeps it alive
    EXPECT_EQ(LiveObjectCount(), before + 1);
    device.Reset();
    EXPECT_EQ(LiveObjectCount(), before - 1) << "the device and the texture it held are gone";
}

}  // namespace
}  // namespace softd3d::testing
