#include "engine/WritingArguments.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace clipforge {
namespace {

// The converter's options that take no value; every other option takes exactly one. A boolean
// option also comes with "no" before its name.
constexpr std::array<std::string_view, 44> OptionsWithoutValue = {
    "n",          "y",            "vn",           "an",          "sn",           "dn",
    "stdin",      "hide_banner",  "stats",        "benchmark",   "benchmark_all", "debug_ts",
    "xerror",     "copyts",       "start_at_zero", "shortest",   "re",           "accurate_seek",
    "seek_timestamp", "dump",     "hex",          "ignore_unknown", "copy_unknown", "autorotate",
    "autoscale",  "fix_sub_duration", "intra",    "psnr",        "vstats",       "qphist",
    "deinterlace", "bitexact",    "report",       "copyinkf",    "recast_media", "find_stream_info",
    "version",   "buildconf",    "formats",     "muxers",       "demuxers",
    "codecs",     "encoders",     "decoders",
};

// Options that write a file (or a URL) of their own.
constexpr std::array<std::string_view, 18> WritingOptions = {
    "y",          "vstats",       "vstats_file",  "passlogfile", "pass",          "progress",
    "report",     "sdp_file",     "dump_attachment", "segment_list", "hls_segment_filename",
    "master_pl_name", "hls_fmp4_init_filename", "init_seg_name", "media_seg_name", "stats_enc_pre",
    "stats_enc_post", "stats_mux_pre",
};

// Options whose value is a filter graph.
constexpr std::array<std::string_view, 5> FilterOptions = {"vf", "af", "filter", "filter_complex", "lavfi"};

bool isOption(const std::string& argument) { return argument.size() > 1 && argument.front() == '-'; }

// "-c:v" is the option "c" for a stream.
std::string_view optionName(const std::string& argument)
{
    const std::string_view name = std::string_view(argument).substr(1);
    return name.substr(0, name.find(':'));
}

template <std::size_t Size>
bool listed(const std::array<std::string_view, Size>& list, std::string_view name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool takesValue(std::string_view name)
{
    if (listed(OptionsWithoutValue, name))
        return false;
    return !(name.starts_with("no") && listed(OptionsWithoutValue, name.substr(2)));
}

bool keyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// A filter option naming a file to write: "file=" or "stats_file=" as an option's key.
bool namesFileToWrite(const std::string& graph)
{
    for (std::size_t at = graph.find("file="); at != std::string::npos; at = graph.find("file=", at + 1)) {
        std::size_t start = at;
        while (start > 0 && keyCharacter(graph[start - 1]))
            --start;
        const std::string_view key = std::string_view(graph).substr(start, at + 4 - start);
        if (key == "file" || key == "stats_file")
            return true;
    }
    return false;
}

bool writesElsewhere(std::string_view name, const std::string& value)
{
    if (name == "f" && value == "tee")
        return true;
    return listed(FilterOptions, name) && namesFileToWrite(value);
}

}  // namespace

std::string argumentWritingElsewhere(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // An empty argument names a file too, one the converter refuses; shown as the user typed it.
        if (!isOption(argument))
            return argument.empty() ? std::string("\"\"") : argument;
        const std::string_view name = optionName(argument);
        if (listed(WritingOptions, name))
            return argument;
        if (!takesValue(name))
            continue;
        if (i + 1 == arguments.size())
            break;
        const std::string& value = arguments[++i];
        if (writesElsewhere(name, value))
            return argument + " " + value;
    }
    return {};
}

}  // namespace clipforge
