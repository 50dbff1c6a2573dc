#include "engine/StreamExpectation.h"

#include "engine/Decimals.h"
#include "engine/StreamMapping.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace clipforge {
namespace {

// Filters that make a stream play longer or shorter than its source, by an amount their
// arguments would have to be evaluated to know.
constexpr std::array<std::string_view, 11> TimeFilters{"setpts", "asetpts", "atempo", "trim",  "atrim", "select",
                                                       "aselect", "tpad",   "apad",   "loop", "aloop"};
// Options that change playing time in ways the check does not work out.
constexpr std::array<std::string_view, 5> TimeOptions{"-sseof", "-fs", "-itsoffset", "-stream_loop", "-shortest"};
constexpr std::array<std::string_view, 4> FrameCounts{"-frames", "-vframes", "-aframes", "-dframes"};

// What the profile's arguments say about streams and time.
struct ProfileReading {
    std::vector<std::string> maps;
    bool noVideo = false;
    bool noSound = false;
    bool filterGraph = false;  // a -filter_complex, whose outputs the maps may name
    bool copies = false;
    std::optional<double> duration;  // -t
    std::optional<double> until;     // -to
    double start = 0.0;              // -ss
    std::string vague;               // the first argument that changes time inexactly
    std::string exact;               // the first of -t, -to, -ss
};

bool isOneOf(std::string_view name, const auto& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::vector<std::string> filterNames(const std::string& graph)
{
    std::vector<std::string> names(1);
    bool quoted = false, inArguments = false, inLabel = false;
    for (std::size_t i = 0; i < graph.size(); ++i) {
        const char c = graph[i];
        if (c == '\\') {
            ++i;
        } else if (c == '\'') {
            quoted = !quoted;
        } else if (quoted) {
        } else if (c == ',' || c == ';') {
            names.emplace_back();
            inArguments = false;
        } else if (c == '[') {
            inLabel = true;
        } else if (c == ']') {
            inLabel = false;
        } else if (c == '=') {
            inArguments = true;
        } else if (!inArguments && !inLabel && c != ' ' && c != '\n' && c != '\t') {
            names.back().push_back(c);
        }
    }
    return names;
}

bool isFilterOption(std::string_view name)
{
    return name == "-vf" || name == "-af" || name == "-filter" || name.starts_with("-filter:") ||
           name == "-filter_complex" || name == "-lavfi";
}

namespace {

bool isCodecOption(std::string_view name)
{
    return name == "-c" || name == "-codec" || name.starts_with("-c:") || name.starts_with("-codec:") ||
           name == "-vcodec" || name == "-acodec";
}

void noteTime(ProfileReading& reading, std::optional<double>& field, const std::string& name, const std::string& value)
{
    if (reading.exact.empty())
        reading.exact = name;
    field = parseDuration(value);
    if (!field && reading.vague.empty())
        reading.vague = name + " " + value;
}

void readFilters(ProfileReading& reading, const std::string& graph)
{
    for (const std::string& filter : filterNames(graph)) {
        if (reading.vague.empty() && isOneOf(filter, TimeFilters))
            reading.vague = filter;
    }
}

// Reads one option at params[i]; moves i past its value when it has one the check needs.
void readOption(ProfileReading& reading, const std::vector<std::string>& params, std::size_t& i)
{
    const std::string& name = params[i];
    const bool hasValue = i + 1 < params.size();
    const std::string value = hasValue ? params[i + 1] : std::string();
    const auto take = [&] { i += hasValue ? 1 : 0; };
    if (name == "-vn" || name == "-an") {
        (name == "-vn" ? reading.noVideo : reading.noSound) = true;
    } else if (name == "-shortest" || (isOneOf(name, TimeOptions) && (take(), true))) {
        if (reading.vague.empty())
            reading.vague = name;
    } else if (name == "-map") {
        reading.maps.push_back(value), take();
    } else if (isFilterOption(name)) {
        reading.filterGraph = reading.filterGraph || name == "-filter_complex" || name == "-lavfi";
        readFilters(reading, value), take();
    } else if (name == "-t" || name == "-to") {
        noteTime(reading, name == "-t" ? reading.duration : reading.until, name, value), take();
    } else if (name == "-ss") {
        std::optional<double> start;
        noteTime(reading, start, name, value), take();
        reading.start = start.value_or(0.0);
    } else if (isOneOf(name.substr(0, name.find(':')), FrameCounts)) {
        if (reading.vague.empty())
            reading.vague = name + " " + value;
        take();
    } else if (isCodecOption(name)) {
        reading.copies = reading.copies || value == "copy";
        take();
    }
}

ProfileReading readProfile(const std::vector<std::string>& params)
{
    ProfileReading reading;
    for (std::size_t i = 0; i < params.size(); ++i)
        readOption(reading, params, i);
    return reading;
}

bool matters(const StreamPackets& stream)
{
    return (stream.kind == StreamKind::Video && !stream.attachedPicture) || stream.kind == StreamKind::Sound;
}

// The streams of the source one -map names, or none when the map cannot be read here (another
// input, a filter graph's output, a specifier by metadata or program).
std::optional<std::vector<std::size_t>> mapped(std::string map, const MediaPackets& source)
{
    if (!map.empty() && map.back() == '?')
        map.pop_back();
    if (map == "0")
        map = "0:";
    if (!map.starts_with("0:"))
        return std::nullopt;
    std::string_view spec = std::string_view(map).substr(2);
    std::optional<StreamKind> kind;
    if (!spec.empty() && (spec[0] == 'v' || spec[0] == 'V' || spec[0] == 'a')) {
        kind = spec[0] == 'a' ? StreamKind::Sound : StreamKind::Video;
        spec.remove_prefix(spec.size() > 1 && spec[1] == ':' ? 2 : 1);
    } else if (!spec.empty() && (spec[0] == 's' || spec[0] == 'd' || spec[0] == 't')) {
        return std::vector<std::size_t>();
    }
    std::optional<std::size_t> number;
    if (!spec.empty()) {
        std::size_t value = 0;
        const auto [end, error] = std::from_chars(spec.data(), spec.data() + spec.size(), value);
        if (error != std::errc() || end != spec.data() + spec.size())
            return std::nullopt;
        number = value;
    }
    std::vector<std::size_t> found;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < source.streams.size(); ++i) {
        const StreamPackets& stream = source.streams[i];
        if (kind && stream.kind != *kind)
            continue;
        if (!kind && number) {
            if (i == *number)
                found.push_back(i);
            continue;
        }
        if (!number || seen++ == *number)
            found.push_back(i);
    }
    return found;
}

// The converter's own choice: one video and one sound stream, those its mapping lines name when
// they name one, else the first of each kind.
std::vector<std::size_t> ownChoice(const MediaPackets& source, const StreamMapping& mapping)
{
    std::vector<std::size_t> chosen;
    for (const StreamKind kind : {StreamKind::Video, StreamKind::Sound}) {
        std::optional<std::size_t> pick;
        for (const int index : mapping.sources()) {
            const auto at = static_cast<std::size_t>(index);
            if (!pick && at < source.streams.size() && source.streams[at].kind == kind && matters(source.streams[at]))
                pick = at;
        }
        for (std::size_t i = 0; !pick && i < source.streams.size(); ++i) {
            if (source.streams[i].kind == kind && matters(source.streams[i]))
                pick = i;
        }
        if (pick)
            chosen.push_back(*pick);
    }
    return chosen;
}

// The source's streams the maps keep, in order; none when a map cannot be read here.
std::optional<std::vector<std::size_t>> mappedStreams(const std::vector<std::string>& maps, const MediaPackets& source)
{
    std::vector<std::size_t> kept;
    for (const std::string& map : maps) {
        const bool removes = map.starts_with("-");
        const auto streams = mapped(removes ? map.substr(1) : map, source);
        if (!streams)
            return std::nullopt;
        for (const std::size_t stream : *streams) {
            if (removes)
                std::erase(kept, stream);
            else
                kept.push_back(stream);
        }
    }
    return kept;
}

}  // namespace

std::optional<double> parseDuration(const std::string& text)
{
    std::string_view rest = text;
    const bool negative = rest.starts_with('-');
    if (negative)
        rest.remove_prefix(1);
    double total = 0.0;
    std::size_t colons = 0;
    for (;;) {
        const std::size_t end = rest.find_first_not_of("0123456789.");
        const std::string part(rest.substr(0, end));
        if (part.empty() || std::count(part.begin(), part.end(), '.') > 1)
            return std::nullopt;
        const std::optional<double> value = decimalValue(part);
        if (!value)
            return std::nullopt;
        total = total * 60.0 + *value;
        rest.remove_prefix(part.size());
        if (!rest.starts_with(':') || ++colons > 2)
            break;
        rest.remove_prefix(1);
    }
    double unit = 1.0;
    if (colons == 0 && (rest == "ms" || rest == "us"))
        unit = rest == "ms" ? 1e-3 : 1e-6;
    else if (!(rest.empty() || (colons == 0 && rest == "s")))
        return std::nullopt;
    return (negative ? -total : total) * unit;
}

StreamExpectation expectStreams(const std::vector<std::string>& params, const MediaPackets& source,
                                const StreamMapping& mapping)
{
    const ProfileReading reading = readProfile(params);
    StreamExpectation expected;
    std::optional<std::vector<std::size_t>> chosen;
    if (!reading.maps.empty())
        chosen = mappedStreams(reading.maps, source);
    if (!chosen) {
        // A filter graph's outputs, or maps of another kind: by stream kind, one of each.
        chosen = ownChoice(source, reading.filterGraph || !reading.maps.empty() ? StreamMapping() : mapping);
    }
    for (const std::size_t index : *chosen) {
        const StreamPackets& stream = source.streams[index];
        const bool dropped = stream.kind == StreamKind::Video ? reading.noVideo : reading.noSound;
        if (matters(stream) && !dropped)
            expected.sources.push_back(index);
    }
    expected.copies = reading.copies;
    expected.cutFrom = std::max(0.0, reading.start);
    expected.limit = reading.duration;
    if (reading.until) {
        const double kept = std::max(0.0, *reading.until - expected.cutFrom);
        expected.limit = expected.limit ? std::min(*expected.limit, kept) : kept;
    }
    std::string inexact = reading.vague;
    expected.timeArgument = inexact.empty() ? reading.exact : inexact;
    if (inexact.empty() && reading.copies && reading.start > 0.0)
        inexact = "-ss on copied streams";
    if (!inexact.empty()) {
        expected.presenceOnly = true;
        expected.note = "the profile changes the playing time (" + inexact + "): only the streams' presence was compared";
    }
    return expected;
}

}  // namespace clipforge
