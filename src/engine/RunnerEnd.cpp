#include "engine/RunnerEnd.h"

#include "engine/ConsoleRunner.h"
#include "engine/StartFailureReporter.h"

namespace clipforge {

JobEnd runnerEnd(const TConsoleRunner& runner, std::uint32_t exitCode, bool stopped)
{
    JobEnd end;
    end.exitCode = exitCode;
    end.stopped = stopped;
    const std::uint8_t stage = runner.EndStatus();
    if (stage == esCreatingProcess)
        end.startFailure = startFailureMessage(runner.Settings.ShownCommandLine);
    else if (stage < esRunning)
        end.startError = static_cast<int>(exitCode);
    return end;
}

}  // namespace clipforge
