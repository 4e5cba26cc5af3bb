#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/writer/LevelWriter.h"

namespace {

// Counts of one mesh record; a count of 0 or below writes no array, and a
// negative numNormals writes -numNormals light values.
struct RecordShape {
    int16_t centreX = 0, centreY = 0, centreZ = 0;
    uint32_t radius = 0;
    int16_t numVertices = 0;
    int16_t numNormals = 0;
    int16_t numQuads = 0;
    int16_t numTriangles = 0;
};

// Array entries carry values derived from their position so that any shift
// in the parse shows up as wrong contents.
uint16_t Pattern(int record, int entry, int field) {
    return static_cast<uint16_t>(record * 1000 + entry * 10 + field);
}

int16_t SignedPattern(int record, int entry, int field) { return static_cast<int16_t>(Pattern(record, entry, field)); }

ShortVector PatternVector(int record, int entry) {
    return {SignedPattern(record, entry, 0), SignedPattern(record, entry, 1), SignedPattern(record, entry, 2)};
}

MeshDescription Describe(const RecordShape& shape, int tag) {
    MeshDescription mesh;
    mesh.centre = {shape.centreX, shape.centreY, shape.centreZ};
    mesh.radius = shape.radius;
    mesh.fillerValue = 0xFFFF;
    for (int i = 0; i < shape.numVertices; ++i) mesh.vertices.push_back(PatternVector(tag, i));
    for (int i = 0; i < shape.numNormals; ++i) mesh.normals.push_back(PatternVector(tag + 1, i));
    for (int i = 0; i < -shape.numNormals; ++i) mesh.lights.push_back(SignedPattern(tag + 2, i, 0));
    for (int i = 0; i < shape.numQuads; ++i) {
        mesh.quads.push_back({{Pattern(tag + 3, i, 0), Pattern(tag + 3, i, 1), Pattern(tag + 3, i, 2),
                               Pattern(tag + 3, i, 3)},
                              Pattern(tag + 3, i, 4),
                              Pattern(tag + 3, i, 5)});
    }
    for (int i = 0; i < shape.numTriangles; ++i) {
        mesh.triangles.push_back({{Pattern(tag + 4, i, 0), Pattern(tag + 4, i, 1), Pattern(tag + 4, i, 2)},
                                  Pattern(tag + 4, i, 3),
                                  Pattern(tag + 4, i, 4)});
    }
    // Counts below 0 have no array to derive them from.
    if (shape.numVertices < 0) mesh.countOverrides[MeshCount::Vertices] = shape.numVertices;
    if (shape.numQuads < 0) mesh.countOverrides[MeshCount::TexturedQuads] = shape.numQuads;
    if (shape.numTriangles < 0) mesh.countOverrides[MeshCount::TexturedTriangles] = shape.numTriangles;
    return mesh;
}

void AppendRecord(std::vector<uint8_t>& block, const RecordShape& shape, int tag) {
    const std::vector<uint8_t> record = EncodeMeshRecord(Describe(shape, tag));
    block.insert(block.end(), record.begin(), record.end());
}

// An exactly sized heap copy, so that a read past the end trips the sanitizer.
struct ExactBlock {
    explicit ExactBlock(const std::vector<uint8_t>& bytes, size_t length)
        : size(static_cast<uint32_t>(length)), data(std::make_unique<uint8_t[]>(length)) {
        std::memcpy(data.get(), bytes.data(), length);
    }
    uint32_t size;
    std::unique_ptr<uint8_t[]> data;
};

std::unique_ptr<Lista_Mesh> Parse(const std::vector<uint8_t>& bytes, size_t length) {
    ExactBlock block(bytes, length);
    Lista_Mesh* list = nullptr;
    EXPECT_EQ(ParseMeshes(block.data.get(), block.size, list), 1);
    return std::unique_ptr<Lista_Mesh>(list);
}

std::unique_ptr<Lista_Mesh> Parse(const std::vector<uint8_t>& bytes) { return Parse(bytes, bytes.size()); }

trMesh* MeshAt(const Lista_Mesh& list, int32_t position) {
    trMesh* mesh = nullptr;
    EXPECT_EQ(list.GetMesh(position, mesh), 1) << "position " << position;
    return mesh;
}

struct RecordSizeCase {
    const char* name;
    RecordShape shape;
    size_t expectedBytes;
};

TEST(MeshList, RecordSizeFollowsCountsAndFiller) {
    const RecordSizeCase cases[] = {
        {"empty record takes filler", {}, 20},
        {"one vertex needs no filler", {.numVertices = 1}, 24},
        {"lights instead of normals", {.numVertices = 3, .numNormals = -3, .numTriangles = 1}, 52},
        {"three normals", {.numNormals = 3}, 36},
        {"three lights", {.numNormals = -3}, 24},
        {"negative face counts take no bytes", {.numQuads = -2, .numTriangles = -5}, 20},
        {"negative vertex count takes no bytes", {.numVertices = -7}, 20},
        {"one quad", {.numQuads = 1}, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> block;
        AppendRecord(block, c.shape, 1);
        ASSERT_EQ(block.size(), c.expectedBytes);
        // A second record with a known centre shows where the parse resumed.
        AppendRecord(block, {.centreX = 77, .centreY = -88, .centreZ = 99}, 2);
        auto list = Parse(block);
        ASSERT_EQ(list->GetCount(), 2);
        const trMesh* second = MeshAt(*list, 1);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->centre.x, 77);
        EXPECT_EQ(second->centre.y, -88);
        EXPECT_EQ(second->centre.z, 99);
    }
}

void ExpectVector(const trMeshVertex& got, const ShortVector& want) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.z, want.z);
}

void ExpectMeshAsWritten(const trMesh& mesh, const MeshDescription& want) {
    EXPECT_EQ(mesh.centre.x, want.centre.x);
    EXPECT_EQ(mesh.centre.y, want.centre.y);
    EXPECT_EQ(mesh.centre.z, want.centre.z);
    EXPECT_EQ(mesh.radius, want.radius);
    ASSERT_EQ(mesh.vertices.size(), want.vertices.size());
    EXPECT_EQ(mesh.numVertices, static_cast<int16_t>(want.vertices.size()));
    for (size_t i = 0; i < want.vertices.size(); ++i) ExpectVector(mesh.vertices[i], want.vertices[i]);
    ASSERT_EQ(mesh.normals.size(), want.normals.size());
    for (size_t i = 0; i < want.normals.size(); ++i) {
        ExpectVector({mesh.normals[i].x, mesh.normals[i].y, mesh.normals[i].z}, want.normals[i]);
    }
    ASSERT_EQ(mesh.lights.size(), want.lights.size());
    for (size_t i = 0; i < want.lights.size(); ++i) EXPECT_EQ(static_cast<int16_t>(mesh.lights[i]), want.lights[i]);
    ASSERT_EQ(mesh.texturedQuads.size(), want.quads.size());
    for (size_t i = 0; i < want.quads.size(); ++i) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(mesh.texturedQuads[i].indices[c], want.quads[i].indices[c]);
        EXPECT_EQ(mesh.texturedQuads[i].texture, want.quads[i].texture);
        EXPECT_EQ(mesh.texturedQuads[i].effects, want.quads[i].effects);
    }
    ASSERT_EQ(mesh.texturedTriangles.size(), want.triangles.size());
    for (size_t i = 0; i < want.triangles.size(); ++i) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(mesh.texturedTriangles[i].indices[c], want.triangles[i].indices[c]);
        EXPECT_EQ(mesh.texturedTriangles[i].texture, want.triangles[i].texture);
        EXPECT_EQ(mesh.texturedTriangles[i].effects, want.triangles[i].effects);
    }
}

TEST(MeshList, WriterMadeLevelGivesBackEveryMeshAsWritten) {
    LevelDescription level;
    const RecordShape shapes[] = {
        {.centreX = -5, .centreY = 6, .centreZ = -7, .radius = 0xDEADBEEF, .numVertices = 3, .numNormals = 2,
         .numQuads = 2, .numTriangles = 1},
        {.centreX = 32767, .centreY = -32768, .numVertices = 5, .numNormals = -4, .numTriangles = 3},
        {},
        {.radius = 1, .numVertices = 1, .numQuads = 1},
    };
    int tag = 10;
    for (const RecordShape& shape : shapes) {
        level.meshes.push_back(Describe(shape, tag));
        tag += 10;
    }
    TemporaryFile file(WriteLevelFile(level));
    trLevel loaded{};
    ASSERT_EQ(LoadLevelFile(file.c_str(), &loaded), 1);
    ASSERT_EQ(loaded.meshDataBytes, EncodeMeshData(level).size());
    // Exactly the bytes the file supplied, as the open command passes them.
    std::vector<uint8_t> meshData(loaded.meshDataBytes);
    std::memcpy(meshData.data(), loaded.meshData.bytes(), meshData.size());
    auto list = Parse(meshData);
    ASSERT_EQ(list->GetCount(), static_cast<int32_t>(level.meshes.size()));
    for (int32_t i = 0; i < list->GetCount(); ++i) {
        SCOPED_TRACE(i);
        const trMesh* mesh = MeshAt(*list, i);
        ASSERT_NE(mesh, nullptr);
        ExpectMeshAsWritten(*mesh, level.meshes[static_cast<size_t>(i)]);
    }
}

TEST(MeshList, NegativeNormalCountReadsLightValues) {
    std::vector<uint8_t> block;
    AppendRecord(block, {.numNormals = -3, .numQuads = -1, .numTriangles = -1}, 20);
    auto list = Parse(block);
    const trMesh* mesh = MeshAt(*list, 0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->numNormals, -3);
    EXPECT_TRUE(mesh->normals.empty());
    ASSERT_EQ(mesh->lights.size(), 3u);
    EXPECT_EQ(mesh->lights[0], Pattern(22, 0, 0));
    EXPECT_EQ(mesh->lights[2], Pattern(22, 2, 0));
    EXPECT_EQ(mesh->numTexturedQuads, -1);
    EXPECT_TRUE(mesh->texturedQuads.empty());
    EXPECT_EQ(mesh->numTexturedTriangles, -1);
    EXPECT_TRUE(mesh->texturedTriangles.empty());
}

TEST(MeshList, EmptyOrMissingBlockCreatesNoList) {
    const uint8_t byte = 0;
    Lista_Mesh* const previous = reinterpret_cast<Lista_Mesh*>(0x1234);
    Lista_Mesh* list = previous;
    EXPECT_EQ(ParseMeshes(&byte, 0, list), 0);
    EXPECT_EQ(list, previous);
    // Null data with a size would otherwise be walked without ever advancing.
    EXPECT_EQ(ParseMeshes(nullptr, 40, list), 0);
    EXPECT_EQ(list, previous);
}

struct TruncationCase {
    const char* name;
    RecordShape last;
    int bytesMissing;    // cut from the end of the full block
    int32_t meshesKept;  // of the two good records and the last one
};

TEST(MeshList, LastRecordThatDoesNotFitIsDroppedWithoutReadingOutside) {
    const TruncationCase cases[] = {
        {"cut inside the vertex array", {.numVertices = 4}, 6, 2},
        {"cut inside the header", {.numVertices = 4}, 38, 2},
        {"cut inside the triangle array", {.numTriangles = 2}, 12, 2},
        {"cut right before the triangle count", {.numTriangles = 2}, 24, 2},
        {"cut right after the triangle count", {.numTriangles = 2}, 22, 2},
        {"only the filler missing keeps the data", {.numVertices = 1, .numNormals = -1}, 2, 3},
        {"one stray byte after the good records", {}, 19, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> block;
        AppendRecord(block, {.centreX = 1, .numVertices = 2}, 1);
        AppendRecord(block, {.centreX = 2, .numQuads = 1}, 2);
        AppendRecord(block, c.last, 3);
        auto list = Parse(block, block.size() - static_cast<size_t>(c.bytesMissing));
        ASSERT_EQ(list->GetCount(), c.meshesKept);
        EXPECT_EQ(MeshAt(*list, 0)->centre.x, 1);
        EXPECT_EQ(MeshAt(*list, 1)->centre.x, 2);
    }
}

TEST(MeshList, CountsThatAnnounceFarMoreThanTheBlockAreDropped) {
    std::vector<uint8_t> block;
    AppendRecord(block, {.centreX = 9}, 1);
    MeshDescription liar = Describe({.numVertices = 1}, 2);
    liar.countOverrides[MeshCount::Vertices] = std::numeric_limits<int16_t>::max();
    const std::vector<uint8_t> record = EncodeMeshRecord(liar);
    block.insert(block.end(), record.begin(), record.end());
    auto list = Parse(block);
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(MeshAt(*list, 0)->centre.x, 9);
}

TEST(MeshList, GetMeshOutsideTheListLeavesTheOutParameter) {
    std::vector<uint8_t> block;
    for (int i = 0; i < 3; ++i) AppendRecord(block, {}, i);
    auto list = Parse(block);
    ASSERT_EQ(list->GetCount(), 3);
    trMesh sentinel;
    for (int32_t position : {-1, 3, 4, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        trMesh* out = &sentinel;
        EXPECT_EQ(list->GetMesh(position, out), 0) << position;
        EXPECT_EQ(out, &sentinel) << position;
    }
}

TEST(MeshList, PositionsFollowBlockOrder) {
    std::vector<uint8_t> block;
    const int16_t centres[] = {30, -10, 20, 0};
    for (int16_t x : centres) AppendRecord(block, {.centreX = x, .numVertices = 1}, x);
    auto list = Parse(block);
    ASSERT_EQ(list->GetCount(), 4);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(MeshAt(*list, i)->centre.x, centres[i]);
}

TEST(MeshList, AppendKeepsOrderAndCount) {
    Lista_Mesh list;
    EXPECT_EQ(list.GetCount(), 0);
    trMesh* out = nullptr;
    EXPECT_EQ(list.GetMesh(0, out), 0);
    for (int16_t x = 0; x < 3; ++x) {
        auto mesh = std::make_unique<trMesh>();
        mesh->centre.x = x;
        list.Append(std::move(mesh));
    }
    ASSERT_EQ(list.GetCount(), 3);
    for (int16_t x = 0; x < 3; ++x) EXPECT_EQ(MeshAt(list, x)->centre.x, x);
}

TEST(MeshList, NoBufferBeforeBuildBuffers) {
    std::vector<uint8_t> block;
    AppendRecord(block, {}, 0);
    auto list = Parse(block);
    for (int32_t position : {-1, 0, 1}) EXPECT_EQ(list->GetBuffer(position), nullptr) << position;
}

TEST(MeshList, LongListIsDestroyedWithoutDeepRecursion) {
    // Empty records are 20 bytes; this many nodes would overflow the stack if
    // each node's destruction destroyed the next one recursively.
    constexpr int kMeshes = 200000;
    std::vector<uint8_t> block;
    for (int i = 0; i < kMeshes; ++i) AppendRecord(block, {}, 0);
    auto list = Parse(block);
    EXPECT_EQ(list->GetCount(), kMeshes);
    list.reset();
}

}  // namespace
