#include "dialogs/FittedLabel.h"

#include <QEvent>

#include <algorithm>

namespace clipforge {

FittedLabel::FittedLabel(const QString& text, const QRect& place, QWidget* parent)
    : QLabel(text, parent)
    , place_(place)
{
    setAlignment(Qt::AlignRight | Qt::AlignTop);
    fit();
}

void FittedLabel::setText(const QString& text)
{
    QLabel::setText(text);
    fit();
}

void FittedLabel::setPlace(const QRect& place)
{
    if (place == place_)
        return;
    place_ = place;
    fit();
}

void FittedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fit();
}

void FittedLabel::paintEvent(QPaintEvent* event)
{
    const QSize wanted = sizeHint();
    if (wanted.width() > width() || wanted.height() > height()) {
        fit();
        update();
        return;
    }
    QLabel::paintEvent(event);
}

void FittedLabel::fit()
{
    fitToText(*this, place_);
}

void fitToText(QLabel& label, const QRect& place)
{
    const QSize wanted = label.sizeHint();
    const int width = std::max(place.width(), wanted.width());
    const int height = std::max(place.height(), wanted.height());
    label.setGeometry(place.x() + place.width() - width, place.y(), width, height);
}

}  // namespace clipforge
