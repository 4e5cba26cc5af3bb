#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "level/trLevel.h"
#include "level/writer/LevelWriter.h"
#include "tests/level/LevelTestSupport.h"

namespace {

std::vector<uint8_t> ObjectTextureBytes(const std::vector<ObjectTextureDescription>& textures) {
    LevelDescription only;
    only.objectTextures = textures;
    const std::vector<uint8_t> block = EncodeLevelData(only);
    const std::size_t tail = 4 + 4 + 2 + 740 + 4 + 4 + 6;
    return {block.end() - static_cast<std::ptrdiff_t>(tail + 38 * textures.size()), block.end() - tail};
}

void ExpectObjectTexture(const trObjectTexture& t, const ObjectTextureDescription& d) {
    EXPECT_EQ(t.attribute, d.attribute);
    EXPECT_EQ(t.tile, d.tile);
    EXPECT_EQ(t.textureFlags, d.textureFlags);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(t.corners[c].xFraction, d.corners[c].xFraction);
        EXPECT_EQ(t.corners[c].xPixel, d.corners[c].xPixel);
        EXPECT_EQ(t.corners[c].yFraction, d.corners[c].yFraction);
        EXPECT_EQ(t.corners[c].yPixel, d.corners[c].yPixel);
    }
    EXPECT_EQ(t.baseU, d.baseU);
    EXPECT_EQ(t.baseV, d.baseV);
    EXPECT_EQ(t.width, d.width);
    EXPECT_EQ(t.height, d.height);
}

void ExpectRoomMatches(const trRoom& room, const RoomDescription& d) {
    EXPECT_EQ(std::memcmp(room.info, d.info.data(), 16), 0);
    EXPECT_EQ(room.numDataWords, d.numDataWords);
    EXPECT_EQ(room.numVertices, static_cast<int16_t>(d.vertices.size() / RecordSize::RoomVertex));
    EXPECT_EQ(room.numRectangles, static_cast<int16_t>(d.rectangles.size() / RecordSize::RoomRectangle));
    EXPECT_EQ(room.numTriangles, static_cast<int16_t>(d.triangles.size() / RecordSize::RoomTriangle));
    EXPECT_EQ(room.numSprites, static_cast<int16_t>(d.sprites.size() / RecordSize::RoomSprite));
    EXPECT_EQ(BytesOf(room.vertices), d.vertices);
    EXPECT_EQ(BytesOf(room.rectangles), d.rectangles);
    EXPECT_EQ(BytesOf(room.triangles), d.triangles);
    EXPECT_EQ(BytesOf(room.sprites), d.sprites);
    EXPECT_EQ(room.numPortals, d.portals.size() / RecordSize::RoomPortal);
    EXPECT_EQ(room.numZSectors, d.numZSectors);
    EXPECT_EQ(room.numXSectors, d.numXSectors);
    EXPECT_EQ(room.numLights, d.lights.size() / RecordSize::RoomLight);
    EXPECT_EQ(room.numStatics, d.statics.size() / RecordSize::RoomStatic);
    EXPECT_EQ(room.roomFlags, d.roomFlags);
    EXPECT_EQ(room.colourLow, d.colourLow);
    EXPECT_EQ(room.colourHigh, d.colourHigh);
    EXPECT_EQ(room.alternateRoom, d.alternateRoom);
    EXPECT_EQ(BytesOf(room.portals), d.portals);
    EXPECT_EQ(BytesOf(room.sectors), d.sectors);
    EXPECT_EQ(BytesOf(room.lights), d.lights);
    EXPECT_EQ(BytesOf(room.statics), d.statics);
    EXPECT_EQ(room.waterScheme, d.waterScheme);
    EXPECT_EQ(room.reverbInfo, d.reverbInfo);
    EXPECT_EQ(room.alternateGroup, d.alternateGroup);
}

struct TableCheck {
    const char* name;
    const OwnedBytes& array;
    uint32_t count;
    std::vector<uint8_t> written;
    uint32_t recordSize;
};

void ExpectLevelMatches(const trLevel& level, const LevelDescription& d) {
    EXPECT_EQ(std::memcmp(level.version, d.version.data(), 4), 0);
    EXPECT_EQ(level.numRoomTextiles, d.numRoomTextiles);
    EXPECT_EQ(level.numObjectTextiles, d.numObjectTextiles);
    EXPECT_EQ(level.numBumpTextiles, d.numBumpTextiles);
    EXPECT_EQ(level.textiles32Size, d.textiles32.size());
    EXPECT_EQ(BytesOf(level.textiles32), d.textiles32);
    EXPECT_EQ(level.textiles16Size, d.textiles16.size());
    EXPECT_EQ(BytesOf(level.textiles16), d.textiles16);
    EXPECT_EQ(level.miscTextilesSize, d.miscTextiles.size());
    EXPECT_EQ(BytesOf(level.miscTextiles), d.miscTextiles);
    const std::vector<uint8_t> block = EncodeLevelData(d);
    EXPECT_EQ(level.levelDataSize, block.size());
    EXPECT_EQ(BytesOf(level.levelData), block);
    const LevelFileLayout layout = DescribeLevelFile(d);
    EXPECT_EQ(level.textiles32PackedSize, layout.chunkHeader[1] - layout.chunkData[0]);
    EXPECT_EQ(level.levelDataPackedSize, layout.numSamples - layout.chunkData[3]);
    EXPECT_EQ(level.numSamples, d.numSamples);
    EXPECT_EQ(BytesOf(level.sampleData), d.sampleData);

    EXPECT_EQ(std::memcmp(level.reserved, d.reserved.data(), 4), 0);
    ASSERT_EQ(level.numRooms, d.rooms.size());
    ASSERT_EQ(level.rooms.size(), d.rooms.size());
    for (std::size_t r = 0; r < d.rooms.size(); ++r) {
        SCOPED_TRACE("room " + std::to_string(r));
        ExpectRoomMatches(level.rooms[r], d.rooms[r]);
    }
    std::vector<uint32_t> pointers = d.meshPointers.value_or(std::vector<uint32_t>{});
    if (!d.meshPointers) {
        uint32_t offset = 0;
        for (const MeshDescription& mesh : d.meshes) {
            pointers.push_back(offset);
            offset += static_cast<uint32_t>(EncodeMeshRecord(mesh).size());
        }
    }
    const std::vector<uint8_t> meshData = EncodeMeshData(d);
    EXPECT_EQ(level.meshDataBytes, meshData.size());
    const TableCheck tables[] = {
        {"floorData", level.floorData, level.numFloorData, WordBytes(d.floorData), 2},
        {"meshData", level.meshData, level.numMeshData, meshData, 2},
        {"meshPointers", level.meshPointers, level.numMeshPointers, LongBytes(pointers), 4},
        {"animations", level.animations, level.numAnimations, d.animations, RecordSize::Animation},
        {"stateChanges", level.stateChanges, level.numStateChanges, d.stateChanges, RecordSize::StateChange},
        {"animDispatches", level.animDispatches, level.numAnimDispatches, d.animDispatches, RecordSize::AnimDispatch},
        {"animCommands", level.animCommands, level.numAnimCommands, WordBytes(d.animCommands), 2},
        {"meshTrees", level.meshTrees, level.numMeshTrees, LongBytes(d.meshTrees), 4},
        {"frames", level.frames, level.numFrames, WordBytes(d.frames), 2},
        {"moveables", level.moveables, level.numMoveables, d.moveables, RecordSize::Moveable},
        {"staticMeshes", level.staticMeshes, level.numStaticMeshes, d.staticMeshes, RecordSize::StaticMesh},
        {"spriteTextures", level.spriteTextures, level.numSpriteTextures, d.spriteTextures, RecordSize::SpriteTexture},
        {"spriteSequences", level.spriteSequences, level.numSpriteSequences, d.spriteSequences, RecordSize::SpriteSequence},
        {"cameras", level.cameras, level.numCameras, d.cameras, RecordSize::Camera},
        {"flybyCameras", level.flybyCameras, level.numFlybyCameras, d.flybyCameras, RecordSize::FlybyCamera},
        {"soundSources", level.soundSources, level.numSoundSources, d.soundSources, RecordSize::SoundSource},
        {"boxes", level.boxes, level.numBoxes, d.boxes, RecordSize::Box},
        {"overlaps", level.overlaps, level.numOverlaps, WordBytes(d.overlaps), 2},
        {"zones", level.zones, level.numBoxes, d.zones, RecordSize::Zone},
        {"animatedTextures", level.animatedTextures, level.numAnimatedTextures, WordBytes(d.animatedTextures), 2},
        {"items", level.items, level.numItems, d.items, RecordSize::Item},
        {"aiObjects", level.aiObjects, level.numAIObjects, d.aiObjects, RecordSize::AIObject},
        {"demoData", level.demoData, level.numDemoData, WordBytes(d.demoData), 2},
        {"soundDetails", level.soundDetails, level.numSoundDetails, d.soundDetails, RecordSize::SoundDetail},
        {"sampleIndices", level.sampleIndices, level.numSampleIndices, LongBytes(d.sampleIndices), 4},
    };
    for (const TableCheck& table : tables) {
        EXPECT_EQ(table.count, table.written.size() / table.recordSize) << table.name;
        EXPECT_EQ(BytesOf(table.array), table.written) << table.name;
    }
    EXPECT_EQ(std::memcmp(level.spriteMarker, d.spriteMarker.data(), 3), 0);
    EXPECT_EQ(std::memcmp(level.textureMarker, d.textureMarker.data(), 4), 0);
    EXPECT_EQ(std::memcmp(level.endMarker, d.endMarker.data(), 6), 0);
    ASSERT_EQ(level.numObjectTextures, d.objectTextures.size());
    for (std::size_t i = 0; i < d.objectTextures.size(); ++i) {
        ExpectObjectTexture(level.objectTextures[i], d.objectTextures[i]);
    }
    for (std::size_t i = 0; i < d.soundMap.size(); ++i) {
        ASSERT_EQ(level.soundMap[i], d.soundMap[i]) << "sound map entry " << i;
    }
}

TEST(LoadLevelFileTest, EveryFieldComesBackAsWritten) {
    const LevelDescription description = MakeFullLevel();
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
    ExpectLevelMatches(level, description);
}

TEST(LoadLevelFileTest, ObjectTexturesOccupy38BytesEach) {
    const std::vector<ObjectTextureDescription> textures = {MakeObjectTexture(1), MakeObjectTexture(2)};
    const std::vector<uint8_t> bytes = ObjectTextureBytes(textures);
    ASSERT_EQ(bytes.size(), 76u);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, textures[0].tile);
    EXPECT_EQ(bytes[38 + 7], textures[1].corners[0].xPixel);
    EXPECT_EQ(bytes[38 + 9], textures[1].corners[0].yPixel);
}

TEST(LoadLevelFileTest, AnyFirstFourBytesAreAccepted) {
    LevelDescription description;
    description.version = {0xFF, 0x00, 0x12, 0x34};
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
    ExpectLevelMatches(level, description);
}

TEST(LoadLevelFileTest, UnopenablePathLeavesTheRecordUntouched) {
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(MakeFullLevel())), 1);
    const uint8_t* textiles = level.textiles32.bytes();
    const uint16_t* meshData = level.meshData.get();
    const uint32_t levelDataSize = level.levelDataSize;

    EXPECT_EQ(LoadLevelFile("/nonexistent-directory/level.tr4", &level), 0);
    EXPECT_EQ(LoadLevelFile(nullptr, &level), 0);

    EXPECT_EQ(level.textiles32.bytes(), textiles);
    EXPECT_EQ(level.meshData.get(), meshData);
    EXPECT_EQ(level.levelDataSize, levelDataSize);
    ExpectLevelMatches(level, MakeFullLevel());
}

TEST(LoadLevelFileTest, FileEndingAfterTheSampleCountHasAnEmptySampleBlock) {
    LevelDescription description;
    description.numSamples = 12;
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
    EXPECT_EQ(level.numSamples, 12u);
    EXPECT_TRUE(level.sampleData.allocated());
    EXPECT_EQ(level.sampleData.byteCount(), 0u);
}

struct ChunkView {
    const char* name;
    uint32_t trLevel::*size;
    OwnedBytes trLevel::*array;
};

const ChunkView kChunkViews[] = {
    {"textiles32", &trLevel::textiles32Size, &trLevel::textiles32},
    {"textiles16", &trLevel::textiles16Size, &trLevel::textiles16},
    {"miscTextiles", &trLevel::miscTextilesSize, &trLevel::miscTextiles},
    {"levelData", &trLevel::levelDataSize, &trLevel::levelData},
};

LevelDescription SmallFullLevel() {
    LevelDescription description = MakeFullLevel();
    description.textiles32 = PatternBytes(1, 5000, 1);
    description.textiles16 = PatternBytes(1, 3000, 2);
    return description;
}

std::vector<uint8_t> ChunkContent(const LevelDescription& d, std::size_t chunk) {
    switch (chunk) {
        case 0: return d.textiles32;
        case 1: return d.textiles16;
        case 2: return d.miscTextiles;
        default: return EncodeLevelData(d);
    }
}

// A stream that inflates to fewer bytes than declared: the size field says
// what was produced, the array keeps the declared capacity, zero beyond.
TEST(LoadLevelFileTest, ShortInflatingChunkReportsTheBytesProduced) {
    for (std::size_t chunk = 0; chunk < 4; ++chunk) {
        SCOPED_TRACE(kChunkViews[chunk].name);
        LevelDescription description = SmallFullLevel();
        const std::vector<uint8_t> content = ChunkContent(description, chunk);
        description.chunks[chunk].declaredSize = static_cast<uint32_t>(content.size() + 1000);
        trLevel level{};
        ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
        const OwnedBytes& array = level.*kChunkViews[chunk].array;
        EXPECT_EQ(level.*kChunkViews[chunk].size, content.size());
        ASSERT_EQ(array.byteCount(), content.size() + 1000);
        EXPECT_TRUE(std::equal(content.begin(), content.end(), array.bytes()));
        EXPECT_TRUE(std::all_of(array.bytes() + content.size(), array.bytes() + array.byteCount(),
                                [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(level.numObjectTextures, 3u);
    }
}

// A level-data block cut right after the mesh-data count, declared longer
// than it inflates: the parse must stop at the inflated bytes, not run on
// into the zeros of the spare capacity.
TEST(LoadLevelFileTest, LevelDataParseIsBoundedByTheInflatedBytes) {
    LevelDescription description;
    description.meshes = MakeMeshes();
    description.levelDataCut = 4 + 2 + 4 + 4;
    description.chunks[3].declaredSize = 4096;
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
    EXPECT_EQ(level.levelDataSize, 14u);
    EXPECT_GT(level.numMeshData, 0u);
    EXPECT_EQ(level.meshDataBytes, 0u);
    EXPECT_EQ(level.numMeshPointers, 0u);
}

TEST(LoadLevelFileTest, CorruptStreamStopsItsChunkOnly) {
    for (std::size_t chunk = 0; chunk < 4; ++chunk) {
        SCOPED_TRACE(kChunkViews[chunk].name);
        LevelDescription description = SmallFullLevel();
        description.chunks[chunk].corruptStream = true;
        trLevel level{};
        ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
        for (std::size_t other = 0; other < 4; ++other) {
            const std::vector<uint8_t> content = ChunkContent(description, other);
            const OwnedBytes& array = level.*kChunkViews[other].array;
            const uint32_t size = level.*kChunkViews[other].size;
            EXPECT_EQ(array.byteCount(), content.size());
            EXPECT_LE(size, array.byteCount());
            if (other == chunk) {
                EXPECT_LT(size, content.size()) << "the corrupt stream cannot inflate whole";
            } else {
                EXPECT_EQ(BytesOf(array), content) << kChunkViews[other].name;
            }
        }
        EXPECT_EQ(BytesOf(level.sampleData), description.sampleData);
    }
}

// A packed size that claims more than the file holds swallows the rest of the
// file; the chunk still inflates and the fields after it find no bytes.
TEST(LoadLevelFileTest, PackedSizeBeyondTheFile) {
    LevelDescription description = SmallFullLevel();
    description.chunks[0].packedSize = 0xFFFFFFFFu;
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
    EXPECT_EQ(level.textiles32PackedSize, 0xFFFFFFFFu);
    EXPECT_EQ(BytesOf(level.textiles32), description.textiles32);
    EXPECT_EQ(level.textiles16Size, 0u);
    EXPECT_EQ(level.levelDataSize, 0u);
    EXPECT_EQ(level.sampleData.byteCount(), 0u);
}

TEST(LoadLevelFileTest, SecondLoadReplacesTheContainerAndAlwaysArrays) {
    trLevel level{};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(MakeFullLevel())), 1);
    const std::vector<uint8_t> floorDataBefore = BytesOf(level.floorData);

    LevelDescription second;
    second.version = {'N', 'E', 'X', 'T'};
    second.numRoomTextiles = 9;
    second.miscTextiles = {1, 2, 3};
    second.sampleData = {4, 5};
    ASSERT_EQ(LoadImageInto(level, WriteLevelFile(second)), 1);

    EXPECT_EQ(std::memcmp(level.version, "NEXT", 4), 0);
    EXPECT_EQ(level.numRoomTextiles, 9);
    EXPECT_EQ(level.numObjectTextiles, 0);
    EXPECT_EQ(level.textiles32Size, 0u);
    EXPECT_EQ(level.textiles32.byteCount(), 0u);
    EXPECT_EQ(level.textiles16.byteCount(), 0u);
    EXPECT_EQ(BytesOf(level.miscTextiles), second.miscTextiles);
    EXPECT_EQ(BytesOf(level.levelData), EncodeLevelData(second));
    EXPECT_EQ(BytesOf(level.sampleData), second.sampleData);
    EXPECT_EQ(level.numMeshData, 0u);
    EXPECT_EQ(level.meshData.byteCount(), 0u);
    EXPECT_EQ(level.meshDataBytes, 0u);
    EXPECT_EQ(level.numFloorData, 0u);
    EXPECT_EQ(BytesOf(level.floorData), floorDataBefore);
}

// ---- Damaged files ------------------------------------------------------------

// What must hold after any load, whatever the file held.
void ExpectSound(const trLevel& level) {
    for (const ChunkView& chunk : kChunkViews) {
        EXPECT_LE(level.*chunk.size, (level.*chunk.array).byteCount()) << chunk.name;
    }
    EXPECT_LE(level.meshDataBytes, level.meshData.byteCount());
    if (level.meshDataBytes != 0) {
        EXPECT_EQ(level.meshDataBytes, static_cast<uint32_t>(level.numMeshData * 2));
    }
    EXPECT_GE(level.objectTextures.size(), level.objectTextures.allocated() ? level.numObjectTextures : 0u);
    if (level.numRooms != 0) {
        EXPECT_EQ(level.rooms.size(), level.numRooms);
    }
}

TEST(LoadLevelFileTest, EveryCutOfTheFileLoads) {
    const std::vector<uint8_t> image = WriteLevelFile(SmallFullLevel());
    trLevel reused{};
    for (std::size_t length = 0; length <= image.size(); ++length) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> cut = CutLevelFile(image, length);
        trLevel fresh{};
        ASSERT_EQ(LoadImageInto(fresh, cut), 1);
        ExpectSound(fresh);
        ASSERT_EQ(LoadImageInto(reused, cut), 1);
        ExpectSound(reused);
    }
}

TEST(LoadLevelFileTest, EveryCutOfTheLevelDataLoads) {
    const LevelDescription full = SmallFullLevel();
    const std::size_t blockSize = EncodeLevelData(full).size();
    trLevel reused{};
    for (std::size_t length = 0; length < blockSize; ++length) {
        SCOPED_TRACE(length);
        LevelDescription description = full;
        description.levelDataCut = length;
        const std::vector<uint8_t> image = WriteLevelFile(description);
        trLevel fresh{};
        ASSERT_EQ(LoadImageInto(fresh, image), 1);
        EXPECT_EQ(fresh.levelDataSize, length);
        ExpectSound(fresh);
        ASSERT_EQ(LoadImageInto(reused, image), 1);
        ExpectSound(reused);
    }
}

const LevelCount kAllCounts[] = {
    LevelCount::Rooms, LevelCount::FloorData, LevelCount::MeshData, LevelCount::MeshPointers,
    LevelCount::Animations, LevelCount::StateChanges, LevelCount::AnimDispatches, LevelCount::AnimCommands,
    LevelCount::MeshTrees, LevelCount::Frames, LevelCount::Moveables, LevelCount::StaticMeshes,
    LevelCount::SpriteTextures, LevelCount::SpriteSequences, LevelCount::Cameras, LevelCount::FlybyCameras,
    LevelCount::SoundSources, LevelCount::Boxes, LevelCount::Overlaps, LevelCount::AnimatedTextures,
    LevelCount::ObjectTextures, LevelCount::Items, LevelCount::AIObjects, LevelCount::DemoData,
    LevelCount::SoundDetails, LevelCount::SampleIndices,
};

// Each count of the block overridden in turn, small and large (arrays of up
// to 768 MiB, never filled by the block).
TEST(LoadLevelFileTest, OverriddenCountsLoad) {
    for (LevelCount key : kAllCounts) {
        for (uint32_t value : {1u, 0xFFFFu, 0x01000000u}) {
            SCOPED_TRACE(testing::Message() << "count " << static_cast<int>(key) << " = " << value);
            LevelDescription description = SmallFullLevel();
            description.countOverrides[key] = value;
            trLevel level{};
            ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
            ExpectSound(level);
        }
    }
}

// A record count whose byte size is beyond what can be allocated raises
// std::bad_alloc out of the load.
TEST(LoadLevelFileTest, UnallocatableObjectTexturesThrowBadAlloc) {
    LevelDescription description;
    description.countOverrides[LevelCount::ObjectTextures] = 0xFFFFFFFFu;  // 160 GiB of records
    trLevel level{};
    const std::vector<uint8_t> image = WriteLevelFile(description);
    try {
        LoadImageInto(level, image);
        EXPECT_EQ(level.objectTextures.size(), 0xFFFFFFFFu) << "a machine that has the memory must hold them all";
    } catch (const std::bad_alloc&) {
        EXPECT_EQ(level.numObjectTextures, 0xFFFFFFFFu);
        EXPECT_FALSE(level.objectTextures.allocated());
    }
}

TEST(LoadLevelFileTest, OverriddenRoomCountsLoad) {
    const RoomCount keys[] = {RoomCount::Vertices, RoomCount::Rectangles, RoomCount::Triangles,
                              RoomCount::Sprites,  RoomCount::Portals,    RoomCount::ZSectors,
                              RoomCount::XSectors, RoomCount::Lights,     RoomCount::Statics};
    for (RoomCount key : keys) {
        for (uint16_t value : {uint16_t{0}, uint16_t{1}, uint16_t{0x7FFF}, uint16_t{0xFFFF}}) {
            SCOPED_TRACE(testing::Message() << "room count " << static_cast<int>(key) << " = " << value);
            LevelDescription description = SmallFullLevel();
            description.rooms[0].countOverrides[key] = value;
            trLevel level{};
            ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
            ExpectSound(level);
        }
    }
}

TEST(LoadLevelFileTest, DamagedChunkHeadersLoad) {
    for (std::size_t chunk : {1u, 3u}) {
        for (uint32_t packed : {0u, 7u, 0xFFFFFFFFu}) {
            SCOPED_TRACE(testing::Message() << kChunkViews[chunk].name << " packed " << packed);
            LevelDescription description = SmallFullLevel();
            description.chunks[chunk].packedSize = packed;
            description.chunks[chunk].declaredSize = packed == 7 ? 0u : 1u << 20;
            trLevel level{};
            ASSERT_EQ(LoadImageInto(level, WriteLevelFile(description)), 1);
            ExpectSound(level);
        }
    }
}

}  // namespace
