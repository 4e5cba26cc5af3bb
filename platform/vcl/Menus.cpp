#include "platform/vcl/Menus.h"

#include "platform/vcl/Forms.h"

TMenuItem::TMenuItem(QObject* owner, const char* name, const std::string& caption) : QAction(owner) {
    setObjectName(QString::fromLatin1(name));
    if (caption == "-") {
        setSeparator(true);
    } else {
        setText(QString::fromStdString(caption));
    }
    connect(this, &QAction::triggered, this, [this] {
        if (OnClick) {
            const TNotifyEvent handler = OnClick;
            InvokeHandler(this, [&] { handler(this); });
        }
    });
}

TMenuItem::~TMenuItem() = default;

void TMenuItem::Add(TMenuItem* item) {
    if (!submenu) {
        submenu = std::make_unique<QMenu>(text());
        setMenu(submenu.get());
    }
    submenu->addAction(item);
}

std::string TMenuItem::Caption() const {
    return isSeparator() ? "-" : text().toStdString();
}

void TMenuItem::Click() {
    trigger();
}

TMainMenu::TMainMenu(QWidget* owner, const char* name) : QMenuBar(owner) {
    setObjectName(QString::fromLatin1(name));
}

void TMainMenu::Add(TMenuItem* item) {
    addAction(item);
}
