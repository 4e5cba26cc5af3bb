// tr4mesh info: the JSON object and the text listing of writer-made levels.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>
#include <string>

#include "tests/tools/ToolTestSupport.h"

namespace {

using nlohmann::json;

// A level with a distinct number in every table, so a count read from the
// wrong field shows.
LevelDescription CountedLevel() {
    LevelDescription level = OnePageLevel();
    AppendSolidTile(level.textiles32, 4, 0xFF000000);
    AppendSolidTile(level.textiles16, 2, 0);
    level.numRoomTextiles = 7;
    level.numObjectTextiles = 8;
    level.numBumpTextiles = 9;
    level.numSamples = 3;
    level.sampleData = {1, 2, 3, 4, 5};
    level.rooms.resize(1);
    level.floorData = {1, 2, 3};
    level.animations = PatternBytes(2, RecordSize::Animation, 1);
    level.stateChanges = PatternBytes(4, RecordSize::StateChange, 2);
    level.animDispatches = PatternBytes(5, RecordSize::AnimDispatch, 3);
    level.animCommands = {1, 2, 3, 4, 5, 6};
    level.meshTrees = {1, 2, 3, 4, 5, 6, 7};
    level.frames = {1, 2, 3, 4, 5, 6, 7, 8};
    level.moveables = PatternBytes(9, RecordSize::Moveable, 4);
    level.staticMeshes = PatternBytes(10, RecordSize::StaticMesh, 5);
    level.spriteTextures = PatternBytes(11, RecordSize::SpriteTexture, 6);
    level.spriteSequences = PatternBytes(12, RecordSize::SpriteSequence, 7);
    level.cameras = PatternBytes(13, RecordSize::Camera, 8);
    level.flybyCameras = PatternBytes(14, RecordSize::FlybyCamera, 9);
    level.soundSources = PatternBytes(15, RecordSize::SoundSource, 10);
    level.boxes = PatternBytes(16, RecordSize::Box, 11);
    level.overlaps = std::vector<uint16_t>(17, 1);
    level.zones = PatternBytes(16, RecordSize::Zone, 12);
    level.animatedTextures = std::vector<uint16_t>(18, 2);
    const ObjectTextureDescription whole = level.objectTextures[0];
    level.objectTextures.resize(19, whole);
    level.items = PatternBytes(20, RecordSize::Item, 13);
    level.aiObjects = PatternBytes(21, RecordSize::AIObject, 14);
    level.demoData = std::vector<uint16_t>(22, 3);
    level.soundDetails = PatternBytes(23, RecordSize::SoundDetail, 15);
    level.sampleIndices = std::vector<uint32_t>(24, 4);

    MeshDescription square = FacingSquare(100, {-5, 6, -7});
    square.radius = 141;
    square.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    MeshDescription lit = FacingSquare(50, {300, -200, 32767});
    lit.radius = 70000;
    lit.lights = {1, 2, 3};
    lit.triangles = {{{0, 1, 2}, 0}, {{0, 2, 3}, 0}};
    level.meshes = {square, lit};
    return level;
}

class Tr4meshInfoTest : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(Tr4meshInfoTest, JsonHasEveryFieldAndCountByName) {
    const LevelDescription level = CountedLevel();
    const std::string path = scratch.Write("counted.tr4", WriteLevelFile(level));
    const ToolRun run = RunTr4mesh({"info", path, "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const json report = json::parse(run.out);

    const uint32_t meshWords = static_cast<uint32_t>(EncodeMeshData(level).size() / 2);
    const LevelFileLayout layout = DescribeLevelFile(level);
    // A chunk's stream runs from its data offset to the next size field.
    auto packed = [&layout](int chunk) {
        const std::size_t next = chunk < 3 ? layout.chunkHeader[chunk + 1] : layout.numSamples;
        return next - layout.chunkData[chunk];
    };
    const struct {
        const char* name;
        uint64_t expected;
    } kFields[] = {
        {"numRoomTextiles", 7}, {"numObjectTextiles", 8}, {"numBumpTextiles", 9},
        {"textiles32Size", 2 * 262144}, {"textiles32PackedSize", packed(0)},
        {"textiles16Size", 2 * 131072}, {"textiles16PackedSize", packed(1)},
        {"miscTextilesSize", 0}, {"miscTextilesPackedSize", packed(2)},
        {"levelDataSize", EncodeLevelData(level).size()}, {"levelDataPackedSize", packed(3)}, {"numSamples", 3},
        {"numRooms", 1}, {"numFloorData", 3}, {"numMeshData", meshWords}, {"numMeshPointers", 2},
        {"numAnimations", 2}, {"numStateChanges", 4}, {"numAnimDispatches", 5}, {"numAnimCommands", 6},
        {"numMeshTrees", 7}, {"numFrames", 8}, {"numMoveables", 9}, {"numStaticMeshes", 10},
        {"numSpriteTextures", 11}, {"numSpriteSequences", 12}, {"numCameras", 13}, {"numFlybyCameras", 14},
        {"numSoundSources", 15}, {"numBoxes", 16}, {"numOverlaps", 17}, {"numAnimatedTextures", 18},
        {"numObjectTextures", 19}, {"numItems", 20}, {"numAIObjects", 21}, {"numDemoData", 22},
        {"numSoundDetails", 23}, {"numSampleIndices", 24}, {"pageCount", 2},
    };
    for (const auto& field : kFields) {
        ASSERT_TRUE(report.contains(field.name)) << field.name;
        EXPECT_EQ(report[field.name].get<uint64_t>(), field.expected) << field.name;
    }
    EXPECT_EQ(report["version"], json({'T', 'R', '4', 0}));

    std::set<std::string> expectedNames{"version", "meshes"};
    for (const auto& field : kFields) {
        expectedNames.insert(field.name);
    }
    std::set<std::string> names;
    for (const auto& [name, value] : report.items()) {
        names.insert(name);
    }
    EXPECT_EQ(names, expectedNames);
}

TEST_F(Tr4meshInfoTest, JsonListsEveryMeshInOrder) {
    const std::string path = scratch.Write("counted.tr4", WriteLevelFile(CountedLevel()));
    const ToolRun run = RunTr4mesh({"info", path, "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json meshes = json::parse(run.out)["meshes"];
    const json expected = json::parse(R"([
        {"centre": [-5, 6, -7], "radius": 141, "numVertices": 4, "numNormals": 4,
         "numTexturedQuads": 1, "numTexturedTriangles": 0},
        {"centre": [300, -200, 32767], "radius": 70000, "numVertices": 4, "numNormals": -3,
         "numTexturedQuads": 1, "numTexturedTriangles": 2}])");
    EXPECT_EQ(meshes, expected);
}

TEST_F(Tr4meshInfoTest, TextListingShowsTheSameValuesAsJson) {
    const std::string path = scratch.Write("counted.tr4", WriteLevelFile(CountedLevel()));
    const ToolRun text = RunTr4mesh({"info", path});
    const ToolRun asJson = RunTr4mesh({"info", path, "--json"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const json report = json::parse(asJson.out);
    for (const auto& [name, value] : report.items()) {
        if (value.is_number()) {
            EXPECT_NE(text.out.find("\n" + name + ": " + value.dump() + "\n"), std::string::npos) << name;
        }
    }
    EXPECT_NE(text.out.find("meshes: 2\n"), std::string::npos);
    EXPECT_NE(text.out.find("mesh 1: centre (300, -200, 32767) radius 70000, 4 vertices, -3 normals, 1 quads, "
                            "2 triangles"),
              std::string::npos)
        << text.out;
}

TEST_F(Tr4meshInfoTest, LevelWithoutMeshDataListsNoMeshes) {
    LevelDescription level = OnePageLevel();
    const std::string path = scratch.Write("empty.tr4", WriteLevelFile(level));
    const ToolRun run = RunTr4mesh({"info", path, "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json report = json::parse(run.out);
    EXPECT_EQ(report["numMeshData"], 0);
    EXPECT_EQ(report["meshes"], json::array());
    EXPECT_EQ(report["pageCount"], 1);
}

}  // namespace
