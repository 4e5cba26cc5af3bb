#include "tools/tr4mesh/LevelDamage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "level/trLevel.h"
#include "tools/tr4mesh/Commands.h"

namespace {

struct ChunkField {
    const char* name;
    uint32_t trLevel::*size;
    OwnedBytes trLevel::*array;
};

constexpr ChunkField kChunks[] = {
    {"textiles32", &trLevel::textiles32Size, &trLevel::textiles32},
    {"textiles16", &trLevel::textiles16Size, &trLevel::textiles16},
    {"miscTextiles", &trLevel::miscTextilesSize, &trLevel::miscTextiles},
    {"levelData", &trLevel::levelDataSize, &trLevel::levelData},
};

}  // namespace

void RequireReadableFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        throw ToolError("cannot open " + path + ": no such file");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw ToolError("cannot open " + path + ": not a regular file");
    }
    if (!std::ifstream(path, std::ios::binary)) {
        throw ToolError("cannot open " + path + ": not readable");
    }
}

std::string DescribeDamage(const trLevel& level) {
    std::vector<std::string> problems;
    for (const ChunkField& chunk : kChunks) {
        const std::size_t declared = (level.*chunk.array).byteCount();
        if (level.*chunk.size < declared) {
            problems.push_back("chunk " + std::string(chunk.name) + " inflated to " +
                               std::to_string(level.*chunk.size) + " of " + std::to_string(declared) +
                               " declared bytes");
        }
    }
    if (uint64_t{level.numMeshData} * 2 != level.meshDataBytes) {
        problems.push_back("its " + std::to_string(level.numMeshData) +
                           " mesh-data words run past the end of the level data");
    }
    std::string line;
    for (const std::string& problem : problems) {
        line += (line.empty() ? "" : "; ") + problem;
    }
    return line;
}
