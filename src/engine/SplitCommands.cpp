#include "engine/SplitCommands.h"

#include "engine/CommandLineSplitter.h"
#include "engine/Decimals.h"

namespace clipforge {
namespace {

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
        line += " -itsoffset " + decimalText(-part.shift, 6) + " -ss " + decimalText(*part.seek, 6);
    line += " -i " + quoteArgument(source);
    if (part.length)
        line += " -t " + decimalText(*part.length, 6);
    return line + " " + params + " -an " + quoteArgument(output);
}

std::string partFile(std::size_t index, const std::string& ext)
{
    return "part-" + std::to_string(index + 1) + "." + ext;
}

std::string soundFile(const std::string& ext)
{
    // Flash Video keeps unsigned milliseconds: a time before zero wraps round. Matroska keeps
    // signed milliseconds, so nothing is lost that the output could keep.
    return ext == "flv" ? "sound.mka" : "sound." + ext;
}

std::vector<std::string> pieceFiles(const SplitPlan& split, const std::string& ext)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < split.cuts.size(); ++i)
        names.push_back(partFile(i, ext));
    if (split.sound)
        names.push_back(soundFile(ext));
    return names;
}

std::string soundCommandLine(const std::string& converter, const std::string& source,
                             const std::vector<std::string>& params, const std::string& output)
{
    const bool matroska = output.ends_with(".mka");
    std::string line = quoteArgument(converter) + " -i " + quoteArgument(source);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (matroska && keptForJoin(params[i]))
            ++i;
        else
            line += " " + quoteArgument(params[i]);
    }
    return line + " -vn" + (matroska ? " -f matroska" : "") + " -avoid_negative_ts disabled " + quoteArgument(output);
}

std::string joinCommandLine(const std::string& converter, const std::string& list, const std::string& sound,
                            const std::string& source, const std::vector<std::string>& params, const SplitPlan& plan,
                            const std::string& output, const std::string& stamp)
{
    // Every input keeps its own time stamps: the sound's begin before zero by its encoder's delay,
    // which the muxer then makes up for in every stream, as in a whole conversion.
    std::string line = quoteArgument(converter) + " -n -copyts";
    line += " -f concat -i " + quoteArgument(list);
    if (plan.sound)
        line += " -i " + quoteArgument(sound);
    const std::string sourceInput = plan.sound ? "2" : "1";
    line += " -i " + quoteArgument(source) + " -map 0:v" + (plan.sound ? " -map 1:a" : "");
    line += " -map_metadata " + sourceInput + " -map_chapters " + sourceInput + " -c copy";
    line += containerOptions(params);
    if (!stamp.empty())
        line += " -fflags +bitexact -flags:v +bitexact -flags:a +bitexact -metadata comment=" + quoteArgument(stamp);
    return line + " " + quoteArgument(output);
}

std::string concatList(const std::vector<std::string>& partNames, const SplitPlan& plan)
{
    std::string list = "ffconcat version 1.0\n";
    for (std::size_t i = 0; i < partNames.size() && i < plan.cuts.size(); ++i) {
        // The names are the driver's own (a number and the profile's extension): nothing to escape.
        // Each part keeps its own time stamps (a container's delay, a late first picture) from
        // where the one before ends.
        list += "file '" + partNames[i] + "'\ninpoint 0\n";
        if (plan.cuts[i].joinedLength)
            list += "duration " + decimalText(*plan.cuts[i].joinedLength, 6) + "\n";
    }
    return list;
}

}  // namespace clipforge
