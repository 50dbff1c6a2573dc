#include "controls/FlatEdit.h"

#include "controls/Canvas.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QWheelEvent>

#include <limits>

using clipforge::Canvas;
using clipforge::Rect;

TMyCustomFlatEdit::TMyCustomFlatEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(FrameWidth - 2, FrameWidth, FrameWidth - 2, FrameWidth);
    setAttribute(Qt::WA_Hover);
    // The background is ours; the line edit only draws text, selection and caret.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    setPalette(palette);
    resize(121, 19);
    copyParentColor();
    adjustHeight();
}

void TMyCustomFlatEdit::setValueType(TEditValueType value)
{
    if (valueType_ == value)
        return;
    valueType_ = value;
    // Pasted text obeys the same rule as typed text.
    if (valueType_ == evtInteger)
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    else
        setValidator(nullptr);
}

int TMyCustomFlatEdit::asInteger() const
{
    if (valueType_ == evDefault || text().isEmpty())
        return 0;
    bool ok = false;
    const int value = text().toInt(&ok);
    return ok ? value : 0;
}

void TMyCustomFlatEdit::SetColor(int index, TColor value)
{
    switch (index) {
    case ciFocused: colorFocused_ = value; break;
    case ciBorder: colorBorder_ = value; break;
    case ciFlat:
        colorFlat_ = value;
        parentColor_ = false;
        break;
    default: return;
    }
    update();
}

void TMyCustomFlatEdit::setParentColor(bool value)
{
    if (parentColor_ == value)
        return;
    parentColor_ = value;
    copyParentColor();
}

void TMyCustomFlatEdit::copyParentColor()
{
    if (!parentColor_ || parentWidget() == nullptr)
        return;
    const QWidget* parent = parentWidget();
    colorFlat_ = clipforge::colorFromQColor(parent->palette().color(parent->backgroundRole()));
    update();
}

void TMyCustomFlatEdit::setFontColor(TColor value)
{
    fontColor_ = value;
    applyTextColor();
}

void TMyCustomFlatEdit::applyTextColor()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, clipforge::colorToQColor(fontColor_));
    setPalette(palette);
}

void TMyCustomFlatEdit::adjustHeight()
{
    resize(width(), QFontMetrics(font()).height() + 2 * FrameWidth);
}

bool TMyCustomFlatEdit::isActive() const
{
    if (hasFocus())
        return true;
    return mouseIn_ && qobject_cast<const TMyCustomFlatEdit*>(QApplication::focusWidget()) == nullptr;
}

QImage TMyCustomFlatEdit::frameImage() const
{
    QImage image = clipforge::makeBitmap(width(), height());
    Canvas canvas(image);
    const TColor inner = isActive() ? colorFocused_ : colorFlat_;
    const Rect outer{0, 0, width(), height()};
    canvas.fillRect(outer, inner);
    canvas.frameRect(outer, colorBorder_);
    canvas.frameRect(outer.inflated(-1, -1), inner);
    canvas.frameRect(outer.inflated(-2, -2), inner);
    return image;
}

void TMyCustomFlatEdit::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.drawImage(0, 0, frameImage());
    }
    QLineEdit::paintEvent(event);
}

void TMyCustomFlatEdit::stepUp()
{
    if (valueType_ != evtInteger)
        return;
    bool ok = true;
    const int value = text().isEmpty() ? 0 : text().toInt(&ok);
    // Without an upper limit the type's own maximum is the limit, so the text never wraps round.
    const int limit = maxValue_ == 0 ? std::numeric_limits<int>::max() : maxValue_;
    if (ok && value < limit)
        setText(QString::number(value + 1));
}

void TMyCustomFlatEdit::stepDown()
{
    if (valueType_ != evtInteger)
        return;
    bool ok = true;
    const int value = text().isEmpty() ? 0 : text().toInt(&ok);
    if (ok && minValue_ < value)
        setText(QString::number(value - 1));
}

bool TMyCustomFlatEdit::handleNumericCharacter(const QString& character)
{
    const bool backspace = character == QStringLiteral("\b");
    const bool digit = character.size() == 1 && character[0] >= u'0' && character[0] <= u'9';
    if (valueType_ == evtFloat || (!digit && !backspace))
        return true;
    const QString current = text();
    if (backspace && (current.size() <= 1 || (selectedText() == current && current.size() > 1))) {
        setText(QStringLiteral("0"));
        return true;
    }
    if (digit && current == QStringLiteral("0")) {
        // A lone zero is a placeholder: the first digit typed replaces it.
        if (character != QStringLiteral("0"))
            setText(character);
        return true;
    }
    // A zero that would land in front of digits that stay is a leading zero, with or without a
    // selection being replaced.
    const int insertAt = hasSelectedText() ? selectionStart() : cursorPosition();
    const bool digitsRemain = current.size() > selectedText().size();
    return character == QStringLiteral("0") && insertAt == 0 && digitsRemain;
}

bool TMyCustomFlatEdit::handleNumericKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete: return true;
    case Qt::Key_Up: stepUp(); return true;
    case Qt::Key_Down: stepDown(); return true;
    case Qt::Key_Backspace: return handleNumericCharacter(QStringLiteral("\b"));
    default: break;
    }
    const QString character = event->text();
    // Shortcuts (copy, select all, ...) and keys without a character go to the edit as usual.
    if (character.isEmpty() || (event->modifiers() & Qt::ControlModifier) || !character[0].isPrint())
        return false;
    return handleNumericCharacter(character);
}

void TMyCustomFlatEdit::keyPressEvent(QKeyEvent* event)
{
    if (valueType_ != evDefault && handleNumericKey(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TMyCustomFlatEdit::wheelEvent(QWheelEvent* event)
{
    if (valueType_ != evDefault) {
        if (event->angleDelta().y() > 0)
            stepUp();
        else
            stepDown();
    }
    event->accept();
}

void TMyCustomFlatEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    update();
}

void TMyCustomFlatEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (valueType_ == evtFloat)
        setCursorPosition(0);
    update();
}

void TMyCustomFlatEdit::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (QApplication::activeWindow() != nullptr)
        mouseIn_ = true;
    update();
}

void TMyCustomFlatEdit::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    mouseIn_ = false;
    update();
}

void TMyCustomFlatEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange: adjustHeight(); break;
    case QEvent::PaletteChange: copyParentColor(); break;
    case QEvent::ParentChange: copyParentColor(); break;
    case QEvent::EnabledChange: update(); break;
    default: break;
    }
}
