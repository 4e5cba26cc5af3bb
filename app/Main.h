// The main window TForm1, its controls and event handlers, and the
// process-wide state the window and its commands share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"

class Lista_Mesh;
class dxBufferTextura;
class dxDevice8;
class dxMain;
class trTextura;
struct trLevel;
struct trMesh;

class TForm1 : public TForm {
public:
    // Builds the window as its form description gives it.
    TForm1();
    // The device draws into Panel1, so it goes with the window.
    ~TForm1() override;

    TPanel* Panel1;
    TProgressBar* ProgressBar1;
    TProgressBar* ProgressBar2;
    TGroupBox* GroupBox1;
    TListBox* ListBox1;
    TListBox* ListBox2;
    TGroupBox* GroupBox2;
    TListBox* ListBox3;
    TListBox* ListBox4;
    TMainMenu* MainMenu1;
    TMenuItem* File1;
    TMenuItem* Open1;
    TMenuItem* N1;
    TMenuItem* Exit1;
    TOpenDialog* OpenDialog1;

    void FormCreate(TObject* Sender);
    // One frame: advance the spin, clear, draw the selected mesh, present.
    void FormPaint(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Exit1Click(TObject* Sender);
    void Open1Click(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    // Runs a frame and asks to be called again as soon as the queue is empty
    // (while there is a device to render with).
    void MyIdleHandler(TObject* Sender, bool& Done);

private:
    void CreateControls();
    void ReleaseResources();

    // The steps of Open Source after the dialog.
    void OpenSource(const std::string& fileName);
    void DropSource();
    void ShowMeshCount(int32_t count);
    void PreparePages();

    bool idleHandlerInstalled = false;
    // True while Open Source runs, message box included.
    bool opening = false;
};

extern TForm1* Form1;

// The process-wide state. The pointers own what they point to, except
// currentMesh and currentBuffer, which point into meshList.
extern dxMain d3dContext;
extern std::unique_ptr<dxDevice8> device;
extern trLevel level;
extern std::unique_ptr<trTextura> textures;
extern std::unique_ptr<Lista_Mesh> meshList;
extern trMesh* currentMesh;
extern dxBufferTextura* currentBuffer;
extern float spinAngle;
