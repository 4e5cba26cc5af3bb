#include "platform/vcl/Controls.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <cstddef>

#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(QWidget* parent, const char* name) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    // The panel paints every pixel itself, so a frame presented into it
    // repaints the panel alone and never the form beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetCaption(const std::string& text) {
    caption = text;
    update();
}

void TPanel::PresentFrame(const uint32_t* pixels, int width, int height, int pitchInPixels) {
    if (pixels == nullptr || width <= 0 || height <= 0 || pitchInPixels < width) {
        return;
    }
    if (lastFrame.size() != QSize(width, height)) {
        lastFrame = QImage(width, height, QImage::Format_RGB32);
        if (lastFrame.isNull()) {
            return;
        }
    }
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitchInPixels);
        auto* target = reinterpret_cast<uint32_t*>(lastFrame.scanLine(y));
        // The frame's unused top byte becomes the opaque alpha Qt expects.
        for (int x = 0; x < width; ++x) {
            target[x] = source[x] | 0xFF000000u;
        }
    }
    update();
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!lastFrame.isNull()) {
        painter.drawImage(rect(), lastFrame);
        return;
    }
    const QRect area = rect();
    painter.fillRect(area, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(area.topRight(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter, QString::fromStdString(caption));
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(QWidget* parent, const char* name) : QGroupBox(parent) {
    setObjectName(QString::fromLatin1(name));
}

void TGroupBox::SetCaption(const std::string& caption) {
    setTitle(QString::fromStdString(caption));
}

std::string TGroupBox::Caption() const {
    return title().toStdString();
}

// ---------------------------------------------------------------- TListBox

namespace {

// Gives every entry of a list box the list's item height.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    explicit ItemHeightDelegate(TListBox& list) : QStyledItemDelegate(&list), list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(list.ItemHeight());
        return size;
    }

private:
    TListBox& list;
};

}  // namespace

TListBox::TListBox(QWidget* parent, const char* name) : QListWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new ItemHeightDelegate(*this));
    connect(this, &QListWidget::clicked, this, [this](const QModelIndex&) { DoClick(); });
}

void TListBox::Clear() {
    clear();
}

void TListBox::AddItem(const std::string& text) {
    addItem(QString::fromStdString(text));
}

int TListBox::Count() const {
    return count();
}

std::string TListBox::Item(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->text().toStdString() : std::string();
}

int TListBox::ItemIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void TListBox::SetItemIndex(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index);
}

void TListBox::SetItemHeight(int height) {
    itemHeight = height;
    scheduleDelayedItemsLayout();
}

void TListBox::keyPressEvent(QKeyEvent* event) {
    const int before = ItemIndex();
    QListWidget::keyPressEvent(event);
    if (ItemIndex() != before) {
        DoClick();
    }
}

void TListBox::DoClick() {
    if (OnClick) {
        const TNotifyEvent handler = OnClick;
        InvokeHandler(this, [&] { handler(this); });
    }
}

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(QWidget* parent, const char* name) : QProgressBar(parent) {
    setObjectName(QString::fromLatin1(name));
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}
