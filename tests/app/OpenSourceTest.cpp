// "Open Source" and the mesh list, driven through the real main window with
// the file dialog and message boxes answered by the test.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "app/Main.h"
#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "level/writer/LevelWriter.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/d3d8/d3dx8.h"
#include "render/dxDevice8.h"
#include "tests/app/AppTestSupport.h"

namespace {

constexpr QRgb kMagenta = 0xFFFF00FFu;
// Tile colours: 32-bit pixels as the pages hold them, and a 16-bit pixel
// with the colour it shows as once widened.
constexpr uint32_t kBlue32 = 0xFF3060A0u;
constexpr uint32_t kGreen32 = 0xFF40A020u;
constexpr uint16_t kRed16 = 0xF800u;
constexpr QRgb kRed16Shown = 0xFFFF0000u;

const char* const kNotice32 = "Se renderiza con 32 bits";
const char* const kNotice16 = "Se renderiza con 16 bits";

// A square of 2 * half units in the x-y plane around the mesh origin, so it
// faces the camera that a click sets, textured with the whole of page 0.
MeshDescription FacingSquare(ShortVector centre, int16_t half = 200) {
    MeshDescription mesh;
    mesh.centre = centre;
    mesh.vertices = {{static_cast<int16_t>(-half), static_cast<int16_t>(-half), 0},
                     {half, static_cast<int16_t>(-half), 0},
                     {half, half, 0},
                     {static_cast<int16_t>(-half), half, 0}};
    mesh.quads = {{{0, 1, 2, 3}, 0}};
    return mesh;
}

// One page (colour32 in its 32-bit tile, red in its 16-bit tile), one object
// texture over the whole page, and a facing square at each centre.
LevelDescription SquaresLevel(const std::vector<ShortVector>& centres, uint32_t colour32 = kBlue32) {
    LevelDescription level;
    AppendSolidTile(level.textiles32, 4, colour32);
    AppendSolidTile(level.textiles16, 2, kRed16);
    ObjectTextureDescription whole;
    whole.corners = {{{0, 0, 0, 0}, {0, 255, 0, 0}, {0, 255, 0, 255}, {0, 0, 0, 255}}};
    level.objectTextures.push_back(whole);
    for (const ShortVector& centre : centres) {
        level.meshes.push_back(FacingSquare(centre));
    }
    return level;
}

LevelDescription ThreeSquares() {
    return SquaresLevel({{0, 0, 0}, {100, 200, -50}, {-300, 40, 500}});
}

std::vector<std::string> Entries(const TListBox& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.Count(); ++i) {
        entries.push_back(list.Item(i));
    }
    return entries;
}

std::vector<std::string> NumberedEntries(int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        entries.push_back("Objeto:" + std::to_string(i));
    }
    return entries;
}

QRgb CentrePixel(const QImage& frame) {
    return frame.pixel(frame.width() / 2, frame.height() / 2);
}

bool AllMagenta(const QImage& frame) {
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (frame.pixel(x, y) != kMagenta) {
                return false;
            }
        }
    }
    return !frame.isNull();
}

// The view matrix a look-at camera from eye to target gives.
D3DXMATRIX LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 target) {
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    return view;
}

class OpenSourceTest : public MainWindowTest {
protected:
    // Chooses path in the file dialog of "Open Source" (an empty path
    // cancels it) and returns what the dialog was opened with.
    std::vector<OpenDialogAnswer::Opening> Open(const std::string& path) {
        OpenDialogAnswer answer(path);
        Form1->Open1->Click();
        return answer.Openings();
    }

    void OpenLevel(const LevelDescription& description) {
        TemporaryFile file(WriteLevelFile(description));
        Open(file.path());
    }

    void Click(int row) { ClickListBox(*Form1->ListBox1, row); }

    // Runs one idle frame and returns what it presented into the panel.
    QImage Frame() {
        Application->HandleMessage();
        return Form1->Panel1->LastFrame();
    }

    // The window shows a level with no meshes and nothing can be drawn.
    void ExpectEmptySource() {
        EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 0");
        EXPECT_EQ(Form1->ListBox1->Count(), 0);
        EXPECT_FALSE(meshList);
        EXPECT_FALSE(textures);
        EXPECT_EQ(currentBuffer, nullptr);
        EXPECT_EQ(currentMesh, nullptr);
        EXPECT_TRUE(AllMagenta(Frame()));
    }
};

TEST_F(OpenSourceTest, OpeningAThreeMeshLevelListsItsMeshesAndAnnounces32Bits) {
    TemporaryFile file(WriteLevelFile(ThreeSquares()));
    const auto openings = Open(file.path());

    ASSERT_EQ(openings.size(), 1u);
    EXPECT_EQ(openings[0].title, "Abrir Archivo de Tomb Raider 4");
    EXPECT_EQ(openings[0].filter, "Tomb Raider 4|*.tr4");
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 3");
    EXPECT_EQ(Entries(*Form1->ListBox1), NumberedEntries(3));
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), -1);

    ASSERT_EQ(boxes.Calls().size(), 1u);
    const win32::MessageBoxCall& notice = boxes.Calls()[0];
    EXPECT_EQ(notice.text, kNotice32);
    EXPECT_EQ(notice.caption, "");
    EXPECT_EQ(notice.type, MB_OK);
    EXPECT_EQ(notice.owner, nullptr);

    ASSERT_TRUE(meshList);
    ASSERT_EQ(meshList->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(meshList->GetBuffer(i), nullptr) << i;
    }
    ASSERT_TRUE(textures);
    EXPECT_TRUE(textures->Is32Bit());
    EXPECT_NE(textures->GetPage32(0), nullptr);
    EXPECT_EQ(currentBuffer, nullptr);
    EXPECT_TRUE(AllMagenta(Frame()));
}

// The notice names the depth, the pages are made in it, and the clicked
// mesh shows their pixels in the middle of the panel.
TEST_F(OpenSourceTest, TheDepthTheAdapterAcceptsGivesTheNoticeAndThePixelsShown) {
    struct DepthCase {
        const char* name;
        D3DFORMAT refused;
        const char* notice;
        bool is32Bit;
        QRgb shown;
    };
    const DepthCase cases[] = {
        {"32-bit textures accepted", D3DFMT_UNKNOWN, kNotice32, true, kBlue32},
        {"32-bit textures refused", D3DFMT_X8R8G8B8, kNotice16, false, kRed16Shown},
    };
    for (const DepthCase& depth : cases) {
        SCOPED_TRACE(depth.name);
        softd3d::RefuseTextureFormat(depth.refused);
        MessageBoxLog notices;
        OpenLevel(ThreeSquares());
        softd3d::RefuseTextureFormat(D3DFMT_UNKNOWN);

        EXPECT_EQ(notices.Texts(), std::vector<std::string>{depth.notice});
        ASSERT_TRUE(textures);
        EXPECT_EQ(textures->Is32Bit(), depth.is32Bit);
        EXPECT_NE(depth.is32Bit ? textures->GetPage32(0) : textures->GetPage16(0), nullptr);
        Click(1);
        EXPECT_EQ(CentrePixel(Frame()), depth.shown);
    }
}

TEST_F(OpenSourceTest, AClickAimsTheCameraAtTheMeshCentreFromAThousandUnitsAlongZ) {
    struct CameraCase {
        ShortVector centre;
        D3DXVECTOR3 eye;
        D3DXVECTOR3 target;
    };
    // Sums and negation are 32-bit: nothing wraps at the 16-bit limits.
    const CameraCase cases[] = {
        {{100, 200, -50}, {100.0f, -200.0f, 950.0f}, {100.0f, -200.0f, -50.0f}},
        {{0, 0, 32767}, {0.0f, 0.0f, 33767.0f}, {0.0f, 0.0f, 32767.0f}},
        {{-32768, -32768, -32768}, {-32768.0f, 32768.0f, -31768.0f}, {-32768.0f, 32768.0f, -32768.0f}},
    };
    std::vector<ShortVector> centres;
    for (const CameraCase& camera : cases) {
        centres.push_back(camera.centre);
    }
    OpenLevel(SquaresLevel(centres));
    ASSERT_EQ(Form1->ListBox1->Count(), 3);

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Click(i);
        EXPECT_EQ(Form1->ListBox1->ItemIndex(), i);
        EXPECT_TRUE(device->GetView() == LookAt(cases[i].eye, cases[i].target));
        trMesh* mesh = nullptr;
        ASSERT_EQ(meshList->GetMesh(i, mesh), 1);
        EXPECT_EQ(currentMesh, mesh);
        EXPECT_EQ(currentBuffer, meshList->GetBuffer(i));
        EXPECT_NE(currentBuffer, nullptr);
    }
}

TEST_F(OpenSourceTest, TheClickedMeshSpinsTexturedInTheMiddleOfTheView) {
    OpenLevel(ThreeSquares());
    Click(1);
    for (int frame = 0; frame < 3; ++frame) {
        const QImage shown = Frame();
        EXPECT_EQ(CentrePixel(shown), kBlue32) << frame;
        // The 400-unit square seen from 1000 units leaves magenta round it.
        EXPECT_EQ(shown.pixel(0, 0), kMagenta) << frame;
    }
}

TEST_F(OpenSourceTest, AClickAwayFromTheEntriesBeforeAnySelectionChangesNothing) {
    OpenLevel(ThreeSquares());
    const D3DXMATRIX viewBefore = device->GetView();
    Click(-1);
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), -1);
    EXPECT_EQ(currentBuffer, nullptr);
    EXPECT_EQ(currentMesh, nullptr);
    EXPECT_TRUE(device->GetView() == viewBefore);
    EXPECT_TRUE(AllMagenta(Frame()));
}

TEST_F(OpenSourceTest, OpeningASecondLevelDropsTheShownMeshAndListsTheNewOne) {
    OpenLevel(ThreeSquares());
    Click(2);
    ASSERT_EQ(CentrePixel(Frame()), kBlue32);

    OpenLevel(SquaresLevel({{0, 0, 0}, {10, 10, 10}}, kGreen32));
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 2");
    EXPECT_EQ(Entries(*Form1->ListBox1), NumberedEntries(2));
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), -1);
    EXPECT_EQ(currentBuffer, nullptr);
    EXPECT_EQ(currentMesh, nullptr);
    EXPECT_TRUE(AllMagenta(Frame()));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{kNotice32, kNotice32}));

    Click(1);
    EXPECT_EQ(CentrePixel(Frame()), kGreen32);
}

TEST_F(OpenSourceTest, CancellingTheDialogChangesNothing) {
    OpenLevel(ThreeSquares());
    Click(1);
    const Lista_Mesh* listBefore = meshList.get();
    const trTextura* pagesBefore = textures.get();
    const dxBufferTextura* bufferBefore = currentBuffer;
    const D3DXMATRIX viewBefore = device->GetView();
    // Title and filter are set each time, whatever they held.
    Form1->OpenDialog1->Title = "other";
    Form1->OpenDialog1->Filter = "All|*.*";

    const auto openings = Open("");
    ASSERT_EQ(openings.size(), 1u);
    EXPECT_EQ(openings[0].title, "Abrir Archivo de Tomb Raider 4");
    EXPECT_EQ(openings[0].filter, "Tomb Raider 4|*.tr4");
    EXPECT_EQ(meshList.get(), listBefore);
    EXPECT_EQ(textures.get(), pagesBefore);
    EXPECT_EQ(currentBuffer, bufferBefore);
    EXPECT_TRUE(device->GetView() == viewBefore);
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 3");
    EXPECT_EQ(Entries(*Form1->ListBox1), NumberedEntries(3));
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), 1);
    EXPECT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(CentrePixel(Frame()), kBlue32);
}

// With no mesh list to show, the window shows an empty source and stays
// usable: a later good level opens as usual.
TEST_F(OpenSourceTest, AFirstFileWithoutMeshesLeavesAnEmptyUsableWindow) {
    LevelDescription noMeshData = SquaresLevel({});
    struct EmptyCase {
        const char* name;
        std::vector<uint8_t> image;  // empty: no file at the path
    };
    const EmptyCase cases[] = {
        {"file that cannot be opened", {}},
        {"level without mesh data", WriteLevelFile(noMeshData)},
        {"mesh-data count beyond the block", [] {
             LevelDescription lying = ThreeSquares();
             lying.countOverrides[LevelCount::MeshData] = 0x00100000u;
             return WriteLevelFile(lying);
         }()},
    };
    for (const EmptyCase& empty : cases) {
        SCOPED_TRACE(empty.name);
        level = trLevel{};
        MessageBoxLog notices;
        if (empty.image.empty()) {
            Open("/nonexistent/dir/level.tr4");
        } else {
            TemporaryFile file(empty.image);
            Open(file.path());
        }
        ExpectEmptySource();
        EXPECT_TRUE(notices.Calls().empty());
        Click(-1);
        EXPECT_EQ(currentBuffer, nullptr);

        OpenLevel(ThreeSquares());
        EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 3");
        Click(0);
        EXPECT_EQ(CentrePixel(Frame()), kBlue32);
        OpenLevel(noMeshData);  // and back to nothing
        ExpectEmptySource();
    }
}

// The level stays as it was when the file cannot be opened, so the level
// shown before is listed and prepared again.
TEST_F(OpenSourceTest, AnUnopenableFileAfterALevelListsThatLevelAgain) {
    OpenLevel(ThreeSquares());
    Click(1);
    Open("/nonexistent/dir/level.tr4");
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 3");
    EXPECT_EQ(Entries(*Form1->ListBox1), NumberedEntries(3));
    EXPECT_EQ(currentBuffer, nullptr);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{kNotice32, kNotice32}));
    Click(1);
    EXPECT_EQ(CentrePixel(Frame()), kBlue32);
}

// Whatever a damaged file holds, the window agrees with itself afterwards:
// one entry per listed mesh, each clickable and drawable.
TEST_F(OpenSourceTest, DamagedFilesLeaveAConsistentWindow) {
    const LevelDescription good = ThreeSquares();
    const std::vector<uint8_t> image = WriteLevelFile(good);
    const LevelFileLayout layout = DescribeLevelFile(good);
    LevelDescription corrupt = good;
    corrupt.chunks[static_cast<int>(Chunk::LevelData)].corruptStream = true;
    LevelDescription cutBlock = good;
    cutBlock.levelDataCut = 40;
    LevelDescription lyingMesh = good;
    lyingMesh.meshes[1].countOverrides[MeshCount::Vertices] = 0x7FFF;
    lyingMesh.meshes[2].countOverrides[MeshCount::TexturedQuads] = -3;

    struct DamageCase {
        const char* name;
        std::vector<uint8_t> image;
    };
    const DamageCase cases[] = {
        {"empty file", {}},
        {"cut inside the header", CutLevelFile(image, 5)},
        {"cut inside the first chunk", CutLevelFile(image, layout.chunkData[0] + 10)},
        {"cut inside the level data", CutLevelFile(image, layout.chunkData[3] + 20)},
        {"cut before the sample count", CutLevelFile(image, layout.numSamples)},
        {"corrupt level-data stream", WriteLevelFile(corrupt)},
        {"level data cut short", WriteLevelFile(cutBlock)},
        {"mesh records with lying counts", WriteLevelFile(lyingMesh)},
    };
    for (const DamageCase& damage : cases) {
        SCOPED_TRACE(damage.name);
        OpenLevel(good);
        Click(0);
        TemporaryFile file(damage.image);
        Open(file.path());

        EXPECT_EQ(currentBuffer, nullptr);
        const int count = meshList ? meshList->GetCount() : 0;
        EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: " + std::to_string(count));
        EXPECT_EQ(Entries(*Form1->ListBox1), NumberedEntries(count));
        for (int i = 0; i < count; ++i) {
            Click(i);
            EXPECT_EQ(currentBuffer, meshList->GetBuffer(i));
            Frame();
        }
    }
}

// A damaged file that declares more than can be allocated: the error is
// shown and the window is left with no level shown, ready for another.
TEST_F(OpenSourceTest, AnUnallocatableLevelIsReportedAndLeavesNothingHalfBuilt) {
    OpenLevel(ThreeSquares());
    Click(1);
    const uint32_t objectTexturesBefore = level.numObjectTextures;
    LevelDescription huge = ThreeSquares();
    huge.countOverrides[LevelCount::ObjectTextures] = 0xFFFFFFFFu;  // 160 GiB of records

    MessageBoxLog shown;
    OpenLevel(huge);
    if (shown.Calls().empty() || shown.Calls()[0].text == kNotice32) {
        GTEST_SKIP() << "this machine allocated 160 GiB; the failure path was not reached";
    }
    ASSERT_EQ(shown.Calls().size(), 1u);
    EXPECT_EQ(shown.Calls()[0].text, std::bad_alloc().what());
    EXPECT_NE(shown.Calls()[0].type & MB_ICONSTOP, 0u);
    ExpectEmptySource();
    EXPECT_EQ(level.numObjectTextures, objectTexturesBefore) << "a failed load leaves the level as it was";

    OpenLevel(ThreeSquares());
    Click(1);
    EXPECT_EQ(CentrePixel(Frame()), kBlue32);
}

TEST_F(OpenSourceTest, ReopeningTheSameLevelKeepsTheLiveDirect3DObjectsLevel) {
    TemporaryFile file(WriteLevelFile(ThreeSquares()));
    Open(file.path());
    Click(0);
    Frame();
    const int liveAfterFirst = softd3d::LiveObjectCount();
    for (int i = 0; i < 10; ++i) {
        Open(file.path());
        Click(i % 3);
        Frame();
        EXPECT_EQ(softd3d::LiveObjectCount(), liveAfterFirst) << "open " << i + 2;
    }
}

// Arrays of the previous level go with it, also those the new level has no
// records for (a count of 0 alone would leave them in place).
TEST_F(OpenSourceTest, ANewLevelReplacesEveryArrayOfThePreviousOne) {
    LevelDescription big = SquaresLevel({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    big.rooms.resize(2);
    big.objectTextures.resize(5, big.objectTextures[0]);
    big.cameras = PatternBytes(3, RecordSize::Camera, 7);
    OpenLevel(big);
    ASSERT_EQ(level.rooms.size(), 2u);
    ASSERT_TRUE(level.cameras.allocated());

    LevelDescription small = SquaresLevel({});
    small.objectTextures.clear();
    small.meshes.push_back(FacingSquare({0, 0, 0}, 10));
    OpenLevel(small);
    EXPECT_TRUE(level.rooms.empty());
    EXPECT_FALSE(level.objectTextures.allocated());
    EXPECT_FALSE(level.cameras.allocated());
    EXPECT_EQ(level.meshData.byteCount(), EncodeMeshData(small).size());
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 1");
}

// The notice is modal to the whole application, and while it is up the new
// list is not yet in use: frames draw nothing, a click (sent straight to the
// list, past the modality) selects nothing and "Open Source" does not start
// again.
TEST_F(OpenSourceTest, WhileTheNoticeIsUpNothingReachesTheListBeingPrepared) {
    OpenLevel(ThreeSquares());
    Click(1);

    struct DuringNotice {
        bool seen = false;
        bool applicationModal = false;
        std::string text;
        int entries = -1;
        bool listInUse = true;
        bool selectionKept = true;
        bool framesMagenta = false;
        size_t dialogsOpened = 99;
    } during;

    const win32::MessageBoxHandler logger = win32::SetMessageBoxHandler({});  // the real box
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        during.seen = true;
        during.applicationModal = box->windowModality() == Qt::ApplicationModal;
        during.text = box->text().toStdString();
        during.entries = Form1->ListBox1->Count();
        Form1->FormPaint(Form1);
        during.framesMagenta = AllMagenta(Form1->Panel1->LastFrame());
        Click(0);
        during.listInUse = meshList != nullptr;
        during.selectionKept = currentBuffer != nullptr || currentMesh != nullptr;
        during.dialogsOpened = Open(std::string()).size();
        box->accept();
    });
    poll.start();
    TemporaryFile file(WriteLevelFile(ThreeSquares()));
    OpenDialogAnswer answer(file.path());
    Form1->Open1->Click();
    win32::SetMessageBoxHandler(logger);

    ASSERT_TRUE(during.seen);
    EXPECT_TRUE(during.applicationModal);
    EXPECT_EQ(during.text, kNotice32);
    EXPECT_EQ(during.entries, 3);
    EXPECT_TRUE(during.framesMagenta);
    EXPECT_FALSE(during.listInUse);
    EXPECT_FALSE(during.selectionKept);
    EXPECT_EQ(during.dialogsOpened, 0u);

    // Afterwards the list is ready and nothing is selected.
    ASSERT_TRUE(meshList);
    EXPECT_NE(meshList->GetBuffer(2), nullptr);
    EXPECT_EQ(Form1->ListBox1->ItemIndex(), -1);
    EXPECT_EQ(currentBuffer, nullptr);
    Click(2);
    EXPECT_EQ(CentrePixel(Frame()), kBlue32);
}

// After "Exit" there is no device: "Open Source" does not open its dialog
// and clicks on the entries still shown do nothing.
TEST_F(OpenSourceTest, AfterExitOpenSourceAndClicksDoNothing) {
    OpenLevel(ThreeSquares());
    Click(1);
    Form1->Exit1->Click();
    ASSERT_FALSE(device);
    EXPECT_EQ(currentBuffer, nullptr);

    TemporaryFile file(WriteLevelFile(SquaresLevel({{0, 0, 0}})));
    EXPECT_TRUE(Open(file.path()).empty());
    EXPECT_EQ(Form1->GroupBox1->Caption(), "Meshes: 3");
    EXPECT_EQ(Form1->ListBox1->Count(), 3);
    for (int row : {0, 2, -1}) {
        Click(row);
        EXPECT_EQ(currentBuffer, nullptr);
        EXPECT_EQ(currentMesh, nullptr);
    }
    EXPECT_FALSE(meshList);
    EXPECT_EQ(boxes.Calls().size(), 1u);
    Form1->Invalidate();
    Settle();
}

}  // namespace
