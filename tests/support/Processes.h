#pragma once

#include <string>
#include <vector>

namespace clipforge::test {

struct ToolOutcome {
    int exitCode = -1;  // -1 when the program could not run or crashed
    std::string out;
    std::string err;
};

// Runs arguments[0] (looked up in PATH when it has no "/") without a shell, with no input.
ToolOutcome runTool(const std::vector<std::string>& arguments, const std::string& workingFolder = {});

// Neither running nor waiting to be reaped by anyone but us: a killed process whose parent has
// not reaped it yet is a zombie, which counts as gone.
bool processGone(long pid);
// Our own child has ended and been reaped.
bool reaped(long pid);

// Another process holding an exclusive flock on the file at path (made when missing) until this
// is destroyed or the process is killed.
class LockInAnotherProcess {
public:
    explicit LockInAnotherProcess(const std::string& path);
    ~LockInAnotherProcess() { kill(); }
    LockInAnotherProcess(const LockInAnotherProcess&) = delete;
    LockInAnotherProcess& operator=(const LockInAnotherProcess&) = delete;

    bool locked() const { return locked_; }
    // Ends the holder with SIGKILL, as a crash would, and reaps it.
    void kill();

private:
    long pid_ = -1;
    bool locked_ = false;
};

}  // namespace clipforge::test
