#pragma once

#include "engine/MediaPackets.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace clipforge {

class ChildProcess;
struct Pipe;

// Reads media files' packets, one file after another in the order asked, on a thread of its own
// through the helper program clipforge-packets, started once and kept for the reader's life. The
// helper is never the converter (the user may have put anything at bin/ffmpeg), and a file that
// crashes or hangs it fails only the question about that file: the helper is started afresh
// for the next.
class PacketReader {
public:
    using Answer = std::function<void(const MediaPackets&)>;

    explicit PacketReader(std::string helper = defaultHelper());
    // Ends the helper; questions not yet answered get no answer.
    ~PacketReader();
    PacketReader(const PacketReader&) = delete;
    PacketReader& operator=(const PacketReader&) = delete;

    // Queues path; answer runs on the reader's thread once the file has been read.
    void read(const std::string& path, Answer answer);
    // The same, waiting for the answer: for a thread that may wait, never the main thread.
    MediaPackets readAndWait(const std::string& path);

    // clipforge-packets beside the executable, unless tests chose another.
    static std::string defaultHelper();
    static void setDefaultHelper(std::string path);

private:
    struct Question {
        std::string path;
        Answer answer;
    };
    struct Helper;

    void work();
    MediaPackets ask(const std::string& path);

    const std::string helperPath_;
    std::unique_ptr<Helper> helper_;  // touched by the reader's thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Question> questions_;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace clipforge
