// Build order of buffers holding many polygons: whatever room was reserved,
// and across a rebuild after more polygons arrive, polygon j of a build is
// the polygon added (count - 1 - j) with its own flags, page and records.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "render/dxBuffer.h"
#include "tests/render/FakeD3D.h"

namespace {

using testing::NiceMock;

struct OrderCase {
    const char* name;
    int polygons;
    std::optional<std::size_t> reserve;  // ReservePolygons before adding, if set
    int clearAfter;                      // build and ClearDirty after this many; 0: never
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.name; }

const OrderCase kOrderCases[] = {
    {"NoReserve", 257, std::nullopt, 0},
    {"ReserveExact", 257, 257, 0},
    {"ReserveTooFew", 257, 10, 0},
    {"ReserveTooMany", 40, 1000, 0},
    {"RebuildAfterMorePolygons", 120, std::nullopt, 77},
    {"SinglePolygon", 1, 1, 0},
};

class BufferOrder : public testing::TestWithParam<OrderCase> {
protected:
    NiceMock<fake::Texture> pages[3] = {{256, 256, D3DFMT_A8R8G8B8, 4},
                                        {256, 256, D3DFMT_A8R8G8B8, 4},
                                        {256, 256, D3DFMT_A8R8G8B8, 4}};
    dxBufferTextura buffer;

    // Polygon i: a quad when i is a multiple of 3, else a triangle; page
    // i mod 3; flags 0x08 for odd i; record r at (i, r, -i), coords (r, i).
    static bool IsQuad(int i) { return i % 3 == 0; }
    static int RecordsOf(int i) { return IsQuad(i) ? 4 : 3; }
    static int32_t FlagsOf(int i) { return i % 2 == 1 ? kPolygonCullCounterClockwise : 0; }

    void Add(int i) {
        IDirect3DTexture8* page = &pages[i % 3];
        const float t = float(i);
        std::unique_ptr<dxPoligono> polygon;
        if (IsQuad(i)) {
            auto quad = std::make_unique<dxCuadradoTex>(FlagsOf(i));
            quad->SetTextureCoords(page, 0, t, 1, t, 2, t, 3, t);
            polygon = std::move(quad);
        } else {
            auto triangle = std::make_unique<dxTrianguloTex>(FlagsOf(i));
            triangle->SetTextureCoords(page, 0, t, 1, t, 2, t);
            polygon = std::move(triangle);
        }
        for (int r = 0; r < RecordsOf(i); ++r) {
            polygon->AddVertex(t, float(r), -t);
        }
        ASSERT_EQ(buffer.AddPolygon(std::move(polygon)), D3D_OK) << "polygon " << i;
    }

    // The last build holds polygons count - 1 down to 0, records in a row.
    void ExpectNewestFirst(int count) {
        ASSERT_EQ(buffer.GetBuiltPolygonCount(), count);
        const auto* vertices = static_cast<const TexturedVertex*>(buffer.GetVertexData());
        ASSERT_NE(vertices, nullptr);
        int next = 0;
        for (int j = 0; j < count; ++j) {
            const int i = count - 1 - j;
            const int32_t classBits = kPolygonTextured | (IsQuad(i) ? kPolygonQuad : 0);
            EXPECT_EQ(buffer.GetPolygonFlags(j), FlagsOf(i) | classBits) << "built polygon " << j;
            EXPECT_EQ(buffer.GetPolygonTexture(j), &pages[i % 3]) << "built polygon " << j;
            for (int r = 0; r < RecordsOf(i); ++r, ++next) {
                const TexturedVertex& v = vertices[next];
                EXPECT_EQ(v.x, float(i)) << "vertex " << next;
                EXPECT_EQ(v.y, float(r)) << "vertex " << next;
                EXPECT_EQ(v.z, -float(i)) << "vertex " << next;
                EXPECT_EQ(v.u, float(r)) << "vertex " << next;
                EXPECT_EQ(v.v, float(i)) << "vertex " << next;
            }
        }
        EXPECT_EQ(next, buffer.GetVertexCount());
    }
};

TEST_P(BufferOrder, BuildsNewestFirstWithEachPolygonsOwnRun) {
    const OrderCase& c = GetParam();
    if (c.reserve) {
        buffer.ReservePolygons(*c.reserve);
    }
    for (int i = 0; i < c.polygons; ++i) {
        Add(i);
        if (i + 1 == c.clearAfter) {
            ASSERT_GT(buffer.Build(), 0);
            ExpectNewestFirst(c.clearAfter);
            buffer.ClearDirty();
        }
    }
    const int quads = (c.polygons + 2) / 3;
    const int triangles = c.polygons - quads;
    EXPECT_EQ(buffer.GetQuadCount(), quads);
    EXPECT_EQ(buffer.GetTriangleCount(), triangles);
    ASSERT_EQ(buffer.Build(), (quads * 4 + triangles * 3) * 20);
    ExpectNewestFirst(c.polygons);
}

INSTANTIATE_TEST_SUITE_P(Cases, BufferOrder, testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
