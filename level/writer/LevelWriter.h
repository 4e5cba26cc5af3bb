// Builds Tomb Raider 4 level file images (.tr4) from a plain in-memory
// description, for tests, benchmarks, fuzz seeds and demo levels.
//
// Describe a level in a few lines, get its bytes back:
//
//   LevelDescription level;
//   MeshDescription cube;
//   cube.vertices = {{0, 0, 0}, {64, 0, 0}, {64, 64, 0}};
//   cube.triangles = {{{0, 1, 2}, /*texture*/ 0}};
//   level.meshes.push_back(cube);
//   level.objectTextures.push_back(ObjectTextureDescription{});
//   AppendSolidTile(level.textiles32, 4, 0xFF00FF00);
//   std::vector<uint8_t> file = WriteLevelFile(level);
//   TemporaryFile onDisk(file);  // onDisk.path() for LoadLevelFile
//
// Every count written is derived from its vector unless overridden (see the
// countOverrides maps), so damaged levels are described the same way:
// override a count, cut the level-data block, corrupt a chunk, or cut the
// finished image with CutLevelFile. All values are written little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// ---- Meshes (records inside the mesh-data words) --------------------------

struct ShortVector {
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;
};

struct QuadDescription {
    std::array<uint16_t, 4> indices{};  // into the mesh's vertices
    uint16_t texture = 0;               // into the level's object textures
    uint16_t effects = 0;
};

struct TriangleDescription {
    std::array<uint16_t, 3> indices{};
    uint16_t texture = 0;
    uint16_t effects = 0;
};

// The signed 16-bit counts of a mesh record that can be overridden.
enum class MeshCount { Vertices, Normals, TexturedQuads, TexturedTriangles };

// One mesh record: centre, radius, V vertices, then N normals (N > 0) or
// -N light values (N < 0), Q textured quads, T textured triangles, and two
// filler bytes when needed to reach a multiple of 4 bytes.
struct MeshDescription {
    ShortVector centre;
    uint32_t radius = 0;
    std::vector<ShortVector> vertices;
    std::vector<ShortVector> normals;  // written when not empty (N > 0)...
    std::vector<int16_t> lights;       // ...otherwise these, as N = -count
    std::vector<QuadDescription> quads;
    std::vector<TriangleDescription> triangles;
    // Count written in place of the derived one; the arrays are still written
    // from the vectors, so an override can make the record lie.
    std::map<MeshCount, int16_t> countOverrides;
    uint16_t fillerValue = 0;  // content of the filler bytes, if any
};

// The bytes of one mesh record (a multiple of 4 unless overrides make the
// record lie), and of several records back to back.
std::vector<uint8_t> EncodeMeshRecord(const MeshDescription& mesh);
std::vector<uint8_t> EncodeMeshRecords(const std::vector<MeshDescription>& meshes);

// ---- Rooms ------------------------------------------------------------------

enum class RoomCount { Vertices, Rectangles, Triangles, Sprites, Portals, ZSectors, XSectors, Lights, Statics };

// Record arrays are raw bytes; the count written is bytes / record size
// (vertices 12, rectangles 10, triangles 8, sprites 4, portals 32, sectors 8,
// lights 46, statics 20). Sectors are written as given: numZSectors *
// numXSectors * 8 bytes is a consistent room.
struct RoomDescription {
    std::array<uint8_t, 16> info{};
    uint32_t numDataWords = 0;
    std::vector<uint8_t> vertices;
    std::vector<uint8_t> rectangles;
    std::vector<uint8_t> triangles;
    std::vector<uint8_t> sprites;
    std::vector<uint8_t> portals;
    uint16_t numZSectors = 0;
    uint16_t numXSectors = 0;
    std::vector<uint8_t> sectors;
    uint16_t colourLow = 0;
    uint16_t colourHigh = 0;
    std::vector<uint8_t> lights;
    std::vector<uint8_t> statics;
    uint16_t alternateRoom = 0;
    uint16_t roomFlags = 0;
    uint8_t waterScheme = 0;
    uint8_t reverbInfo = 0;
    uint8_t alternateGroup = 0;
    // 16-bit values written in place of the derived counts (ZSectors and
    // XSectors replace the two fields above).
    std::map<RoomCount, uint16_t> countOverrides;
};

// ---- Object textures --------------------------------------------------------

struct ObjectTextureCornerDescription {
    uint8_t xFraction = 0;
    uint8_t xPixel = 0;
    uint8_t yFraction = 0;
    uint8_t yPixel = 0;
};

// 38 bytes in the block, in this field order.
struct ObjectTextureDescription {
    uint16_t attribute = 0;
    uint16_t tile = 0;
    uint16_t textureFlags = 0;
    std::array<ObjectTextureCornerDescription, 4> corners{};
    uint32_t baseU = 0;
    uint32_t baseV = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// ---- The level-data block ---------------------------------------------------

// Every count of the level-data block, for overrides. Rooms and DemoData are
// 16-bit in the block (an override is cut to 16 bits), the rest 32-bit.
enum class LevelCount {
    Rooms, FloorData, MeshData, MeshPointers, Animations, StateChanges, AnimDispatches,
    AnimCommands, MeshTrees, Frames, Moveables, StaticMeshes, SpriteTextures,
    SpriteSequences, Cameras, FlybyCameras, SoundSources, Boxes, Overlaps,
    AnimatedTextures, ObjectTextures, Items, AIObjects, DemoData, SoundDetails,
    SampleIndices
};

// Size in bytes of one record of each fixed-size table in the block.
namespace RecordSize {
constexpr uint32_t Animation = 40, StateChange = 6, AnimDispatch = 8, Moveable = 18,
                   StaticMesh = 32, SpriteTexture = 16, SpriteSequence = 8, Camera = 16,
                   FlybyCamera = 40, SoundSource = 16, Box = 8, Zone = 20, ObjectTexture = 38,
                   Item = 24, AIObject = 24, SoundDetail = 8;
constexpr uint32_t RoomVertex = 12, RoomRectangle = 10, RoomTriangle = 8, RoomSprite = 4,
                   RoomPortal = 32, RoomSector = 8, RoomLight = 46, RoomStatic = 20;
}  // namespace RecordSize

// The four compressed chunks, in file order.
enum class Chunk { Textiles32 = 0, Textiles16 = 1, MiscTextiles = 2, LevelData = 3 };

struct ChunkOptions {
    std::optional<uint32_t> declaredSize;  // inflated size written; default the real one
    std::optional<uint32_t> packedSize;    // compressed size written; default the real one
    bool corruptStream = false;            // damage the deflate data inside the stream
};

struct LevelDescription {
    // Container header. The tile counts are written as given.
    std::array<uint8_t, 4> version{'T', 'R', '4', 0};
    uint16_t numRoomTextiles = 0;
    uint16_t numObjectTextiles = 0;
    uint16_t numBumpTextiles = 0;

    // Uncompressed chunk contents: 256 x 256 tiles of 4 and 2 bytes a pixel
    // (see AppendSolidTile / AppendTile), and the opaque third chunk.
    std::vector<uint8_t> textiles32;
    std::vector<uint8_t> textiles16;
    std::vector<uint8_t> miscTextiles;

    uint32_t numSamples = 0;
    std::vector<uint8_t> sampleData;  // everything after numSamples

    // Level-data block, in block order. Tables of fixed-size records are raw
    // bytes (see RecordSize); their count is bytes / record size.
    std::array<uint8_t, 4> reserved{};
    std::vector<RoomDescription> rooms;
    std::vector<uint16_t> floorData;
    std::vector<MeshDescription> meshes;        // the mesh-data words
    std::vector<uint16_t> extraMeshDataWords;   // appended after the records
    // Byte offsets of the mesh records inside the mesh data when absent.
    std::optional<std::vector<uint32_t>> meshPointers;
    std::vector<uint8_t> animations;
    std::vector<uint8_t> stateChanges;
    std::vector<uint8_t> animDispatches;
    std::vector<uint16_t> animCommands;
    std::vector<uint32_t> meshTrees;
    std::vector<uint16_t> frames;
    std::vector<uint8_t> moveables;
    std::vector<uint8_t> staticMeshes;
    std::array<uint8_t, 3> spriteMarker{'S', 'P', 'R'};
    std::vector<uint8_t> spriteTextures;
    std::vector<uint8_t> spriteSequences;
    std::vector<uint8_t> cameras;
    std::vector<uint8_t> flybyCameras;
    std::vector<uint8_t> soundSources;
    std::vector<uint8_t> boxes;  // numBoxes = bytes / 8
    std::vector<uint16_t> overlaps;
    std::vector<uint8_t> zones;  // written when numBoxes != 0; 20 bytes per box
    std::vector<uint16_t> animatedTextures;
    std::array<uint8_t, 4> textureMarker{0, 'T', 'E', 'X'};
    std::vector<ObjectTextureDescription> objectTextures;
    std::vector<uint8_t> items;
    std::vector<uint8_t> aiObjects;
    std::vector<uint16_t> demoData;
    std::array<uint16_t, 370> soundMap{};
    std::vector<uint8_t> soundDetails;
    std::vector<uint32_t> sampleIndices;
    std::array<uint8_t, 6> endMarker{};

    // Damage and overrides.
    std::map<LevelCount, uint32_t> countOverrides;
    // Keep only this many bytes of the level-data block before compressing
    // (the declared inflated size follows the cut block).
    std::optional<std::size_t> levelDataCut;
    // Use these bytes as the level-data block instead of the tables above.
    std::optional<std::vector<uint8_t>> levelDataOverride;
    std::array<ChunkOptions, 4> chunks{};  // indexed by Chunk
};

// The uncompressed level-data block (after levelDataCut / levelDataOverride).
std::vector<uint8_t> EncodeLevelData(const LevelDescription& level);

// The mesh-data bytes of the level: its mesh records then extraMeshDataWords.
std::vector<uint8_t> EncodeMeshData(const LevelDescription& level);

// The complete file image: header, four zlib chunks, sample count and data.
std::vector<uint8_t> WriteLevelFile(const LevelDescription& level);

// The first length bytes of an image (all of it when length is larger).
std::vector<uint8_t> CutLevelFile(const std::vector<uint8_t>& image, std::size_t length);

// Byte offsets of the fields of a written image, for tests that damage it.
struct LevelFileLayout {
    std::array<std::size_t, 4> chunkHeader{};  // offset of each chunk's inflated size field
    std::array<std::size_t, 4> chunkData{};    // offset of each chunk's zlib stream
    std::size_t numSamples = 0;                // offset of numSamples
};
LevelFileLayout DescribeLevelFile(const LevelDescription& level);

// ---- Texture tiles ----------------------------------------------------------

constexpr int kTileSide = 256;

// Appends one 256 x 256 tile of bytesPerPixel (4 or 2) bytes a pixel, every
// pixel the low bytes of pixel, little-endian.
void AppendSolidTile(std::vector<uint8_t>& tiles, int bytesPerPixel, uint32_t pixel);

// Appends one tile whose pixel at column x, row y is pixelAt(x, y).
template <typename PixelAt>
void AppendTile(std::vector<uint8_t>& tiles, int bytesPerPixel, PixelAt pixelAt) {
    for (int y = 0; y < kTileSide; ++y) {
        for (int x = 0; x < kTileSide; ++x) {
            const uint32_t pixel = pixelAt(x, y);
            for (int b = 0; b < bytesPerPixel; ++b) {
                tiles.push_back(static_cast<uint8_t>(pixel >> (8 * b)));
            }
        }
    }
}

// ---- Helpers ----------------------------------------------------------------

// count records of recordSize bytes whose contents vary with the position
// and the seed, so tests can tell tables and records apart.
std::vector<uint8_t> PatternBytes(std::size_t count, std::size_t recordSize, uint8_t seed);

// A file holding the given bytes, removed again when the object goes.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::vector<uint8_t>& bytes);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    const char* c_str() const { return path_.c_str(); }

private:
    std::string path_;
};

// Writes bytes to a new file in the temporary directory and returns its
// path; the caller removes it.
std::string WriteTemporaryFile(const std::vector<uint8_t>& bytes);
