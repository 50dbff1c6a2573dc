#include "engine/SplitCommands.h"

#include "engine/CommandLineSplitter.h"

#include <cstdio>

namespace clipforge {
namespace {

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

bool keptForJoin(const std::string& name)
{
    return name == "-f" || name == "-movflags" || name == "-brand" || name == "-vtag" || name == "-atag" ||
           name.starts_with("-tag") || name.starts_with("-disposition") || name.starts_with("-metadata");
}

// The profile's options about the container, which a stream copy still needs.
std::string containerOptions(const std::vector<std::string>& params)
{
    std::string kept;
    for (std::size_t i = 0; i + 1 < params.size(); ++i) {
        if (keptForJoin(params[i])) {
            kept += " " + quoteArgument(params[i]) + " " + quoteArgument(params[i + 1]);
            ++i;
        }
    }
    return kept;
}

}  // namespace

std::string partCommandLine(const std::string& converter, const std::string& source, const std::string& params,
                            const SplitPart& part, const std::string& output)
{
    std::string line = quoteArgument(converter);
    if (part.seek)
        line += " -itsoffset " + number(-part.shift) + " -ss " + number(*part.seek);
    line += " -i " + quoteArgument(source);
    if (part.length)
        line += " -t " + number(*part.length);
    return line + " " + params + " -an " + quoteArgument(output);
}

std::string soundCommandLine(const std::string& converter, const std::string& source, const std::string& params,
                             const std::string& output)
{
    return quoteArgument(converter) + " -i " + quoteArgument(source) + " " + params + " -vn " + quoteArgument(output);
}

std::string joinCommandLine(const std::string& converter, const std::string& list, const std::string& sound,
                            const std::string& source, const std::vector<std::string>& params, const SplitPlan& plan,
                            const std::string& output)
{
    std::string line = quoteArgument(converter) + " -n";
    // The parts' pictures start at zero; a source whose pictures start late keeps that delay.
    if (!plan.cuts.empty() && plan.pictureStart > 0.001)
        line += " -itsoffset " + number(plan.pictureStart);
    line += " -f concat -i " + quoteArgument(list);
    if (plan.sound)
        line += " -i " + quoteArgument(sound);
    const std::string sourceInput = plan.sound ? "2" : "1";
    line += " -i " + quoteArgument(source) + " -map 0:v" + (plan.sound ? " -map 1:a" : "");
    line += " -map_metadata " + sourceInput + " -map_chapters " + sourceInput + " -c copy";
    return line + containerOptions(params) + " " + quoteArgument(output);
}

std::string concatList(const std::vector<std::string>& partNames, const SplitPlan& plan)
{
    std::string list = "ffconcat version 1.0\n";
    for (std::size_t i = 0; i < partNames.size() && i < plan.cuts.size(); ++i) {
        // The names are the driver's own (a number and the profile's extension): nothing to escape.
        list += "file '" + partNames[i] + "'\n";
        if (plan.cuts[i].joinedLength)
            list += "duration " + number(*plan.cuts[i].joinedLength) + "\n";
    }
    return list;
}

}  // namespace clipforge
