#pragma once

#include "WatchRecord.h"

#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <string>

namespace clipforge {

// Files that arrived in a watched folder and are taken only once they are whole: neither size
// nor modification time changed for the settle time, and, where the system can tell, nobody
// has them open for writing. A file written in rounds starts its wait again with every round.
class SettlingFiles {
public:
    using Ready = std::function<void(const std::string& path, const WatchedFileKey& key)>;
    using Waiting = std::function<void(const std::string& path, const std::string& reason)>;

    SettlingFiles(std::chrono::milliseconds settle, Ready ready, Waiting waiting);

    // Waits for the regular file at path to settle; a file already waiting starts again.
    void add(const std::string& path);
    bool contains(const std::string& path) const { return files_.count(path) != 0; }

private:
    struct Settling {
        WatchedFileKey key;
        std::chrono::steady_clock::time_point since;
        bool writerReported = false;
    };

    void look();

    std::chrono::milliseconds settle_;
    Ready ready_;
    Waiting waiting_;
    std::map<std::string, Settling> files_;
    QTimer timer_;
};

}  // namespace clipforge
