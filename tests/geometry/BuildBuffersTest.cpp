#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "level/writer/LevelWriter.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "tests/support/SoftwareDevice.h"

namespace {

constexpr int32_t kBuiltQuad = 0x11;
constexpr int32_t kBuiltTriangle = 0x18;

// A level with object textures and a number of solid 32-bit and 16-bit tiles.
struct Scene {
    explicit Scene(int tiles) {
        level.textiles32Size = static_cast<uint32_t>(tiles) * trTextura::kPageBytes32;
        level.textiles16Size = static_cast<uint32_t>(tiles) * trTextura::kPageBytes16;
        level.textiles32.Allocate(level.textiles32Size);
        level.textiles16.Allocate(level.textiles16Size);
    }

    // Adds an object texture on the tile; corner c has xPixel and yPixel
    // 10 * c + 1 and 10 * c + 2, fraction bytes that must not matter.
    uint16_t AddObjectTexture(uint16_t tile) {
        trObjectTexture texture{};
        texture.tile = tile;
        for (int c = 0; c < 4; ++c) {
            texture.corners[c] = {0xEE, static_cast<uint8_t>(10 * c + 1), 0xEE, static_cast<uint8_t>(10 * c + 2)};
        }
        objectTextures.push_back(texture);
        return static_cast<uint16_t>(objectTextures.size() - 1);
    }

    void Publish() {
        level.numObjectTextures = static_cast<uint32_t>(objectTextures.size());
        level.objectTextures.AllocateElements(objectTextures.size(), sizeof(trObjectTexture));
        for (size_t i = 0; i < objectTextures.size(); ++i) level.objectTextures[i] = objectTextures[i];
    }

    // Parses the meshes, makes the pages of one depth and builds the buffers.
    int Build(const std::vector<MeshDescription>& meshes, bool thirtyTwoBit = true, bool withTextures = true) {
        Publish();
        const std::vector<uint8_t> block = EncodeMeshRecords(meshes);
        Lista_Mesh* parsed = nullptr;
        EXPECT_EQ(ParseMeshes(block.data(), static_cast<uint32_t>(block.size()), parsed), 1);
        list.reset(parsed);
        textures = std::make_unique<trTextura>(&level);
        if (thirtyTwoBit) {
            textures->CreatePages32(gpu.device.get());
        } else {
            textures->CreatePages16(gpu.device.get());
        }
        return list->BuildBuffers(gpu.device.get(), withTextures ? textures.get() : nullptr, level);
    }

    IDirect3DTexture8* Page(int32_t page) const {
        return textures->Is32Bit() ? textures->GetPage32(page) : textures->GetPage16(page);
    }

    SoftwareDevice gpu;
    trLevel level{};
    std::vector<trObjectTexture> objectTextures;
    std::unique_ptr<trTextura> textures;  // outlives the list: declared first
    std::unique_ptr<Lista_Mesh> list;
};

const TexturedVertex* Vertices(const dxBufferTextura& buffer) {
    return static_cast<const TexturedVertex*>(buffer.GetVertexData());
}

float CornerU(int corner) { return static_cast<float>(10 * corner + 1) / 256.0f; }
float CornerV(int corner) { return static_cast<float>(10 * corner + 2) / 256.0f; }

// Vertex i sits at (i, 100 + i, 200 + i) in level coordinates.
std::vector<ShortVector> NumberedVertices(int count) {
    std::vector<ShortVector> vertices;
    for (int i = 0; i < count; ++i) {
        vertices.push_back({static_cast<int16_t>(i), static_cast<int16_t>(100 + i), static_cast<int16_t>(200 + i)});
    }
    return vertices;
}

void ExpectRecord(const TexturedVertex& got, int vertex, int corner) {
    EXPECT_EQ(got.x, static_cast<float>(vertex));
    EXPECT_EQ(got.y, -static_cast<float>(100 + vertex));
    EXPECT_EQ(got.z, static_cast<float>(200 + vertex));
    EXPECT_EQ(got.u, CornerU(corner));
    EXPECT_EQ(got.v, CornerV(corner));
}

TEST(BuildBuffers, QuadRecordsFollowStripOrder) {
    Scene scene(2);
    const uint16_t texture = scene.AddObjectTexture(1);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(14);
    mesh.quads = {{{10, 11, 12, 13}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->GetQuadCount(), 1);
    ASSERT_NE(buffer->GetVertexBuffer(), nullptr);
    const int expected[][2] = {{10, 0}, {11, 1}, {13, 3}, {12, 2}};  // vertex, corner
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(r);
        ExpectRecord(Vertices(*buffer)[r], expected[r][0], expected[r][1]);
    }
    EXPECT_EQ(buffer->GetPolygonFlags(0), kBuiltQuad);
    EXPECT_EQ(buffer->GetPolygonTexture(0), scene.Page(1));
}

TEST(BuildBuffers, TriangleRecordsFollowFaceOrder) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(6);
    mesh.triangles = {{{5, 0, 3}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->GetTriangleCount(), 1);
    const int vertices[] = {5, 0, 3};
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        ExpectRecord(Vertices(*buffer)[r], vertices[r], r);
    }
    EXPECT_EQ(buffer->GetPolygonFlags(0), kBuiltTriangle);
    EXPECT_EQ(buffer->GetPolygonTexture(0), scene.Page(0));
}

struct PositionCase {
    ShortVector level;
    float x, y, z;
};

TEST(BuildBuffers, PositionsNegateYOnTheInteger) {
    const PositionCase cases[] = {
        {{100, -200, 300}, 100.0f, 200.0f, 300.0f},
        {{0, -32768, 0}, 0.0f, 32768.0f, 0.0f},
        {{-32768, 32767, 32767}, -32768.0f, -32767.0f, 32767.0f},
    };
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    MeshDescription mesh;
    for (const auto& c : cases) mesh.vertices.push_back(c.level);
    mesh.triangles = {{{0, 1, 2}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const TexturedVertex* records = Vertices(*scene.list->GetBuffer(0));
    ASSERT_NE(records, nullptr);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(records[r].x, cases[r].x) << r;
        EXPECT_EQ(records[r].y, cases[r].y) << r;
        EXPECT_EQ(records[r].z, cases[r].z) << r;
    }
}

TEST(BuildBuffers, PixelPositionsBecomeExactCoordinates) {
    Scene scene(1);
    trObjectTexture texture{};
    texture.corners[0] = {0xFF, 0, 0xFF, 255};
    texture.corners[1] = {0x7F, 128, 0x01, 1};
    texture.corners[2] = {0x00, 255, 0x80, 128};
    scene.objectTextures.push_back(texture);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(3);
    mesh.triangles = {{{0, 1, 2}, 0, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const TexturedVertex* records = Vertices(*scene.list->GetBuffer(0));
    ASSERT_NE(records, nullptr);
    const float expected[][2] = {{0.0f, 255.0f / 256.0f}, {0.5f, 1.0f / 256.0f}, {255.0f / 256.0f, 0.5f}};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(records[r].u, expected[r][0]) << r;
        EXPECT_EQ(records[r].v, expected[r][1]) << r;
    }
}

TEST(BuildBuffers, TrianglesMaskBitFifteenOfTheTileAndQuadsDoNot) {
    Scene scene(2);
    const uint16_t texture = scene.AddObjectTexture(0x8001);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(4);
    mesh.quads = {{{0, 1, 2, 3}, texture, 0}};
    mesh.triangles = {{{0, 1, 2}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_EQ(buffer->GetBuiltPolygonCount(), 2);
    // Built order: the triangle (added last) first, then the quad.
    EXPECT_EQ(buffer->GetPolygonTexture(0), scene.Page(1));
    EXPECT_NE(scene.Page(1), nullptr);
    // Page 0x8001 does not exist: the quad is built, untextured.
    EXPECT_EQ(buffer->GetPolygonTexture(1), nullptr);
    const TexturedVertex* quad = Vertices(*buffer) + 3;
    EXPECT_EQ(quad[2].x, 3.0f);
    EXPECT_EQ(quad[2].y, -103.0f);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(quad[r].u, 0.0f) << r;
        EXPECT_EQ(quad[r].v, 0.0f) << r;
    }
}

TEST(BuildBuffers, FaceTextureUsesAllSixteenBits) {
    Scene scene(2);
    for (int i = 0; i <= 0x8000; ++i) scene.AddObjectTexture(0);
    scene.objectTextures[0x8000].tile = 1;
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(3);
    mesh.triangles = {{{0, 1, 2}, 0x8000, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    EXPECT_EQ(scene.list->GetBuffer(0)->GetPolygonTexture(0), scene.Page(1));
}

TEST(BuildBuffers, TwoQuadsAndThreeTrianglesMakeOneBuffer) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(8);
    mesh.quads = {{{0, 1, 2, 3}, texture, 0}, {{4, 5, 6, 7}, texture, 0}};
    mesh.triangles = {{{0, 1, 2}, texture, 0}, {{3, 4, 5}, texture, 0}, {{5, 6, 7}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetQuadCount(), 2);
    EXPECT_EQ(buffer->GetTriangleCount(), 3);
    EXPECT_EQ(buffer->GetVertexCount(), 17);
    ASSERT_EQ(buffer->GetBuiltPolygonCount(), 5);
    const int32_t flags[] = {kBuiltTriangle, kBuiltTriangle, kBuiltTriangle, kBuiltQuad, kBuiltQuad};
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(buffer->GetPolygonFlags(i), flags[i]) << i;
    // Reverse order of addition: last triangle (5, 6, 7) first, first quad last.
    const TexturedVertex* records = Vertices(*buffer);
    EXPECT_EQ(records[0].x, 5.0f);
    EXPECT_EQ(records[9].x, 4.0f);   // second quad starts after three triangles
    EXPECT_EQ(records[13].x, 0.0f);  // first quad
    ASSERT_NE(buffer->GetVertexBuffer(), nullptr);
}

struct SkippedFaceCase {
    const char* name;
    QuadDescription quad;
    TriangleDescription triangle;
    int32_t quadsBuilt;
    int32_t trianglesBuilt;
};

TEST(BuildBuffers, FacesPointingOutsideTheirArraysAreSkipped) {
    // Four vertices and two object textures; each case spoils one face.
    const SkippedFaceCase cases[] = {
        {"quad index equal to the vertex count", {{0, 1, 2, 4}, 0, 0}, {{0, 1, 2}, 0, 0}, 0, 1},
        {"triangle index far out", {{0, 1, 2, 3}, 0, 0}, {{0, 0xFFFF, 2}, 0, 0}, 1, 0},
        {"quad texture equal to the texture count", {{0, 1, 2, 3}, 2, 0}, {{0, 1, 2}, 1, 0}, 0, 1},
        {"triangle texture with bit 15", {{0, 1, 2, 3}, 1, 0}, {{0, 1, 2}, 0x8001, 0}, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene(1);
        scene.AddObjectTexture(0);
        scene.AddObjectTexture(0);
        MeshDescription mesh;
        mesh.vertices = NumberedVertices(4);
        mesh.quads = {c.quad};
        mesh.triangles = {c.triangle};
        MeshDescription neighbour = mesh;
        neighbour.quads = {{{0, 1, 2, 3}, 0, 0}};
        neighbour.triangles = {{{0, 1, 2}, 0, 0}};
        ASSERT_EQ(scene.Build({mesh, neighbour}), 0);
        const dxBufferTextura* buffer = scene.list->GetBuffer(0);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(buffer->GetQuadCount(), c.quadsBuilt);
        EXPECT_EQ(buffer->GetTriangleCount(), c.trianglesBuilt);
        const dxBufferTextura* other = scene.list->GetBuffer(1);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->GetQuadCount() + other->GetTriangleCount(), 2);
    }
}

TEST(BuildBuffers, FacesOfAMeshWithoutVerticesAreSkipped) {
    Scene scene(1);
    scene.AddObjectTexture(0);
    MeshDescription mesh;
    mesh.triangles = {{{0, 0, 0}, 0, 0}};
    mesh.quads = {{{0, 0, 0, 0}, 0, 0}};
    ASSERT_EQ(scene.Build({mesh}), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetVertexCount(), 0);
    EXPECT_EQ(buffer->GetVertexBuffer(), nullptr);  // an empty buffer is not uploaded
}

TEST(BuildBuffers, WithoutTexturePagesFacesAreBuiltUntextured) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(4);
    mesh.quads = {{{0, 1, 2, 3}, texture, 0}};
    mesh.triangles = {{{0, 1, 2}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}, true, /*withTextures=*/false), 0);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_EQ(buffer->GetBuiltPolygonCount(), 2);
    for (int32_t i = 0; i < 2; ++i) EXPECT_EQ(buffer->GetPolygonTexture(i), nullptr) << i;
    const TexturedVertex* records = Vertices(*buffer);
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(records[r].u, 0.0f) << r;
        EXPECT_EQ(records[r].v, 0.0f) << r;
    }
    EXPECT_EQ(records[1].y, -101.0f);  // positions are still there
}

TEST(BuildBuffers, SixteenBitSetGivesTheSamePolygonsWithItsPages) {
    Scene scene(2);
    const uint16_t texture = scene.AddObjectTexture(1);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(4);
    mesh.quads = {{{0, 1, 2, 3}, texture, 0}};
    ASSERT_EQ(scene.Build({mesh}, /*thirtyTwoBit=*/false), 0);
    ASSERT_FALSE(scene.textures->Is32Bit());
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(scene.textures->GetPage16(1), nullptr);
    EXPECT_EQ(buffer->GetPolygonTexture(0), scene.textures->GetPage16(1));
    const int expected[][2] = {{0, 0}, {1, 1}, {3, 3}, {2, 2}};
    for (int r = 0; r < 4; ++r) ExpectRecord(Vertices(*buffer)[r], expected[r][0], expected[r][1]);
}

TEST(BuildBuffers, EmptyListBuildsNothing) {
    SoftwareDevice gpu;
    trLevel level{};
    Lista_Mesh list;
    EXPECT_EQ(list.BuildBuffers(gpu.device.get(), nullptr, level), E_FAIL);
    EXPECT_EQ(list.GetBuffer(0), nullptr);
}

TEST(BuildBuffers, WithoutADeviceBuffersAreFilledButNotUploaded) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    MeshDescription mesh;
    mesh.vertices = NumberedVertices(3);
    mesh.triangles = {{{0, 1, 2}, texture, 0}};
    const int beforeBuild = softd3d::LiveObjectCount();
    ASSERT_EQ(scene.Build({mesh}), 0);
    EXPECT_EQ(softd3d::LiveObjectCount(), beforeBuild + 2);  // one page, one vertex buffer
    // Building again replaces the buffers; the uploaded one goes with them.
    EXPECT_EQ(scene.list->BuildBuffers(nullptr, scene.textures.get(), scene.level), 0);
    EXPECT_EQ(softd3d::LiveObjectCount(), beforeBuild + 1);
    const dxBufferTextura* buffer = scene.list->GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetTriangleCount(), 1);
    EXPECT_EQ(buffer->GetVertexBuffer(), nullptr);
}

TEST(BuildBuffers, BufferPerMeshInListOrder) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    std::vector<MeshDescription> meshes(3);
    meshes[0].vertices = NumberedVertices(3);
    meshes[0].triangles = {{{0, 1, 2}, texture, 0}};
    meshes[2].vertices = NumberedVertices(4);
    meshes[2].quads = {{{0, 1, 2, 3}, texture, 0}};
    ASSERT_EQ(scene.Build(meshes), 0);
    EXPECT_EQ(scene.list->GetBuffer(0)->GetTriangleCount(), 1);
    EXPECT_EQ(scene.list->GetBuffer(1)->GetVertexCount(), 0);
    EXPECT_EQ(scene.list->GetBuffer(2)->GetQuadCount(), 1);
    EXPECT_EQ(scene.list->GetBuffer(3), nullptr);
    EXPECT_EQ(scene.list->GetBuffer(-1), nullptr);
}

TEST(BuildBuffers, DestroyingTheListReleasesVertexBuffersButNotPages) {
    Scene scene(1);
    const uint16_t texture = scene.AddObjectTexture(0);
    std::vector<MeshDescription> meshes(4);
    for (int m : {0, 1, 3}) {
        meshes[m].vertices = NumberedVertices(3);
        meshes[m].triangles = {{{0, 1, 2}, texture, 0}};
    }
    const int beforeBuild = softd3d::LiveObjectCount();
    ASSERT_EQ(scene.Build(meshes), 0);
    const int pages = 1;
    const int vertexBuffers = 3;  // the empty mesh gets none
    EXPECT_EQ(softd3d::LiveObjectCount(), beforeBuild + pages + vertexBuffers);
    scene.list.reset();
    EXPECT_EQ(softd3d::LiveObjectCount(), beforeBuild + pages);
    D3DLOCKED_RECT locked{};
    IDirect3DTexture8* page = scene.Page(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->LockRect(0, &locked, nullptr, 0), D3D_OK);
    page->UnlockRect(0);
}

}  // namespace
