#include "SettlingFiles.h"

#include "ReadLease.h"

#include "core/FileSystem.h"

#include <algorithm>
#include <vector>

namespace clipforge {
namespace {

std::optional<WatchedFileKey> keyOf(const std::string& path)
{
    const FileStatus status = fileStatus(path, FinalLink::Examined);
    if (status.kind != FileKind::Regular)
        return std::nullopt;
    return WatchedFileKey{status.size, status.modifiedNanoseconds};
}

}  // namespace

SettlingFiles::SettlingFiles(std::chrono::milliseconds settle, Ready ready, Waiting waiting)
    : settle_(settle), ready_(std::move(ready)), waiting_(std::move(waiting))
{
    // Often enough that a file is taken soon after its settle time, seldom enough to cost nothing.
    timer_.setInterval(std::clamp<std::chrono::milliseconds>(settle / 4, std::chrono::milliseconds(50),
                                                             std::chrono::milliseconds(1000)));
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { look(); });
}

void SettlingFiles::add(const std::string& path)
{
    const std::optional<WatchedFileKey> key = keyOf(path);
    if (!key)
        return;
    files_[path] = {*key, std::chrono::steady_clock::now(), false};
    if (!timer_.isActive())
        timer_.start();
}

void SettlingFiles::look()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<std::pair<std::string, WatchedFileKey>> ready;
    for (auto it = files_.begin(); it != files_.end();) {
        Settling& file = it->second;
        const std::optional<WatchedFileKey> key = keyOf(it->first);
        if (!key) {
            it = files_.erase(it);
            continue;
        }
        if (*key != file.key) {
            file = {*key, now, false};
        } else if (now - file.since >= settle_) {
            if (checkForWriters(it->first) != WriterCheck::Writing) {
                ready.emplace_back(it->first, file.key);
                it = files_.erase(it);
                continue;
            }
            // Still open for writing: a pause in a slow copy, not its end.
            file.since = now;
            if (!file.writerReported)
                waiting_(it->first, "open for writing");
            file.writerReported = true;
        }
        ++it;
    }
    if (files_.empty())
        timer_.stop();
    for (const auto& [path, key] : ready)
        ready_(path, key);
}

}  // namespace clipforge
