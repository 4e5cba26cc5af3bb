// The demo level written at build time: every mesh shows textured on the
// magenta background from the viewer's camera, at both texture depths.
#include <gtest/gtest.h>

#include <QImage>
#include <nlohmann/json.hpp>

#include "tests/tools/ToolTestSupport.h"

namespace {

TEST(DemoLevelTest, EveryMeshRendersTexturedAtBothDepths) {
    ScratchDirectory scratch;
    const std::string demo = scratch.File("demo.tr4");
    const ToolRun written = RunProgram(TR4DEMO_PATH, {demo});
    ASSERT_EQ(written.exitCode, 0) << written.err;

    const ToolRun info = RunTr4mesh({"info", demo, "--json"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const nlohmann::json report = nlohmann::json::parse(info.out);
    EXPECT_EQ(report["pageCount"], 3);
    const std::size_t meshCount = report["meshes"].size();
    EXPECT_GE(meshCount, 3u);

    for (std::size_t mesh = 0; mesh < meshCount; ++mesh) {
        for (const bool sixteenBit : {false, true}) {
            const std::string png = scratch.File("mesh.png");
            std::vector<std::string> args = {"render", demo, "--mesh", std::to_string(mesh), "--frames", "300",
                                             "--size", "120x120", "--out", png};
            if (sixteenBit) {
                args.push_back("--16bit");
            }
            const ToolRun run = RunTr4mesh(args);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const QImage image(QString::fromStdString(png));
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.pixel(0, 0), kMagenta) << mesh;
            EXPECT_NE(image.pixel(60, 60), kMagenta) << "mesh " << mesh << (sixteenBit ? " 16-bit" : " 32-bit");
        }
    }
}

TEST(DemoLevelTest, WithoutAnOutputPathItFails) {
    const ToolRun run = RunProgram(TR4DEMO_PATH, {});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.ErrorLines().size(), 1u) << run.err;
}

}  // namespace
