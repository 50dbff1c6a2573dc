#include "app/WindowAnchors.h"

#include "dialogs/FittedLabel.h"

#include <algorithm>

namespace clipforge {

namespace {

// Where a span of a control lies along one direction when its window grew by growth there.
std::pair<int, int> spanAfter(int start, int length, bool nearEdge, bool farEdge, int growth)
{
    if (nearEdge && farEdge)
        return {start, length + growth};
    if (farEdge)
        return {start + growth, length};
    return {start, length};
}

}  // namespace

// A label fitted to its text is anchored by the place it was given, not the room its text took.
void WindowAnchors::add(QWidget* widget, Qt::Edges edges)
{
    const auto* fitted = dynamic_cast<const FittedLabel*>(widget);
    anchored_.push_back({widget, fitted ? fitted->place() : widget->geometry(), edges});
}

QRect WindowAnchors::placed(const QRect& designed, Qt::Edges edges, QSize growth)
{
    growth = growth.expandedTo(QSize(0, 0));
    const auto [left, width] = spanAfter(designed.left(), designed.width(), edges & Qt::LeftEdge,
                                         edges & Qt::RightEdge, growth.width());
    const auto [top, height] = spanAfter(designed.top(), designed.height(), edges & Qt::TopEdge,
                                         edges & Qt::BottomEdge, growth.height());
    return {left, top, width, height};
}

void WindowAnchors::apply(QSize growth) const
{
    for (const Anchored& control : anchored_) {
        if (!control.widget)
            continue;
        const QRect place = placed(control.designed, control.edges, growth);
        if (auto* fitted = dynamic_cast<FittedLabel*>(control.widget.data()))
            fitted->setPlace(place);
        else
            control.widget->setGeometry(place);
    }
}

}  // namespace clipforge
