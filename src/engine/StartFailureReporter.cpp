#include "engine/StartFailureReporter.h"

#include "core/DisplayText.h"

#include <cstdio>
#include <utility>

namespace clipforge {

namespace {

StartFailureReporter& installedReporter()
{
    static StartFailureReporter reporter;
    return reporter;
}

}  // namespace

StartFailureReporter setStartFailureReporter(StartFailureReporter reporter)
{
    return std::exchange(installedReporter(), std::move(reporter));
}

void reportStartFailure(const std::string& message)
{
    if (const auto& reporter = installedReporter())
        reporter(message);
    else
        std::fprintf(stderr, "%s\n", displayText(message).c_str());
}

}  // namespace clipforge
