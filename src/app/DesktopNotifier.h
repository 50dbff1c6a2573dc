#pragma once

class QWidget;

namespace clipforge {

// Tells the desktop that a run has ended, for someone working in another window: a
// notification through the session bus's notification service, sent without waiting for an
// answer. Only where a session bus is known (its address set); a bus is never started for it.
class DesktopNotifier {
public:
    struct RunEnd {
        int converted = 0;
        int failed = 0;
        bool stopped = false;
    };

    // Sends nothing while window is the active window. True when a notification went out.
    bool runEnded(const QWidget& window, const RunEnd& run) const;
};

}  // namespace clipforge
