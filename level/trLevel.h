// The in-memory record of one Tomb Raider 4 level: the file's container
// fields and inflated chunks, then every count and array of the level-data
// block, in file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "level/OwnedArray.h"

// A fixed-size record kept exactly as the level-data block holds it.
template <std::size_t N>
struct trRawRecord {
    uint8_t bytes[N];
};

using trRoomVertex = trRawRecord<12>;
using trRoomRectangle = trRawRecord<10>;
using trRoomTriangle = trRawRecord<8>;
using trRoomSprite = trRawRecord<4>;
using trRoomPortal = trRawRecord<32>;
using trRoomSector = trRawRecord<8>;
using trRoomLight = trRawRecord<46>;
using trRoomStatic = trRawRecord<20>;

using trAnimation = trRawRecord<40>;
using trStateChange = trRawRecord<6>;
using trAnimDispatch = trRawRecord<8>;
using trMoveable = trRawRecord<18>;
using trStaticMesh = trRawRecord<32>;
using trSpriteTexture = trRawRecord<16>;
using trSpriteSequence = trRawRecord<8>;
using trCamera = trRawRecord<16>;
using trFlybyCamera = trRawRecord<40>;
using trSoundSource = trRawRecord<16>;
using trBox = trRawRecord<8>;
using trZone = trRawRecord<20>;
using trItem = trRawRecord<24>;
using trAIObject = trRawRecord<24>;
using trSoundDetail = trRawRecord<8>;

constexpr std::size_t kSoundMapEntries = 370;

// One room. Signed counts above 0, and unsigned counts other than 0, own an
// array of that many records; sectors always own numZSectors * numXSectors.
struct trRoom {
    uint8_t info[16] = {};
    uint32_t numDataWords = 0;
    int16_t numVertices = 0;
    int16_t numRectangles = 0;
    int16_t numTriangles = 0;
    int16_t numSprites = 0;
    OwnedArray<trRoomVertex> vertices;
    OwnedArray<trRoomRectangle> rectangles;
    OwnedArray<trRoomTriangle> triangles;
    OwnedArray<trRoomSprite> sprites;
    uint16_t numPortals = 0;
    uint16_t numZSectors = 0;
    uint16_t numXSectors = 0;
    uint16_t numLights = 0;
    uint16_t numStatics = 0;
    uint16_t roomFlags = 0;
    uint16_t colourLow = 0;
    uint16_t colourHigh = 0;
    uint16_t alternateRoom = 0;
    OwnedArray<trRoomPortal> portals;
    OwnedArray<trRoomSector> sectors;
    OwnedArray<trRoomLight> lights;
    OwnedArray<trRoomStatic> statics;
    uint8_t waterScheme = 0;
    uint8_t reverbInfo = 0;
    uint8_t alternateGroup = 0;
};

struct trObjectTextureCorner {
    uint8_t xFraction;
    uint8_t xPixel;  // 0..255 within the page
    uint8_t yFraction;
    uint8_t yPixel;  // 0..255 within the page
};

// One object texture, laid out field by field from its 38 bytes in the block.
struct trObjectTexture {
    uint16_t attribute;
    uint16_t tile;  // texture page: triangles use the low 15 bits, quads all 16
    uint16_t textureFlags;
    trObjectTextureCorner corners[4];
    uint32_t baseU;
    uint32_t baseV;
    uint32_t width;
    uint32_t height;
};

// The whole level. Value-initialise it (trLevel level{}) before the first
// load: every count is then 0 and every array absent. Arrays are released
// when a later load replaces them or the record is destroyed.
struct trLevel {
    // Container fields. Each chunk's size field is no larger than its array's
    // byteCount(), and that many leading bytes are the inflated chunk.
    uint8_t version[4] = {};
    uint16_t numRoomTextiles = 0;
    uint16_t numObjectTextiles = 0;
    uint16_t numBumpTextiles = 0;
    uint32_t textiles32Size = 0;
    uint32_t textiles32PackedSize = 0;
    uint32_t textiles16Size = 0;
    uint32_t textiles16PackedSize = 0;
    uint32_t miscTextilesSize = 0;
    uint32_t miscTextilesPackedSize = 0;
    uint32_t levelDataSize = 0;
    uint32_t levelDataPackedSize = 0;
    uint32_t numSamples = 0;
    OwnedBytes textiles32;   // capacity: the declared inflated size of chunk 1
    OwnedBytes textiles16;   // chunk 2
    OwnedBytes miscTextiles; // chunk 3
    OwnedBytes levelData;    // chunk 4, the level-data block
    OwnedBytes sampleData;   // every byte after numSamples

    // Level-data fields.
    uint8_t reserved[4] = {};
    uint16_t numRooms = 0;
    std::vector<trRoom> rooms;
    uint32_t numFloorData = 0;
    OwnedArray<uint16_t> floorData;
    uint32_t numMeshData = 0;  // 16-bit words
    uint32_t numMeshPointers = 0;
    uint32_t numAnimations = 0;
    uint32_t numStateChanges = 0;
    uint32_t numAnimDispatches = 0;
    uint32_t numAnimCommands = 0;
    uint32_t numMeshTrees = 0;
    uint32_t numFrames = 0;
    uint32_t numMoveables = 0;
    uint32_t numStaticMeshes = 0;
    uint32_t numSpriteTextures = 0;
    uint32_t numObjectTextures = 0;
    uint32_t numSpriteSequences = 0;
    uint32_t numCameras = 0;
    uint32_t numFlybyCameras = 0;
    uint32_t numSoundSources = 0;
    uint32_t numBoxes = 0;  // boxes and zone records alike
    uint32_t numOverlaps = 0;
    uint32_t numAnimatedTextures = 0;
    uint32_t numItems = 0;
    uint32_t numAIObjects = 0;
    uint32_t numSoundDetails = 0;
    uint32_t numSampleIndices = 0;
    uint16_t numDemoData = 0;
    uint8_t spriteMarker[3] = {};
    uint8_t textureMarker[4] = {};
    uint8_t endMarker[6] = {};
    OwnedArray<uint16_t> meshData;
    OwnedArray<uint32_t> meshPointers;
    OwnedArray<trAnimation> animations;
    OwnedArray<trStateChange> stateChanges;
    OwnedArray<trAnimDispatch> animDispatches;
    OwnedArray<uint16_t> animCommands;
    OwnedArray<uint32_t> meshTrees;
    OwnedArray<uint16_t> frames;
    OwnedArray<trMoveable> moveables;
    OwnedArray<trStaticMesh> staticMeshes;
    OwnedArray<trSpriteTexture> spriteTextures;
    OwnedArray<trSpriteSequence> spriteSequences;
    OwnedArray<trCamera> cameras;
    OwnedArray<trFlybyCamera> flybyCameras;
    OwnedArray<trSoundSource> soundSources;
    OwnedArray<trBox> boxes;
    OwnedArray<uint16_t> overlaps;
    OwnedArray<trZone> zones;
    OwnedArray<uint16_t> animatedTextures;
    OwnedArray<trObjectTexture> objectTextures;  // room for numObjectTextures
    OwnedArray<trItem> items;
    OwnedArray<trAIObject> aiObjects;
    OwnedArray<uint16_t> demoData;
    uint16_t soundMap[kSoundMapEntries] = {};
    OwnedArray<trSoundDetail> soundDetails;
    OwnedArray<uint32_t> sampleIndices;

    // Bytes of meshData that the block really supplied: the whole array when
    // its read succeeded, 0 when the block ran out first. The mesh list is
    // parsed from these bytes only.
    uint32_t meshDataBytes = 0;
};

// Reads the level file at path into level. Returns 0, leaving level as it
// was, when the file cannot be opened; otherwise 1, whatever the file holds.
// Throws std::bad_alloc when a declared size cannot be allocated.
int LoadLevelFile(const char* path, trLevel* level);

// Parses level->levelData (levelDataSize bytes) into the level-data fields.
// Always returns 1. Throws std::bad_alloc like LoadLevelFile.
int ParseLevelData(trLevel* level);
