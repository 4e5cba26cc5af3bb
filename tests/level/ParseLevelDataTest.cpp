#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "level/trLevel.h"
#include "level/writer/LevelWriter.h"
#include "tests/level/LevelTestSupport.h"

namespace {

struct ArrayField {
    const char* name;
    OwnedBytes& (*get)(trLevel&);
    bool always;  // allocated even for a count of 0
};

template <auto Member>
OwnedBytes& Field(trLevel& level) {
    return level.*Member;
}

const ArrayField kArrayFields[] = {
    {"floorData", Field<&trLevel::floorData>, false},
    {"meshData", Field<&trLevel::meshData>, true},
    {"meshPointers", Field<&trLevel::meshPointers>, true},
    {"animations", Field<&trLevel::animations>, true},
    {"stateChanges", Field<&trLevel::stateChanges>, true},
    {"animDispatches", Field<&trLevel::animDispatches>, true},
    {"animCommands", Field<&trLevel::animCommands>, true},
    {"meshTrees", Field<&trLevel::meshTrees>, true},
    {"frames", Field<&trLevel::frames>, true},
    {"moveables", Field<&trLevel::moveables>, true},
    {"staticMeshes", Field<&trLevel::staticMeshes>, true},
    {"spriteTextures", Field<&trLevel::spriteTextures>, false},
    {"spriteSequences", Field<&trLevel::spriteSequences>, false},
    {"cameras", Field<&trLevel::cameras>, false},
    {"flybyCameras", Field<&trLevel::flybyCameras>, false},
    {"soundSources", Field<&trLevel::soundSources>, false},
    {"boxes", Field<&trLevel::boxes>, false},
    {"overlaps", Field<&trLevel::overlaps>, false},
    {"zones", Field<&trLevel::zones>, false},
    {"animatedTextures", Field<&trLevel::animatedTextures>, false},
    {"objectTextures", Field<&trLevel::objectTextures>, false},
    {"items", Field<&trLevel::items>, false},
    {"aiObjects", Field<&trLevel::aiObjects>, false},
    {"demoData", Field<&trLevel::demoData>, false},
    {"soundDetails", Field<&trLevel::soundDetails>, false},
    {"sampleIndices", Field<&trLevel::sampleIndices>, false},
};

// In a fresh record, arrays read always are allocated empty and the others
// stay absent, both for an empty level and for a block with no bytes at all.
TEST(ParseLevelDataTest, EmptyTablesAllocateOnlyTheAlwaysArrays) {
    for (bool emptyBlock : {false, true}) {
        SCOPED_TRACE(emptyBlock ? "block of 0 bytes" : "level with empty tables");
        auto level = ParseBlock(emptyBlock ? std::vector<uint8_t>{} : EncodeLevelData(LevelDescription{}));
        EXPECT_EQ(level->numRooms, 0);
        EXPECT_TRUE(level->rooms.empty());
        EXPECT_EQ(level->numMeshData, 0u);
        EXPECT_EQ(level->numObjectTextures, 0u);
        for (const ArrayField& field : kArrayFields) {
            const OwnedBytes& array = field.get(*level);
            EXPECT_EQ(array.allocated(), field.always) << field.name;
            EXPECT_EQ(array.byteCount(), 0u) << field.name;
        }
    }
}

TEST(ParseLevelDataTest, NullDataIsRefusedButTheParseCompletes) {
    trLevel level{};
    level.levelDataSize = 100;  // a size without data: every read is refused
    EXPECT_EQ(ParseLevelData(&level), 1);
    EXPECT_EQ(level.numRooms, 0);
    EXPECT_EQ(level.numMeshData, 0u);
    EXPECT_TRUE(level.meshData.allocated());
    EXPECT_FALSE(level.floorData.allocated());
    EXPECT_EQ(level.meshDataBytes, 0u);
}

// A second parse replaces every array read always; arrays whose count is now
// 0 keep the earlier level's contents, and so does the room array.
TEST(ParseLevelDataTest, SecondParseKeepsGuardedArraysOfTheFirst) {
    trLevel level{};
    ParseBlockInto(level, EncodeLevelData(MakeFullLevel()));
    std::vector<std::vector<uint8_t>> before;
    for (const ArrayField& field : kArrayFields) {
        before.push_back(BytesOf(field.get(level)));
        ASSERT_GT(before.back().size(), 0u) << field.name << " must be filled by the first level";
    }

    ParseBlockInto(level, EncodeLevelData(LevelDescription{}));

    for (std::size_t i = 0; i < std::size(kArrayFields); ++i) {
        const ArrayField& field = kArrayFields[i];
        const OwnedBytes& array = field.get(level);
        if (field.always) {
            EXPECT_TRUE(array.allocated()) << field.name;
            EXPECT_EQ(array.byteCount(), 0u) << field.name;
        } else {
            EXPECT_EQ(BytesOf(array), before[i]) << field.name;
        }
    }
    EXPECT_EQ(level.numRooms, 0);
    EXPECT_EQ(level.rooms.size(), 2u);
    EXPECT_EQ(level.numBoxes, 0u);
    EXPECT_EQ(level.numObjectTextures, 0u);
}

// ---- Rooms --------------------------------------------------------------

struct RoomCase {
    const char* name;
    RoomDescription room;
};

RoomDescription WithCount(RoomDescription room, RoomCount key, uint16_t value) {
    room.countOverrides[key] = value;
    return room;
}

std::vector<RoomCase> RoomCases() {
    RoomDescription full = MakeFullRoom(1);
    RoomDescription noVertices = full;
    noVertices.vertices.clear();
    RoomDescription noRectangles = full;
    noRectangles.rectangles.clear();
    RoomDescription noTriangles = full;
    noTriangles.triangles.clear();
    RoomDescription noSprites = full;
    noSprites.sprites.clear();
    RoomDescription sevenByZero = full;
    sevenByZero.numZSectors = 0;
    sevenByZero.numXSectors = 7;
    sevenByZero.sectors.clear();
    RoomDescription wide = full;  // 90000 sectors: more than 16 bits can count
    wide.numZSectors = 300;
    wide.numXSectors = 300;
    wide.sectors = PatternBytes(90000, RecordSize::RoomSector, 3);
    return {
        {"every array", full},
        {"nothing", RoomDescription{}},
        {"vertex count -1", WithCount(noVertices, RoomCount::Vertices, 0xFFFF)},
        {"rectangle count -32768", WithCount(noRectangles, RoomCount::Rectangles, 0x8000)},
        {"triangle count -1", WithCount(noTriangles, RoomCount::Triangles, 0xFFFF)},
        {"sprite count -32767", WithCount(noSprites, RoomCount::Sprites, 0x8001)},
        {"sectors 0 by 7", sevenByZero},
        {"sectors 300 by 300", wide},
    };
}

// Each array: present with exactly the bytes written, or absent (sectors:
// allocated empty) when nothing was written.
void ExpectRoomArray(const OwnedBytes& array, const std::vector<uint8_t>& written, bool always,
                     const char* name) {
    if (!written.empty()) {
        EXPECT_EQ(BytesOf(array), written) << name;
    } else {
        EXPECT_EQ(array.allocated(), always) << name;
        EXPECT_EQ(array.byteCount(), 0u) << name;
    }
}

void ExpectRoom(const trRoom& room, const RoomDescription& d) {
    EXPECT_EQ(std::memcmp(room.info, d.info.data(), 16), 0);
    EXPECT_EQ(room.numDataWords, d.numDataWords);
    ExpectRoomArray(room.vertices, d.vertices, false, "vertices");
    ExpectRoomArray(room.rectangles, d.rectangles, false, "rectangles");
    ExpectRoomArray(room.triangles, d.triangles, false, "triangles");
    ExpectRoomArray(room.sprites, d.sprites, false, "sprites");
    ExpectRoomArray(room.portals, d.portals, false, "portals");
    ExpectRoomArray(room.sectors, d.sectors, true, "sectors");
    ExpectRoomArray(room.lights, d.lights, false, "lights");
    ExpectRoomArray(room.statics, d.statics, false, "statics");
    EXPECT_EQ(room.numPortals, d.portals.size() / RecordSize::RoomPortal);
    EXPECT_EQ(room.numZSectors, d.numZSectors);
    EXPECT_EQ(room.numXSectors, d.numXSectors);
    EXPECT_EQ(room.numLights, d.lights.size() / RecordSize::RoomLight);
    EXPECT_EQ(room.numStatics, d.statics.size() / RecordSize::RoomStatic);
    EXPECT_EQ(room.colourLow, d.colourLow);
    EXPECT_EQ(room.colourHigh, d.colourHigh);
    EXPECT_EQ(room.alternateRoom, d.alternateRoom);
    EXPECT_EQ(room.roomFlags, d.roomFlags);
    EXPECT_EQ(room.waterScheme, d.waterScheme);
    EXPECT_EQ(room.reverbInfo, d.reverbInfo);
    EXPECT_EQ(room.alternateGroup, d.alternateGroup);
}

// The room under test is followed by a full room and floor data: any byte
// consumed too many or too few shows up there.
TEST(ParseLevelDataTest, RoomsConsumeExactlyTheirArrays) {
    for (const RoomCase& c : RoomCases()) {
        SCOPED_TRACE(c.name);
        LevelDescription description;
        description.rooms = {c.room, MakeFullRoom(77)};
        description.floorData = {0x1234, 0x5678};
        auto level = ParseBlock(EncodeLevelData(description));
        ASSERT_EQ(level->numRooms, 2);
        ASSERT_EQ(level->rooms.size(), 2u);
        ExpectRoom(level->rooms[0], c.room);
        ExpectRoom(level->rooms[1], description.rooms[1]);
        EXPECT_EQ(BytesOf(level->floorData), WordBytes(description.floorData));
    }
}

TEST(ParseLevelDataTest, SignedRoomCountsKeepTheirSign) {
    RoomDescription room = WithCount(RoomDescription{}, RoomCount::Vertices, 0xFFFF);
    room.countOverrides[RoomCount::Sprites] = 0x8000;
    LevelDescription description;
    description.rooms = {room};
    auto level = ParseBlock(EncodeLevelData(description));
    EXPECT_EQ(level->rooms[0].numVertices, -1);
    EXPECT_EQ(level->rooms[0].numSprites, -32768);
}

// ---- Boxes and zones ------------------------------------------------------

TEST(ParseLevelDataTest, ZonesFollowTheOverlapsOnlyWhenThereAreBoxes) {
    for (uint32_t boxes : {5u, 0u}) {
        SCOPED_TRACE(boxes);
        LevelDescription description;
        description.boxes = PatternBytes(boxes, RecordSize::Box, 1);
        description.overlaps = {1, 2, 3};
        description.zones = PatternBytes(boxes, RecordSize::Zone, 2);
        description.animatedTextures = {0xAAAA, 0xBBBB};
        auto level = ParseBlock(EncodeLevelData(description));
        EXPECT_EQ(level->numBoxes, boxes);
        EXPECT_EQ(BytesOf(level->boxes), description.boxes);
        EXPECT_EQ(BytesOf(level->overlaps), WordBytes(description.overlaps));
        EXPECT_EQ(BytesOf(level->zones), description.zones);
        EXPECT_EQ(level->zones.allocated(), boxes != 0);
        EXPECT_EQ(BytesOf(level->animatedTextures), WordBytes(description.animatedTextures));
    }
}

// ---- Object textures --------------------------------------------------------

// Bytes that follow the object textures in a level with empty later tables:
// items, AI objects (4 each), demo data (2), sound map, sound details and
// sample indices (4 each), end marker.
constexpr std::size_t kTailAfterObjectTextures = 4 + 4 + 2 + 740 + 4 + 4 + 6;

uint32_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// Fills the 38-byte groups with arbitrary bytes and checks every field
// against its position in its group.
TEST(ParseLevelDataTest, ObjectTexturesAreLaidOutFieldByField) {
    LevelDescription description;
    description.objectTextures.resize(2);
    std::vector<uint8_t> block = EncodeLevelData(description);
    const std::size_t start = block.size() - kTailAfterObjectTextures - 2 * 38;
    for (std::size_t i = 0; i < 2 * 38; ++i) block[start + i] = static_cast<uint8_t>(i * 7 + 3);

    auto level = ParseBlock(block);
    ASSERT_EQ(level->numObjectTextures, 2u);
    ASSERT_EQ(level->objectTextures.size(), 2u);
    for (int r = 0; r < 2; ++r) {
        SCOPED_TRACE(r);
        const uint8_t* group = &block[start + r * 38];
        const trObjectTexture& t = level->objectTextures[r];
        EXPECT_EQ(t.attribute, Le16(group + 0));
        EXPECT_EQ(t.tile, Le16(group + 2));
        EXPECT_EQ(t.textureFlags, Le16(group + 4));
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(t.corners[c].xFraction, group[6 + 4 * c]);
            EXPECT_EQ(t.corners[c].xPixel, group[7 + 4 * c]);
            EXPECT_EQ(t.corners[c].yFraction, group[8 + 4 * c]);
            EXPECT_EQ(t.corners[c].yPixel, group[9 + 4 * c]);
        }
        EXPECT_EQ(t.baseU, Le32(group + 22));
        EXPECT_EQ(t.baseV, Le32(group + 26));
        EXPECT_EQ(t.width, Le32(group + 30));
        EXPECT_EQ(t.height, Le32(group + 34));
    }
    EXPECT_EQ(level->numItems, 0u);  // the walk is still in step after them
}

// The block ends 10 bytes into the second texture: the first is whole, the
// second has its first fields, the rest is zero; later counts keep the
// earlier level's values, and arrays they call for are allocated afresh.
TEST(ParseLevelDataTest, BlockThatStopsInsideTheObjectTextures) {
    trLevel level{};
    ParseBlockInto(level, EncodeLevelData(MakeFullLevel()));
    const uint32_t itemsBefore = level.numItems;
    const uint16_t soundMapBefore = level.soundMap[5];
    ASSERT_NE(itemsBefore, 0u);

    LevelDescription description;
    description.objectTextures = {MakeObjectTexture(1), MakeObjectTexture(2), MakeObjectTexture(3)};
    std::vector<uint8_t> block = EncodeLevelData(description);
    const std::size_t start = block.size() - kTailAfterObjectTextures - 3 * 38;
    block.resize(start + 38 + 10);
    ParseBlockInto(level, block);

    ASSERT_EQ(level.numObjectTextures, 3u);
    ASSERT_EQ(level.objectTextures.size(), 3u);
    EXPECT_EQ(level.objectTextures[0].height, description.objectTextures[0].height);
    EXPECT_EQ(level.objectTextures[1].tile, description.objectTextures[1].tile);
    EXPECT_EQ(level.objectTextures[1].corners[0].yPixel, description.objectTextures[1].corners[0].yPixel);
    EXPECT_EQ(level.objectTextures[1].corners[1].xPixel, 0);
    EXPECT_EQ(level.objectTextures[1].baseU, 0u);
    EXPECT_EQ(level.objectTextures[2].tile, 0);
    EXPECT_EQ(level.numItems, itemsBefore);
    EXPECT_EQ(level.items.byteCount(), itemsBefore * RecordSize::Item);
    EXPECT_TRUE(AllZero(level.items));
    EXPECT_EQ(level.soundMap[5], soundMapBefore);
}

// ---- Mesh data ----------------------------------------------------------------

TEST(ParseLevelDataTest, MeshDataBytesCountOnlyWhatTheBlockSupplied) {
    LevelDescription description;
    description.meshes = MakeMeshes();
    const std::vector<uint8_t> meshBytes = EncodeMeshData(description);
    const std::vector<uint8_t> block = EncodeLevelData(description);

    auto whole = ParseBlock(block);
    EXPECT_EQ(whole->numMeshData * 2, meshBytes.size());
    EXPECT_EQ(whole->meshDataBytes, meshBytes.size());
    EXPECT_EQ(BytesOf(whole->meshData), meshBytes);

    // Cut one byte before the mesh data ends: reserved, room and floor counts,
    // the mesh-data count, then the words.
    const std::size_t meshStart = 4 + 2 + 4 + 4;
    auto cut = ParseBlock(std::vector<uint8_t>(block.begin(), block.begin() + meshStart + meshBytes.size() - 1));
    EXPECT_EQ(cut->numMeshData * 2, meshBytes.size());
    EXPECT_EQ(cut->meshData.byteCount(), meshBytes.size());
    EXPECT_EQ(cut->meshDataBytes, 0u);
    EXPECT_TRUE(AllZero(cut->meshData));
}

// Counts times record sizes are 32-bit: 0x80000001 words are 2 bytes, and
// the walk reads exactly those 2 bytes.
TEST(ParseLevelDataTest, ByteCountsWrapIn32Bits) {
    LevelDescription description;
    description.extraMeshDataWords = {0xBEEF};
    description.countOverrides[LevelCount::MeshData] = 0x80000001u;
    description.meshTrees = {0x12345678};
    auto level = ParseBlock(EncodeLevelData(description));
    EXPECT_EQ(level->numMeshData, 0x80000001u);
    ASSERT_EQ(level->meshData.byteCount(), 2u);
    EXPECT_EQ(level->meshData[0], 0xBEEF);
    EXPECT_EQ(level->meshDataBytes, 2u);
    EXPECT_EQ(level->numMeshTrees, 1u);
    EXPECT_EQ(level->meshTrees[0], 0x12345678u);
}

// Huge object-texture counts on a block that has run out: the records are
// allocated (lazily zero) and the walk ends at once instead of looping.
TEST(ParseLevelDataTest, HugeObjectTextureCountOnAnExhaustedBlock) {
    LevelDescription description;
    description.countOverrides[LevelCount::ObjectTextures] = 5'000'000u;
    auto level = ParseBlock(EncodeLevelData(description));
    EXPECT_EQ(level->numObjectTextures, 5'000'000u);
    ASSERT_EQ(level->objectTextures.size(), 5'000'000u);
    EXPECT_EQ(level->objectTextures[0].tile, 0);
    EXPECT_EQ(level->objectTextures[4'999'999].height, 0u);
    EXPECT_EQ(level->numItems, 0u);  // the block really ended: nothing after the count was read
}

}  // namespace
