#include "controls/MenuDraw.h"

#include "controls/BandGradient.h"
#include "controls/MenuDrawStyle.h"
#include "controls/PngImageList.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeySequence>
#include <QVariant>

#include <algorithm>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

const char* const imageIndexProperty = "clipforgeImageIndex";

QFont itemFont(bool bold)
{
    return clipforge::makeFontPoints(QStringLiteral("Trebuchet MS"), 9, bold);
}

constexpr unsigned captionFlags = clipforge::dtLeft | clipforge::dtTop | clipforge::dtExternalLeading;

QString shortcutText(const QAction* action)
{
    return action->shortcut().toString(QKeySequence::NativeText);
}

// Separators carry no caption of their own; they measure like an item captioned "-".
QString captionOf(const QAction* action)
{
    return action->isSeparator() ? QStringLiteral("-") : action->text();
}

QSize measureText(Canvas& canvas, const QString& text)
{
    Rect bounds{0, 0, 0, 0};
    canvas.drawText(text, bounds, clipforge::dtCalcRect | captionFlags);
    return {bounds.width(), bounds.height()};
}

// An empty hint still takes one line, so every item keeps the two-line look.
QSize measureHint(Canvas& canvas, const QString& hint)
{
    if (hint.isEmpty())
        return {0, QFontMetrics(canvas.font()).height()};
    return measureText(canvas, hint);
}

int captionHeight(Canvas& canvas, const QAction* action)
{
    canvas.setFont(itemFont(true));
    return measureText(canvas, captionOf(action)).height();
}

} // namespace

TMenuDraw::TMenuDraw() = default;

TMenuDraw::~TMenuDraw()
{
    // The style dies with this object, so the menu must stop using it first.
    if (menu_ && style_)
        menu_->setStyle(nullptr);
}

void TMenuDraw::Attach(QMenu* menu, TPngImageList* images)
{
    if (menu_ && style_)
        menu_->setStyle(nullptr);
    menu_ = menu;
    images_ = images;
    items_.clear();
    if (menu == nullptr)
        return;
    for (QAction* action : menu->actions())
        items_.push_back({action, action->isSeparator() || action->text() == QStringLiteral("-")});
    if (!style_)
        style_ = std::make_unique<clipforge::MenuDrawStyle>(*this);
    menu->setStyle(style_.get());
}

void TMenuDraw::setImageIndex(QAction* action, int index)
{
    action->setProperty(imageIndexProperty, index);
}

int TMenuDraw::imageIndex(const QAction* action)
{
    const QVariant value = action->property(imageIndexProperty);
    return value.isValid() ? value.toInt() : -1;
}

bool TMenuDraw::isAttached(const QAction* action) const
{
    return std::any_of(items_.begin(), items_.end(), [&](const AttachedItem& item) { return item.action == action; });
}

bool TMenuDraw::paintsAsSeparator(const QAction* action) const
{
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const AttachedItem& item) { return item.action == action; });
    return it != items_.end() && it->separator;
}

bool TMenuDraw::hasImages() const
{
    return images_ != nullptr;
}

QSize TMenuDraw::MeasureItem(const QAction* action) const
{
    QImage scratch = clipforge::makeBitmap(1, 1);
    Canvas canvas(scratch);
    canvas.setFont(itemFont(true));
    QSize caption = measureText(canvas, captionOf(action));
    const QString shortcut = shortcutText(action);
    if (!shortcut.isEmpty())
        caption.rwidth() += measureText(canvas, shortcut).width() + 8;
    canvas.setFont(itemFont(false));
    const QSize hint = measureHint(canvas, action->statusTip());
    int width = std::max(caption.width(), hint.width()) + 8;
    if (hasImages())
        width += PictureColumnWidth;
    return {width, caption.height() + hint.height() + 8};
}

void TMenuDraw::paintPictureColumn(Canvas& canvas, const Rect& r) const
{
    canvas.fillRect({r.left, r.top, PictureColumnWidth, r.bottom}, PictureColumnBackground);
    canvas.setPenColor(LineColor);
    canvas.moveTo(PictureColumnWidth, r.top);
    canvas.lineTo(PictureColumnWidth, r.bottom);
}

void TMenuDraw::paintHighlight(Canvas& canvas, const Rect& r, int captionHeight, bool split) const
{
    canvas.setClipRegion(clipforge::roundRectRegion(r, 3, 3));
    if (split) {
        const int middle = r.top + captionHeight + 4;
        clipforge::fillBandGradient(canvas, {r.left, r.top, r.right, middle}, HighlightLight, HighlightUpperDark);
        clipforge::fillBandGradient(canvas, {r.left, middle, r.right, r.bottom}, HighlightLowerDark, HighlightLight);
    } else {
        clipforge::fillBandGradient(canvas, r, HighlightLight, HighlightUpperDark);
    }
    canvas.clearClip();
    canvas.setPenColor(LineColor);
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.roundRect(r, 3, 3);
}

void TMenuDraw::DrawItem(Canvas& canvas, const QAction* action, const Rect& r, bool selected) const
{
    const int ch = captionHeight(canvas, action);
    const QString hint = action->statusTip();
    canvas.fillRect(r, ItemBackground);
    if (hasImages())
        paintPictureColumn(canvas, r);
    if (selected)
        paintHighlight(canvas, r, ch, !hint.isEmpty() && SplitHighlight);
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.setFontColor(action->isEnabled() ? TextColor : DisabledTextColor);
    const int left = r.left + 4 + (hasImages() ? PictureColumnWidth : 0);
    Rect captionRect{left, r.top + 2, r.right - 4, r.bottom};
    canvas.drawText(action->text(), captionRect, captionFlags);
    const QString shortcut = shortcutText(action);
    if (!shortcut.isEmpty()) {
        Rect shortcutRect{left, r.top + 2, r.right - 4, r.bottom};
        canvas.drawText(shortcut, shortcutRect, captionFlags | clipforge::dtRight | clipforge::dtNoPrefix);
    }
    canvas.setFont(itemFont(false));
    Rect hintRect{left, r.top + ch + 4, r.right - 4, r.bottom};
    canvas.drawText(hint, hintRect, captionFlags);
    const int picture = imageIndex(action);
    if (picture >= 0 && hasImages() && DrawImages)
        images_->Draw(canvas, r.left + 4, r.top + 2, picture, true);
}

void TMenuDraw::DrawSeparator(Canvas& canvas, const QAction* action, const Rect& r) const
{
    canvas.fillRect(r, SeparatorBackground);
    canvas.setPenColor(LineColor);
    canvas.moveTo(r.left, r.bottom - 2);
    canvas.lineTo(r.right, r.bottom - 2);
    canvas.setPenColor(SeparatorLowerLine);
    canvas.moveTo(r.left, r.bottom - 1);
    canvas.lineTo(r.right, r.bottom - 1);
    const QString hint = action->statusTip();
    if (hint.isEmpty()) {
        if (hasImages())
            paintPictureColumn(canvas, r);
        return;
    }
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.setFont(itemFont(true));
    canvas.setFontColor(TextColor);
    Rect hintRect{r.left + (hasImages() ? 10 : 4), r.top, r.right - 4, r.bottom};
    canvas.drawText(hint, hintRect, clipforge::dtSingleLine | clipforge::dtVCenter);
}

QImage TMenuDraw::renderItem(const QAction* action, QSize size, bool selected) const
{
    QImage image = clipforge::makeBitmap(size.width(), size.height(), ItemBackground);
    Canvas canvas(image);
    const Rect r{0, 0, size.width(), size.height()};
    if (paintsAsSeparator(action))
        DrawSeparator(canvas, action, r);
    else
        DrawItem(canvas, action, r, selected);
    return image;
}
