#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <type_traits>

#include "render/dxBuffer.h"
#include "tests/render/FakeD3D.h"

namespace {

using testing::NiceMock;

// A textured polygon whose records carry recognisable values: record r of
// polygon `tag` sits at (tag, r, 0) with coords (tag + r / 10, r).
template <class Polygon>
std::unique_ptr<Polygon> TexturedPolygon(int32_t flags, float tag, IDirect3DTexture8* page) {
    auto polygon = std::make_unique<Polygon>(flags);
    constexpr int records = std::is_same_v<Polygon, dxCuadradoTex> ? 4 : 3;
    if constexpr (records == 4) {
        polygon->SetTextureCoords(page, tag, 0, tag + 0.1f, 1, tag + 0.2f, 2, tag + 0.3f, 3);
    } else {
        polygon->SetTextureCoords(page, tag, 0, tag + 0.1f, 1, tag + 0.2f, 2);
    }
    for (int r = 0; r < records; ++r) {
        polygon->AddVertex(tag, float(r), 0);
    }
    return polygon;
}

template <class Polygon>
std::unique_ptr<Polygon> ColouredPolygon(int32_t flags, float tag) {
    auto polygon = std::make_unique<Polygon>(flags);
    constexpr int records = std::is_same_v<Polygon, dxCuadrado> ? 4 : 3;
    auto* vertices = static_cast<ColouredVertex*>(polygon->GetVertexData());
    for (int r = 0; r < records; ++r) {
        polygon->AddVertex(tag, float(r), 0);
        vertices[r].colour = 0xFF000000u | static_cast<D3DCOLOR>(r);
    }
    return polygon;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

struct NewBufferCase {
    const char* name;
    std::function<std::unique_ptr<dxBufferColor8>()> make;
    int32_t fvf;
    int32_t stride;
};

const NewBufferCase kNewBuffers[] = {
    {"Coloured", [] { return std::make_unique<dxBufferColor8>(); }, 66, 16},
    {"Textured", [] { return std::make_unique<dxBufferTextura>(); }, 258, 20},
};

class NewBuffer : public testing::TestWithParam<NewBufferCase> {};

TEST_P(NewBuffer, IsEmptyWithIdentityWorldAndItsFormat) {
    auto buffer = GetParam().make();
    EXPECT_EQ(buffer->GetFVF(), GetParam().fvf);
    EXPECT_EQ(buffer->GetStride(), GetParam().stride);
    EXPECT_EQ(buffer->GetVertexCount(), 0);
    EXPECT_EQ(buffer->GetTriangleCount(), 0);
    EXPECT_EQ(buffer->GetQuadCount(), 0);
    EXPECT_FALSE(buffer->IsDirty());
    EXPECT_EQ(buffer->Build(), -1);
    EXPECT_EQ(buffer->GetVertexData(), nullptr);
    EXPECT_EQ(buffer->GetVertexBuffer(), nullptr);
    EXPECT_EQ(buffer->GetWorld(), Identity());
}

void PrintTo(const NewBufferCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Kinds, NewBuffer, testing::ValuesIn(kNewBuffers),
                         [](const auto& info) { return std::string(info.param.name); });

class TexturedBuffer : public testing::Test {
protected:
    NiceMock<fake::Texture> pageA{256, 256, D3DFMT_A8R8G8B8, 4};
    NiceMock<fake::Texture> pageB{256, 256, D3DFMT_A8R8G8B8, 4};
    dxBufferTextura buffer;

    const TexturedVertex& Vertex(int i) const {
        return static_cast<const TexturedVertex*>(buffer.GetVertexData())[i];
    }
};

TEST_F(TexturedBuffer, BuildsTheLastAddedPolygonFirstWithClassBits) {
    ASSERT_EQ(buffer.AddPolygon(TexturedPolygon<dxTrianguloTex>(0x08, 1, &pageA)), D3D_OK);
    ASSERT_EQ(buffer.AddPolygon(TexturedPolygon<dxCuadradoTex>(0x00, 2, &pageB)), D3D_OK);
    EXPECT_EQ(buffer.GetTriangleCount(), 1);
    EXPECT_EQ(buffer.GetQuadCount(), 1);
    EXPECT_EQ(buffer.GetVertexCount(), 7);
    EXPECT_TRUE(buffer.IsDirty());

    ASSERT_EQ(buffer.Build(), 140);
    EXPECT_EQ(buffer.GetBuiltPolygonCount(), 2);
    EXPECT_EQ(buffer.GetPolygonFlags(0), 0x11);
    EXPECT_EQ(buffer.GetPolygonTexture(0), &pageB);
    EXPECT_EQ(buffer.GetPolygonFlags(1), 0x18);
    EXPECT_EQ(buffer.GetPolygonTexture(1), &pageA);

    // Vertices 0-3: the quad's records in the order added; 4-6: the triangle's.
    const float expectedTag[7] = {2, 2, 2, 2, 1, 1, 1};
    const int expectedRecord[7] = {0, 1, 2, 3, 0, 1, 2};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Vertex(i).x, expectedTag[i]) << "vertex " << i;
        EXPECT_EQ(Vertex(i).y, float(expectedRecord[i])) << "vertex " << i;
        EXPECT_FLOAT_EQ(Vertex(i).u, expectedTag[i] + expectedRecord[i] / 10.0f) << "vertex " << i;
        EXPECT_EQ(Vertex(i).v, float(expectedRecord[i])) << "vertex " << i;
    }
}

TEST_F(TexturedBuffer, BuildsAgainUntilClearedThenOnlyAfterANewPolygon) {
    buffer.AddPolygon(TexturedPolygon<dxTrianguloTex>(0, 1, &pageA));
    EXPECT_EQ(buffer.Build(), 60);
    EXPECT_EQ(buffer.Build(), 60);
    buffer.ClearDirty();
    EXPECT_EQ(buffer.Build(), -1);
    EXPECT_EQ(Vertex(0).x, 1.0f);  // the last build stays in place

    buffer.AddPolygon(TexturedPolygon<dxCuadradoTex>(0, 2, &pageB));
    EXPECT_EQ(buffer.Build(), 140);
    EXPECT_EQ(buffer.GetPolygonTexture(0), &pageB);
    EXPECT_EQ(buffer.GetPolygonTexture(1), &pageA);
    EXPECT_EQ(Vertex(4).x, 1.0f);
}

TEST_F(TexturedBuffer, AnswersZeroAndNullOutsideTheBuiltRange) {
    buffer.AddPolygon(TexturedPolygon<dxTrianguloTex>(0x0C, 1, &pageA));
    EXPECT_EQ(buffer.GetPolygonFlags(0), 0);  // nothing built yet
    EXPECT_EQ(buffer.GetPolygonTexture(0), nullptr);
    buffer.Build();
    buffer.ClearDirty();
    buffer.AddPolygon(TexturedPolygon<dxTrianguloTex>(0x0C, 2, &pageB));  // counted, not built
    for (int32_t i : {-1, 1, 2, 1 << 30}) {
        EXPECT_EQ(buffer.GetPolygonFlags(i), 0) << i;
        EXPECT_EQ(buffer.GetPolygonTexture(i), nullptr) << i;
    }
    EXPECT_EQ(buffer.GetPolygonFlags(0), 0x1C);
}

TEST(ColouredBuffer, BuildsQuadFirstAddingOnlyTheQuadBit) {
    dxBufferColor8 buffer;
    buffer.AddPolygon(ColouredPolygon<dxTriangulo>(0x0C, 1));
    buffer.AddPolygon(ColouredPolygon<dxCuadrado>(0x02, 2));
    ASSERT_EQ(buffer.Build(), 112);
    EXPECT_EQ(buffer.GetPolygonFlags(0), 0x03);
    EXPECT_EQ(buffer.GetPolygonFlags(1), 0x0C);
    EXPECT_EQ(buffer.GetPolygonTexture(0), nullptr);
    const auto* vertices = static_cast<const ColouredVertex*>(buffer.GetVertexData());
    const float expectedTag[7] = {2, 2, 2, 2, 1, 1, 1};
    const D3DCOLOR expectedColour[7] = {0xFF000000, 0xFF000001, 0xFF000002, 0xFF000003,
                                        0xFF000000, 0xFF000001, 0xFF000002};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(vertices[i].x, expectedTag[i]) << "vertex " << i;
        EXPECT_EQ(vertices[i].colour, expectedColour[i]) << "vertex " << i;
    }
}

TEST(ColouredBuffer, ReservedBitsComeFromThePolygonClassOnly) {
    // A triangle must never be drawn as a strip of 4 vertices, nor a coloured
    // polygon with a texture, whatever its constructor flags say.
    dxBufferColor8 buffer;
    buffer.AddPolygon(ColouredPolygon<dxTriangulo>(0x1F, 1));
    buffer.AddPolygon(ColouredPolygon<dxCuadrado>(0x10, 2));
    buffer.Build();
    EXPECT_EQ(buffer.GetPolygonFlags(0), 0x01);
    EXPECT_EQ(buffer.GetPolygonFlags(1), 0x0E);
}

struct RefusedCase {
    const char* name;
    std::function<std::unique_ptr<dxBufferColor8>()> makeBuffer;
    std::function<std::unique_ptr<dxPoligono>()> makePolygon;
};

const RefusedCase kRefused[] = {
    {"NullIntoColoured", [] { return std::make_unique<dxBufferColor8>(); }, [] { return nullptr; }},
    {"NullIntoTextured", [] { return std::make_unique<dxBufferTextura>(); }, [] { return nullptr; }},
    {"TexturedTriangleIntoColoured", [] { return std::make_unique<dxBufferColor8>(); },
     [] { return std::make_unique<dxTrianguloTex>(0); }},
    {"TexturedQuadIntoColoured", [] { return std::make_unique<dxBufferColor8>(); },
     [] { return std::make_unique<dxCuadradoTex>(0); }},
    {"ColouredTriangleIntoTextured", [] { return std::make_unique<dxBufferTextura>(); },
     [] { return std::make_unique<dxTriangulo>(0); }},
    {"ColouredQuadIntoTextured", [] { return std::make_unique<dxBufferTextura>(); },
     [] { return std::make_unique<dxCuadrado>(0); }},
};

class RefusedPolygon : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedPolygon, LeavesTheBufferAsItWas) {
    auto buffer = GetParam().makeBuffer();
    EXPECT_EQ(buffer->AddPolygon(GetParam().makePolygon()), E_FAIL);
    EXPECT_EQ(buffer->GetTriangleCount(), 0);
    EXPECT_EQ(buffer->GetQuadCount(), 0);
    EXPECT_FALSE(buffer->IsDirty());
    EXPECT_EQ(buffer->Build(), -1);
}

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, RefusedPolygon, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BufferWorld, TranslateThenRotateComposesRotationTimesTranslation) {
    const float angle = 0.7f;
    dxBufferTextura buffer;
    EXPECT_EQ(buffer.Translate(1, 2, 3), 0);
    buffer.RotateY(angle);

    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationY(&rotation, angle);
    D3DXMatrixTranslation(&translation, 1, 2, 3);
    const D3DXMATRIX world = buffer.GetWorld();
    const D3DXMATRIX expected = rotation * translation;
    for (UINT row = 0; row < 4; ++row) {
        for (UINT column = 0; column < 4; ++column) {
            EXPECT_NEAR(world(row, column), expected(row, column), 1e-6) << row << "," << column;
        }
    }
    // Rotated about the object's own origin, then moved: row 4 is the translation.
    EXPECT_NEAR(world._41, 1, 1e-6);
    EXPECT_NEAR(world._42, 2, 1e-6);
    EXPECT_NEAR(world._43, 3, 1e-6);
    EXPECT_NEAR(world._11, std::cos(angle), 1e-6);

    buffer.ResetWorld();
    EXPECT_EQ(buffer.GetWorld(), Identity());
}

TEST(BufferOwnership, DestroyingReleasesTheVertexBufferOnceAndNeverTheSharedPage) {
    NiceMock<fake::Texture> page{256, 256, D3DFMT_A8R8G8B8, 4};
    NiceMock<fake::VertexBuffer> vertexBuffer{140};
    {
        dxBufferTextura buffer;
        buffer.AddPolygon(TexturedPolygon<dxTrianguloTex>(0, 1, &page));
        buffer.AddPolygon(TexturedPolygon<dxCuadradoTex>(0, 2, &page));
        buffer.Build();
        buffer.SetVertexBuffer(&vertexBuffer);
        EXPECT_EQ(buffer.GetVertexBuffer(), &vertexBuffer);
    }
    EXPECT_EQ(vertexBuffer.releases, 1);
    EXPECT_EQ(vertexBuffer.references, 0);
    EXPECT_EQ(page.releases, 0);
    EXPECT_EQ(page.addRefs, 0);
    EXPECT_EQ(page.references, 1);
}

TEST(BufferOwnership, StoringASecondVertexBufferReleasesTheFirstOnce) {
    NiceMock<fake::VertexBuffer> first{16}, second{16};
    {
        dxBufferColor8 buffer;
        buffer.SetVertexBuffer(&first);
        buffer.SetVertexBuffer(&second);
        EXPECT_EQ(first.references, 0);
        EXPECT_EQ(second.references, 1);
        EXPECT_EQ(buffer.GetVertexBuffer(), &second);
    }
    EXPECT_EQ(first.releases, 1);
    EXPECT_EQ(second.releases, 1);
}

TEST(BufferOwnership, DestroysABufferOfManyPolygons) {
    auto buffer = std::make_unique<dxBufferTextura>();
    constexpr int kPolygons = 200000;
    for (int i = 0; i < kPolygons; ++i) {
        buffer->AddPolygon(std::make_unique<dxTrianguloTex>(0));
    }
    EXPECT_EQ(buffer->GetVertexCount(), 3 * kPolygons);
    buffer.reset();  // a teardown that recursed per polygon would overflow the stack here
}

}  // namespace
