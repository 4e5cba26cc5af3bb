// Walks the inflated level-data block into the level record.
//
// Every count is read straight into its field. An array whose condition
// holds is allocated with its byte count (count * record size in 32-bit
// unsigned arithmetic, the same count the read uses, so a wrap stays in
// bounds) before the read, so a refused read leaves it allocated and zero.
// An array whose condition fails keeps what it held.
#include <cstring>

#include "level/ByteCursor.h"
#include "level/trLevel.h"

namespace {

template <typename Field>
void ReadField(Field& field, ByteCursor& cursor) {
    ReadBytes(&field, sizeof(field), cursor);
}

// Replaces array with count records of recordSize bytes and fills it.
// Returns whether the block supplied every byte.
bool ReadArray(OwnedBytes& array, uint32_t count, uint32_t recordSize, ByteCursor& cursor) {
    const uint32_t byteCount = count * recordSize;
    array.Allocate(byteCount);
    return ReadBytes(array.bytes(), byteCount, cursor) == kReadDone;
}

enum class When { Always, IfNotZero };

void ReadCountedArray(OwnedBytes& array, uint32_t& count, uint32_t recordSize, When when,
                      ByteCursor& cursor) {
    ReadField(count, cursor);
    if (when == When::Always || count != 0) {
        ReadArray(array, count, recordSize, cursor);
    }
}

// A run of 32-bit counts each followed by its array.
struct CountedArray {
    uint32_t trLevel::*count;
    OwnedBytes& (*array)(trLevel&);
    uint32_t recordSize;
    When when;
};

template <auto Member>
OwnedBytes& ArrayOf(trLevel& level) {
    return level.*Member;
}

template <typename Table>
void ReadCountedArrays(trLevel& level, const Table& table, ByteCursor& cursor) {
    for (const CountedArray& row : table) {
        ReadCountedArray(row.array(level), level.*row.count, row.recordSize, row.when, cursor);
    }
}

constexpr CountedArray kAnimationTables[] = {
    {&trLevel::numMeshPointers, ArrayOf<&trLevel::meshPointers>, 4, When::Always},
    {&trLevel::numAnimations, ArrayOf<&trLevel::animations>, 40, When::Always},
    {&trLevel::numStateChanges, ArrayOf<&trLevel::stateChanges>, 6, When::Always},
    {&trLevel::numAnimDispatches, ArrayOf<&trLevel::animDispatches>, 8, When::Always},
    {&trLevel::numAnimCommands, ArrayOf<&trLevel::animCommands>, 2, When::Always},
    {&trLevel::numMeshTrees, ArrayOf<&trLevel::meshTrees>, 4, When::Always},
    {&trLevel::numFrames, ArrayOf<&trLevel::frames>, 2, When::Always},
    {&trLevel::numMoveables, ArrayOf<&trLevel::moveables>, 18, When::Always},
    {&trLevel::numStaticMeshes, ArrayOf<&trLevel::staticMeshes>, 32, When::Always},
};

constexpr CountedArray kSpriteToBoxTables[] = {
    {&trLevel::numSpriteTextures, ArrayOf<&trLevel::spriteTextures>, 16, When::IfNotZero},
    {&trLevel::numSpriteSequences, ArrayOf<&trLevel::spriteSequences>, 8, When::IfNotZero},
    {&trLevel::numCameras, ArrayOf<&trLevel::cameras>, 16, When::IfNotZero},
    {&trLevel::numFlybyCameras, ArrayOf<&trLevel::flybyCameras>, 40, When::IfNotZero},
    {&trLevel::numSoundSources, ArrayOf<&trLevel::soundSources>, 16, When::IfNotZero},
    {&trLevel::numBoxes, ArrayOf<&trLevel::boxes>, 8, When::IfNotZero},
    {&trLevel::numOverlaps, ArrayOf<&trLevel::overlaps>, 2, When::IfNotZero},
};

constexpr CountedArray kItemTables[] = {
    {&trLevel::numItems, ArrayOf<&trLevel::items>, 24, When::IfNotZero},
    {&trLevel::numAIObjects, ArrayOf<&trLevel::aiObjects>, 24, When::IfNotZero},
};

constexpr CountedArray kSoundTables[] = {
    {&trLevel::numSoundDetails, ArrayOf<&trLevel::soundDetails>, 8, When::IfNotZero},
    {&trLevel::numSampleIndices, ArrayOf<&trLevel::sampleIndices>, 4, When::IfNotZero},
};

// A room's signed count: its array is read only when the count is above 0.
void ReadSignedCountedArray(OwnedBytes& array, int16_t& count, uint32_t recordSize, ByteCursor& cursor) {
    ReadField(count, cursor);
    if (count > 0) {
        ReadArray(array, static_cast<uint32_t>(count), recordSize, cursor);
    }
}

void ReadUnsignedCountedArray(OwnedBytes& array, uint16_t& count, uint32_t recordSize, ByteCursor& cursor) {
    ReadField(count, cursor);
    if (count != 0) {
        ReadArray(array, count, recordSize, cursor);
    }
}

void ReadRoom(trRoom& room, ByteCursor& cursor) {
    ReadField(room.info, cursor);
    ReadField(room.numDataWords, cursor);
    ReadSignedCountedArray(room.vertices, room.numVertices, 12, cursor);
    ReadSignedCountedArray(room.rectangles, room.numRectangles, 10, cursor);
    ReadSignedCountedArray(room.triangles, room.numTriangles, 8, cursor);
    ReadSignedCountedArray(room.sprites, room.numSprites, 4, cursor);
    ReadUnsignedCountedArray(room.portals, room.numPortals, 32, cursor);
    ReadField(room.numZSectors, cursor);
    ReadField(room.numXSectors, cursor);
    ReadArray(room.sectors, uint32_t{room.numZSectors} * room.numXSectors, 8, cursor);
    ReadField(room.colourLow, cursor);
    ReadField(room.colourHigh, cursor);
    ReadUnsignedCountedArray(room.lights, room.numLights, 46, cursor);
    ReadUnsignedCountedArray(room.statics, room.numStatics, 20, cursor);
    ReadField(room.alternateRoom, cursor);
    ReadField(room.roomFlags, cursor);
    uint8_t tail[3];
    if (ReadBytes(tail, sizeof(tail), cursor) == kReadDone) {
        room.waterScheme = tail[0];
        room.reverbInfo = tail[1];
        room.alternateGroup = tail[2];
    }
}

void ReadRooms(trLevel& level, ByteCursor& cursor) {
    ReadField(level.numRooms, cursor);
    if (level.numRooms == 0) {
        return;
    }
    level.rooms = std::vector<trRoom>(level.numRooms);
    for (trRoom& room : level.rooms) {
        ReadRoom(room, cursor);
    }
}

bool Exhausted(const ByteCursor& cursor) { return cursor.offset > cursor.size; }

void ReadObjectTexture(trObjectTexture& texture, ByteCursor& cursor) {
    ReadField(texture.attribute, cursor);
    ReadField(texture.tile, cursor);
    ReadField(texture.textureFlags, cursor);
    for (trObjectTextureCorner& corner : texture.corners) {
        ReadField(corner, cursor);
    }
    ReadField(texture.baseU, cursor);
    ReadField(texture.baseV, cursor);
    ReadField(texture.width, cursor);
    ReadField(texture.height, cursor);
}

// Object textures are laid out field by field. Once the cursor is exhausted
// every further read is refused, so the loop stops there: billions of
// refused reads would change nothing.
void ReadObjectTextures(trLevel& level, ByteCursor& cursor) {
    ReadField(level.numObjectTextures, cursor);
    if (level.numObjectTextures == 0) {
        return;
    }
    level.objectTextures.AllocateElements(level.numObjectTextures, sizeof(trObjectTexture));
    for (uint32_t i = 0; i < level.numObjectTextures && !Exhausted(cursor); ++i) {
        ReadObjectTexture(level.objectTextures[i], cursor);
    }
}

}  // namespace

static_assert(sizeof(trObjectTextureCorner) == 4);

int ParseLevelData(trLevel* level) {
    ByteCursor cursor;
    InitCursor(cursor, level->levelDataSize, level->levelData.bytes());

    ReadField(level->reserved, cursor);
    ReadRooms(*level, cursor);
    ReadCountedArray(level->floorData, level->numFloorData, 2, When::IfNotZero, cursor);
    ReadField(level->numMeshData, cursor);
    const bool meshDataRead = ReadArray(level->meshData, level->numMeshData, 2, cursor);
    level->meshDataBytes = meshDataRead ? static_cast<uint32_t>(level->meshData.byteCount()) : 0;
    ReadCountedArrays(*level, kAnimationTables, cursor);
    ReadField(level->spriteMarker, cursor);
    ReadCountedArrays(*level, kSpriteToBoxTables, cursor);
    if (level->numBoxes != 0) {
        ReadArray(level->zones, level->numBoxes, 20, cursor);
    }
    ReadCountedArray(level->animatedTextures, level->numAnimatedTextures, 2, When::IfNotZero, cursor);
    ReadField(level->textureMarker, cursor);
    ReadObjectTextures(*level, cursor);
    ReadCountedArrays(*level, kItemTables, cursor);
    ReadUnsignedCountedArray(level->demoData, level->numDemoData, 2, cursor);
    ReadField(level->soundMap, cursor);
    ReadCountedArrays(*level, kSoundTables, cursor);
    ReadField(level->endMarker, cursor);
    return 1;
}
