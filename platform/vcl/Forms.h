// The application object and the form, over Qt Widgets.
//
// The application object runs its own message loop: it handles every pending
// event, then calls the idle handler; a handler that leaves its done flag
// true makes the loop wait for the next event, one that sets it false gets
// called again as soon as the pending events are handled. Modal dialogs run
// Qt's own loop, in which the idle handler does not run (repaints still do).
// Every event handler the layer calls runs guarded: an exception escaping it
// is shown by the application's exception display and the loop goes on.
#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Classes.h"
#include "platform/vcl/SysUtils.h"

class QApplication;
class TForm;

using TIdleEvent = std::function<void(TObject* sender, bool& done)>;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TApplication : public TObject {
public:
    TApplication();
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates the Qt application when there is none yet; safe to call again.
    void Initialize();

    // Makes a form of class T, stores it in reference, then runs its OnCreate.
    // The first form made becomes the main form. The application owns the
    // form; destroying it sets reference back to null.
    template <class T>
    void CreateForm(T*& reference) {
        auto form = std::make_unique<T>();
        reference = form.get();
        Adopt(std::move(form), [&reference] { reference = nullptr; });
    }

    // Shows the main form and handles events until Terminate is called (the
    // main form's closing calls it). Returns at once without a main form.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated; }

    // Handles every pending event, without waiting and without idling.
    void ProcessMessages();
    // One turn of the loop: the pending events, then the idle handler (and a
    // wait for the next event when it reports done).
    void HandleMessage();

    // Shows the exception being handled; call it only inside a catch block.
    // An Exception shows its Message, another std::exception its what(),
    // anything else an empty message.
    void HandleException(TObject* sender);
    // The standard exception display: a message box with the message.
    void ShowException(const Exception* error);

    TForm* MainForm() const { return mainForm; }
    std::string Title() const;

    // Destroys every form the application owns, newest first.
    void DestroyForms();
    // Destroys the forms, then the Qt application if Initialize made it.
    void Shutdown();

    TIdleEvent OnIdle;

private:
    struct OwnedForm {
        std::unique_ptr<TForm> form;
        std::function<void()> forgetReference;
    };

    void Adopt(std::unique_ptr<TForm> form, std::function<void()> forgetReference);
    void Idle();
    void WaitMessage();

    std::unique_ptr<QApplication> qtApplication;
    std::vector<OwnedForm> forms;
    TForm* mainForm = nullptr;
    bool terminated = false;
    bool showingException = false;
};

extern TApplication* Application;

// Runs an event handler; an exception escaping it is shown by the
// application object and goes no further.
void InvokeHandler(TObject* sender, const std::function<void()>& handler);

// The font of a control: the class library's face (falling back to the
// system's sans-serif), height in pixels (negative: character height, as the
// form description gives it) and weight.
QFont ControlFont(int height, bool bold);

class TForm : public QMainWindow, public TObject {
public:
    TForm();
    ~TForm() override;

    // Where the controls go: the area below the menu bar.
    QWidget* ClientArea() const { return clientArea; }

    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // Outer bounds, frame and menu bar included, as the form description
    // gives them.
    void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    int ClientWidth() const;
    int ClientHeight() const;

    void Show();
    // Asks to close: OnClose decides (caNone keeps the form open); closing
    // the main form terminates the application.
    void Close();
    // Schedules a repaint of the client area, which runs OnPaint.
    void Invalidate();

    // Runs OnCreate; the application object calls it once the form is built.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class ClientWidget;
    friend class ClientWidget;

    void DoPaint();
    QSize FrameExtra() const;

    QWidget* clientArea = nullptr;
    QRect designedBounds;
    bool boundsFitToFrame = false;
};
