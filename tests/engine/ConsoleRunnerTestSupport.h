#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ConsoleRunner.h"
#include "engine/LineCutter.h"
#include "engine/StartFailureReporter.h"
#include "support/FakeConverter.h"
#include "support/Processes.h"
#include "support/Wait.h"

namespace clipforge::test {

// Everything a runner told its user, in order.
struct RunnerRecorder {
    std::vector<OutputPiece> pieces;
    std::vector<std::uint32_t> exitCodes;
    std::vector<int> endStatusAtTermination;

    void attach(TConsoleRunner& runner)
    {
        runner.Settings.OnNewLine = [this](TConsoleRunner* sender, const std::string& line, TOutputType type) {
            pieces.push_back({line, type, sender->OutputReturnCode()});
        };
        runner.Settings.OnTerminated = [this](TConsoleRunner* sender, std::uint32_t exitCode) {
            exitCodes.push_back(exitCode);
            endStatusAtTermination.push_back(sender->EndStatus());
        };
    }
    bool waitForEnds(std::size_t count = 1)
    {
        return waitFor([&] { return exitCodes.size() >= count; });
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& piece : pieces)
            result.push_back(piece.text);
        return result;
    }
    bool sawLineStartingWith(const std::string& prefix) const
    {
        for (const auto& piece : pieces)
            if (piece.text.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    // The number after prefix in the first line that starts with it.
    long numberAfter(const std::string& prefix) const
    {
        for (const auto& piece : pieces)
            if (piece.text.rfind(prefix, 0) == 0)
                return std::stol(piece.text.substr(prefix.size()));
        return -1;
    }
};

// Replaces the start-failure reporter for the life of a test.
class CapturedStartFailures {
public:
    CapturedStartFailures()
        : previous_(setStartFailureReporter([this](const std::string& message) { messages.push_back(message); }))
    {
    }
    ~CapturedStartFailures() { setStartFailureReporter(previous_); }
    CapturedStartFailures(const CapturedStartFailures&) = delete;
    CapturedStartFailures& operator=(const CapturedStartFailures&) = delete;

    std::vector<std::string> messages;

private:
    StartFailureReporter previous_;
};

}  // namespace clipforge::test
