#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "tests/render/FakeD3D.h"

namespace {

using testing::_;
using testing::NiceMock;
using testing::Return;

constexpr float kPi = std::numbers::pi_v<float>;

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected) {
    for (UINT row = 0; row < 4; ++row) {
        for (UINT column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual(row, column), expected(row, column), 1e-5) << row + 1 << "," << column + 1;
        }
    }
}

std::unique_ptr<dxTrianguloTex> Triangle(int32_t flags, IDirect3DTexture8* page, float tag = 0) {
    auto polygon = std::make_unique<dxTrianguloTex>(flags);
    polygon->SetTextureCoords(page, 0, 0, 1, 0, 0, 1);
    for (int r = 0; r < 3; ++r) polygon->AddVertex(tag, float(r), 1);
    return polygon;
}

std::unique_ptr<dxCuadradoTex> Quad(int32_t flags, IDirect3DTexture8* page, float tag = 0) {
    auto polygon = std::make_unique<dxCuadradoTex>(flags);
    polygon->SetTextureCoords(page, 0, 0, 1, 0, 0, 1, 1, 1);
    for (int r = 0; r < 4; ++r) polygon->AddVertex(tag, float(r), 1);
    return polygon;
}

// A dxDevice8 holding a fake device; the fixture keeps the fake alive and
// checks at the end that the dxDevice8 released it exactly once.
class RenderDevice : public testing::Test {
protected:
    RenderDevice() {
        d3d.AddRef();  // the fixture's own reference, so the fake outlives the wrapper
        device->SetDevice(&d3d);
    }
    ~RenderDevice() override {
        device.reset();
        EXPECT_EQ(d3d.references, 1);
    }

    NiceMock<fake::Device> d3d;
    NiceMock<fake::Texture> page{256, 256, D3DFMT_A8R8G8B8, 4};
    std::unique_ptr<dxDevice8> device = std::make_unique<dxDevice8>();
};

struct ClearColourCase {
    int32_t red, green, blue;
    D3DCOLOR expected;
};

TEST_F(RenderDevice, ClearsToTheOpaqueLowBytesOfTheClearColour) {
    const ClearColourCase cases[] = {
        {255, 0, 255, 0xFFFF00FF},   {256, 0, 0, 0xFF000000},      {0, 0, 0, 0xFF000000},
        {0x1FF, 0x100, 0x80, 0xFFFF0080}, {-1, 0x12, 0x34, 0xFFFF1234},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(device->SetClearColor(c.red, c.green, c.blue), D3D_OK);
        EXPECT_CALL(d3d, Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c.expected, 1.0f, 0u));
        EXPECT_EQ(device->Clear(true), D3D_OK);
        EXPECT_CALL(d3d, Clear(0, nullptr, D3DCLEAR_TARGET, c.expected, 1.0f, 0u));
        EXPECT_EQ(device->Clear(false), D3D_OK);
        testing::Mock::VerifyAndClearExpectations(&d3d);
    }
}

TEST_F(RenderDevice, PresentPassesSuccessCodesAndTurnsFailuresIntoEFail) {
    const std::pair<HRESULT, HRESULT> cases[] = {
        {D3D_OK, D3D_OK}, {1, 1}, {D3DERR_INVALIDCALL, E_FAIL}, {E_OUTOFMEMORY, E_FAIL}};
    for (const auto& [answer, expected] : cases) {
        EXPECT_CALL(d3d, Present(nullptr, nullptr, nullptr, nullptr)).WillOnce(Return(answer));
        EXPECT_EQ(device->Present(), expected);
    }
}

TEST_F(RenderDevice, SetsTheProjectionComputedByHand) {
    EXPECT_EQ(device->SetProjection(0.1f, 3000.0f, 4.0f / 3.0f, kPi / 4), D3D_OK);
    // cot(22.5 deg) = 2.4142136; xScale = that / (4/3); 3000 / 2999.9; -0.1 * 3000 / 2999.9.
    const D3DXMATRIX expected(1.8106602f, 0, 0, 0, 0, 2.4142136f, 0, 0, 0, 0, 1.0000333f, 1, 0, 0, -0.10000333f, 0);
    ExpectMatrixNear(d3d.transforms.at(D3DTS_PROJECTION), expected);
    ExpectMatrixNear(device->GetProjection(), expected);

    device->SetProjection(1.0f, 3.0f, 2.0f, kPi / 2);  // a second call replaces it
    ExpectMatrixNear(d3d.transforms.at(D3DTS_PROJECTION),
                     D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0));
}

TEST_F(RenderDevice, AimsTheCameraFromEyeAndTargetAndPassesTheResultOn) {
    EXPECT_EQ(d3d.transforms.count(D3DTS_VIEW), 0u);
    EXPECT_EQ(device->SetEye(10, 20, 1030), D3D_OK);
    EXPECT_CALL(d3d, SetTransform(D3DTS_VIEW, _)).WillOnce([this](D3DTRANSFORMSTATETYPE, const D3DMATRIX* m) {
        static_cast<D3DMATRIX&>(d3d.transforms[D3DTS_VIEW]) = *m;
        return 7;  // any result comes back unchanged
    });
    EXPECT_EQ(device->SetTarget(10, 20, 30), 7);
    const D3DXMATRIX expected(-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 10, -20, 1030, 1);
    ExpectMatrixNear(d3d.transforms.at(D3DTS_VIEW), expected);
    ExpectMatrixNear(device->GetView(), expected);

    EXPECT_CALL(d3d, SetTransform(D3DTS_VIEW, _)).WillOnce(Return(D3DERR_INVALIDCALL));
    EXPECT_EQ(device->SetEye(0, 0, 5), D3DERR_INVALIDCALL);
}

TEST_F(RenderDevice, UploadCopiesTheBuiltArrayIntoANewVertexBuffer) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0x08, &page, 1));
    buffer.AddPolygon(Quad(0, &page, 2));
    EXPECT_CALL(d3d, CreateVertexBuffer(140u, 0u, 258u, D3DPOOL_DEFAULT, _));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);

    ASSERT_EQ(d3d.vertexBuffers.size(), 1u);
    fake::VertexBuffer& stored = *d3d.vertexBuffers[0];
    EXPECT_EQ(buffer.GetVertexBuffer(), &stored);
    EXPECT_FALSE(buffer.IsDirty());
    EXPECT_EQ(std::memcmp(stored.bytes.data(), buffer.GetVertexData(), 140), 0);
    EXPECT_EQ(stored.references, 1);
}

TEST_F(RenderDevice, UploadOfAnEmptyOrUnchangedBufferFailsAndKeepsTheStoredVertexBuffer) {
    dxBufferTextura buffer;
    EXPECT_EQ(device->UploadBuffer(&buffer), E_FAIL);
    EXPECT_TRUE(d3d.vertexBuffers.empty());

    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    EXPECT_EQ(device->UploadBuffer(&buffer), E_FAIL);
    EXPECT_EQ(d3d.vertexBuffers.size(), 1u);
    EXPECT_EQ(buffer.GetVertexBuffer(), d3d.vertexBuffers[0].get());
}

struct FailedUploadCase {
    const char* name;
    std::function<void(fake::Device&)> breakDevice;
    size_t vertexBuffersMade;
};

const FailedUploadCase kFailedUploads[] = {
    {"CreateVertexBufferFails",
     [](fake::Device& d) { ON_CALL(d, CreateVertexBuffer(_, _, _, _, _)).WillByDefault(Return(E_OUTOFMEMORY)); }, 1},
    {"LockFails",
     [](fake::Device& d) {
         ON_CALL(d, CreateVertexBuffer(_, _, _, _, _))
             .WillByDefault([&d](UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** out) {
                 d.vertexBuffers.push_back(std::make_unique<NiceMock<fake::VertexBuffer>>(length));
                 ON_CALL(*d.vertexBuffers.back(), Lock).WillByDefault(Return(D3DERR_INVALIDCALL));
                 *out = d.vertexBuffers.back().get();
                 return D3D_OK;
             });
     },
     2},
    {"LockGivesNoMemory",
     [](fake::Device& d) {
         ON_CALL(d, CreateVertexBuffer(_, _, _, _, _))
             .WillByDefault([&d](UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** out) {
                 d.vertexBuffers.push_back(std::make_unique<NiceMock<fake::VertexBuffer>>(length));
                 ON_CALL(*d.vertexBuffers.back(), Lock).WillByDefault([](UINT, UINT, BYTE** data, DWORD) {
                     *data = nullptr;
                     return D3D_OK;
                 });
                 *out = d.vertexBuffers.back().get();
                 return D3D_OK;
             });
     },
     2},
};

class FailedUpload : public RenderDevice, public testing::WithParamInterface<FailedUploadCase> {};

TEST_P(FailedUpload, KeepsTheStoredVertexBufferAndDirtyMarkAndReleasesTheNewOne) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    IDirect3DVertexBuffer8* first = buffer.GetVertexBuffer();
    buffer.AddPolygon(Quad(0, &page));

    GetParam().breakDevice(d3d);
    EXPECT_EQ(device->UploadBuffer(&buffer), E_FAIL);
    EXPECT_EQ(buffer.GetVertexBuffer(), first);
    EXPECT_TRUE(buffer.IsDirty());
    ASSERT_EQ(d3d.vertexBuffers.size(), GetParam().vertexBuffersMade);
    EXPECT_EQ(d3d.vertexBuffers[0]->references, 1);
    for (size_t i = 1; i < d3d.vertexBuffers.size(); ++i) {
        EXPECT_EQ(d3d.vertexBuffers[i]->references, 0) << "the refused vertex buffer leaks";
        EXPECT_EQ(d3d.vertexBuffers[i]->releases, 1);
    }
}

void PrintTo(const FailedUploadCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, FailedUpload, testing::ValuesIn(kFailedUploads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderDevice, DrawsTriangleQuadTriangleFromStartVertices0And3And7) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    buffer.AddPolygon(Quad(0, &page));
    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);

    EXPECT_CALL(d3d, SetStreamSource(0u, buffer.GetVertexBuffer(), 20u));
    EXPECT_CALL(d3d, SetVertexShader(258u));
    EXPECT_CALL(d3d, SetTextureStageState(0u, D3DTSS_COLOROP, D3DTOP_SELECTARG1));
    EXPECT_CALL(d3d, SetTextureStageState(0u, D3DTSS_COLORARG1, D3DTA_TEXTURE));
    EXPECT_CALL(d3d, SetTextureStageState(0u, D3DTSS_ALPHAOP, D3DTOP_DISABLE));
    {
        testing::InSequence order;
        EXPECT_CALL(d3d, BeginScene());
        EXPECT_CALL(d3d, DrawPrimitive(D3DPT_TRIANGLELIST, 0u, 1u));
        EXPECT_CALL(d3d, DrawPrimitive(D3DPT_TRIANGLESTRIP, 3u, 2u));
        EXPECT_CALL(d3d, DrawPrimitive(D3DPT_TRIANGLELIST, 7u, 1u));
        EXPECT_CALL(d3d, EndScene());
    }
    EXPECT_EQ(device->DrawBuffer(&buffer, 0), D3D_OK);
    EXPECT_EQ(d3d.renderStates.at(D3DRS_LIGHTING), static_cast<DWORD>(FALSE));
}

struct StatesCase {
    const char* name;
    bool textured;     // a textured triangle, else a coloured one
    int32_t flags;     // constructor flags
    int32_t mode;
    DWORD fillMode;
    DWORD cullMode;
    bool textureBound;
};

const StatesCase kStates[] = {
    {"Flags28TexturedCullCounterClockwise", true, 0x0C, 0, D3DFILL_SOLID, D3DCULL_CCW, true},
    {"Flags20CullClockwise", true, 0x04, 0, D3DFILL_SOLID, D3DCULL_CW, true},
    {"Flags16NoCulling", true, 0x00, 0, D3DFILL_SOLID, D3DCULL_NONE, true},
    {"Flags2WireframeUnculledUntextured", false, 0x02, 0, D3DFILL_WIREFRAME, D3DCULL_NONE, false},
    {"Flags0Solid", false, 0x00, 0, D3DFILL_SOLID, D3DCULL_NONE, false},
    {"Mode2MakesTexturedSolidIntoWireframe", true, 0x0C, 2, D3DFILL_WIREFRAME, D3DCULL_CCW, false},
    {"OtherModesActAsZero", true, 0x08, 5, D3DFILL_SOLID, D3DCULL_CCW, true},
};

class PolygonStates : public RenderDevice, public testing::WithParamInterface<StatesCase> {};

TEST_P(PolygonStates, FollowTheFlagsAndMode) {
    const StatesCase& c = GetParam();
    std::unique_ptr<dxBufferColor8> buffer;
    if (c.textured) {
        buffer = std::make_unique<dxBufferTextura>();
        buffer->AddPolygon(Triangle(c.flags, &page));
    } else {
        buffer = std::make_unique<dxBufferColor8>();
        buffer->AddPolygon(std::make_unique<dxTriangulo>(c.flags));
    }
    ASSERT_EQ(device->UploadBuffer(buffer.get()), D3D_OK);
    d3d.boundTexture = &page;  // left over from an earlier draw
    ASSERT_EQ(device->DrawBuffer(buffer.get(), c.mode), D3D_OK);

    ASSERT_EQ(d3d.draws.size(), 1u);
    EXPECT_EQ(d3d.draws[0].fillMode, c.fillMode);
    EXPECT_EQ(d3d.draws[0].cullMode, c.cullMode);
    EXPECT_EQ(d3d.draws[0].texture, c.textureBound ? &page : nullptr);
    EXPECT_EQ(d3d.draws[0].type, D3DPT_TRIANGLELIST);
}

void PrintTo(const StatesCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, PolygonStates, testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderDevice, EachPolygonIsDrawnWithItsOwnPage) {
    NiceMock<fake::Texture> other{256, 256, D3DFMT_A8R8G8B8, 4};
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    buffer.AddPolygon(Quad(0x02, &other));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    ASSERT_EQ(device->DrawBuffer(&buffer, 0), D3D_OK);
    ASSERT_EQ(d3d.draws.size(), 2u);
    EXPECT_EQ(d3d.draws[0].texture, &other);
    EXPECT_EQ(d3d.draws[0].fillMode, static_cast<DWORD>(D3DFILL_WIREFRAME));
    EXPECT_EQ(d3d.draws[1].texture, &page);
    EXPECT_EQ(d3d.draws[1].fillMode, static_cast<DWORD>(D3DFILL_SOLID));
}

TEST_F(RenderDevice, DrawConsumesTheWorldMatrix) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    buffer.Translate(5, 6, 7);
    ASSERT_EQ(device->DrawBuffer(&buffer, 0), D3D_OK);
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 5, 6, 7);
    EXPECT_EQ(d3d.transforms.at(D3DTS_WORLD), moved);
    EXPECT_EQ(buffer.GetWorld(), Identity());

    ASSERT_EQ(device->DrawBuffer(&buffer, 0), D3D_OK);
    EXPECT_EQ(d3d.transforms.at(D3DTS_WORLD), Identity());
}

struct FailedDrawCase {
    const char* name;
    std::function<void(fake::Device&)> breakDevice;
    bool worldConsumed;
};

const FailedDrawCase kFailedDraws[] = {
    {"SetStreamSource",
     [](fake::Device& d) { ON_CALL(d, SetStreamSource(_, _, _)).WillByDefault(Return(D3DERR_INVALIDCALL)); }, false},
    {"SetVertexShader",
     [](fake::Device& d) { ON_CALL(d, SetVertexShader(_)).WillByDefault(Return(D3DERR_INVALIDCALL)); }, false},
    {"BeginScene", [](fake::Device& d) { ON_CALL(d, BeginScene()).WillByDefault(Return(D3DERR_INVALIDCALL)); }, true},
};

class FailedDraw : public RenderDevice, public testing::WithParamInterface<FailedDrawCase> {};

TEST_P(FailedDraw, ReturnsEFailAndDrawsNothing) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    buffer.Translate(1, 0, 0);
    GetParam().breakDevice(d3d);
    EXPECT_CALL(d3d, DrawPrimitive(_, _, _)).Times(0);
    EXPECT_CALL(d3d, EndScene()).Times(0);
    EXPECT_EQ(device->DrawBuffer(&buffer, 0), E_FAIL);
    EXPECT_EQ(buffer.GetWorld() == Identity(), GetParam().worldConsumed);
}

void PrintTo(const FailedDrawCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Steps, FailedDraw, testing::ValuesIn(kFailedDraws),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderDevice, FailedEndSceneIsReported) {
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    ASSERT_EQ(device->UploadBuffer(&buffer), D3D_OK);
    EXPECT_CALL(d3d, EndScene()).WillOnce(Return(D3DERR_INVALIDCALL));
    EXPECT_EQ(device->DrawBuffer(&buffer, 0), E_FAIL);
    EXPECT_EQ(d3d.draws.size(), 1u);
}

TEST_F(RenderDevice, EmptyBufferBindsNoVertexBufferAndDrawsAnEmptyScene) {
    dxBufferTextura buffer;
    EXPECT_CALL(d3d, SetStreamSource(0u, nullptr, 20u));
    EXPECT_CALL(d3d, BeginScene());
    EXPECT_CALL(d3d, EndScene());
    EXPECT_CALL(d3d, DrawPrimitive(_, _, _)).Times(0);
    EXPECT_EQ(device->DrawBuffer(&buffer, 0), D3D_OK);
    EXPECT_EQ(device->DrawBuffer(nullptr, 0), E_FAIL);
    EXPECT_EQ(device->UploadBuffer(nullptr), E_FAIL);
}

TEST_F(RenderDevice, CreateTextureCopiesWidthTimesHeightTimesPixelSize) {
    struct Case {
        D3DFORMAT format;
        size_t bytes;
    };
    for (const Case& c : {Case{D3DFMT_A8R8G8B8, 262144}, Case{D3DFMT_R5G6B5, 131072}}) {
        std::vector<BYTE> pixels(c.bytes);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<BYTE>(i * 7 + 3);
        IDirect3DTexture8* texture = device->CreateTexture(256, 256, c.format, pixels.data());
        ASSERT_NE(texture, nullptr);
        const fake::Texture& made = *d3d.textures.back();
        EXPECT_EQ(texture, &made);
        EXPECT_EQ(made.format, c.format);
        ASSERT_EQ(made.bytes.size(), c.bytes);
        EXPECT_EQ(made.bytes, pixels);
        EXPECT_EQ(made.references, 1);  // the caller's reference
    }
}

TEST_F(RenderDevice, CreateTextureAsksForAManagedFullMipChain) {
    std::vector<BYTE> pixels(64 * 32 * 4);
    EXPECT_CALL(d3d, CreateTexture(64u, 32u, 0u, 0u, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, _));
    EXPECT_NE(device->CreateTexture(64, 32, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
}

TEST_F(RenderDevice, CreateTextureRefusesUnknownFormatsNullPixelsAndFailures) {
    std::vector<BYTE> pixels(256 * 256 * 4);
    EXPECT_EQ(device->CreateTexture(256, 256, D3DFMT_X8R8G8B8, pixels.data()), nullptr);
    EXPECT_EQ(device->CreateTexture(256, 256, D3DFMT_D16, pixels.data()), nullptr);
    EXPECT_EQ(device->CreateTexture(256, 256, D3DFMT_A8R8G8B8, nullptr), nullptr);
    EXPECT_EQ(device->CreateTexture(0, 256, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
    EXPECT_EQ(device->CreateTexture(-4, 256, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
    EXPECT_TRUE(d3d.textures.empty());

    EXPECT_CALL(d3d, CreateTexture(_, _, _, _, _, _, _)).WillOnce(Return(E_OUTOFMEMORY));
    EXPECT_EQ(device->CreateTexture(256, 256, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
}

TEST_F(RenderDevice, CreateTextureReleasesATextureItCannotLock) {
    ON_CALL(d3d, CreateTexture(_, _, _, _, _, _, _))
        .WillByDefault([this](UINT width, UINT height, UINT, DWORD, D3DFORMAT format, D3DPOOL,
                              IDirect3DTexture8** out) {
            d3d.textures.push_back(std::make_unique<NiceMock<fake::Texture>>(width, height, format, 4));
            ON_CALL(*d3d.textures.back(), LockRect).WillByDefault(Return(D3DERR_INVALIDCALL));
            *out = d3d.textures.back().get();
            return D3D_OK;
        });
    std::vector<BYTE> pixels(256 * 256 * 4);
    EXPECT_EQ(device->CreateTexture(256, 256, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
    ASSERT_EQ(d3d.textures.size(), 1u);
    EXPECT_EQ(d3d.textures[0]->references, 0);
}

TEST(RenderDeviceWithoutDevice, StartsBlackWithIdentityMatrices) {
    dxDevice8 device;
    EXPECT_EQ(device.GetDevice(), nullptr);
    EXPECT_EQ(device.GetClearColor(), 0xFF000000u);
    EXPECT_EQ(device.GetProjection(), Identity());
    EXPECT_EQ(device.GetView(), Identity());
}

TEST(RenderDeviceWithoutDevice, EveryOperationFailsSafely) {
    dxDevice8 device;
    NiceMock<fake::Texture> page{256, 256, D3DFMT_A8R8G8B8, 4};
    dxBufferTextura buffer;
    buffer.AddPolygon(Triangle(0, &page));
    buffer.Translate(1, 2, 3);
    std::vector<BYTE> pixels(256 * 256 * 4);

    const std::pair<const char*, std::function<HRESULT()>> operations[] = {
        {"Clear", [&] { return device.Clear(true); }},
        {"Present", [&] { return device.Present(); }},
        {"SetProjection", [&] { return device.SetProjection(0.1f, 3000, 1, kPi / 4); }},
        {"SetEye", [&] { return device.SetEye(0, 0, 1000); }},
        {"SetTarget", [&] { return device.SetTarget(0, 0, 0); }},
        {"UploadBuffer", [&] { return device.UploadBuffer(&buffer); }},
        {"DrawBuffer", [&] { return device.DrawBuffer(&buffer, 0); }},
    };
    for (const auto& [name, operation] : operations) {
        EXPECT_EQ(operation(), E_FAIL) << name;
    }
    EXPECT_EQ(device.CreateTexture(256, 256, D3DFMT_A8R8G8B8, pixels.data()), nullptr);
    EXPECT_EQ(device.SetClearColor(1, 2, 3), D3D_OK);
    EXPECT_TRUE(buffer.IsDirty());
    EXPECT_FALSE(buffer.GetWorld() == Identity());
}

}  // namespace
