#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Pipe.h"

namespace clipforge {

// What a child is started with. arguments[0] names the program; a name
// without a slash is looked up in PATH. No shell is involved.
struct ChildStart {
    std::vector<std::string> arguments;
    int standardInput = -1;   // becomes the child's descriptor 0
    int standardOutput = -1;  // becomes the child's descriptors 1 and 2
    int niceIncrement = 0;    // only ever lowers the child's priority
    // The folder the child starts in; empty for ours.
    std::string workingFolder;
    // When set, the only folder below which the child may create, change or remove files (it may
    // still write to /dev/null and read anything). Needs the supervisor and a kernel with
    // Landlock (see convertersConfinable); without them the child runs unconfined.
    std::string writableFolder;
};

// A running child in a process group of its own that dies with the thread that
// started it. Every child is reaped, and its whole group is killed before that,
// whether it ended by itself or is destroyed while it runs: nothing it started
// outlives it.
class ChildProcess {
public:
    enum class State { Running, Ended, Failed };
    // A process id, kept as int so that no system header reaches this one's users.
    using ProcessId = int;

    // Starts the child; returns 0 or the error number. A program that cannot
    // be executed is reported here, never as a child exiting 127.
    static int start(const ChildStart& request, std::unique_ptr<ChildProcess>& child);

    // Every child is started under this supervisor (clipforge-supervisor, beside the
    // executable unless set), which kills everything below the child, also what left its
    // process group, when the child ends, when it is stopped and when this program dies. With
    // none (an empty path, or no such program), a child is killed as a process group.
    static void setSupervisor(std::string path);
    static std::string supervisor();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Never blocks. On Ended, exitCode holds the child's exit code, or 128 plus
    // the signal that ended it; on Failed, error holds the error number.
    State poll(std::uint32_t& exitCode, int& error);
    // Sleeps until the given time, waking early when the child ends.
    void waitForEnd(std::chrono::steady_clock::time_point until) const;
    // Ends the child and everything below it, then reaps the child.
    void kill();

private:
    ChildProcess(ProcessId pid, FileDescriptor endNotifier, bool supervised);

    ProcessId pid_;
    FileDescriptor endNotifier_;
    bool supervised_;
    bool reaped_ = false;
};

}  // namespace clipforge
