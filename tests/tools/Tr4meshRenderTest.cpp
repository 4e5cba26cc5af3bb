// tr4mesh render: the picture of a writer-made mesh as the viewer shows it.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "tests/tools/ToolTestSupport.h"

namespace {

class Tr4meshRenderTest : public ::testing::Test {
protected:
    // One level with a square facing the camera (mesh 0) and the same
    // square away from the level's origin (mesh 1).
    void SetUp() override {
        LevelDescription level = OnePageLevel();
        level.meshes = {FacingSquare(150), FacingSquare(150, {2000, -1500, -3000})};
        levelPath = scratch.Write("square.tr4", WriteLevelFile(level));
    }

    QImage Render(const std::vector<std::string>& extra, ToolRun* runOut = nullptr) {
        const std::string png = scratch.File("out" + std::to_string(++renders) + ".png");
        std::vector<std::string> args = {"render", levelPath, "--out", png};
        args.insert(args.end(), extra.begin(), extra.end());
        const ToolRun run = RunTr4mesh(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        if (runOut != nullptr) {
            *runOut = run;
        }
        return QImage(QString::fromStdString(png));
    }

    static QRgb Centre(const QImage& image) { return image.pixel(image.width() / 2, image.height() / 2); }

    ScratchDirectory scratch;
    std::string levelPath;
    int renders = 0;
};

TEST_F(Tr4meshRenderTest, PanelSizedPictureShowsTheTexturedMeshOnMagenta) {
    const QImage image = Render({"--mesh", "0"});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 337);
    EXPECT_EQ(image.height(), 377);
    for (QPoint corner : {QPoint(0, 0), QPoint(336, 0), QPoint(0, 376), QPoint(336, 376)}) {
        EXPECT_EQ(image.pixel(corner), kMagenta) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(Centre(image), kGreen32);
}

TEST_F(Tr4meshRenderTest, CameraFollowsAMeshAwayFromTheOrigin) {
    const QImage image = Render({"--mesh", "1", "--size", "40x30"});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Centre(image), kGreen32);
    EXPECT_EQ(image.pixel(0, 0), kMagenta);
}

TEST_F(Tr4meshRenderTest, SizeOptionSetsThePictureSize) {
    const struct {
        const char* size;
        int width, height;
    } kSizes[] = {{"64x48", 64, 48}, {"1x1", 1, 1}, {"500x20", 500, 20}};
    for (const auto& size : kSizes) {
        const QImage image = Render({"--mesh", "0", "--size", size.size});
        EXPECT_EQ(image.width(), size.width) << size.size;
        EXPECT_EQ(image.height(), size.height) << size.size;
    }
}

// The 16-bit tile is blue where the 32-bit one is green: the picture shows
// which page set the adapter's answer chose.
TEST_F(Tr4meshRenderTest, SixteenBitOptionDrawsTheSixteenBitPages) {
    ToolRun run;
    const QImage image = Render({"--mesh", "0", "--size", "40x40", "--16bit"}, &run);
    const QColor centre(Centre(image));
    EXPECT_EQ(centre.red(), 0);
    EXPECT_EQ(centre.green(), 0);
    EXPECT_GE(centre.blue(), 248);
    EXPECT_EQ(image.pixel(0, 0), kMagenta);
    EXPECT_NE(run.out.find("16-bit"), std::string::npos) << run.out;
}

// Frames advance the spin by 0.001 each: after 1000 frames the square has
// turned by about 1 radian, so it looks about cos(1) = 0.54 as wide.
TEST_F(Tr4meshRenderTest, FramesTurnTheMesh) {
    auto greenWidth = [](const QImage& image) {
        int width = 0;
        for (int x = 0; x < image.width(); ++x) {
            width += image.pixel(x, image.height() / 2) == kGreen32 ? 1 : 0;
        }
        return width;
    };
    const int facing = greenWidth(Render({"--mesh", "0", "--size", "201x201", "--frames", "1"}));
    const int turned = greenWidth(Render({"--mesh", "0", "--size", "201x201", "--frames", "1000"}));
    ASSERT_GT(facing, 40);
    EXPECT_GT(turned, facing * 4 / 10);
    EXPECT_LT(turned, facing * 7 / 10);
}

}  // namespace
