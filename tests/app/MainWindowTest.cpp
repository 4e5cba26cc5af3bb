// The main window as the process entry makes it: its form description, the
// frame loop, Exit and closing.
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Main.h"
#include "level/Lista_Mesh.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/d3d8/d3dx8.h"
#include "render/dxDevice8.h"
#include "tests/app/AppTestSupport.h"

namespace {

constexpr uint32_t kMagenta = 0xFFFF00FFu;

// Number of pixels of the image that are not opaque magenta.
int CountNonMagenta(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels.constScanLine(y));
        count += static_cast<int>(std::count_if(row, row + pixels.width(), [](uint32_t p) { return p != kMagenta; }));
    }
    return count;
}

TEST_F(MainWindowTest, WindowHasCaptionAndOuterBoundsOfTheDesign) {
    EXPECT_EQ(Form1->Caption(), "PROTOTIPO");
    EXPECT_EQ(QRect(Form1->Left(), Form1->Top(), Form1->Width(), Form1->Height()), QRect(192, 110, 956, 640));
}

TEST_F(MainWindowTest, ControlsSitWhereTheDesignPutsThem) {
    struct Place {
        const char* name;
        const char* parent;  // null: the form's client area
        QRect geometry;
    };
    const Place places[] = {
        {"Panel1", nullptr, {296, 120, 337, 377}},      {"ProgressBar1", nullptr, {24, 8, 265, 25}},
        {"ProgressBar2", nullptr, {624, 8, 297, 25}},   {"GroupBox1", nullptr, {24, 48, 249, 521}},
        {"ListBox1", "GroupBox1", {8, 24, 233, 225}},   {"ListBox2", "GroupBox1", {8, 312, 233, 193}},
        {"GroupBox2", nullptr, {640, 48, 257, 521}},    {"ListBox3", "GroupBox2", {8, 312, 241, 193}},
        {"ListBox4", "GroupBox2", {8, 24, 241, 225}},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        const auto* control = Form1->findChild<QWidget*>(QString::fromLatin1(place.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), place.geometry);
        const QWidget* parent = place.parent != nullptr
                                    ? Form1->findChild<QWidget*>(QString::fromLatin1(place.parent))
                                    : Form1->ClientArea();
        EXPECT_EQ(control->parentWidget(), parent);
        EXPECT_TRUE(control->isVisible());
    }
}

TEST_F(MainWindowTest, ControlsCarryTheDesignedCaptionsFontsAndRanges) {
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Source:");
    EXPECT_EQ(Form1->GroupBox2->Caption(), "Target:");
    EXPECT_EQ(Form1->Panel1->Caption(), "Panel1");

    struct FontCase {
        QWidget* control;
        int pixelSize;
        bool bold;
    };
    const FontCase fonts[] = {
        {Form1, 11, false},          {Form1->Panel1, 11, false},   {Form1->GroupBox1, 13, true},
        {Form1->ListBox1, 11, false}, {Form1->ListBox2, 13, true}, {Form1->GroupBox2, 13, true},
        {Form1->ListBox3, 13, true},  {Form1->ListBox4, 13, true},
    };
    for (const FontCase& font : fonts) {
        SCOPED_TRACE(font.control->objectName().toStdString());
        EXPECT_EQ(font.control->font().pixelSize(), font.pixelSize);
        EXPECT_EQ(font.control->font().bold(), font.bold);
    }

    for (const TProgressBar* bar : {Form1->ProgressBar1, Form1->ProgressBar2}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
    }
}

TEST_F(MainWindowTest, ListEntriesAreAsHighAsTheDesignSays) {
    const std::pair<TListBox*, int> lists[] = {
        {Form1->ListBox1, 13}, {Form1->ListBox2, 16}, {Form1->ListBox3, 16}, {Form1->ListBox4, 16}};
    for (const auto& [list, height] : lists) {
        SCOPED_TRACE(list->objectName().toStdString());
        list->AddItem("a");
        list->AddItem("b");
        EXPECT_EQ(list->visualItemRect(list->item(1)).top() - list->visualItemRect(list->item(0)).top(), height);
        list->Clear();
    }
}

TEST_F(MainWindowTest, FileMenuHoldsOpenSourceSeparatorAndExit) {
    const QList<QAction*> topLevel = Form1->menuBar()->actions();
    ASSERT_EQ(topLevel.size(), 1);
    EXPECT_EQ(topLevel[0]->text().toStdString(), "File");
    QMenu* file = topLevel[0]->menu();
    ASSERT_NE(file, nullptr);
    std::vector<std::string> items;
    for (const QAction* action : file->actions()) {
        items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    EXPECT_EQ(items, (std::vector<std::string>{"Open Source", "-", "Exit"}));
    EXPECT_EQ(file->actions()[0], Form1->Open1);
    EXPECT_EQ(file->actions()[2], Form1->Exit1);
}

TEST_F(MainWindowTest, TabMovesThroughTheListsInDesignOrder) {
    std::vector<std::string> order;
    QWidget* widget = Form1->ListBox1;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && Form1->isAncestorOf(widget)) {
            order.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget != Form1->ListBox1);
    EXPECT_EQ(order, (std::vector<std::string>{"ListBox1", "ListBox2", "ListBox3", "ListBox4"}));
}

TEST_F(MainWindowTest, FramesAfterStartUpAreMagentaOnEveryPixelOfThePanel) {
    Application->HandleMessage();
    const QImage& frame = Form1->Panel1->LastFrame();
    ASSERT_EQ(frame.size(), QSize(337, 377));
    EXPECT_EQ(CountNonMagenta(frame), 0);
    // What the panel shows on screen is that frame.
    EXPECT_EQ(CountNonMagenta(Form1->Panel1->grab().toImage()), 0);
}

TEST_F(MainWindowTest, EachIdleFrameAddsOneThousandthToTheSpin) {
    struct SpinCase {
        float start;
        int frames;
    };
    // The last case starts just short of 2 pi: the angle is never wrapped.
    const SpinCase cases[] = {{0.0f, 1}, {0.0f, 1000}, {6.283f, 2}};
    for (const SpinCase& spin : cases) {
        SCOPED_TRACE(spin.frames);
        spinAngle = spin.start;
        for (int i = 0; i < spin.frames; ++i) {
            Application->HandleMessage();
        }
        EXPECT_EQ(spinAngle, SpinAfterFrames(spin.start, spin.frames));
    }
    spinAngle = 0.0f;
    for (int i = 0; i < 1000; ++i) {
        Application->HandleMessage();
    }
    EXPECT_NEAR(spinAngle, 1.0f, 1e-3f);
}

TEST_F(MainWindowTest, RepaintOfTheFormRunsExactlyOneFrame) {
    const float before = spinAngle;
    Form1->Invalidate();
    Settle();
    EXPECT_EQ(spinAngle, SpinAfterFrames(before, 1));
    EXPECT_EQ(CountNonMagenta(Form1->Panel1->LastFrame()), 0);

    // The panel showing a presented frame repaints itself, not the form.
    const float after = spinAngle;
    Form1->Panel1->update();
    Settle();
    EXPECT_EQ(spinAngle, after);
}

TEST_F(MainWindowTest, DeviceGetsTheProjectionOfTheDesignedSize) {
    ASSERT_TRUE(device);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, 0.785398185f, 1.0f, 0.1f, 3000.0f);
    EXPECT_TRUE(device->GetProjection() == expected);
}

TEST_F(MainWindowTest, ExitReleasesTheDeviceAndLeavesAQuietWindowThatClosesSafely) {
    ASSERT_TRUE(device);
    bool done = true;
    Form1->MyIdleHandler(Form1, done);
    EXPECT_FALSE(done);
    const int liveBefore = softd3d::LiveObjectCount();
    Form1->Exit1->Click();
    EXPECT_FALSE(device);
    EXPECT_FALSE(meshList);
    EXPECT_EQ(softd3d::LiveObjectCount(), liveBefore - 1);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Application->Terminated());

    // Frames and repaints do nothing now, and the idle loop waits for events.
    Form1->MyIdleHandler(Form1, done);
    EXPECT_TRUE(done);
    const float spin = spinAngle;
    Form1->Invalidate();
    Settle();
    EXPECT_EQ(spinAngle, spin);

    Form1->Exit1->Click();
    Form1->Close();
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(softd3d::LiveObjectCount(), liveBefore - 1);
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(MainWindowTest, ClosingReleasesTheDeviceAndEndsTheLoop) {
    const int liveBefore = softd3d::LiveObjectCount();
    Form1->Close();
    EXPECT_FALSE(device);
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(softd3d::LiveObjectCount(), liveBefore - 1);
}

TEST_F(MainWindowTest, RunRendersFramesUntilTheWindowCloses) {
    const float before = spinAngle;
    QTimer::singleShot(100, Form1, [] { Form1->Close(); });
    Application->Run();
    EXPECT_GT(spinAngle, SpinAfterFrames(before, 2));
    EXPECT_FALSE(device);
}

}  // namespace
