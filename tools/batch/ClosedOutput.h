#pragma once

#include <QTimer>

#include <functional>
#include <iosfwd>

namespace clipforge {

// Notices that nobody reads standard output any more (`convert ... | head`): a write that failed
// (EPIPE; SIGPIPE is ignored), or a pipe whose reader has gone, which is seen before anything
// more is written. Looks a few times a second while it lives.
class ClosedOutput {
public:
    // fd: the descriptor behind out, -1 when out is no descriptor of ours.
    ClosedOutput(const std::ostream& out, int fd, std::function<void()> onClosed);

    // The descriptor behind out: standard output's for std::cout, -1 for any other stream.
    static int descriptorOf(const std::ostream& out);

private:
    void check();
    static bool readerGone(int fd);

    const std::ostream& out_;
    int fd_;
    std::function<void()> onClosed_;
    QTimer timer_;
};

}  // namespace clipforge
