#include "platform/win32/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <utility>

namespace {

win32::MessageBoxHandler& InstalledHandler() {
    static win32::MessageBoxHandler handler;
    return handler;
}

int ShowQtMessageBox(const win32::MessageBoxCall& call) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s%s%s\n", call.caption.c_str(), call.caption.empty() ? "" : ": ", call.text.c_str());
        return IDOK;
    }
    const QMessageBox::Icon icon = (call.type & MB_ICONSTOP) != 0 ? QMessageBox::Critical : QMessageBox::NoIcon;
    // The owner is a device window only when it is one of our widgets.
    QWidget* parent = dynamic_cast<QWidget*>(call.owner);
    QMessageBox box(icon, QString::fromStdString(call.caption), QString::fromStdString(call.text), QMessageBox::Ok,
                    parent);
    // No owner still blocks the other windows: nothing may run a command
    // while the one that opened the box is halfway through.
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return IDOK;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, uint32_t type) {
    const win32::MessageBoxCall call{owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type};
    // A copy, so that the handler may replace itself while it runs.
    const win32::MessageBoxHandler handler = InstalledHandler();
    return handler ? handler(call) : ShowQtMessageBox(call);
}

namespace win32 {

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

}  // namespace win32
