#pragma once

#include <optional>
#include <ostream>

namespace clipforge {

// What the command line asks before any window can exist: --help and --version print and end
// the program, also where there is no display; without a display to draw on, the program says so
// rather than letting the toolkit abort. The rest of the command line is left to the toolkit and
// the files.
class CommandLineOptions {
public:
    CommandLineOptions(int argc, char** argv);

    // The exit code when the program must end here, having written its answer to out or err.
    std::optional<int> answerWithoutWindow(std::ostream& out, std::ostream& err) const;

private:
    bool help_ = false;
    bool version_ = false;
    bool platformGiven_ = false;
};

}  // namespace clipforge
