#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QMouseEvent>

#include <utility>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "platform/d3d8/SoftwareAdapter.h"
#include "render/dxDevice8.h"

namespace {

// Windows and the Qt application go before static storage is torn down.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { Application->Shutdown(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

void SendMouse(QWidget& target, QEvent::Type type, QPoint position, Qt::MouseButtons buttons) {
    QMouseEvent event(type, position, target.mapToGlobal(position), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

}  // namespace

void EnsureApplication() {
    Application->Initialize();
}

MessageBoxLog::MessageBoxLog() {
    previous = win32::SetMessageBoxHandler([this](const win32::MessageBoxCall& call) {
        calls.push_back(call);
        return IDOK;
    });
}

MessageBoxLog::~MessageBoxLog() {
    win32::SetMessageBoxHandler(std::move(previous));
}

std::vector<std::string> MessageBoxLog::Texts() const {
    std::vector<std::string> texts;
    for (const win32::MessageBoxCall& call : calls) {
        texts.push_back(call.text);
    }
    return texts;
}

OpenDialogAnswer::OpenDialogAnswer(std::string answer) : fileName(std::move(answer)) {
    previous = TOpenDialog::SetExecuteHandler([this](TOpenDialog& dialog) {
        openings.push_back({dialog.Title, dialog.Filter});
        if (fileName.empty()) {
            return false;
        }
        dialog.FileName = fileName;
        return true;
    });
}

OpenDialogAnswer::~OpenDialogAnswer() {
    TOpenDialog::SetExecuteHandler(std::move(previous));
}

void ClickListBox(TListBox& list, int row) {
    QWidget& viewport = *list.viewport();
    QPoint position;
    if (row >= 0) {
        position = list.visualItemRect(list.item(row)).center();
    } else {
        const int below = list.count() > 0 ? list.visualItemRect(list.item(list.count() - 1)).bottom() + 1 : 0;
        position = QPoint(viewport.width() / 2, (below + viewport.height()) / 2);
    }
    SendMouse(viewport, QEvent::MouseButtonPress, position, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseButtonRelease, position, Qt::NoButton);
}

float SpinAfterFrames(float start, int frames) {
    float angle = start;
    for (int i = 0; i < frames; ++i) {
        angle = static_cast<float>(angle + 0.001);
    }
    return angle;
}

// Each test starts from the state of a fresh process: no level, no pages,
// an adapter that accepts every texture format.
static void ResetProcessState() {
    textures.reset();
    level = trLevel{};
    spinAngle = 0.0f;
    softd3d::RefuseTextureFormat(D3DFMT_UNKNOWN);
}

void MainWindowTest::SetUp() {
    ResetProcessState();
    EnsureApplication();
    Application->CreateForm(Form1);
    ASSERT_NE(Form1, nullptr);
    Form1->Show();
    Settle();
}

void MainWindowTest::TearDown() {
    if (Form1 != nullptr) {
        Form1->Close();
    }
    Application->DestroyForms();
    ResetProcessState();
}

void MainWindowTest::Settle() {
    for (int i = 0; i < 5; ++i) {
        Application->ProcessMessages();
    }
}
