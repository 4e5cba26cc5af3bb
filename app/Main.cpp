#include "app/Main.h"

#include <cstdint>
#include <string>
#include <utility>

#include "geometry/OpenLevel.h"
#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win32/MessageBox.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"

TForm1* Form1 = nullptr;

dxMain d3dContext;
std::unique_ptr<dxDevice8> device;
trLevel level{};
std::unique_ptr<trTextura> textures;
std::unique_ptr<Lista_Mesh> meshList;
trMesh* currentMesh = nullptr;
dxBufferTextura* currentBuffer = nullptr;
float spinAngle = 0.0f;

namespace {

constexpr const char* kOpenDialogTitle = "Abrir Archivo de Tomb Raider 4";
constexpr const char* kOpenDialogFilter = "Tomb Raider 4|*.tr4";

// Sets a flag for the life of a scope, however the scope is left.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag(flag) { flag = true; }
    ~ScopedFlag() { flag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag;
};

// Reads the file into a fresh record and takes that over only when the file
// could be opened; otherwise the level stays as it was, so the previous
// level is listed again. Taking over releases every array of the previous
// level, and a load that throws leaves the level untouched.
void LoadLevelInto(const std::string& fileName, trLevel& target) {
    auto loaded = std::make_unique<trLevel>();
    if (LoadLevelFile(fileName.c_str(), loaded.get()) == 1) {
        target = std::move(*loaded);
    }
}

}  // namespace

TForm1::TForm1() {
    CreateControls();
}

TForm1::~TForm1() {
    ReleaseResources();
    if (idleHandlerInstalled) {
        Application->OnIdle = nullptr;
    }
}

void TForm1::FormCreate(TObject*) {
    d3dContext.CreateDirect3D();
    Application->OnIdle = Closure(this, &TForm1::MyIdleHandler);
    idleHandlerInstalled = true;
    d3dContext.CreateDevice(Panel1->Handle(), true, device);
    // Without a Direct3D object no device is made; the window then stays
    // empty and every frame does nothing. The projection takes the outer
    // size in integer division (956 x 640 gives 1) and is set once.
    if (device) {
        SetUpViewerDevice(*device, ViewerAspect(Width(), Height()));
    }
}

void TForm1::FormPaint(TObject*) {
    // After Exit there is no device: nothing to draw into.
    if (!device) {
        return;
    }
    // Advance the spin, clear, draw the selected buffer turned about its
    // origin and moved to its mesh's centre, present.
    RunViewerFrame(*device, spinAngle, currentMesh, currentBuffer);
}

void TForm1::MyIdleHandler(TObject* Sender, bool& Done) {
    // Without a device (after Exit) a frame draws nothing: wait for events
    // instead of spinning.
    Done = !device;
    FormPaint(Sender);
}

void TForm1::ReleaseResources() {
    currentBuffer = nullptr;
    currentMesh = nullptr;
    // The buffers' vertex buffers go before the device they were made on.
    meshList.reset();
    device.reset();
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    ReleaseResources();
}

void TForm1::Exit1Click(TObject*) {
    ReleaseResources();
}

// Without a device (after Exit) nothing could be prepared or shown, so the
// command does nothing; nor does it start again while it is still running
// (its notice on screen). Should a step throw (a damaged file declaring
// more than can be allocated), the window is left showing no level before
// the application shows the error.
void TForm1::Open1Click(TObject*) {
    if (!device || opening) {
        return;
    }
    OpenDialog1->Title = kOpenDialogTitle;
    OpenDialog1->Filter = kOpenDialogFilter;
    if (!OpenDialog1->Execute()) {
        return;
    }
    const std::string fileName = OpenDialog1->FileName;
    const ScopedFlag running(opening);
    try {
        OpenSource(fileName);
    } catch (...) {
        DropSource();
        throw;
    }
}

// When no mesh list results (a first file that cannot be opened, or a level
// without mesh data) the window shows an empty source: caption "Meshes: 0",
// no entries, no notice and no texture pages.
//
// The new list is published in meshList only once its buffers are built:
// while the notice is up, frames and clicks find no list and no selection.
void TForm1::OpenSource(const std::string& fileName) {
    DropSource();
    LoadLevelInto(fileName, level);
    std::unique_ptr<Lista_Mesh> newList = ParseSuppliedMeshes(level);
    const int32_t count = newList ? newList->GetCount() : 0;
    ShowMeshCount(count);
    ListBox1->Clear();
    for (int32_t i = 0; i < count; ++i) {
        ListBox1->AddItem("Objeto:" + IntToStr(i));
    }
    if (!newList) {
        return;
    }
    textures = std::make_unique<trTextura>(&level);
    PreparePages();
    // The device may have gone while the notice was shown.
    if (!device) {
        return;
    }
    newList->BuildBuffers(device.get(), textures.get(), level);
    meshList = std::move(newList);
    // A click that reached the list while the notice was up found nothing to
    // show; its selection goes too, so the list agrees with the view.
    ListBox1->SetItemIndex(-1);
}

// Announces the texture depth, then makes the pages of that depth.
void TForm1::PreparePages() {
    if (d3dContext.LacksTextureFormat(D3DFMT_X8R8G8B8)) {
        MessageBoxA(nullptr, "Se renderiza con 16 bits", "", MB_OK);
        textures->CreatePages16(device.get());
    } else {
        MessageBoxA(nullptr, "Se renderiza con 32 bits", "", MB_OK);
        textures->CreatePages32(device.get());
    }
}

// Forgets the shown level: the selection, then the list (its buffers point
// at the pages), then the pages, and the entries that named its meshes.
void TForm1::DropSource() {
    currentBuffer = nullptr;
    currentMesh = nullptr;
    meshList.reset();
    textures.reset();
    ListBox1->Clear();
    ShowMeshCount(0);
}

void TForm1::ShowMeshCount(int32_t count) {
    GroupBox1->SetCaption("Meshes: " + IntToStr(count));
}

// Makes the clicked mesh current and aims the camera at its centre from 1000
// units along +z (level y negated, sums on 32-bit integers so that a centre
// near the 16-bit limits does not wrap). Without a device or a prepared list
// a click does nothing.
void TForm1::ListBox1Click(TObject*) {
    const int32_t index = ListBox1->ItemIndex();
    trMesh* mesh = nullptr;
    if (index < 0 || !device || !meshList || meshList->GetMesh(index, mesh) == 0) {
        return;
    }
    currentMesh = mesh;
    AimViewerCamera(*device, mesh->centre);
    currentBuffer = meshList->GetBuffer(index);
}
