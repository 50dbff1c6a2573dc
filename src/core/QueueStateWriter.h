#pragma once

#include "core/ItemNodeData.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace clipforge {

// Writes a queue to one list file on a thread of its own, so that whoever hands it the jobs never
// waits for the disk. Only the newest jobs handed over count: a list still waiting when newer
// ones come is dropped unwritten.
class QueueStateWriter {
public:
    // Called on the writer's thread after each write: empty when it went well, else why not.
    using Written = std::function<void(const std::string& error)>;

    QueueStateWriter(std::string path, Written written);
    // Finishes what was handed over, then ends the thread.
    ~QueueStateWriter();
    QueueStateWriter(const QueueStateWriter&) = delete;
    QueueStateWriter& operator=(const QueueStateWriter&) = delete;

    // Replaces the file with these jobs, whole; no jobs removes it.
    void write(std::vector<TItemData> jobs);
    // Nothing handed over is still waiting or being written.
    bool idle() const;
    void waitUntilIdle();

private:
    void loop();

    const std::string path_;
    const Written written_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::vector<TItemData>> waiting_;
    bool writing_ = false;
    bool ending_ = false;
    std::thread thread_;
};

// Replaces the list file at path with jobs, whole; removes it when there are none. Throws
// EFileError when that fails, leaving the old file as it was.
void writeQueueFile(const std::string& path, const std::vector<TItemData>& jobs);

}  // namespace clipforge
