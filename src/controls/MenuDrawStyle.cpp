#include "controls/MenuDrawStyle.h"

#include "controls/MenuDraw.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace clipforge {

namespace {

// The text the menu gives its style for an action: the caption, a tab and the shortcut.
QString styleTextOf(const QAction* action)
{
    QString text = action->text();
    if (!text.contains(u'\t') && !action->shortcut().isEmpty() && action->isShortcutVisibleInContextMenu())
        text += u'\t' + action->shortcut().toString(QKeySequence::NativeText);
    return text;
}

} // namespace

MenuDrawStyle::MenuDrawStyle(const TMenuDraw& owner)
    : owner_(owner)
{
}

bool MenuDrawStyle::isOwnMenu(const QWidget* widget) const
{
    return widget != nullptr && widget == owner_.Menu();
}

int MenuDrawStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (isOwnMenu(widget)) {
        switch (metric) {
        case PM_MenuPanelWidth: return 1;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuTearoffHeight: return 0;
        default: break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

// The menu hands its style the item's text only, so the action is found by that text. The menu
// measures its items in order, so the search starts after the item measured last: two items of
// the same caption are then each measured with their own hint.
const QAction* MenuDrawStyle::measuredAction(const QStyleOption* option) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item == nullptr || owner_.Menu() == nullptr)
        return nullptr;
    const bool separator = item->menuItemType == QStyleOptionMenuItem::Separator;
    const QList<QAction*> actions = owner_.Menu()->actions();
    const qsizetype start = actions.indexOf(lastMeasured_) + 1;
    for (qsizetype step = 0; step < actions.size(); ++step) {
        const QAction* action = actions[(start + step) % actions.size()];
        if (!owner_.isAttached(action) || action->isSeparator() != separator)
            continue;
        if (separator || styleTextOf(action) == item->text) {
            lastMeasured_ = action;
            return action;
        }
    }
    return nullptr;
}

// The menu widens every item by its widest shortcut; our measure already holds the shortcut.
int MenuDrawStyle::menuTabWidth() const
{
    const QMenu* menu = owner_.Menu();
    const QFontMetrics metrics = menu->fontMetrics();
    int width = 0;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QString text = styleTextOf(action);
        const qsizetype tab = text.indexOf(u'\t');
        if (tab >= 0)
            width = std::max(width, metrics.horizontalAdvance(text.mid(tab + 1)));
    }
    return width;
}

QSize MenuDrawStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const
{
    if (type == CT_MenuItem && isOwnMenu(widget)) {
        if (const QAction* action = measuredAction(option)) {
            // Kept at least 1 wide: the menu leaves out items of empty size. The widest item holds
            // the widest shortcut, so the column still ends up exactly as wide as it.
            QSize measured = owner_.MeasureItem(action);
            measured.setWidth(std::max(1, measured.width() - menuTabWidth()));
            return measured;
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void MenuDrawStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    if (isOwnMenu(widget) && element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, colorToQColor(TMenuDraw::ItemBackground));
        return;
    }
    if (isOwnMenu(widget) && element == CE_MenuItem) {
        const QAction* action = owner_.Menu()->actionAt(option->rect.center());
        if (action != nullptr && owner_.isAttached(action)) {
            const bool selected = option->state & State_Selected;
            painter->drawImage(option->rect.topLeft(), owner_.renderItem(action, option->rect.size(), selected));
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void MenuDrawStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const
{
    if (isOwnMenu(widget) && (element == PE_PanelMenu || element == PE_FrameMenu)) {
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, colorToQColor(TMenuDraw::ItemBackground));
        const QRect r = option->rect;
        painter->setPen(colorToQColor(TMenuDraw::LineColor));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

} // namespace clipforge
