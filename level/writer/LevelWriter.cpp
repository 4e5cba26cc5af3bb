#include "level/writer/LevelWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace {

// Little-endian output.
class ByteWriter {
public:
    void Put8(uint8_t value) { bytes_.push_back(value); }
    void Put16(uint16_t value) {
        Put8(static_cast<uint8_t>(value));
        Put8(static_cast<uint8_t>(value >> 8));
    }
    void Put32(uint32_t value) {
        Put16(static_cast<uint16_t>(value));
        Put16(static_cast<uint16_t>(value >> 16));
    }
    void PutBytes(const uint8_t* data, std::size_t count) { bytes_.insert(bytes_.end(), data, data + count); }
    template <std::size_t N>
    void PutBytes(const std::array<uint8_t, N>& data) { PutBytes(data.data(), N); }
    void PutBytes(const std::vector<uint8_t>& data) { PutBytes(data.data(), data.size()); }
    void PutWords(const std::vector<uint16_t>& words) {
        for (uint16_t word : words) Put16(word);
    }
    void PutLongs(const std::vector<uint32_t>& values) {
        for (uint32_t value : values) Put32(value);
    }
    void PutVector(const ShortVector& v) {
        Put16(static_cast<uint16_t>(v.x));
        Put16(static_cast<uint16_t>(v.y));
        Put16(static_cast<uint16_t>(v.z));
    }
    std::size_t size() const { return bytes_.size(); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

template <typename Key, typename Value>
Value CountOr(const std::map<Key, Value>& overrides, Key key, std::size_t derived) {
    const auto found = overrides.find(key);
    return found != overrides.end() ? found->second : static_cast<Value>(derived);
}

int16_t MeshCountOr(const MeshDescription& mesh, MeshCount key, std::ptrdiff_t derived) {
    const auto found = mesh.countOverrides.find(key);
    return found != mesh.countOverrides.end() ? found->second : static_cast<int16_t>(derived);
}

void PutMeshRecord(ByteWriter& out, const MeshDescription& mesh) {
    const std::size_t start = out.size();
    out.PutVector(mesh.centre);
    out.Put32(mesh.radius);
    out.Put16(static_cast<uint16_t>(MeshCountOr(mesh, MeshCount::Vertices, std::ssize(mesh.vertices))));
    for (const ShortVector& v : mesh.vertices) out.PutVector(v);
    const std::ptrdiff_t normals =
        mesh.normals.empty() ? -std::ssize(mesh.lights) : std::ssize(mesh.normals);
    out.Put16(static_cast<uint16_t>(MeshCountOr(mesh, MeshCount::Normals, normals)));
    if (!mesh.normals.empty()) {
        for (const ShortVector& n : mesh.normals) out.PutVector(n);
    } else {
        for (int16_t light : mesh.lights) out.Put16(static_cast<uint16_t>(light));
    }
    out.Put16(static_cast<uint16_t>(MeshCountOr(mesh, MeshCount::TexturedQuads, std::ssize(mesh.quads))));
    for (const QuadDescription& quad : mesh.quads) {
        for (uint16_t index : quad.indices) out.Put16(index);
        out.Put16(quad.texture);
        out.Put16(quad.effects);
    }
    out.Put16(static_cast<uint16_t>(
        MeshCountOr(mesh, MeshCount::TexturedTriangles, std::ssize(mesh.triangles))));
    for (const TriangleDescription& triangle : mesh.triangles) {
        for (uint16_t index : triangle.indices) out.Put16(index);
        out.Put16(triangle.texture);
        out.Put16(triangle.effects);
    }
    if ((out.size() - start) % 4 != 0) {
        out.Put16(mesh.fillerValue);
    }
}

void PutRoom(ByteWriter& out, const RoomDescription& room) {
    const auto count = [&room](RoomCount key, std::size_t bytes, uint32_t recordSize) {
        return CountOr(room.countOverrides, key, bytes / recordSize);
    };
    out.PutBytes(room.info);
    out.Put32(room.numDataWords);
    out.Put16(count(RoomCount::Vertices, room.vertices.size(), RecordSize::RoomVertex));
    out.PutBytes(room.vertices);
    out.Put16(count(RoomCount::Rectangles, room.rectangles.size(), RecordSize::RoomRectangle));
    out.PutBytes(room.rectangles);
    out.Put16(count(RoomCount::Triangles, room.triangles.size(), RecordSize::RoomTriangle));
    out.PutBytes(room.triangles);
    out.Put16(count(RoomCount::Sprites, room.sprites.size(), RecordSize::RoomSprite));
    out.PutBytes(room.sprites);
    out.Put16(count(RoomCount::Portals, room.portals.size(), RecordSize::RoomPortal));
    out.PutBytes(room.portals);
    out.Put16(CountOr(room.countOverrides, RoomCount::ZSectors, room.numZSectors));
    out.Put16(CountOr(room.countOverrides, RoomCount::XSectors, room.numXSectors));
    out.PutBytes(room.sectors);
    out.Put16(room.colourLow);
    out.Put16(room.colourHigh);
    out.Put16(count(RoomCount::Lights, room.lights.size(), RecordSize::RoomLight));
    out.PutBytes(room.lights);
    out.Put16(count(RoomCount::Statics, room.statics.size(), RecordSize::RoomStatic));
    out.PutBytes(room.statics);
    out.Put16(room.alternateRoom);
    out.Put16(room.roomFlags);
    out.Put8(room.waterScheme);
    out.Put8(room.reverbInfo);
    out.Put8(room.alternateGroup);
}

void PutObjectTexture(ByteWriter& out, const ObjectTextureDescription& texture) {
    out.Put16(texture.attribute);
    out.Put16(texture.tile);
    out.Put16(texture.textureFlags);
    for (const ObjectTextureCornerDescription& corner : texture.corners) {
        out.Put8(corner.xFraction);
        out.Put8(corner.xPixel);
        out.Put8(corner.yFraction);
        out.Put8(corner.yPixel);
    }
    out.Put32(texture.baseU);
    out.Put32(texture.baseV);
    out.Put32(texture.width);
    out.Put32(texture.height);
}

std::vector<uint32_t> MeshRecordOffsets(const std::vector<MeshDescription>& meshes) {
    std::vector<uint32_t> offsets;
    uint32_t offset = 0;
    for (const MeshDescription& mesh : meshes) {
        offsets.push_back(offset);
        offset += static_cast<uint32_t>(EncodeMeshRecord(mesh).size());
    }
    return offsets;
}

// A table of fixed-size raw records: its count then its bytes.
struct RawTable {
    LevelCount key;
    const std::vector<uint8_t>* bytes;
    uint32_t recordSize;
};

void PutRawTables(ByteWriter& out, const LevelDescription& level, std::initializer_list<RawTable> tables) {
    for (const RawTable& table : tables) {
        out.Put32(CountOr(level.countOverrides, table.key, table.bytes->size() / table.recordSize));
        out.PutBytes(*table.bytes);
    }
}

uint32_t LevelCountOr(const LevelDescription& level, LevelCount key, std::size_t derived) {
    return CountOr(level.countOverrides, key, derived);
}

std::vector<uint8_t> EncodeTables(const LevelDescription& level) {
    ByteWriter out;
    out.PutBytes(level.reserved);
    out.Put16(static_cast<uint16_t>(LevelCountOr(level, LevelCount::Rooms, level.rooms.size())));
    for (const RoomDescription& room : level.rooms) PutRoom(out, room);
    out.Put32(LevelCountOr(level, LevelCount::FloorData, level.floorData.size()));
    out.PutWords(level.floorData);

    const std::vector<uint8_t> meshData = EncodeMeshData(level);
    out.Put32(LevelCountOr(level, LevelCount::MeshData, meshData.size() / 2));
    out.PutBytes(meshData);
    const std::vector<uint32_t> pointers = level.meshPointers.value_or(MeshRecordOffsets(level.meshes));
    out.Put32(LevelCountOr(level, LevelCount::MeshPointers, pointers.size()));
    out.PutLongs(pointers);

    PutRawTables(out, level, {{LevelCount::Animations, &level.animations, RecordSize::Animation},
                              {LevelCount::StateChanges, &level.stateChanges, RecordSize::StateChange},
                              {LevelCount::AnimDispatches, &level.animDispatches, RecordSize::AnimDispatch}});
    out.Put32(LevelCountOr(level, LevelCount::AnimCommands, level.animCommands.size()));
    out.PutWords(level.animCommands);
    out.Put32(LevelCountOr(level, LevelCount::MeshTrees, level.meshTrees.size()));
    out.PutLongs(level.meshTrees);
    out.Put32(LevelCountOr(level, LevelCount::Frames, level.frames.size()));
    out.PutWords(level.frames);
    PutRawTables(out, level, {{LevelCount::Moveables, &level.moveables, RecordSize::Moveable},
                              {LevelCount::StaticMeshes, &level.staticMeshes, RecordSize::StaticMesh}});
    out.PutBytes(level.spriteMarker);
    PutRawTables(out, level, {{LevelCount::SpriteTextures, &level.spriteTextures, RecordSize::SpriteTexture},
                              {LevelCount::SpriteSequences, &level.spriteSequences, RecordSize::SpriteSequence},
                              {LevelCount::Cameras, &level.cameras, RecordSize::Camera},
                              {LevelCount::FlybyCameras, &level.flybyCameras, RecordSize::FlybyCamera},
                              {LevelCount::SoundSources, &level.soundSources, RecordSize::SoundSource},
                              {LevelCount::Boxes, &level.boxes, RecordSize::Box}});
    out.Put32(LevelCountOr(level, LevelCount::Overlaps, level.overlaps.size()));
    out.PutWords(level.overlaps);
    out.PutBytes(level.zones);
    out.Put32(LevelCountOr(level, LevelCount::AnimatedTextures, level.animatedTextures.size()));
    out.PutWords(level.animatedTextures);
    out.PutBytes(level.textureMarker);
    out.Put32(LevelCountOr(level, LevelCount::ObjectTextures, level.objectTextures.size()));
    for (const ObjectTextureDescription& texture : level.objectTextures) PutObjectTexture(out, texture);
    PutRawTables(out, level, {{LevelCount::Items, &level.items, RecordSize::Item},
                              {LevelCount::AIObjects, &level.aiObjects, RecordSize::AIObject}});
    out.Put16(static_cast<uint16_t>(LevelCountOr(level, LevelCount::DemoData, level.demoData.size())));
    out.PutWords(level.demoData);
    for (uint16_t entry : level.soundMap) out.Put16(entry);
    PutRawTables(out, level, {{LevelCount::SoundDetails, &level.soundDetails, RecordSize::SoundDetail}});
    out.Put32(LevelCountOr(level, LevelCount::SampleIndices, level.sampleIndices.size()));
    out.PutLongs(level.sampleIndices);
    out.PutBytes(level.endMarker);
    return std::move(out.bytes());
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
    uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress(packed.data(), &packedSize, data.data(), static_cast<uLong>(data.size())) != Z_OK) {
        throw std::runtime_error("zlib compress failed");
    }
    packed.resize(packedSize);
    return packed;
}

// Flips the deflate data after the 2-byte zlib header so that inflation
// fails partway (or at the latest at the checksum).
void CorruptStream(std::vector<uint8_t>& stream) {
    for (std::size_t i = 2; i < stream.size(); i += 3) {
        stream[i] ^= 0xA5;
    }
}

struct EncodedChunk {
    uint32_t declaredSize;
    uint32_t packedSize;
    std::vector<uint8_t> stream;
};

EncodedChunk EncodeChunk(const std::vector<uint8_t>& data, const ChunkOptions& options) {
    EncodedChunk chunk{0, 0, Compress(data)};
    if (options.corruptStream) {
        CorruptStream(chunk.stream);
    }
    chunk.declaredSize = options.declaredSize.value_or(static_cast<uint32_t>(data.size()));
    chunk.packedSize = options.packedSize.value_or(static_cast<uint32_t>(chunk.stream.size()));
    return chunk;
}

std::array<EncodedChunk, 4> EncodeChunks(const LevelDescription& level) {
    const std::array<std::vector<uint8_t>, 4> contents{level.textiles32, level.textiles16,
                                                       level.miscTextiles, EncodeLevelData(level)};
    return {EncodeChunk(contents[0], level.chunks[0]), EncodeChunk(contents[1], level.chunks[1]),
            EncodeChunk(contents[2], level.chunks[2]), EncodeChunk(contents[3], level.chunks[3])};
}

}  // namespace

std::vector<uint8_t> EncodeMeshRecord(const MeshDescription& mesh) {
    ByteWriter out;
    PutMeshRecord(out, mesh);
    return std::move(out.bytes());
}

std::vector<uint8_t> EncodeMeshRecords(const std::vector<MeshDescription>& meshes) {
    ByteWriter out;
    for (const MeshDescription& mesh : meshes) PutMeshRecord(out, mesh);
    return std::move(out.bytes());
}

std::vector<uint8_t> EncodeMeshData(const LevelDescription& level) {
    ByteWriter out;
    for (const MeshDescription& mesh : level.meshes) PutMeshRecord(out, mesh);
    out.PutWords(level.extraMeshDataWords);
    return std::move(out.bytes());
}

std::vector<uint8_t> EncodeLevelData(const LevelDescription& level) {
    std::vector<uint8_t> block = level.levelDataOverride.value_or(EncodeTables(level));
    if (level.levelDataCut && *level.levelDataCut < block.size()) {
        block.resize(*level.levelDataCut);
    }
    return block;
}

std::vector<uint8_t> WriteLevelFile(const LevelDescription& level) {
    ByteWriter out;
    out.PutBytes(level.version);
    out.Put16(level.numRoomTextiles);
    out.Put16(level.numObjectTextiles);
    out.Put16(level.numBumpTextiles);
    for (const EncodedChunk& chunk : EncodeChunks(level)) {
        out.Put32(chunk.declaredSize);
        out.Put32(chunk.packedSize);
        out.PutBytes(chunk.stream);
    }
    out.Put32(level.numSamples);
    out.PutBytes(level.sampleData);
    return std::move(out.bytes());
}

LevelFileLayout DescribeLevelFile(const LevelDescription& level) {
    LevelFileLayout layout;
    std::size_t offset = 10;
    const std::array<EncodedChunk, 4> chunks = EncodeChunks(level);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        layout.chunkHeader[i] = offset;
        layout.chunkData[i] = offset + 8;
        offset += 8 + chunks[i].stream.size();
    }
    layout.numSamples = offset;
    return layout;
}

std::vector<uint8_t> CutLevelFile(const std::vector<uint8_t>& image, std::size_t length) {
    return {image.begin(), image.begin() + static_cast<std::ptrdiff_t>(std::min(length, image.size()))};
}

void AppendSolidTile(std::vector<uint8_t>& tiles, int bytesPerPixel, uint32_t pixel) {
    AppendTile(tiles, bytesPerPixel, [pixel](int, int) { return pixel; });
}

std::vector<uint8_t> PatternBytes(std::size_t count, std::size_t recordSize, uint8_t seed) {
    std::vector<uint8_t> bytes(count * recordSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t record = i / recordSize;
        bytes[i] = static_cast<uint8_t>(seed * 37u + record * 13u + (i % recordSize) * 3u + 1u);
    }
    return bytes;
}

std::string WriteTemporaryFile(const std::vector<uint8_t>& bytes) {
    const char* directory = std::getenv("TMPDIR");
    std::string path = std::string(directory && *directory ? directory : "/tmp") + "/tr4level-XXXXXX";
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0) {
        throw std::runtime_error("cannot create a temporary file");
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result <= 0) {
            close(descriptor);
            std::remove(path.c_str());
            throw std::runtime_error("cannot write a temporary file");
        }
        written += static_cast<std::size_t>(result);
    }
    close(descriptor);
    return path;
}

TemporaryFile::TemporaryFile(const std::vector<uint8_t>& bytes) : path_(WriteTemporaryFile(bytes)) {}

TemporaryFile::~TemporaryFile() { std::remove(path_.c_str()); }
