#include "app/JobListKeys.h"

#include "app/JobTreeView.h"

#include <QKeyEvent>

namespace clipforge {

JobListKeys::JobListKeys(JobTreeView& tree, Commands commands)
    : tree_(tree)
    , commands_(std::move(commands))
{
    tree.installEventFilter(this);
}

bool JobListKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &tree_ && event->type() == QEvent::KeyPress)
        return handle(*static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

bool JobListKeys::handle(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const int code = key.key();
    if (modifiers == Qt::ControlModifier && (code == Qt::Key_Up || code == Qt::Key_Down))
        return moveCurrent(code == Qt::Key_Up ? -1 : 1);
    if (modifiers == Qt::ShiftModifier && code == Qt::Key_F10) {
        tree_.showMenuForCurrentJob();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    const bool enter = code == Qt::Key_Return || code == Qt::Key_Enter;
    if (code != Qt::Key_Delete && !enter)
        return false;
    if (tree_.menuOffered()) {
        const auto& command = enter ? commands_.properties : commands_.deleteSelected;
        if (command)
            command();
    }
    return true;
}

// The key is taken even where nothing moves, so that it never moves the focus instead.
bool JobListKeys::moveCurrent(int step)
{
    const int row = tree_.focusedRow();
    if (row >= 0 && commands_.move)
        commands_.move(row, step);
    return true;
}

}  // namespace clipforge
