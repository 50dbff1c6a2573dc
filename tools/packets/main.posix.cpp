// clipforge-packets: answers, for each file named on its standard input, what its streams' packets
// hold, without decoding anything and without trusting any header's duration.
//
//   request:  the file's path, ended by a NUL byte
//   answer:   one line per stream, "stream TYPE ATTACHED PACKETS START END SUM"; for each moving
//             picture stream "frames INDEX SPACING VARIES EDITED KEY...": the spacing of its
//             frames (the commonest step between time stamps), whether steps differ from it,
//             whether an edit list does more than shift its start, and its key frames' times;
//             "start T", the file's start as the converter counts seeks from; "comment WORD"
//             when the file's comment is one word of printable characters; then "done".
//             Or "failed MESSAGE". TYPE is v, a, s, d or o; times are seconds, "-" when the
//             stream had no packet with a time stamp.
//
// It runs until its input ends. Nothing but answers is ever written: the libraries' messages are
// silenced, as they would interleave with the answers on the shared descriptor.
extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <unistd.h>

#include "EditLists.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct StreamTally {
    std::int64_t packets = 0;
    std::int64_t start = AV_NOPTS_VALUE;
    std::int64_t end = AV_NOPTS_VALUE;
    std::int64_t sum = 0;
    std::int64_t lastDuration = 0;
    // A packet whose duration nothing told yet: settled by the next packet's time stamp.
    std::int64_t pendingStamp = AV_NOPTS_VALUE;
    std::int64_t pendingDts = AV_NOPTS_VALUE;
    // A moving picture stream's frames and key frames, for where it can be cut.
    std::vector<std::int64_t> stamps;
    std::vector<std::int64_t> keys;
};

bool movingPictures(const AVStream* stream)
{
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

char typeLetter(const AVStream* stream)
{
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO: return 'v';
    case AVMEDIA_TYPE_AUDIO: return 'a';
    case AVMEDIA_TYPE_SUBTITLE: return 's';
    case AVMEDIA_TYPE_DATA: return 'd';
    default: return 'o';
    }
}

// The stream's own frame or packet duration, in its time base: what a packet without one lasts.
std::int64_t typicalDuration(const AVStream* stream, const StreamTally& tally)
{
    const AVCodecParameters* codec = stream->codecpar;
    if (codec->codec_type == AVMEDIA_TYPE_AUDIO && codec->frame_size > 0 && codec->sample_rate > 0)
        return av_rescale_q(codec->frame_size, AVRational{1, codec->sample_rate}, stream->time_base);
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
        for (const AVRational rate : {stream->avg_frame_rate, stream->r_frame_rate}) {
            if (rate.num > 0 && rate.den > 0 && av_q2d(rate) < 1000)
                return std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(rate), stream->time_base));
        }
    }
    return tally.lastDuration;
}

// A negative duration stored in 32 bits (an Ogg stream's trimmed last packet) reads as a huge one.
bool plausible(std::int64_t duration)
{
    return duration > 0 && duration < (std::int64_t{1} << 31);
}

void extend(StreamTally& tally, std::int64_t stamp, std::int64_t duration)
{
    tally.sum += duration;
    if (stamp == AV_NOPTS_VALUE)
        return;
    tally.start = tally.start == AV_NOPTS_VALUE ? stamp : std::min(tally.start, stamp);
    tally.end = tally.end == AV_NOPTS_VALUE ? stamp + duration : std::max(tally.end, stamp + duration);
}

void settlePending(StreamTally& tally, std::int64_t duration)
{
    if (tally.pendingDts == AV_NOPTS_VALUE)
        return;
    extend(tally, tally.pendingStamp, std::max<std::int64_t>(0, duration));
    tally.pendingStamp = tally.pendingDts = AV_NOPTS_VALUE;
}

void count(const AVStream* stream, StreamTally& tally, const AVPacket& packet)
{
    // Packets an edit list cuts away never play, and a converter drops them.
    if (packet.flags & AV_PKT_FLAG_DISCARD)
        return;
    ++tally.packets;
    if (tally.pendingDts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE)
        settlePending(tally, packet.dts - tally.pendingDts);
    else
        settlePending(tally, typicalDuration(stream, tally));
    const std::int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (movingPictures(stream) && stamp != AV_NOPTS_VALUE) {
        tally.stamps.push_back(stamp);
        if (packet.flags & AV_PKT_FLAG_KEY)
            tally.keys.push_back(stamp);
    }
    std::int64_t duration = plausible(packet.duration) ? packet.duration : typicalDuration(stream, tally);
    if (duration <= 0 && packet.dts != AV_NOPTS_VALUE) {
        tally.pendingStamp = stamp;
        tally.pendingDts = packet.dts;
        return;
    }
    duration = std::max<std::int64_t>(0, duration);
    if (duration > 0)
        tally.lastDuration = duration;
    extend(tally, stamp, duration);
}

std::string seconds(AVRational base, std::int64_t value)
{
    if (value == AV_NOPTS_VALUE)
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value) * av_q2d(base));
    return text;
}

std::string seconds(const AVStream* stream, std::int64_t value)
{
    return seconds(stream->time_base, value);
}

// "SPACING VARIES": the commonest step between the frames' time stamps, and whether any step
// differs from it by more than a tick of rounding and 1%.
std::string spacing(const AVStream* stream, std::vector<std::int64_t> stamps)
{
    std::sort(stamps.begin(), stamps.end());
    std::vector<std::int64_t> steps;
    for (std::size_t i = 1; i < stamps.size(); ++i)
        steps.push_back(stamps[i] - stamps[i - 1]);
    if (steps.empty())
        return "- 0";
    std::vector<std::int64_t> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const std::int64_t usual = sorted[sorted.size() / 2];
    const std::int64_t slack = 1 + usual / 100;
    const bool varies = std::any_of(steps.begin(), steps.end(), [&](std::int64_t step) {
        return step < usual - slack || step > usual + slack;
    });
    return seconds(stream, usual) + (varies ? " 1" : " 0");
}

std::string framesLine(const AVStream* stream, unsigned index, const StreamTally& tally, bool edited)
{
    std::string line = "frames " + std::to_string(index) + " " + spacing(stream, tally.stamps) + (edited ? " 1" : " 0");
    for (const std::int64_t key : tally.keys)
        line += " " + seconds(stream, key);
    return line + "\n";
}

std::string errorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

bool oneWord(const char* text)
{
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text) {
        if (*text <= ' ' || *text > '~')
            return false;
    }
    return true;
}

// Containers keep a comment in the file's metadata or, as Ogg does, in a stream's.
std::string commentLine(const AVFormatContext* context)
{
    const AVDictionaryEntry* entry = av_dict_get(context->metadata, "comment", nullptr, 0);
    for (unsigned i = 0; !entry && i < context->nb_streams; ++i)
        entry = av_dict_get(context->streams[i]->metadata, "comment", nullptr, 0);
    return entry && oneWord(entry->value) ? std::string("comment ") + entry->value + "\n" : std::string();
}

std::string readStreams(const std::string& path)
{
    AVFormatContext* context = nullptr;
    AVDictionary* options = nullptr;
    // Only the file itself: a playlist or a concatenation list must not lead anywhere else.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&context, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return "failed " + errorText(opened) + "\n";
    // Without it, streams found only in the packets (a transport stream's sound) have no parser,
    // so no frame durations: a few frames are decoded once, where a header says too little.
    if (const int found = avformat_find_stream_info(context, nullptr); found < 0) {
        avformat_close_input(&context);
        return "failed " + errorText(found) + "\n";
    }
    std::vector<StreamTally> tallies;
    AVPacket* packet = av_packet_alloc();
    int result = 0;
    while ((result = av_read_frame(context, packet)) >= 0) {
        const auto index = static_cast<std::size_t>(packet->stream_index);
        if (index >= tallies.size())
            tallies.resize(context->nb_streams);
        if (index < tallies.size())
            count(context->streams[index], tallies[index], *packet);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    tallies.resize(context->nb_streams);
    std::string answer;
    std::string frames;
    const std::vector<bool> edited = editedTracks(path, context->iformat->name);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        StreamTally& tally = tallies[i];
        settlePending(tally, typicalDuration(stream, tally));
        char counted[32];
        std::snprintf(counted, sizeof counted, "%" PRId64, tally.packets);
        answer += std::string("stream ") + typeLetter(stream) + " " +
                  ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) ? "1" : "0") + " " + counted + " " +
                  seconds(stream, tally.start) + " " + seconds(stream, tally.end) + " " +
                  seconds(stream, tally.packets ? tally.sum : AV_NOPTS_VALUE) + "\n";
        if (movingPictures(stream))
            frames += framesLine(stream, i, tally, i < edited.size() && edited[i]);
    }
    answer += frames + "start " + seconds(AVRational{1, AV_TIME_BASE}, context->start_time) + "\n";
    answer += commentLine(context);
    avformat_close_input(&context);
    // A read that broke off part-way says nothing of what the file holds.
    if (result != AVERROR_EOF)
        return "failed " + errorText(result) + "\n";
    return answer + "done\n";
}

bool writeAll(const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(1, text.data() + done, text.size() - done);
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// One request: bytes up to a NUL. False at the end of the input.
bool nextPath(std::string& path)
{
    path.clear();
    for (;;) {
        const int c = std::getchar();
        if (c == EOF)
            return false;
        if (c == '\0')
            return true;
        path.push_back(static_cast<char>(c));
    }
}

}  // namespace

int main()
{
    av_log_set_level(AV_LOG_QUIET);
    std::string path;
    while (nextPath(path)) {
        if (!writeAll(readStreams(path)))
            return 1;
    }
    return 0;
}
