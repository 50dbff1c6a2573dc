#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace clipforge {

// What a second start hands to the window that already runs: the desktop's activation token
// for bringing that window to the front, and the files given to it as absolute paths.
struct InstanceMessage {
    QByteArray activationToken;
    QStringList files;

    // A length in front, so that the reader knows when the whole message is there. Names travel
    // as their bytes, whatever their encoding.
    QByteArray encode() const;

    // Takes one whole message off the front of buffer; nothing while it is incomplete.
    // Throws std::runtime_error for bytes that are no message.
    static std::optional<InstanceMessage> take(QByteArray& buffer);
};

// The byte a window answers with once it has taken a message.
inline constexpr char instanceAcknowledgement = '\x06';

}  // namespace clipforge
