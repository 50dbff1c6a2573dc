#include "engine/JobOutcome.h"

#include "core/FileSystem.h"
#include "engine/ConsoleRunnerTypes.h"
#include "engine/ConverterReport.h"

#include <cstring>

namespace clipforge {

namespace {

JobOutcome failed(std::string reason) { return {false, std::move(reason)}; }

JobOutcome judgeCleanExit(const ConverterReport& report, const std::string& outputPath)
{
    if (report.writeFailed()) {
        const std::string line = report.errorLine();
        return failed(line.empty() ? "the converter could not write all of its output" : line);
    }
    const FileStatus output = fileStatus(outputPath);
    if (output.kind != FileKind::Regular)
        return failed("the converter reported success but wrote no output file");
    if (output.size == 0)
        return failed("the converter reported success but its output file is empty");
    return {true, {}};
}

}  // namespace

JobOutcome judgeJob(const JobEnd& end, const ConverterReport& report, const std::string& outputPath)
{
    if (!end.startFailure.empty())
        return failed("the converter could not be started: " + end.startFailure);
    if (end.startError != 0)
        return failed(std::string("the converter could not be started: ") + std::strerror(end.startError));
    if (!end.exitCode)
        return failed("the job could not be given to the converter");
    if (*end.exitCode == 0)
        return judgeCleanExit(report, outputPath);
    if (end.stopped && *end.exitCode == StillActive)
        return failed("stopped");
    const std::string line = report.errorLine();
    return failed(line.empty() ? "the converter ended with code " + std::to_string(*end.exitCode) : line);
}

}  // namespace clipforge
