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

// The converter the program itself runs: bin/ffmpeg in the program folder of the build.
std::string converter();

}  // namespace clipforge::test
