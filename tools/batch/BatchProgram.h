#pragma once

#include "BatchArguments.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class TCommandManager;

namespace clipforge {

// Exit codes of clipforge-batch.
enum BatchExit : int {
    beSuccess = 0,
    beJobFailed = 1,
    beUnusableInput = 2,
    beInterrupted = 130,
};

// clipforge-batch: the queue's classes driven from a command line, without a window. Output and
// errors go to the streams given, so tests can read them.
class BatchProgram {
public:
    // outTerminalWidth: the width of the terminal that out writes to; none when it is no terminal.
    BatchProgram(std::ostream& out, std::ostream& err, std::optional<std::size_t> outTerminalWidth = {})
        : out_(out), err_(err), terminalWidth_(outTerminalWidth)
    {
    }

    int run(const std::vector<std::string>& arguments);
    // The signal that stopped a conversion; 0 when none did.
    int endingSignal() const { return endingSignal_; }

private:
    int dispatch(const BatchArguments& arguments);
    int profiles(const TCommandManager& catalogue);
    int addProfile(const BatchArguments& arguments);
    int removeProfile(const BatchArguments& arguments, const TCommandManager& catalogue);
    int show(const BatchArguments& arguments);
    int make(const BatchArguments& arguments, const TCommandManager& catalogue);
    int convert(const BatchArguments& arguments, const TCommandManager& catalogue);
    int watch(const BatchArguments& arguments, const TCommandManager& catalogue);
    bool requireListFile(const std::string& path);
    void complain(const std::string& message);

    std::ostream& out_;
    std::ostream& err_;
    std::optional<std::size_t> terminalWidth_;
    int endingSignal_ = 0;
};

}  // namespace clipforge
