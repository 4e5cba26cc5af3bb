#include "platform/vcl/Forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <algorithm>

#include <cstdio>
#include <utility>

#include "platform/win32/MessageBox.h"

namespace {

TApplication applicationObject;

}  // namespace

TApplication* Application = &applicationObject;

void InvokeHandler(TObject* sender, const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        Application->HandleException(sender);
    }
}

QFont ControlFont(int height, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(height < 0 ? -height : height);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() = default;

TApplication::~TApplication() {
    Shutdown();
}

void TApplication::Initialize() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    static int argc = 1;
    static char name[] = "tr4viewer";
    static char* argv[] = {name, nullptr};
    qtApplication = std::make_unique<QApplication>(argc, argv);
    // The loop ends when the main form closes, not when Qt sees no window.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TApplication::Adopt(std::unique_ptr<TForm> form, std::function<void()> forgetReference) {
    TForm* created = form.get();
    forms.push_back(OwnedForm{std::move(form), std::move(forgetReference)});
    // A new main form starts the application afresh: a Terminate that ended
    // an earlier loop no longer counts.
    if (mainForm == nullptr) {
        mainForm = created;
        terminated = false;
    }
    created->DoCreate();
}

void TApplication::Run() {
    if (mainForm == nullptr) {
        return;
    }
    terminated = false;
    mainForm->Show();
    while (!terminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::Terminate() {
    terminated = true;
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        dispatcher->wakeUp();
    }
}

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Outside exec() nothing else deletes objects handed to deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TApplication::HandleMessage() {
    ProcessMessages();
    if (!terminated) {
        Idle();
    }
}

void TApplication::Idle() {
    bool done = true;
    if (OnIdle) {
        // A copy, so that a handler may replace OnIdle while it runs.
        const TIdleEvent handler = OnIdle;
        InvokeHandler(this, [&] { handler(this, done); });
    }
    if (done && !terminated) {
        WaitMessage();
    }
}

void TApplication::WaitMessage() {
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void TApplication::HandleException(TObject*) {
    std::string message;
    try {
        throw;
    } catch (const Exception& error) {
        message = error.Message;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
    }
    const Exception shown(message);
    ShowException(&shown);
}

void TApplication::ShowException(const Exception* error) {
    const std::string message = error != nullptr ? error->Message : std::string();
    // A handler that fails again while its failure is on screen (a repaint
    // under the box) is reported on stderr instead of stacking boxes.
    if (showingException) {
        std::fprintf(stderr, "%s: %s\n", Title().c_str(), message.c_str());
        return;
    }
    showingException = true;
    MessageBoxA(nullptr, message.c_str(), Title().c_str(), MB_OK | MB_ICONSTOP);
    showingException = false;
}

std::string TApplication::Title() const {
    if (QCoreApplication::instance() == nullptr) {
        return "tr4viewer";
    }
    return QCoreApplication::applicationName().toStdString();
}

void TApplication::DestroyForms() {
    while (!forms.empty()) {
        OwnedForm owned = std::move(forms.back());
        forms.pop_back();
        if (mainForm == owned.form.get()) {
            mainForm = nullptr;
        }
        owned.form.reset();
        owned.forgetReference();
    }
}

void TApplication::Shutdown() {
    DestroyForms();
    OnIdle = nullptr;
    qtApplication.reset();
}

// ---------------------------------------------------------------- TForm

// The client area: its repaints are the form's OnPaint.
class TForm::ClientWidget : public QWidget {
public:
    explicit ClientWidget(TForm& owner) : QWidget(&owner), form(owner) {}

protected:
    void paintEvent(QPaintEvent*) override { form.DoPaint(); }

private:
    TForm& form;
};

TForm::TForm() {
    clientArea = new ClientWidget(*this);
    setCentralWidget(clientArea);
}

TForm::~TForm() = default;

void TForm::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

std::string TForm::Caption() const {
    return windowTitle().toStdString();
}

QSize TForm::FrameExtra() const {
    return frameGeometry().size() - geometry().size();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    designedBounds = QRect(left, top, width, height);
    const QSize extra = FrameExtra();
    move(left, top);
    resize(std::max(1, width - extra.width()), std::max(1, height - extra.height()));
}

int TForm::Left() const {
    return frameGeometry().x();
}

int TForm::Top() const {
    return frameGeometry().y();
}

int TForm::Width() const {
    return frameGeometry().width();
}

int TForm::Height() const {
    return frameGeometry().height();
}

int TForm::ClientWidth() const {
    return clientArea->width();
}

int TForm::ClientHeight() const {
    return clientArea->height();
}

void TForm::Show() {
    show();
}

void TForm::Close() {
    close();
}

void TForm::Invalidate() {
    clientArea->update();
}

void TForm::DoCreate() {
    if (OnCreate) {
        const TNotifyEvent handler = OnCreate;
        InvokeHandler(this, [&] { handler(this); });
    }
}

void TForm::DoPaint() {
    if (OnPaint) {
        const TNotifyEvent handler = OnPaint;
        InvokeHandler(this, [&] { handler(this); });
    }
}

void TForm::closeEvent(QCloseEvent* event) {
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) {
        const TCloseEvent handler = OnClose;
        InvokeHandler(this, [&] { handler(this, action); });
    }
    if (action == TCloseAction::caNone) {
        event->ignore();
        return;
    }
    // Every other action hides the form; closing the main form ends the loop.
    event->accept();
    if (Application->MainForm() == this) {
        Application->Terminate();
    }
}

void TForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Once a window manager has framed the window, keep the outer size as
    // designed rather than the client size.
    if (!boundsFitToFrame && designedBounds.isValid() && !FrameExtra().isNull()) {
        boundsFitToFrame = true;
        SetBounds(designedBounds.x(), designedBounds.y(), designedBounds.width(), designedBounds.height());
    }
}
