// Shared helpers for the level reading tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "level/trLevel.h"
#include "level/writer/LevelWriter.h"

// The bytes an owned block holds.
inline std::vector<uint8_t> BytesOf(const OwnedBytes& block) {
    return {block.bytes(), block.bytes() + block.byteCount()};
}

inline std::vector<uint8_t> WordBytes(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    for (uint16_t word : words) {
        bytes.push_back(static_cast<uint8_t>(word));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    return bytes;
}

inline std::vector<uint8_t> LongBytes(const std::vector<uint32_t>& values) {
    std::vector<uint8_t> bytes;
    for (uint32_t value : values) {
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(value >> (8 * b)));
    }
    return bytes;
}

inline bool AllZero(const OwnedBytes& block) {
    for (std::size_t i = 0; i < block.byteCount(); ++i) {
        if (block.bytes()[i] != 0) return false;
    }
    return true;
}

// Puts block into the record as its inflated level data and parses it.
inline void ParseBlockInto(trLevel& level, const std::vector<uint8_t>& block) {
    level.levelData.Allocate(block.size());
    if (!block.empty()) std::memcpy(level.levelData.bytes(), block.data(), block.size());
    level.levelDataSize = static_cast<uint32_t>(block.size());
    ParseLevelData(&level);
}

inline std::unique_ptr<trLevel> ParseBlock(const std::vector<uint8_t>& block) {
    auto level = std::make_unique<trLevel>();
    ParseBlockInto(*level, block);
    return level;
}

// Writes image to a temporary file and loads it into level; returns the
// result of LoadLevelFile.
inline int LoadImageInto(trLevel& level, const std::vector<uint8_t>& image) {
    TemporaryFile file(image);
    return LoadLevelFile(file.c_str(), &level);
}

inline std::unique_ptr<trLevel> LoadImage(const std::vector<uint8_t>& image) {
    auto level = std::make_unique<trLevel>();
    LoadImageInto(*level, image);
    return level;
}

// A room with every array present and distinct contents per seed.
inline RoomDescription MakeFullRoom(uint8_t seed) {
    RoomDescription room;
    for (std::size_t i = 0; i < room.info.size(); ++i) room.info[i] = static_cast<uint8_t>(seed + i);
    room.numDataWords = 0x01020300u + seed;
    room.vertices = PatternBytes(3, RecordSize::RoomVertex, seed);
    room.rectangles = PatternBytes(2, RecordSize::RoomRectangle, seed + 1);
    room.triangles = PatternBytes(2, RecordSize::RoomTriangle, seed + 2);
    room.sprites = PatternBytes(1, RecordSize::RoomSprite, seed + 3);
    room.portals = PatternBytes(2, RecordSize::RoomPortal, seed + 4);
    room.numZSectors = 3;
    room.numXSectors = 2;
    room.sectors = PatternBytes(6, RecordSize::RoomSector, seed + 5);
    room.colourLow = static_cast<uint16_t>(0x1111 + seed);
    room.colourHigh = static_cast<uint16_t>(0x2222 + seed);
    room.lights = PatternBytes(3, RecordSize::RoomLight, seed + 6);
    room.statics = PatternBytes(2, RecordSize::RoomStatic, seed + 7);
    room.alternateRoom = static_cast<uint16_t>(0xFFFF - seed);
    room.roomFlags = static_cast<uint16_t>(0x4000 + seed);
    room.waterScheme = static_cast<uint8_t>(seed + 10);
    room.reverbInfo = static_cast<uint8_t>(seed + 11);
    room.alternateGroup = static_cast<uint8_t>(seed + 12);
    return room;
}

inline ObjectTextureDescription MakeObjectTexture(uint16_t seed) {
    ObjectTextureDescription texture;
    texture.attribute = static_cast<uint16_t>(seed * 3 + 1);
    texture.tile = static_cast<uint16_t>(0x8000 | seed);
    texture.textureFlags = static_cast<uint16_t>(seed + 7);
    for (std::size_t c = 0; c < texture.corners.size(); ++c) {
        const auto base = static_cast<uint8_t>(seed * 16 + c * 4);
        texture.corners[c] = {base, static_cast<uint8_t>(base + 1), static_cast<uint8_t>(base + 2),
                              static_cast<uint8_t>(base + 3)};
    }
    texture.baseU = 0x10000000u + seed;
    texture.baseV = 0x20000000u + seed;
    texture.width = 0x30000000u + seed;
    texture.height = 0x40000000u + seed;
    return texture;
}

// Two meshes: one with normals, one with light values, both with faces.
inline std::vector<MeshDescription> MakeMeshes() {
    MeshDescription lit;
    lit.centre = {10, -20, 30};
    lit.radius = 0xDEADBEEF;
    lit.vertices = {{0, 0, 0}, {100, 0, 0}, {100, -100, 0}, {0, -100, 0}};
    lit.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    lit.quads = {{{0, 1, 2, 3}, 1, 0x10}};
    lit.triangles = {{{0, 1, 2}, 2, 0x20}};
    MeshDescription shaded;
    shaded.centre = {-1, -2, -3};
    shaded.vertices = {{5, 6, 7}, {8, 9, 10}, {11, 12, 13}};
    shaded.lights = {100, 200, 300};
    shaded.triangles = {{{2, 1, 0}, 0, 0}};
    return {lit, shaded};
}

// A level in which every table, chunk and field holds distinct data.
inline LevelDescription MakeFullLevel() {
    LevelDescription level;
    level.version = {0x54, 0x52, 0x34, 0x00};
    level.numRoomTextiles = 3;
    level.numObjectTextiles = 4;
    level.numBumpTextiles = 5;
    AppendTile(level.textiles32, 4, [](int x, int y) { return static_cast<uint32_t>(x * 7 + y * 131); });
    AppendTile(level.textiles16, 2, [](int x, int y) { return static_cast<uint32_t>(x + y * 256); });
    level.miscTextiles = PatternBytes(1, 3000, 9);
    level.numSamples = 2;
    level.sampleData = PatternBytes(1, 777, 42);

    level.reserved = {1, 2, 3, 4};
    level.rooms = {MakeFullRoom(10), MakeFullRoom(60)};
    level.floorData = {1, 2, 3, 0xFFFF};
    level.meshes = MakeMeshes();
    level.animations = PatternBytes(2, RecordSize::Animation, 1);
    level.stateChanges = PatternBytes(3, RecordSize::StateChange, 2);
    level.animDispatches = PatternBytes(2, RecordSize::AnimDispatch, 3);
    level.animCommands = {7, 8, 9};
    level.meshTrees = {0x11111111, 0x22222222};
    level.frames = {4, 5, 6, 7, 8};
    level.moveables = PatternBytes(2, RecordSize::Moveable, 4);
    level.staticMeshes = PatternBytes(2, RecordSize::StaticMesh, 5);
    level.spriteMarker = {'S', 'P', 'X'};
    level.spriteTextures = PatternBytes(2, RecordSize::SpriteTexture, 6);
    level.spriteSequences = PatternBytes(2, RecordSize::SpriteSequence, 7);
    level.cameras = PatternBytes(2, RecordSize::Camera, 8);
    level.flybyCameras = PatternBytes(2, RecordSize::FlybyCamera, 9);
    level.soundSources = PatternBytes(2, RecordSize::SoundSource, 10);
    level.boxes = PatternBytes(5, RecordSize::Box, 11);
    level.overlaps = {0x8001, 2, 3};
    level.zones = PatternBytes(5, RecordSize::Zone, 12);
    level.animatedTextures = {1, 0x7FFF};
    level.textureMarker = {0, 'T', 'E', 'Y'};
    level.objectTextures = {MakeObjectTexture(1), MakeObjectTexture(2), MakeObjectTexture(3)};
    level.items = PatternBytes(2, RecordSize::Item, 13);
    level.aiObjects = PatternBytes(2, RecordSize::AIObject, 14);
    level.demoData = {0xABCD, 0x1234, 5, 6};
    for (std::size_t i = 0; i < level.soundMap.size(); ++i) level.soundMap[i] = static_cast<uint16_t>(i * 3 + 1);
    level.soundDetails = PatternBytes(2, RecordSize::SoundDetail, 15);
    level.sampleIndices = {0xCAFEBABE, 17};
    level.endMarker = {9, 8, 7, 6, 5, 4};
    return level;
}
