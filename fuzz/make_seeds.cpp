// Writes the seed corpus of fuzz_load_level: small levels made by the level
// writer, whole and damaged, one file each, into the directory given.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "level/writer/LevelWriter.h"

namespace {

LevelDescription SmallLevel() {
    LevelDescription level;
    level.textiles32 = PatternBytes(1, 512, 1);
    level.textiles16 = PatternBytes(1, 256, 2);
    level.miscTextiles = PatternBytes(1, 64, 3);
    level.sampleData = {1, 2, 3, 4};
    level.numSamples = 1;

    RoomDescription room;
    room.vertices = PatternBytes(2, RecordSize::RoomVertex, 4);
    room.rectangles = PatternBytes(1, RecordSize::RoomRectangle, 5);
    room.portals = PatternBytes(1, RecordSize::RoomPortal, 6);
    room.numZSectors = 2;
    room.numXSectors = 1;
    room.sectors = PatternBytes(2, RecordSize::RoomSector, 7);
    room.lights = PatternBytes(1, RecordSize::RoomLight, 8);
    level.rooms = {room};
    level.floorData = {1, 2};

    MeshDescription mesh;
    mesh.vertices = {{0, 0, 0}, {64, 0, 0}, {64, 64, 0}, {0, 64, 0}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh.quads = {{{0, 1, 2, 3}, 0, 0}};
    mesh.triangles = {{{0, 1, 2}, 1, 0}};
    MeshDescription lit;
    lit.vertices = {{1, 2, 3}};
    lit.lights = {5};
    level.meshes = {mesh, lit};
    level.animations = PatternBytes(1, RecordSize::Animation, 9);
    level.boxes = PatternBytes(2, RecordSize::Box, 10);
    level.overlaps = {1};
    level.zones = PatternBytes(2, RecordSize::Zone, 11);
    ObjectTextureDescription texture;
    texture.corners[1].xPixel = 255;
    texture.corners[2].yPixel = 255;
    level.objectTextures = {texture, texture};
    level.items = PatternBytes(1, RecordSize::Item, 12);
    level.demoData = {7};
    level.sampleIndices = {3};
    return level;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> Seeds() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    const auto add = [&seeds](std::string name, const LevelDescription& level) {
        seeds.emplace_back(std::move(name), WriteLevelFile(level));
    };
    add("empty", LevelDescription{});
    add("small", SmallLevel());

    LevelDescription shortChunk = SmallLevel();
    shortChunk.chunks[3].declaredSize = 4000;
    add("short-inflating-level-data", shortChunk);
    LevelDescription corrupt = SmallLevel();
    corrupt.chunks[0].corruptStream = true;
    add("corrupt-textiles32", corrupt);
    LevelDescription cutBlock = SmallLevel();
    cutBlock.levelDataCut = 200;
    add("level-data-cut", cutBlock);
    LevelDescription negative = SmallLevel();
    negative.rooms[0].countOverrides[RoomCount::Vertices] = 0xFFFF;
    negative.meshes[0].countOverrides[MeshCount::TexturedQuads] = -1;
    add("negative-counts", negative);

    const std::vector<uint8_t> whole = WriteLevelFile(SmallLevel());
    seeds.emplace_back("cut-half", CutLevelFile(whole, whole.size() / 2));
    return seeds;
}

// Inputs that broke a straightforward reader, kept as regressions: each
// declares sizes far beyond what the file holds.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Regressions() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs;
    const auto add = [&inputs](std::string name, const LevelDescription& level) {
        inputs.emplace_back(std::move(name), WriteLevelFile(level));
    };
    LevelDescription packed = SmallLevel();
    packed.chunks[0].packedSize = 0xFFFFFFF0u;
    add("packed-size-4gib-allocated-4gib-buffer", packed);
    LevelDescription declared = SmallLevel();
    for (ChunkOptions& chunk : declared.chunks) chunk.declaredSize = 0xFFFFFFFFu;
    add("declared-sizes-4gib-touched-16gib", declared);
    LevelDescription meshWords = SmallLevel();
    meshWords.countOverrides[LevelCount::MeshData] = 0x7FFFFFFFu;
    add("mesh-data-4gib-parsed-unfilled-words", meshWords);
    LevelDescription textures = SmallLevel();
    textures.countOverrides[LevelCount::ObjectTextures] = 0x06000000u;
    add("object-textures-100m-looped-on-exhausted-block", textures);
    LevelDescription overflow = SmallLevel();
    overflow.countOverrides[LevelCount::ObjectTextures] = 0xFFFFFFFFu;
    add("object-textures-4g-records-160gib", overflow);
    LevelDescription sectors = SmallLevel();
    sectors.rooms[0].numZSectors = 0xFFFF;
    sectors.rooms[0].numXSectors = 0xFFFF;
    add("sectors-65535-squared-wrapped-product", sectors);
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    const bool regressions = argc == 3 && std::string(argv[1]) == "--regressions";
    if (argc != 2 && !regressions) {
        std::fprintf(stderr, "usage: %s [--regressions] DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[argc - 1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    for (const auto& [name, bytes] : regressions ? Regressions() : Seeds()) {
        const std::string path = directory + "/" + name + ".tr4";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
