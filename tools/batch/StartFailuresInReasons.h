#pragma once

#include "engine/StartFailureReporter.h"

namespace clipforge {

// A converter that cannot be started is reported as its job's reason, right after the job's
// line; the runner's own report of it would say the same thing twice.
class StartFailuresInReasons {
public:
    StartFailuresInReasons() : previous_(setStartFailureReporter([](const std::string&) {})) {}
    ~StartFailuresInReasons() { setStartFailureReporter(previous_); }
    StartFailuresInReasons(const StartFailuresInReasons&) = delete;
    StartFailuresInReasons& operator=(const StartFailuresInReasons&) = delete;

private:
    StartFailureReporter previous_;
};

}  // namespace clipforge
