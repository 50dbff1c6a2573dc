#include "controls/MyFlatComboBox.h"

#include "controls/AccessibleControls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>

#include <cmath>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

// Rows of the drop-down list: the combo box's row height, its colour, the highlight when selected.
class FlatComboRowDelegate : public QStyledItemDelegate {
public:
    explicit FlatComboRowDelegate(TMyFlatComboBox* combo)
        : QStyledItemDelegate(combo), combo_(combo) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), combo_->listRowHeight());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = combo_->palette();
        painter->fillRect(option.rect, selected ? palette.color(QPalette::Highlight)
                                                : clipforge::colorToQColor(combo_->Color()));
        painter->setFont(combo_->font());
        painter->setPen(selected ? palette.color(QPalette::HighlightedText)
                                 : clipforge::colorToQColor(combo_->FontColor()));
        painter->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }

private:
    TMyFlatComboBox* combo_;
};

// The list drops down below the box, as a plain list with no scroll arrows of its own: the
// toolkit's "popup" mode would lay the list over the box and spend rows on those arrows.
class DropDownListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Border of the dropped-down list on each side: the list's height holds 4 pixels besides its rows.
constexpr int listBorder = 2;

} // namespace

TMyFlatComboBox::TMyFlatComboBox(QWidget* parent)
    : QComboBox(parent)
{
    clipforge::installAccessibleControls();
    scrollWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMaxVisibleItems(8);
    auto* listStyle = new DropDownListStyle;
    listStyle->setParent(this);
    setStyle(listStyle);
    setItemDelegate(new FlatComboRowDelegate(this));
    view()->setFrameShape(QFrame::NoFrame);
    view()->installEventFilter(this);
    setStyle(csDropDown);
    applyListColors();
}

void TMyFlatComboBox::setStyle(TComboBoxStyle value)
{
    style_ = value;
    setEditable(!isListStyle());
    if (QLineEdit* editor = lineEdit()) {
        editor->setFrame(false);
        editor->installEventFilter(this);
        applyListColors();
        placeEditor();
    }
    update();
}

void TMyFlatComboBox::setColor(TColor value)
{
    if (color_ == value)
        return;
    color_ = value;
    applyListColors();
    update();
}

void TMyFlatComboBox::SetColor(int index, TColor value)
{
    switch (index) {
    case ciArrow: colorArrow_ = value; break;
    case ciArrowBackground: colorArrowBackground_ = value; break;
    case ciBorder: colorBorder_ = value; break;
    default: return;
    }
    update();
}

void TMyFlatComboBox::setFontColor(TColor value)
{
    fontColor_ = value;
    applyListColors();
    update();
}

void TMyFlatComboBox::setItemHeight(int value)
{
    itemHeight_ = value;
}

void TMyFlatComboBox::applyListColors()
{
    const QColor background = clipforge::colorToQColor(color_);
    QPalette listPalette = view()->palette();
    listPalette.setColor(QPalette::Base, background);
    listPalette.setColor(QPalette::Window, background);
    view()->setPalette(listPalette);
    if (QLineEdit* editor = lineEdit()) {
        QPalette editPalette = editor->palette();
        editPalette.setColor(QPalette::Base, background);
        editPalette.setColor(QPalette::Text, clipforge::colorToQColor(fontColor_));
        editor->setPalette(editPalette);
    }
}

int TMyFlatComboBox::listRowHeight() const
{
    if (style_ == csSimple || style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable)
        return itemHeight_;
    const int textHeight = QFontMetrics(font()).height();
    return static_cast<int>(std::nearbyint(1.125 * textHeight)) - 2;
}

int TMyFlatComboBox::DropDownHeight() const
{
    const int rows = std::min(maxVisibleItems(), count());
    const int height = rows * listRowHeight() + 4;
    return height <= 4 ? 10 : height;
}

bool TMyFlatComboBox::focusLookActive() const
{
    return hasFocus() && !droppedDown_;
}

void TMyFlatComboBox::paintContent(Canvas& canvas) const
{
    const int cw = width();
    const int ch = height();
    canvas.fillRect({0, 0, cw - ArrowWidth - 4, ch}, color_);
    if (!isListStyle())
        return; // the editor draws the text
    const Rect item{3, 3, cw - scrollWidth_ - 2, ch - 3};
    const bool highlighted = focusLookActive();
    if (highlighted)
        canvas.fillRect(item, clHighlight);
    canvas.setFont(font());
    canvas.setFontColor(!isEnabled() ? clGrayText : highlighted ? clHighlightText : fontColor_);
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    Rect textRect = item.translated(2, 0);
    canvas.drawText(currentText(), textRect, clipforge::dtSingleLine | clipforge::dtVCenter | clipforge::dtNoPrefix);
}

void TMyFlatComboBox::paintFocusLook(Canvas& canvas) const
{
    const int cw = width();
    const int ch = height();
    if (isListStyle()) {
        const bool focused = focusLookActive();
        canvas.fillRect({cw - ArrowWidth - 10, 3, cw - ArrowWidth - 5, ch - 3}, focused ? clHighlight : color_);
        if (focused)
            canvas.frameRect({3, 3, cw - ArrowWidth - 2, ch - 3}, clHighlight);
    } else if (style_ == csDropDown && droppedDown_) {
        canvas.frameRect({2, 2, width() - ArrowWidth - 3, ch - 2}, clWindow);
    }
}

void TMyFlatComboBox::paintFrame(Canvas& canvas) const
{
    const Rect outer{0, 0, width() - ArrowWidth - 1, height()};
    canvas.frameRect(outer, colorBorder_);
    canvas.frameRect(outer.inflated(-1, -1), color_);
    canvas.frameRect(outer.inflated(-2, -2), color_);
}

void TMyFlatComboBox::paintArrowBox(Canvas& canvas) const
{
    const Rect box{width() - 13, 0, width(), height()};
    canvas.fillRect(box, colorArrowBackground_);
    canvas.frameRect(box, colorBorder_);
    const int cx = box.left + (box.right - box.left) / 2;
    const int cy = box.top + (box.bottom - box.top) / 2 - 1;
    const auto triangle = [&](int dx, int dy) {
        if (droppedDown_)
            return std::vector<QPoint>{{cx - 2 + dx, cy + 2 + dy}, {cx + 2 + dx, cy + 2 + dy}, {cx + dx, cy + dy}};
        return std::vector<QPoint>{{cx - 2 + dx, cy + dy}, {cx + 2 + dx, cy + dy}, {cx + dx, cy + 2 + dy}};
    };
    const auto paintTriangle = [&](TColor color, int offset) {
        canvas.setPenColor(color);
        canvas.setBrushColor(color);
        canvas.polygon(triangle(offset, offset));
    };
    if (isEnabled()) {
        paintTriangle(colorArrow_, 0);
    } else {
        paintTriangle(clWhite, 1);
        paintTriangle(clGray, 0);
    }
}

QImage TMyFlatComboBox::renderImage() const
{
    QImage image = clipforge::makeBitmap(width(), height());
    Canvas canvas(image);
    paintContent(canvas);
    paintFocusLook(canvas);
    paintFrame(canvas);
    if (style_ != csSimple)
        paintArrowBox(canvas);
    return image;
}

void TMyFlatComboBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, renderImage());
}

void TMyFlatComboBox::placeEditor()
{
    if (QLineEdit* editor = lineEdit())
        editor->setGeometry(3, 3, width() - ArrowWidth - 8, height() - 6);
}

void TMyFlatComboBox::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    placeEditor();
}

void TMyFlatComboBox::placePopup()
{
    auto* popup = qobject_cast<QFrame*>(view()->parentWidget());
    if (popup == nullptr)
        return;
    const int listHeight = DropDownHeight();
    QPoint origin = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        // Not enough room below: open above, as a native list does.
        if (origin.y() + listHeight > screen->geometry().bottom() + 1)
            origin = mapToGlobal(QPoint(0, -listHeight));
    }
    // The rows fill the list exactly: a frame of its own width, nothing else around them.
    popup->setFrameStyle(QFrame::Box | QFrame::Plain);
    popup->setLineWidth(listBorder);
    popup->setGeometry(origin.x(), origin.y(), width(), listHeight);
    showCurrentRow();
}

// The list opens at the chosen profile, highlighted, however far down it is.
void TMyFlatComboBox::showCurrentRow()
{
    const QModelIndex current = model()->index(currentIndex(), modelColumn(), rootModelIndex());
    if (!current.isValid())
        return;
    view()->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    view()->scrollTo(current, QAbstractItemView::PositionAtTop);
}

void TMyFlatComboBox::showPopup()
{
    if (OnDropDown)
        OnDropDown(this);
    droppedDown_ = true;
    if (count() > 0) {
        QComboBox::showPopup();
    } else if (QWidget* popup = view()->parentWidget()) {
        popup->show(); // the toolkit opens no list for an empty box; ours shows an empty one
    }
    placePopup();
    updateActive();
    update();
}

void TMyFlatComboBox::hidePopup()
{
    if (count() > 0)
        QComboBox::hidePopup();
    else if (QWidget* popup = view()->parentWidget())
        popup->hide();
    droppedDown_ = false;
    updateActive();
    update();
}

bool TMyFlatComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        updateActive();
    if (watched == view() && event->type() == QEvent::Hide && droppedDown_) {
        droppedDown_ = false;
        updateActive();
        update();
    }
    return QComboBox::eventFilter(watched, event);
}

void TMyFlatComboBox::updateActive()
{
    const bool editorFocused = lineEdit() != nullptr && lineEdit()->hasFocus();
    const bool active = droppedDown_ || hasFocus() || editorFocused;
    if (active == active_)
        return;
    active_ = active;
    update();
}

void TMyFlatComboBox::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    updateActive();
    update();
}

void TMyFlatComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    updateActive();
    update();
}

void TMyFlatComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        itemHeight_ = 13;
    if (event->type() == QEvent::EnabledChange)
        update();
}
