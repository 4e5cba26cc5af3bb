// What the panel shows after a click and K frames is, pixel for pixel, what
// `tr4mesh render` draws for the same level, mesh and number of frames.
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Main.h"
#include "tests/app/AppTestSupport.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 40;

// Renders mesh of the demo level with the command-line tool; a null image
// when the tool failed.
QImage ToolPicture(int mesh) {
    const fs::path out = fs::temp_directory_path() / ("viewer-matches-tool-" + std::to_string(mesh) + ".png");
    const std::string command = std::string(TR4MESH_PATH) + " render " + TR4_DEMO_LEVEL + " --mesh " +
                                std::to_string(mesh) + " --frames " + std::to_string(kFrames) + " --out " +
                                out.string() + " > /dev/null";
    if (std::system(command.c_str()) != 0) {
        return QImage();
    }
    QImage picture(QString::fromStdString(out.string()));
    fs::remove(out);
    return picture.convertToFormat(QImage::Format_RGB32);
}

class ViewerMatchesToolTest : public MainWindowTest {
protected:
    // Opens the demo level, clicks the mesh, restarts the spin and runs the
    // frames; returns the panel's last frame.
    QImage PanelPicture(int mesh) {
        OpenDialogAnswer answer(TR4_DEMO_LEVEL);
        Form1->Open1->Click();
        ClickListBox(*Form1->ListBox1, mesh);
        Settle();  // the click's repaints run frames of their own
        spinAngle = 0.0f;
        for (int i = 0; i < kFrames; ++i) {
            Application->HandleMessage();
        }
        EXPECT_EQ(spinAngle, SpinAfterFrames(0.0f, kFrames)) << "a frame more or less than asked for ran";
        return Form1->Panel1->LastFrame().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(ViewerMatchesToolTest, EveryDemoMeshLooksTheSameInThePanelAndFromTheTool) {
    for (int mesh = 0; mesh < 4; ++mesh) {
        SCOPED_TRACE("mesh " + std::to_string(mesh));
        const QImage tool = ToolPicture(mesh);
        ASSERT_FALSE(tool.isNull()) << "tr4mesh render failed";
        const QImage panel = PanelPicture(mesh);
        ASSERT_EQ(panel.size(), tool.size());
        EXPECT_TRUE(panel == tool) << "the panel and the tool show different pixels";
    }
}

}  // namespace
