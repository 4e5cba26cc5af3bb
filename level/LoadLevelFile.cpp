// Reads a .tr4 container: header, four zlib chunks, sample count and data.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "level/trLevel.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Reads up to byteCount bytes straight into field; a short file leaves the
// field with whatever bytes arrived.
template <typename Field>
void ReadField(Field& field, std::FILE* file) {
    std::fread(&field, 1, sizeof(field), file);
}

// Bytes between the current position and the end of the file; the position
// is kept. 0 when the stream cannot say.
std::size_t BytesLeft(std::FILE* file) {
    std::fpos_t noted;
    if (std::fgetpos(file, &noted) != 0) {
        return 0;
    }
    const long here = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    std::fsetpos(file, &noted);
    return here >= 0 && end > here ? static_cast<std::size_t>(end - here) : 0;
}

struct ChunkFields {
    uint32_t trLevel::*size;
    uint32_t trLevel::*packedSize;
    OwnedBytes trLevel::*array;
};

constexpr ChunkFields kChunks[] = {
    {&trLevel::textiles32Size, &trLevel::textiles32PackedSize, &trLevel::textiles32},
    {&trLevel::textiles16Size, &trLevel::textiles16PackedSize, &trLevel::textiles16},
    {&trLevel::miscTextilesSize, &trLevel::miscTextilesPackedSize, &trLevel::miscTextiles},
    {&trLevel::levelDataSize, &trLevel::levelDataPackedSize, &trLevel::levelData},
};

// Reads one chunk's sizes and stream and inflates it into its array, whose
// capacity is the declared size. The size field ends as the number of bytes
// the stream produced. A damaged packed size can claim more than the file
// holds: the temporary buffer never exceeds what is left.
void ReadChunk(trLevel& level, const ChunkFields& chunk, std::FILE* file) {
    uint32_t& size = level.*chunk.size;
    uint32_t& packedSize = level.*chunk.packedSize;
    ReadField(size, file);
    ReadField(packedSize, file);

    // Not zeroed: only the bytes the read delivered are handed to zlib.
    const std::size_t packedCapacity = std::min<std::size_t>(packedSize, BytesLeft(file));
    const auto packed = std::make_unique_for_overwrite<uint8_t[]>(packedCapacity);
    const std::size_t packedRead = std::fread(packed.get(), 1, packedCapacity, file);

    OwnedBytes& array = level.*chunk.array;
    array.Allocate(size);
    uLongf produced = size;
    uncompress(array.bytes(), &produced, packed.get(), static_cast<uLong>(packedRead));
    size = static_cast<uint32_t>(std::min<uLongf>(produced, array.byteCount()));
}

}  // namespace

int LoadLevelFile(const char* path, trLevel* level) {
    FileHandle file(path != nullptr && level != nullptr ? std::fopen(path, "rb") : nullptr);
    if (!file) {
        return 0;
    }
    std::rewind(file.get());
    ReadField(level->version, file.get());
    ReadField(level->numRoomTextiles, file.get());
    ReadField(level->numObjectTextiles, file.get());
    ReadField(level->numBumpTextiles, file.get());
    for (const ChunkFields& chunk : kChunks) {
        ReadChunk(*level, chunk, file.get());
    }
    ReadField(level->numSamples, file.get());

    const std::size_t sampleBytes = BytesLeft(file.get());
    level->sampleData.Allocate(sampleBytes);
    std::fread(level->sampleData.bytes(), 1, sampleBytes, file.get());
    file.reset();

    ParseLevelData(level);
    return 1;
}
