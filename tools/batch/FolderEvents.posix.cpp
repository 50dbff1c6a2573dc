#include "FolderEvents.h"

#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace clipforge {
namespace {

// Files count once they are closed after writing or arrive whole by a rename; a file that is
// only created is still being written.
constexpr std::uint32_t WatchedChanges = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MOVED_FROM | IN_DELETE_SELF |
                                         IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

std::optional<FolderEvent::Kind> kindOf(std::uint32_t mask)
{
    using Kind = FolderEvent::Kind;
    if (mask & IN_Q_OVERFLOW)
        return Kind::Overflow;
    if (mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))
        return Kind::FolderGone;
    if (mask & IN_ISDIR) {
        if (mask & (IN_CREATE | IN_MOVED_TO))
            return Kind::FolderArrived;
        if (mask & IN_MOVED_FROM)
            return Kind::FolderLeft;
        return std::nullopt;
    }
    if (mask & IN_CLOSE_WRITE)
        return Kind::FileWritten;
    if (mask & IN_MOVED_TO)
        return Kind::FileMovedIn;
    return std::nullopt;
}

}  // namespace

FolderEvents::FolderEvents(Handler handler) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), handler_(std::move(handler))
{
    if (!fd_.valid()) {
        error_ = errno;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { read(); });
}

FolderEvents::~FolderEvents() = default;

int FolderEvents::add(const std::string& folder)
{
    const int watch = ::inotify_add_watch(fd_.get(), folder.c_str(), WatchedChanges);
    if (watch < 0)
        error_ = errno;
    return watch;
}

void FolderEvents::remove(int watch)
{
    ::inotify_rm_watch(fd_.get(), watch);
}

void FolderEvents::read()
{
    alignas(inotify_event) char buffer[64 * 1024];
    std::vector<FolderEvent> events;
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            inotify_event header;
            std::memcpy(&header, buffer + at, sizeof header);
            const char* name = buffer + at + sizeof header;
            at += static_cast<ssize_t>(sizeof header + header.len);
            if (const auto kind = kindOf(header.mask))
                events.push_back({*kind, header.wd, header.len ? std::string(name) : std::string()});
        }
    }
    if (!events.empty())
        handler_(events);
}

}  // namespace clipforge
