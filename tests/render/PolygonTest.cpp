#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "render/dxPoligono.h"
#include "tests/render/FakeD3D.h"

namespace {

struct PolygonCase {
    const char* name;
    std::function<std::unique_ptr<dxPoligono>(int32_t)> make;
    PolygonKind kind;
    int records;
    size_t recordSize;
};

const PolygonCase kPolygons[] = {
    {"Triangulo", [](int32_t f) { return std::make_unique<dxTriangulo>(f); }, PolygonKind::Triangle, 3, 16},
    {"Cuadrado", [](int32_t f) { return std::make_unique<dxCuadrado>(f); }, PolygonKind::Quad, 4, 16},
    {"TrianguloTex", [](int32_t f) { return std::make_unique<dxTrianguloTex>(f); }, PolygonKind::TexturedTriangle, 3,
     20},
    {"CuadradoTex", [](int32_t f) { return std::make_unique<dxCuadradoTex>(f); }, PolygonKind::TexturedQuad, 4, 20},
};

std::vector<unsigned char> RecordBytes(dxPoligono& polygon, const PolygonCase& kind) {
    const auto* first = static_cast<const unsigned char*>(polygon.GetVertexData());
    return {first, first + kind.records * kind.recordSize};
}

// Position of record i, read through the record layout the kind exposes.
std::vector<float> PositionOf(dxPoligono& polygon, const PolygonCase& kind, int i) {
    const auto* record = static_cast<const unsigned char*>(polygon.GetVertexData()) + i * kind.recordSize;
    float xyz[3];
    std::memcpy(xyz, record, sizeof xyz);
    return {xyz[0], xyz[1], xyz[2]};
}

class EachPolygon : public testing::TestWithParam<PolygonCase> {};

TEST_P(EachPolygon, StartsEmptyWithZeroRecords) {
    const PolygonCase& kind = GetParam();
    auto polygon = kind.make(0);
    EXPECT_EQ(polygon->GetKind(), kind.kind);
    EXPECT_EQ(polygon->GetVertexCount(), 0);
    EXPECT_EQ(RecordBytes(*polygon, kind), std::vector<unsigned char>(kind.records * kind.recordSize, 0));
}

TEST_P(EachPolygon, FirstVertexFillsOnlyRecordZero) {
    const PolygonCase& kind = GetParam();
    auto polygon = kind.make(0);
    ASSERT_EQ(polygon->AddVertex(1.5f, -2, 3), D3D_OK);
    EXPECT_EQ(polygon->GetVertexCount(), 1);
    EXPECT_EQ(PositionOf(*polygon, kind, 0), (std::vector<float>{1.5f, -2, 3}));
    const auto bytes = RecordBytes(*polygon, kind);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + static_cast<long>(kind.recordSize), bytes.end()),
              std::vector<unsigned char>((kind.records - 1) * kind.recordSize, 0));
}

TEST_P(EachPolygon, AcceptsOneVertexPerRecordInOrderThenRefusesAndStaysUnchanged) {
    const PolygonCase& kind = GetParam();
    auto polygon = kind.make(0);
    for (int i = 0; i < kind.records; ++i) {
        ASSERT_EQ(polygon->AddVertex(float(i), float(10 * i), float(100 * i)), D3D_OK) << "vertex " << i;
    }
    for (int i = 0; i < kind.records; ++i) {
        EXPECT_EQ(PositionOf(*polygon, kind, i), (std::vector<float>{float(i), float(10 * i), float(100 * i)}));
    }
    const auto full = RecordBytes(*polygon, kind);
    EXPECT_EQ(polygon->AddVertex(7, 7, 7), E_FAIL);
    EXPECT_EQ(polygon->AddVertex(8, 8, 8), E_FAIL);
    EXPECT_EQ(polygon->GetVertexCount(), kind.records);
    EXPECT_EQ(RecordBytes(*polygon, kind), full);
}

TEST_P(EachPolygon, GivesBackItsFlagsWordUnchanged) {
    for (int32_t flags : {0, 0x02, 0x08, 0x0E, 0x11, 0x1F, -1, 0x7FFFFFFF}) {
        EXPECT_EQ(GetParam().make(flags)->GetFlags(), flags);
    }
}

void PrintTo(const PolygonCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Kinds, EachPolygon, testing::ValuesIn(kPolygons),
                         [](const auto& info) { return std::string(info.param.name); });

// The textured classes, driven through one interface.
struct TexturedCase {
    const char* name;
    std::function<std::unique_ptr<dxPoligono>()> make;
    // Sets page and pairs (i, 10 + i) for every record.
    std::function<HRESULT(dxPoligono&, IDirect3DTexture8*)> setCoords;
    std::function<IDirect3DTexture8*(dxPoligono&)> texture;
    int records;
};

const TexturedCase kTextured[] = {
    {"TrianguloTex", [] { return std::make_unique<dxTrianguloTex>(0); },
     [](dxPoligono& p, IDirect3DTexture8* page) {
         return static_cast<dxTrianguloTex&>(p).SetTextureCoords(page, 0, 10, 1, 11, 2, 12);
     },
     [](dxPoligono& p) { return static_cast<dxTrianguloTex&>(p).GetTexture(); }, 3},
    {"CuadradoTex", [] { return std::make_unique<dxCuadradoTex>(0); },
     [](dxPoligono& p, IDirect3DTexture8* page) {
         return static_cast<dxCuadradoTex&>(p).SetTextureCoords(page, 0, 10, 1, 11, 2, 12, 3, 13);
     },
     [](dxPoligono& p) { return static_cast<dxCuadradoTex&>(p).GetTexture(); }, 4},
};

const TexturedVertex* Records(dxPoligono& polygon) {
    return static_cast<const TexturedVertex*>(polygon.GetVertexData());
}

void ExpectCoordsAndPositions(dxPoligono& polygon, int records) {
    for (int i = 0; i < records; ++i) {
        const TexturedVertex& r = Records(polygon)[i];
        EXPECT_EQ(r.u, float(i)) << "record " << i;
        EXPECT_EQ(r.v, float(10 + i)) << "record " << i;
        EXPECT_EQ(r.x, float(-i)) << "record " << i;
        EXPECT_EQ(r.y, float(-2 * i)) << "record " << i;
        EXPECT_EQ(r.z, float(-3 * i)) << "record " << i;
    }
}

void AddAllVertices(dxPoligono& polygon, int records) {
    for (int i = 0; i < records; ++i) {
        ASSERT_EQ(polygon.AddVertex(float(-i), float(-2 * i), float(-3 * i)), D3D_OK);
    }
}

class EachTexturedPolygon : public testing::TestWithParam<TexturedCase> {
protected:
    testing::NiceMock<fake::Texture> page{256, 256, D3DFMT_A8R8G8B8, 4};
};

TEST_P(EachTexturedPolygon, CoordsBeforePositionsSurviveTheVertices) {
    auto polygon = GetParam().make();
    ASSERT_EQ(GetParam().setCoords(*polygon, &page), D3D_OK);
    AddAllVertices(*polygon, GetParam().records);
    ExpectCoordsAndPositions(*polygon, GetParam().records);
    EXPECT_EQ(GetParam().texture(*polygon), &page);
}

TEST_P(EachTexturedPolygon, CoordsAfterPositionsKeepThePositions) {
    auto polygon = GetParam().make();
    AddAllVertices(*polygon, GetParam().records);
    ASSERT_EQ(GetParam().setCoords(*polygon, &page), D3D_OK);
    ExpectCoordsAndPositions(*polygon, GetParam().records);
}

TEST_P(EachTexturedPolygon, NullPageIsRefusedAndNothingIsStored) {
    auto polygon = GetParam().make();
    EXPECT_EQ(GetParam().setCoords(*polygon, nullptr), E_FAIL);
    EXPECT_EQ(GetParam().texture(*polygon), nullptr);
    for (int i = 0; i < GetParam().records; ++i) {
        EXPECT_EQ(Records(*polygon)[i].u, 0.0f);
        EXPECT_EQ(Records(*polygon)[i].v, 0.0f);
    }
}

TEST_P(EachTexturedPolygon, TakesNoReferenceOnThePageAndNeverReleasesIt) {
    {
        auto polygon = GetParam().make();
        ASSERT_EQ(GetParam().setCoords(*polygon, &page), D3D_OK);
    }
    EXPECT_EQ(page.addRefs, 0);
    EXPECT_EQ(page.releases, 0);
}

void PrintTo(const TexturedCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Kinds, EachTexturedPolygon, testing::ValuesIn(kTextured),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
