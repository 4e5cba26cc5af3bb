// The writer is the source of every other level test's input, so its
// layouts are checked here against hand-counted sizes and offsets.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "level/writer/LevelWriter.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct MeshSizeCase {
    const char* name;
    std::size_t vertices;
    std::ptrdiff_t normals;  // negative: light values
    std::size_t quads;
    std::size_t triangles;
    std::size_t expectedBytes;
};

const MeshSizeCase kMeshSizes[] = {
    {"empty record gets filler", 0, 0, 0, 0, 20},
    {"one vertex needs no filler", 1, 0, 0, 0, 24},
    {"lights and a triangle", 3, -3, 0, 1, 52},
    {"three normals", 0, 3, 0, 0, 36},
    {"two lights get filler", 0, -2, 0, 0, 24},
    {"one quad", 0, 0, 1, 0, 32},
};

TEST(LevelWriterTest, MeshRecordSizes) {
    for (const MeshSizeCase& c : kMeshSizes) {
        SCOPED_TRACE(c.name);
        MeshDescription mesh;
        mesh.vertices.resize(c.vertices);
        if (c.normals > 0) mesh.normals.resize(static_cast<std::size_t>(c.normals));
        if (c.normals < 0) mesh.lights.resize(static_cast<std::size_t>(-c.normals));
        mesh.quads.resize(c.quads);
        mesh.triangles.resize(c.triangles);
        const std::vector<uint8_t> record = EncodeMeshRecord(mesh);
        EXPECT_EQ(record.size(), c.expectedBytes);
        EXPECT_EQ(record.size() % 4, 0u);
    }
}

TEST(LevelWriterTest, MeshRecordFieldOrder) {
    MeshDescription mesh;
    mesh.centre = {1, -2, 3};
    mesh.radius = 0x0A0B0C0D;
    mesh.vertices = {{4, 5, 6}};
    mesh.lights = {-7};
    mesh.triangles = {{{8, 9, 10}, 11, 12}};
    mesh.countOverrides[MeshCount::TexturedQuads] = -5;
    const std::vector<uint8_t> r = EncodeMeshRecord(mesh);
    const std::vector<uint8_t> expected = {1, 0, 0xFE, 0xFF, 3, 0, 0x0D, 0x0C, 0x0B, 0x0A,  // centre, radius
                                           1, 0, 4, 0, 5, 0, 6, 0,                          // V, vertex
                                           0xFF, 0xFF, 0xF9, 0xFF,                          // N = -1, light
                                           0xFB, 0xFF,                                      // Q overridden
                                           1, 0, 8, 0, 9, 0, 10, 0, 11, 0, 12, 0};          // T, triangle
    EXPECT_EQ(r, expected);
}

TEST(LevelWriterTest, ContainerLayout) {
    LevelDescription level;
    level.version = {'a', 'b', 'c', 'd'};
    level.numRoomTextiles = 0x0102;
    AppendSolidTile(level.textiles32, 4, 0x11223344);
    AppendSolidTile(level.textiles16, 2, 0x5566);
    level.numSamples = 3;
    level.sampleData = {9, 8, 7};
    const std::vector<uint8_t> file = WriteLevelFile(level);
    const LevelFileLayout layout = DescribeLevelFile(level);

    EXPECT_EQ(file[0], 'a');
    EXPECT_EQ(file[4], 0x02);
    EXPECT_EQ(file[5], 0x01);
    EXPECT_EQ(layout.chunkHeader[0], 10u);
    EXPECT_EQ(layout.chunkData[0], 18u);
    EXPECT_EQ(Le32(file, 10), 262144u);
    EXPECT_EQ(Le32(file, layout.chunkHeader[1]), 131072u);
    for (std::size_t c = 0; c < 4; ++c) {
        const uint32_t packed = Le32(file, layout.chunkHeader[c] + 4);
        EXPECT_EQ(layout.chunkData[c] + packed, c < 3 ? layout.chunkHeader[c + 1] : layout.numSamples);
    }
    std::vector<uint8_t> tile(262144);
    uLongf size = tile.size();
    ASSERT_EQ(uncompress(tile.data(), &size, &file[18], Le32(file, 14)), Z_OK);
    EXPECT_EQ(size, 262144u);
    EXPECT_EQ(tile[0], 0x44);
    EXPECT_EQ(tile[262143], 0x11);
    EXPECT_EQ(Le32(file, layout.numSamples), 3u);
    EXPECT_EQ(file.size(), layout.numSamples + 4 + 3);
    EXPECT_EQ(file.back(), 7);
}

TEST(LevelWriterTest, EmptyLevelDataBlockSize) {
    // reserved 4, rooms 2, 11 counts of 4 from floor data to static meshes,
    // sprite marker 3, 7 counts of 4, animated textures 4, texture marker 4,
    // object textures 4, items and AI 8, demo 2, sound map 740, 8, end 6.
    EXPECT_EQ(EncodeLevelData(LevelDescription{}).size(), 4u + 2 + 44 + 3 + 28 + 4 + 4 + 4 + 8 + 2 + 740 + 8 + 6);
}

TEST(LevelWriterTest, DamageOptions) {
    LevelDescription level;
    level.miscTextiles = std::vector<uint8_t>(1000, 1);
    level.chunks[2].declaredSize = 5;
    level.chunks[2].packedSize = 6;
    level.levelDataCut = 3;
    const std::vector<uint8_t> file = WriteLevelFile(level);
    const LevelFileLayout layout = DescribeLevelFile(level);
    EXPECT_EQ(Le32(file, layout.chunkHeader[2]), 5u);
    EXPECT_EQ(Le32(file, layout.chunkHeader[2] + 4), 6u);
    EXPECT_EQ(EncodeLevelData(level).size(), 3u);
    EXPECT_EQ(CutLevelFile(file, 7).size(), 7u);
    EXPECT_EQ(CutLevelFile(file, file.size() + 5), file);

    LevelDescription corrupt = level;
    corrupt.chunks[2].corruptStream = true;
    const std::vector<uint8_t> damaged = WriteLevelFile(corrupt);
    std::vector<uint8_t> out(1000);
    uLongf size = out.size();
    const std::size_t at = layout.chunkData[2];
    const uLong packed = static_cast<uLong>(layout.chunkHeader[3] - at);
    EXPECT_NE(uncompress(out.data(), &size, &damaged[at], packed), Z_OK);
}

TEST(LevelWriterTest, TemporaryFileHoldsTheBytesAndIsRemoved) {
    const std::vector<uint8_t> bytes = {1, 2, 3, 0, 255};
    std::string path;
    {
        TemporaryFile file(bytes);
        path = file.path();
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> back{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(back, bytes);
    }
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

}  // namespace
