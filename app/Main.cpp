#include "app/Main.h"

#include <cstdint>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
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

constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 3000.0f;
constexpr float kFieldOfViewY = 0.785398185f;  // pi / 4 as a float
constexpr double kSpinPerFrame = 0.001;

}  // namespace

float ProjectionAspect(int outerWidth, int outerHeight) {
    if (outerHeight <= 0) {
        return 1.0f;
    }
    return static_cast<float>(outerWidth / outerHeight);
}

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
    // empty and every frame does nothing.
    if (device) {
        device->SetClearColor(255, 0, 255);
        device->SetProjection(kNearPlane, kFarPlane, ProjectionAspect(Width(), Height()), kFieldOfViewY);
    }
}

void TForm1::FormPaint(TObject*) {
    // After Exit there is no device: nothing to draw into.
    if (!device) {
        return;
    }
    spinAngle = static_cast<float>(spinAngle + kSpinPerFrame);
    device->Clear(true);
    if (currentBuffer != nullptr && currentMesh != nullptr) {
        const trMeshCentre& centre = currentMesh->centre;
        currentBuffer->Translate(static_cast<float>(centre.x), static_cast<float>(-static_cast<int32_t>(centre.y)),
                                 static_cast<float>(centre.z));
        currentBuffer->RotateY(spinAngle);
        device->DrawBuffer(currentBuffer, 0);
    }
    device->Present();
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

void TForm1::Open1Click(TObject*) {}

void TForm1::ListBox1Click(TObject*) {}
