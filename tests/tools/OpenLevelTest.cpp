// The window-free open path and the viewer's frame helpers.
#include <gtest/gtest.h>

#include <memory>

#include "geometry/OpenLevel.h"
#include "level/trLevel.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "platform/win32/MemoryWindow.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "tests/tools/ToolTestSupport.h"

namespace {

class OpenLevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(context.CreateDirect3D(), D3D_OK);
        ASSERT_EQ(context.CreateDevice(&window, true, device), D3D_OK);
    }

    std::string WriteLevel(const LevelDescription& description) {
        return scratch.Write("level" + std::to_string(++files) + ".tr4", WriteLevelFile(description));
    }

    static LevelDescription TwoSquares() {
        LevelDescription level = OnePageLevel();
        level.meshes = {FacingSquare(150), FacingSquare(80, {10, 20, 30})};
        return level;
    }

    ScratchDirectory scratch;
    int files = 0;
    MemoryWindow window{64, 64};
    dxMain context;
    std::unique_ptr<dxDevice8> device;
    std::unique_ptr<trLevel> level = std::make_unique<trLevel>();
};

TEST_F(OpenLevelTest, FileThatCannotBeOpenedLeavesTheLevelAsItWas) {
    level->numRooms = 5;
    level->numMeshData = 7;
    EXPECT_FALSE(OpenLevel(scratch.File("missing.tr4").c_str(), *level, device.get(), PageDepth::Bits32));
    EXPECT_EQ(level->numRooms, 5);
    EXPECT_EQ(level->numMeshData, 7u);
}

TEST_F(OpenLevelTest, ListsTheMeshesAndUploadsOneBufferEach) {
    const auto opened = OpenLevel(WriteLevel(TwoSquares()).c_str(), *level, device.get(), PageDepth::Bits32);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(opened->meshList);
    ASSERT_EQ(opened->meshList->GetCount(), 2);
    trMesh* second = nullptr;
    ASSERT_EQ(opened->meshList->GetMesh(1, second), 1);
    EXPECT_EQ(second->centre.z, 30);
    for (int32_t i = 0; i < 2; ++i) {
        dxBufferTextura* buffer = opened->meshList->GetBuffer(i);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(buffer->GetQuadCount(), 1);
        EXPECT_NE(buffer->GetVertexBuffer(), nullptr) << i;
    }
}

TEST_F(OpenLevelTest, PageDepthChoosesThePageSet) {
    const std::string path = WriteLevel(TwoSquares());
    const struct {
        PageDepth depth;
        bool is32Bit;
    } kCases[] = {{PageDepth::Bits32, true}, {PageDepth::Bits16, false}};
    for (const auto& c : kCases) {
        trLevel loaded{};
        const auto opened = OpenLevel(path.c_str(), loaded, device.get(), c.depth);
        ASSERT_TRUE(opened);
        ASSERT_TRUE(opened->textures);
        EXPECT_EQ(opened->textures->GetPageCount(), 1);
        EXPECT_EQ(opened->textures->Is32Bit(), c.is32Bit);
        EXPECT_EQ(opened->textures->GetPage32(0) != nullptr, c.is32Bit);
        EXPECT_EQ(opened->textures->GetPage16(0) != nullptr, !c.is32Bit);
        EXPECT_EQ(opened->meshList->GetBuffer(0)->GetPolygonTexture(0),
                  c.is32Bit ? opened->textures->GetPage32(0) : opened->textures->GetPage16(0));
    }
}

TEST_F(OpenLevelTest, WithoutADeviceBuildsButUploadsNothing) {
    const auto opened = OpenLevel(WriteLevel(TwoSquares()).c_str(), *level, nullptr, PageDepth::Bits32);
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->meshList->GetCount(), 2);
    EXPECT_EQ(opened->meshList->GetBuffer(0)->GetVertexBuffer(), nullptr);
    EXPECT_EQ(opened->textures->GetPage32(0), nullptr);
}

// Mesh data the level-data block does not wholly supply: nothing past the
// supplied bytes is parsed (the declared count alone would make thousands of
// empty meshes out of zeros), so no list is made.
TEST_F(OpenLevelTest, ParsesOnlyTheMeshDataTheFileSupplied) {
    const struct {
        const char* name;
        void (*damage)(LevelDescription&);
    } kCases[] = {
        {"mesh words past the block", [](LevelDescription& d) { d.countOverrides[LevelCount::MeshData] = 100000; }},
        {"block cut inside the meshes", [](LevelDescription& d) { d.levelDataCut = 40; }},
    };
    for (const auto& c : kCases) {
        LevelDescription description = TwoSquares();
        c.damage(description);
        trLevel loaded{};
        const auto opened = OpenLevel(WriteLevel(description).c_str(), loaded, device.get(), PageDepth::Bits32);
        ASSERT_TRUE(opened) << c.name;
        EXPECT_NE(loaded.numMeshData, 0u) << c.name;
        EXPECT_EQ(loaded.meshDataBytes, 0u) << c.name;
        EXPECT_FALSE(opened->meshList) << c.name;
    }
}

TEST_F(OpenLevelTest, OpenedLevelReleasesEveryDirect3DObject) {
    const int before = softd3d::LiveObjectCount();
    {
        const auto opened = OpenLevel(WriteLevel(TwoSquares()).c_str(), *level, device.get(), PageDepth::Bits32);
        ASSERT_TRUE(opened);
        EXPECT_GT(softd3d::LiveObjectCount(), before);
    }
    EXPECT_EQ(softd3d::LiveObjectCount(), before);
}

TEST(ViewerAspectTest, IntegerDivisionOfTheWindowSize) {
    const struct {
        int width, height;
        float aspect;
    } kCases[] = {{956, 640, 1.0f}, {1279, 640, 1.0f}, {1280, 640, 2.0f}, {300, 640, 0.0f}, {956, 0, 956.0f}};
    for (const auto& c : kCases) {
        EXPECT_EQ(ViewerAspect(c.width, c.height), c.aspect) << c.width << "x" << c.height;
    }
}

TEST(ViewerCameraTest, EyeSitsOneThousandUnitsAlongZWithYNegated) {
    const struct {
        trMeshCentre centre;
        D3DXVECTOR3 eye, target;
    } kCases[] = {
        {{100, 200, -50}, {100, -200, 950}, {100, -200, -50}},
        {{0, -32768, 32767}, {0, 32768, 33767}, {0, 32768, 32767}},
    };
    for (const auto& c : kCases) {
        dxDevice8 device;
        AimViewerCamera(device, c.centre);
        D3DXMATRIX expected;
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&expected, &c.eye, &c.target, &up);
        EXPECT_TRUE(device.GetView() == expected) << c.centre.x << "," << c.centre.y << "," << c.centre.z;
    }
}

TEST_F(OpenLevelTest, ViewerFramesSpinAndPresentOnMagenta) {
    SetUpViewerDevice(*device, 1.0f);
    EXPECT_EQ(device->GetClearColor(), kMagenta);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, 1.0f, 0.1f, 3000.0f);
    EXPECT_TRUE(device->GetProjection() == projection);

    float spinAngle = 0.0f;
    float expected = 0.0f;
    for (int frame = 0; frame < 3; ++frame) {
        RunViewerFrame(*device, spinAngle, nullptr, nullptr);
        expected += 0.001f;
    }
    EXPECT_EQ(spinAngle, expected);
    EXPECT_EQ(window.PresentCount(), 3);
    EXPECT_EQ(window.Pixel(32, 32), kMagenta);
}

TEST_F(OpenLevelTest, ViewerFrameDrawsTheMeshAtItsCentreAndResetsTheWorld) {
    LevelDescription description = OnePageLevel();
    description.meshes = {FacingSquare(150, {2000, -300, 0})};
    const auto opened = OpenLevel(WriteLevel(description).c_str(), *level, device.get(), PageDepth::Bits32);
    ASSERT_TRUE(opened);
    trMesh* mesh = nullptr;
    ASSERT_EQ(opened->meshList->GetMesh(0, mesh), 1);
    SetUpViewerDevice(*device, 1.0f);
    AimViewerCamera(*device, mesh->centre);
    float spinAngle = 0.0f;
    dxBufferTextura* buffer = opened->meshList->GetBuffer(0);
    for (int frame = 0; frame < 2; ++frame) {
        RunViewerFrame(*device, spinAngle, mesh, buffer);
        EXPECT_EQ(window.Pixel(32, 32), kGreen32) << frame;
        EXPECT_EQ(window.Pixel(0, 0), kMagenta) << frame;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_TRUE(buffer->GetWorld() == identity);

    // The mesh turns about its own origin, so after a whole radian it still
    // sits where the camera looks; turned about the world origin, or with the
    // turns accumulating, it would have swung out of view.
    while (spinAngle < 1.0f) {
        RunViewerFrame(*device, spinAngle, mesh, buffer);
    }
    EXPECT_EQ(window.Pixel(32, 32), kGreen32);
}

}  // namespace
