// tr4mesh on bad input: every failure is one line on stderr and a non-zero
// exit status, never a crash; a damaged file is still listed as far as it
// could be read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/tools/ToolTestSupport.h"

namespace {

using nlohmann::json;

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kDamaged = 3;

class Tr4meshErrorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LevelDescription level = OnePageLevel();
        level.meshes = {FacingSquare(150), FacingSquare(80)};
        levelPath = scratch.Write("good.tr4", WriteLevelFile(level));
        png = scratch.File("picture.png");
    }

    // One line on stderr naming the problem, the given status, no picture.
    void ExpectOneLineFailure(const ToolRun& run, int exitCode, const std::string& phrase,
                              const std::string& context) {
        EXPECT_EQ(run.exitCode, exitCode) << context << "\n" << run.err;
        const std::vector<std::string> lines = run.ErrorLines();
        ASSERT_EQ(lines.size(), 1u) << context << "\n" << run.err;
        EXPECT_EQ(lines[0].rfind("tr4mesh: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(phrase), std::string::npos) << context << ": " << lines[0];
    }

    ScratchDirectory scratch;
    std::string levelPath;
    std::string png;
};

TEST_F(Tr4meshErrorsTest, BadArgumentsAreUsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* phrase;
    } kCases[] = {
        {{}, "command is required"},
        {{"frob"}, "frob"},
        {{"info"}, "FILE is required"},
        {{"info", levelPath, "--bogus"}, "--bogus"},
        {{"render", levelPath, "--out", png}, "--mesh"},
        {{"render", levelPath, "--mesh", "0"}, "--out"},
        {{"render", levelPath, "--mesh", "abc", "--out", png}, "--mesh"},
        {{"render", levelPath, "--mesh", "99999999999", "--out", png}, "--mesh"},
        {{"render", levelPath, "--mesh", "0", "--out", png, "--frames", "0"}, "--frames"},
        {{"render", levelPath, "--mesh", "0", "--out", png, "--frames", "x"}, "--frames"},
    };
    for (const auto& c : kCases) {
        std::string context;
        for (const std::string& arg : c.args) {
            context += arg + " ";
        }
        ExpectOneLineFailure(RunTr4mesh(c.args), kUsage, c.phrase, context);
        EXPECT_FALSE(std::filesystem::exists(png)) << context;
    }
}

TEST_F(Tr4meshErrorsTest, MalformedSizeIsAUsageError) {
    for (const char* size : {"0x10", "10x0", "10x", "x10", "10x10x", "4097x1", "1x4097", "abc", "-5x5", "5x-5",
                             "5 x5", "5x5 ", "", "0x0", "99999999999x1"}) {
        const ToolRun run = RunTr4mesh({"render", levelPath, "--mesh", "0", "--out", png, "--size", size});
        ExpectOneLineFailure(run, kUsage, "--size", std::string("size '") + size + "'");
        EXPECT_FALSE(std::filesystem::exists(png)) << size;
    }
}

TEST_F(Tr4meshErrorsTest, FilesThatCannotBeOpenedFail) {
    const std::string missing = scratch.File("missing.tr4");
    const std::string directory = scratch.File("folder.tr4");
    std::filesystem::create_directory(directory);
    const struct {
        std::string path;
        const char* phrase;
    } kCases[] = {{missing, "no such file"}, {directory, "not a regular file"}};
    for (const auto& c : kCases) {
        ExpectOneLineFailure(RunTr4mesh({"info", c.path}), kFailed, c.phrase, "info " + c.path);
        ExpectOneLineFailure(RunTr4mesh({"render", c.path, "--mesh", "0", "--out", png}), kFailed, c.phrase,
                             "render " + c.path);
        EXPECT_FALSE(std::filesystem::exists(png));
    }
}

TEST_F(Tr4meshErrorsTest, UnreadableFileFails) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their permissions";
    }
    std::filesystem::permissions(levelPath, std::filesystem::perms::none);
    ExpectOneLineFailure(RunTr4mesh({"info", levelPath}), kFailed, "not readable", "info");
}

TEST_F(Tr4meshErrorsTest, MeshOutOfRangeFails) {
    for (const char* mesh : {"2", "-1", "2147483647"}) {
        const ToolRun run = RunTr4mesh({"render", levelPath, "--mesh", mesh, "--out", png});
        ExpectOneLineFailure(run, kFailed, "holds 2 meshes", std::string("mesh ") + mesh);
        EXPECT_FALSE(std::filesystem::exists(png)) << mesh;
    }
}

TEST_F(Tr4meshErrorsTest, PictureThatCannotBeWrittenFails) {
    const std::string intoNowhere = scratch.File("no-such-folder/picture.png");
    ExpectOneLineFailure(RunTr4mesh({"render", levelPath, "--mesh", "0", "--out", intoNowhere}), kFailed,
                         "cannot write", "render");
}

// Damaged files made by the writer: what could be read is still listed, and
// one line names the damage.
TEST_F(Tr4meshErrorsTest, DamagedFilesAreListedAndReported) {
    LevelDescription good = OnePageLevel();
    good.meshes = {FacingSquare(150), FacingSquare(80)};
    const std::vector<uint8_t> image = WriteLevelFile(good);
    const LevelFileLayout layout = DescribeLevelFile(good);
    const std::size_t insideTiles = (layout.chunkData[0] + layout.chunkHeader[1]) / 2;
    const std::size_t insideLevelData = (layout.chunkData[3] + layout.numSamples) / 2;

    LevelDescription corruptTiles = good;
    corruptTiles.chunks[static_cast<int>(Chunk::Textiles32)].corruptStream = true;
    LevelDescription corruptLevelData = good;
    corruptLevelData.chunks[static_cast<int>(Chunk::LevelData)].corruptStream = true;
    LevelDescription meshDataPastEnd = good;
    meshDataPastEnd.countOverrides[LevelCount::MeshData] = 1000000;
    LevelDescription cutLevelData = good;
    cutLevelData.levelDataCut = 40;

    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::size_t meshes;
        const char* phrase;
    } kCases[] = {
        {"cut inside the tiles", CutLevelFile(image, insideTiles), 0, "chunk textiles32"},
        {"cut inside the level data", CutLevelFile(image, insideLevelData), 0, "chunk levelData"},
        {"corrupt 32-bit tiles", WriteLevelFile(corruptTiles), 2, "chunk textiles32"},
        {"corrupt level data", WriteLevelFile(corruptLevelData), 0, "chunk levelData"},
        {"mesh data past the block", WriteLevelFile(meshDataPastEnd), 0, "mesh-data words"},
        {"level data cut inside the meshes", WriteLevelFile(cutLevelData), 0, "mesh-data words"},
    };
    for (const auto& c : kCases) {
        const std::string path = scratch.Write("damaged.tr4", c.bytes);
        const ToolRun run = RunTr4mesh({"info", path, "--json"});
        ExpectOneLineFailure(run, kDamaged, c.phrase, c.name);
        EXPECT_NE(run.err.find("damaged"), std::string::npos) << c.name;
        const json report = json::parse(run.out, nullptr, false);
        ASSERT_FALSE(report.is_discarded()) << c.name << "\n" << run.out;
        EXPECT_EQ(report["meshes"].size(), c.meshes) << c.name;
        EXPECT_EQ(report["version"], json({'T', 'R', '4', 0})) << c.name;
    }
}

// A damaged file whose mesh survived is still rendered (untextured when its
// page was lost); one whose mesh was lost names the damage with the range.
TEST_F(Tr4meshErrorsTest, RenderOnDamagedFiles) {
    LevelDescription corruptTiles = OnePageLevel();
    corruptTiles.meshes = {FacingSquare(150)};
    corruptTiles.chunks[static_cast<int>(Chunk::Textiles32)].corruptStream = true;
    const std::string survived = scratch.Write("tiles.tr4", WriteLevelFile(corruptTiles));
    ExpectOneLineFailure(RunTr4mesh({"render", survived, "--mesh", "0", "--out", png}), kDamaged, "damaged",
                         "corrupt tiles");
    EXPECT_TRUE(std::filesystem::exists(png));

    const std::string lost = scratch.Write("cut.tr4", CutLevelFile(WriteLevelFile(corruptTiles), 100));
    ExpectOneLineFailure(RunTr4mesh({"render", lost, "--mesh", "0", "--out", scratch.File("lost.png")}), kFailed,
                         "holds 0 meshes (the file is damaged", "cut file");
}

// A count that asks for more memory than there is: a clear failure, never
// a crash. The allocation is made to fail: without the sanitizer by a limit
// on the address space (which the sanitizer's shadow memory cannot live
// with), under it by letting its allocator return null instead of aborting.
TEST_F(Tr4meshErrorsTest, ImpossibleAllocationIsReported) {
    LevelDescription huge = OnePageLevel();
    huge.meshes = {FacingSquare(150)};
    huge.countOverrides[LevelCount::ObjectTextures] = 0xFFFFFFFFu;
    const std::string path = scratch.Write("huge.tr4", WriteLevelFile(huge));
#if defined(__SANITIZE_ADDRESS__)
    const std::string failingAllocation = "export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1;";
    const std::string limit = "";
#else
    const std::string failingAllocation = "";
    const std::string limit = "ulimit -v 4000000;";
#endif
    const ToolRun run = RunTr4mesh({"info", path}, limit + failingAllocation);
    ExpectOneLineFailure(run, kFailed, "out of memory reading", "huge object texture count");
}

}  // namespace
