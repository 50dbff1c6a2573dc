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

}  // namespace clipforge::test
