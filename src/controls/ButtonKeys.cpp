#include "controls/ButtonKeys.h"

#include <QKeyEvent>

namespace clipforge {

bool pressesButton(const QKeyEvent& key)
{
    if (key.isAutoRepeat() || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (key.key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: return true;
    default: return false;
    }
}

}  // namespace clipforge
