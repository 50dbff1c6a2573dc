#include "ClipforgeResources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares a function in the enclosing scope, so it must not sit inside a namespace.
static void initClipforgeResources()
{
    Q_INIT_RESOURCE(clipforge);
}

namespace clipforge {

void initResources()
{
    initClipforgeResources();
}

} // namespace clipforge
