// The controls of the form: panel, group box, list box and progress bar.
// Each is its Qt widget, owned by the widget it is placed on, and takes its
// name (the Qt object name) from the form description.
#pragma once

#include <QGroupBox>
#include <QImage>
#include <QListWidget>
#include <QProgressBar>
#include <QWidget>

#include <string>

#include "platform/vcl/Classes.h"
#include "platform/win32/DeviceWindow.h"

// A raised panel with its caption in the middle, until a device presents a
// frame into it: from then on it shows the last frame presented.
class TPanel : public QWidget, public DeviceWindow, public TObject {
public:
    TPanel(QWidget* parent, const char* name);

    void SetCaption(const std::string& caption);
    std::string Caption() const { return caption; }

    // The window a Direct3D device draws into.
    HWND Handle() { return this; }

    int ClientWidth() const override { return width(); }
    int ClientHeight() const override { return height(); }
    // Keeps a copy of the frame and schedules a repaint of this panel only.
    void PresentFrame(const uint32_t* pixels, int width, int height, int pitchInPixels) override;

    // The last frame presented; a null image before the first.
    const QImage& LastFrame() const { return lastFrame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string caption;
    QImage lastFrame;
};

class TGroupBox : public QGroupBox, public TObject {
public:
    TGroupBox(QWidget* parent, const char* name);

    void SetCaption(const std::string& caption);
    std::string Caption() const;
};

// A single-choice list. OnClick runs when a mouse click lands on an entry
// (the selected one included) and when the keyboard moves the selection;
// changing the entries or ItemIndex from code does not run it.
class TListBox : public QListWidget, public TObject {
public:
    TListBox(QWidget* parent, const char* name);

    void Clear();
    void AddItem(const std::string& text);
    int Count() const;
    // The text of entry index; empty outside 0..Count()-1.
    std::string Item(int index) const;

    // The selected entry, -1 when none is.
    int ItemIndex() const;
    // Selects entry index; any value outside 0..Count()-1 selects none.
    void SetItemIndex(int index);

    void SetItemHeight(int height);
    int ItemHeight() const { return itemHeight; }

    TNotifyEvent OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DoClick();

    int itemHeight = 13;
};

// A bar without text over the range 0 to 100, at 0.
class TProgressBar : public QProgressBar, public TObject {
public:
    TProgressBar(QWidget* parent, const char* name);
};
