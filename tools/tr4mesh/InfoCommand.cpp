// tr4mesh info: the container fields, every count of the level data, the
// texture page count and one entry per mesh, as text or as one JSON object.
#include <cstdint>
#include <iostream>
#include <memory>
#include <new>

#include <nlohmann/json.hpp>

#include "level/trLevel.h"
#include "tools/tr4mesh/Commands.h"
#include "tools/tr4mesh/LevelDamage.h"

namespace {

using Json = nlohmann::ordered_json;

struct LevelField {
    const char* name;
    uint32_t (*read)(const trLevel&);
};

template <auto Member>
uint32_t Read(const trLevel& level) {
    return level.*Member;
}

// Container fields after version, in file order.
constexpr LevelField kContainerFields[] = {
    {"numRoomTextiles", Read<&trLevel::numRoomTextiles>},
    {"numObjectTextiles", Read<&trLevel::numObjectTextiles>},
    {"numBumpTextiles", Read<&trLevel::numBumpTextiles>},
    {"textiles32Size", Read<&trLevel::textiles32Size>},
    {"textiles32PackedSize", Read<&trLevel::textiles32PackedSize>},
    {"textiles16Size", Read<&trLevel::textiles16Size>},
    {"textiles16PackedSize", Read<&trLevel::textiles16PackedSize>},
    {"miscTextilesSize", Read<&trLevel::miscTextilesSize>},
    {"miscTextilesPackedSize", Read<&trLevel::miscTextilesPackedSize>},
    {"levelDataSize", Read<&trLevel::levelDataSize>},
    {"levelDataPackedSize", Read<&trLevel::levelDataPackedSize>},
    {"numSamples", Read<&trLevel::numSamples>},
};

// Every count of the level-data block, in block order.
constexpr LevelField kLevelCounts[] = {
    {"numRooms", Read<&trLevel::numRooms>},
    {"numFloorData", Read<&trLevel::numFloorData>},
    {"numMeshData", Read<&trLevel::numMeshData>},
    {"numMeshPointers", Read<&trLevel::numMeshPointers>},
    {"numAnimations", Read<&trLevel::numAnimations>},
    {"numStateChanges", Read<&trLevel::numStateChanges>},
    {"numAnimDispatches", Read<&trLevel::numAnimDispatches>},
    {"numAnimCommands", Read<&trLevel::numAnimCommands>},
    {"numMeshTrees", Read<&trLevel::numMeshTrees>},
    {"numFrames", Read<&trLevel::numFrames>},
    {"numMoveables", Read<&trLevel::numMoveables>},
    {"numStaticMeshes", Read<&trLevel::numStaticMeshes>},
    {"numSpriteTextures", Read<&trLevel::numSpriteTextures>},
    {"numSpriteSequences", Read<&trLevel::numSpriteSequences>},
    {"numCameras", Read<&trLevel::numCameras>},
    {"numFlybyCameras", Read<&trLevel::numFlybyCameras>},
    {"numSoundSources", Read<&trLevel::numSoundSources>},
    {"numBoxes", Read<&trLevel::numBoxes>},
    {"numOverlaps", Read<&trLevel::numOverlaps>},
    {"numAnimatedTextures", Read<&trLevel::numAnimatedTextures>},
    {"numObjectTextures", Read<&trLevel::numObjectTextures>},
    {"numItems", Read<&trLevel::numItems>},
    {"numAIObjects", Read<&trLevel::numAIObjects>},
    {"numDemoData", Read<&trLevel::numDemoData>},
    {"numSoundDetails", Read<&trLevel::numSoundDetails>},
    {"numSampleIndices", Read<&trLevel::numSampleIndices>},
};

Json DescribeMesh(const trMesh& mesh) {
    Json entry;
    entry["centre"] = {mesh.centre.x, mesh.centre.y, mesh.centre.z};
    entry["radius"] = mesh.radius;
    entry["numVertices"] = mesh.numVertices;
    entry["numNormals"] = mesh.numNormals;
    entry["numTexturedQuads"] = mesh.numTexturedQuads;
    entry["numTexturedTriangles"] = mesh.numTexturedTriangles;
    return entry;
}

Json DescribeLevel(const trLevel& level, const OpenedLevel& opened) {
    Json report;
    report["version"] = Json::array();
    for (uint8_t byte : level.version) {
        report["version"].push_back(byte);
    }
    for (const LevelField& field : kContainerFields) {
        report[field.name] = field.read(level);
    }
    for (const LevelField& field : kLevelCounts) {
        report[field.name] = field.read(level);
    }
    report["pageCount"] = opened.textures ? opened.textures->GetPageCount() : 0;
    report["meshes"] = Json::array();
    const int32_t count = opened.meshList ? opened.meshList->GetCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        trMesh* mesh = nullptr;
        if (opened.meshList->GetMesh(i, mesh) == 1) {
            report["meshes"].push_back(DescribeMesh(*mesh));
        }
    }
    return report;
}

void PrintText(const Json& report, std::ostream& out) {
    for (const auto& [name, value] : report.items()) {
        if (name == "meshes") {
            continue;
        }
        if (name == "version") {
            out << "version: " << value[0] << ' ' << value[1] << ' ' << value[2] << ' ' << value[3] << '\n';
        } else {
            out << name << ": " << value << '\n';
        }
    }
    const Json& meshes = report["meshes"];
    out << "meshes: " << meshes.size() << '\n';
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        const Json& mesh = meshes[i];
        const Json& centre = mesh["centre"];
        out << "  mesh " << i << ": centre (" << centre[0] << ", " << centre[1] << ", " << centre[2]
            << ") radius " << mesh["radius"] << ", " << mesh["numVertices"] << " vertices, " << mesh["numNormals"]
            << " normals, " << mesh["numTexturedQuads"] << " quads, " << mesh["numTexturedTriangles"]
            << " triangles\n";
    }
}

}  // namespace

int RunInfo(const InfoOptions& options) {
    RequireReadableFile(options.file);
    auto level = std::make_unique<trLevel>();
    // No device: counting needs no texture or buffer on a device.
    std::optional<OpenedLevel> opened = OpenLevel(options.file.c_str(), *level, nullptr, PageDepth::Bits32);
    if (!opened) {
        throw ToolError("cannot open " + options.file);
    }
    const Json report = DescribeLevel(*level, *opened);
    if (options.json) {
        std::cout << report.dump(2) << '\n';
    } else {
        PrintText(report, std::cout);
    }
    std::cout.flush();
    const std::string damage = DescribeDamage(*level);
    if (!damage.empty()) {
        std::cerr << "tr4mesh: " << options.file << " is damaged: " << damage << '\n';
        return kExitDamaged;
    }
    return kExitOk;
}
