// The main menu and its items. An item with sub-items opens a submenu; an
// item captioned "-" is a separator.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <memory>
#include <string>

#include "platform/vcl/Classes.h"

class TMenuItem : public QAction, public TObject {
public:
    TMenuItem(QObject* owner, const char* name, const std::string& caption);
    ~TMenuItem() override;

    // Appends item to this item's submenu.
    void Add(TMenuItem* item);
    std::string Caption() const;
    // Chooses the item as a user would: runs OnClick.
    void Click();

    TNotifyEvent OnClick;

private:
    std::unique_ptr<QMenu> submenu;
};

class TMainMenu : public QMenuBar, public TObject {
public:
    TMainMenu(QWidget* owner, const char* name);

    void Add(TMenuItem* item);
};
