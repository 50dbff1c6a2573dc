#include "engine/PacketReader.h"

#include "core/FileSystem.h"
#include "core/Paths.h"
#include "engine/ChildProcess.h"
#include "engine/Decimals.h"
#include "engine/Pipe.h"
#include "engine/ProcessSignals.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <future>
#include <optional>
#include <sstream>

namespace clipforge {
namespace {

// A demuxer that takes longer than this has hung: a file is read at disk speed, never slower
// than this allows for its size.
constexpr auto BaseWait = std::chrono::seconds(60);
constexpr std::uint64_t BytesPerSecond = 20u << 20;

std::mutex defaultHelperMutex;
std::optional<std::string> defaultHelperOverride;

std::chrono::milliseconds waitFor(const std::string& path)
{
    const auto size = fileStatus(path).size;
    return BaseWait + std::chrono::seconds(size / BytesPerSecond);
}

std::optional<double> seconds(const std::string& field)
{
    if (field == "-")
        return std::nullopt;
    return decimalValue(field);
}

StreamKind kindOf(const std::string& letter)
{
    static const std::array<std::pair<const char*, StreamKind>, 4> kinds{
        {{"v", StreamKind::Video}, {"a", StreamKind::Sound}, {"s", StreamKind::Subtitle}, {"d", StreamKind::Data}}};
    for (const auto& [name, kind] : kinds) {
        if (letter == name)
            return kind;
    }
    return StreamKind::Other;
}

MediaPackets unreadable(std::string why)
{
    MediaPackets packets;
    packets.error = std::move(why);
    return packets;
}

StreamPackets streamLine(std::istringstream& line)
{
    std::string kind, attached, start, end, sum;
    StreamPackets stream;
    line >> kind >> attached >> stream.packets >> start >> end >> sum;
    stream.kind = kindOf(kind);
    stream.attachedPicture = attached == "1";
    stream.start = seconds(start);
    stream.end = seconds(end);
    stream.sum = seconds(sum);
    return stream;
}

// "frames INDEX SPACING VARIES EDITED KEY...", about a stream already read.
bool framesLine(std::istringstream& line, MediaPackets& packets)
{
    std::size_t index = 0;
    std::string spacing;
    int varies = 0, edited = 0;
    if (!(line >> index >> spacing >> varies >> edited) || index >= packets.streams.size())
        return false;
    StreamPackets& stream = packets.streams[index];
    stream.frameSpacing = seconds(spacing);
    stream.spacingVaries = varies != 0;
    stream.edited = edited != 0;
    for (double key = 0; line >> key;)
        stream.keyFrames.push_back(key);
    return true;
}

// The helper's answer, "stream ...", "frames ..." and "start ..." lines and "done", or one
// "failed ..." line.
MediaPackets parseAnswer(const std::string& answer)
{
    if (answer.rfind("failed ", 0) == 0)
        return unreadable(answer.substr(7, answer.size() - 8));
    MediaPackets packets;
    std::istringstream lines(answer);
    for (std::string text; std::getline(lines, text);) {
        std::istringstream line(text);
        std::string word, field;
        line >> word;
        if (word == "done")
            return packets;
        if (word == "stream")
            packets.streams.push_back(streamLine(line));
        else if (word == "start" && line >> field)
            packets.start = seconds(field);
        else if (word == "comment" && line >> field)
            packets.comment = field;
        else if (word != "frames" || !framesLine(line, packets))
            break;
    }
    return unreadable("the packet reader gave an answer it should not");
}

bool answerComplete(const std::string& buffer)
{
    return !buffer.empty() && buffer.back() == '\n' &&
           (buffer.rfind("failed ", 0) == 0 || buffer.ends_with("done\n"));
}

}  // namespace

std::optional<double> MediaPackets::earliestStart() const
{
    std::optional<double> earliest;
    for (const StreamPackets& stream : streams) {
        if (stream.start && (!earliest || *stream.start < *earliest))
            earliest = stream.start;
    }
    return earliest;
}

struct PacketReader::Helper {
    Pipe input;
    Pipe output;
    std::unique_ptr<ChildProcess> child;
};

PacketReader::PacketReader(std::string helper) : helperPath_(std::move(helper))
{
    // A helper that dies must show as a failed write, not end this program.
    ignoreVanishedReaders();
    thread_ = std::thread([this] { work(); });
}

PacketReader::~PacketReader()
{
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void PacketReader::read(const std::string& path, Answer answer)
{
    {
        std::lock_guard lock(mutex_);
        questions_.push_back({path, std::move(answer)});
    }
    wake_.notify_all();
}

MediaPackets PacketReader::readAndWait(const std::string& path)
{
    auto answered = std::make_shared<std::promise<MediaPackets>>();
    std::future<MediaPackets> answer = answered->get_future();
    read(path, [answered](const MediaPackets& packets) { answered->set_value(packets); });
    return answer.get();
}

std::string PacketReader::defaultHelper()
{
    std::lock_guard lock(defaultHelperMutex);
    return defaultHelperOverride ? *defaultHelperOverride : executableFolder() + "clipforge-packets";
}

void PacketReader::setDefaultHelper(std::string path)
{
    std::lock_guard lock(defaultHelperMutex);
    defaultHelperOverride = std::move(path);
}

void PacketReader::work()
{
    for (;;) {
        Question question;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !questions_.empty(); });
            if (ending_)
                break;
            question = std::move(questions_.front());
            questions_.pop_front();
        }
        question.answer(ask(question.path));
    }
    // The helper dies with this thread; its end is reaped here, not left to the destructor's.
    helper_.reset();
}

MediaPackets PacketReader::ask(const std::string& path)
{
    if (!helper_) {
        auto helper = std::make_unique<Helper>();
        ChildStart start;
        start.arguments = {helperPath_};
        int error = createPipe(helper->input);
        if (!error)
            error = createPipe(helper->output);
        if (!error) {
            start.standardInput = helper->input.readEnd.get();
            start.standardOutput = helper->output.writeEnd.get();
            error = ChildProcess::start(start, helper->child);
        }
        if (error)
            return unreadable("the packet reader " + helperPath_ + " could not be started: " + std::strerror(error));
        helper->input.readEnd = {};
        helper->output.writeEnd = {};
        helper_ = std::move(helper);
    }
    const std::string request = path + '\0';
    std::size_t written = 0;
    int error = 0;
    while (written < request.size()) {
        const auto count = writeSome(helper_->input.writeEnd.get(), std::string_view(request).substr(written), error);
        if (!count && error) {
            helper_.reset();
            return unreadable("the packet reader stopped before it was asked");
        }
        written += count.value_or(0);
    }
    std::string answer;
    std::array<char, 4096> buffer;
    const auto until = std::chrono::steady_clock::now() + waitFor(path);
    while (!answerComplete(answer)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        const int fd = helper_->output.readEnd.get();
        if (left.count() <= 0 || !waitReadable(fd, left)) {
            helper_.reset();
            return unreadable("the packet reader took too long over it");
        }
        const auto count = readSome(fd, buffer, error);
        if ((count && *count == 0) || (!count && error)) {
            // A crash on this file; the next question gets a new helper.
            helper_.reset();
            return unreadable("the packet reader ended while reading it");
        }
        answer.append(buffer.data(), count.value_or(0));
    }
    return parseAnswer(answer);
}

}  // namespace clipforge
