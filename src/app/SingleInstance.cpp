#include "app/SingleInstance.h"

#include "app/InstanceClient.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"

#include "core/WriterLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstdlib>

namespace clipforge {

namespace {

// A socket nobody answers at is what a killed window leaves behind. Only a socket is removed:
// anything else at the name is not ours.
void removeDeadSocket(const QString& socket)
{
    const std::string path = narrow(socket);
    if (fileStatus(path, FinalLink::Examined).kind == FileKind::Socket)
        removeFile(path);
}

// Another start holds the lock only between its probe and its listen, so it is worth waiting
// for, up to a limit: a start stopped there must not keep this one waiting for good. The kernel
// lets go of a dead holder's lock, so no holder is ever guessed dead.
WriterLock startLock(const std::string& path, int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    for (;;) {
        errno = 0;
        WriterLock lock = WriterLock::tryLock(path);
        if (lock.held() || errno != EWOULDBLOCK || deadline.hasExpired())
            return lock;
        QThread::msleep(20);
    }
}

}  // namespace

InstancePlaces InstancePlaces::inRuntimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? InstancePlaces() : inFolder(folder);
}

InstancePlaces InstancePlaces::inFolder(const QString& folder)
{
    const QDir here(folder);
    return {here.filePath(QStringLiteral("clipforge.socket")), here.filePath(QStringLiteral("clipforge.lock"))};
}

SingleInstance SingleInstance::start(const InstancePlaces& places, const InstanceMessage& message, std::ostream& err,
                                     int timeoutMs)
{
    SingleInstance instance;
    if (places.socket.isEmpty()) {
        err << "clipforge: no runtime folder (XDG_RUNTIME_DIR); this window will not take other starts' files\n";
        return instance;
    }
    const WriterLock lock = startLock(narrow(places.lock), 2 * timeoutMs);
    if (!lock.held()) {
        err << "clipforge: cannot take the lock " << narrow(places.lock) << "; this window will not take other "
            << "starts' files\n";
        return instance;
    }
    switch (handOver(places.socket, message, timeoutMs)) {
    case HandOver::Delivered:
        instance.role_ = Role::HandedOver;
        return instance;
    case HandOver::NoAnswer:
        err << "clipforge: the window already running does not answer at " << narrow(places.socket) << '\n';
        instance.role_ = Role::NoAnswer;
        return instance;
    case HandOver::NobodyListens:
        break;
    }
    removeDeadSocket(places.socket);
    auto server = std::make_unique<InstanceServer>();
    if (!server->listen(places.socket)) {
        err << "clipforge: cannot listen at " << narrow(places.socket) << ": " << narrow(server->errorString())
            << "; this window will not take other starts' files\n";
        return instance;
    }
    instance.role_ = Role::Serving;
    instance.server_ = std::move(server);
    return instance;
}

QByteArray activationTokenOfThisStart()
{
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        if (const char* token = std::getenv(name); token && *token)
            return QByteArray(token);
    }
    return {};
}

}  // namespace clipforge
