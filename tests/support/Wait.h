#pragma once

#include <QtCore/qtestsupport_core.h>

namespace clipforge::test {

// Runs the event loop until condition holds; false when it never does. The limit is a safety
// net for a broken build, never a measurement: nothing waits for time to pass.
template <typename Condition>
bool waitFor(Condition condition, int limitMs = 60000)
{
    return QTest::qWaitFor(condition, limitMs);
}

// Keeps the event loop running a while, for a check that something does not happen.
inline void keepRunningFor(int ms)
{
    QTest::qWait(ms);
}

}  // namespace clipforge::test
