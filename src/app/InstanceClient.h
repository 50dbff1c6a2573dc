#pragma once

#include "app/InstanceMessage.h"

#include <QString>

namespace clipforge {

enum class HandOver {
    Delivered,       // the running window acknowledged the message
    NobodyListens,   // no socket, or one a dead instance left behind
    NoAnswer,        // a window listens but did not acknowledge in time
};

// A later start's end of the socket: sends the message and waits for the acknowledgement.
HandOver handOver(const QString& socket, const InstanceMessage& message, int timeoutMs);

}  // namespace clipforge
