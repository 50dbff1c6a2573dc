#pragma once

#include "app/InstanceMessage.h"
#include "app/InstanceServer.h"

#include <QString>

#include <memory>
#include <ostream>

namespace clipforge {

// Where the single-instance socket and its lock live: the user's runtime folder
// ($XDG_RUNTIME_DIR), so there is one window per user and nobody else can reach it.
struct InstancePlaces {
    QString socket;
    QString lock;

    // Empty when the user has no usable runtime folder.
    static InstancePlaces inRuntimeFolder();
    static InstancePlaces inFolder(const QString& folder);
};

// Decides, at a start, whether this process becomes the one window or hands its files to the
// window that is already there. The probe and the listen happen under a lock file, so two starts
// at the same moment cannot both find nobody and both open a window.
class SingleInstance {
public:
    enum class Role {
        HandedOver,  // another window took the message; this start ends
        NoAnswer,    // another window listens but does not answer; this start ends with an error
        Serving,     // this start is the window; server() takes later starts' messages
        Alone,       // no socket could be had; this start is a window on its own
    };

    // Says on err why a start could not take part.
    static SingleInstance start(const InstancePlaces& places, const InstanceMessage& message, std::ostream& err,
                                int timeoutMs = 10000);

    Role role() const { return role_; }
    InstanceServer* server() const { return server_.get(); }

private:
    Role role_ = Role::Alone;
    std::unique_ptr<InstanceServer> server_;
};

// The activation token the desktop gave this start (Wayland's or X11's start-up notification),
// read before the toolkit takes it; empty when there is none.
QByteArray activationTokenOfThisStart();

}  // namespace clipforge
