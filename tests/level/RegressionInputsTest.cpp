// Every input that once broke the reader (fuzz/regressions, tests/data) must
// load: a result of 1, or std::bad_alloc for sizes the machine refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> RegressionInputs() {
    std::vector<fs::path> inputs;
    const fs::path kept[] = {fs::path(TR4_SOURCE_DIR) / "fuzz" / "regressions", TR4_TEST_DATA_DIR};
    for (const fs::path& directory : kept) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
            if (entry.is_regular_file() && entry.path().extension() == ".tr4") inputs.push_back(entry.path());
        }
    }
    return inputs;
}

TEST(RegressionInputsTest, EveryKeptInputLoads) {
    const std::vector<fs::path> inputs = RegressionInputs();
    ASSERT_FALSE(inputs.empty()) << "the regression inputs were not found";
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        try {
            trLevel level{};
            ASSERT_EQ(LoadLevelFile(input.c_str(), &level), 1);
            EXPECT_LE(level.meshDataBytes, level.meshData.byteCount());
            EXPECT_LE(level.levelDataSize, level.levelData.byteCount());
            Lista_Mesh* list = nullptr;
            ParseMeshes(level.meshData.bytes(), level.meshDataBytes, list);
            const std::unique_ptr<Lista_Mesh> owned(list);
        } catch (const std::bad_alloc&) {
            EXPECT_NE(input.string().find("160gib"), std::string::npos) << "unexpected std::bad_alloc";
        }
    }
}

}  // namespace
