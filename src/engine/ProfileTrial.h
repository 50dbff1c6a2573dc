#pragma once

#include "engine/ConsoleRunner.h"

#include <QObject>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace clipforge {

class MainThreadBridge;
class PacketReader;

// Tries a profile before it is saved: converts the first five seconds of a source into a
// temporary folder of its own, with a runner of its own (never the queue's), then asks
// bin/ffprobe what came out and checks it against the source as a job's output is checked. The
// folder and whatever is in it go with the next trial or with this object; a trial still
// running is killed then.
class ProfileTrial : public QObject {
public:
    explicit ProfileTrial(std::string programFolder, QObject* parent = nullptr);
    ~ProfileTrial() override;

    // finished: the output is readable; text: its codecs, frame size and size and what its check
    // found ("check: passed", or the reason), or why it failed.
    std::function<void(bool finished, const std::string& text)> OnDone;

    void start(const std::string& source, const std::string& params, const std::string& ext);
    bool running() const { return running_; }

private:
    void converterEnded(std::uint32_t exitCode);
    void probeEnded(std::uint32_t exitCode);
    void check(const std::string& described);
    void done(bool finished, const std::string& text);

    std::string programFolder_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::string output_;
    std::string source_;
    std::string params_;
    std::uint64_t trial_ = 0;  // a check's answer for an earlier trial is dropped
    std::shared_ptr<MainThreadBridge> bridge_;
    std::unique_ptr<PacketReader> packets_;
    std::vector<std::string> converterLines_;
    std::vector<std::string> probeLines_;
    bool running_ = false;
    // Last, so they go first: their end kills what still runs before the folder goes.
    std::unique_ptr<TConsoleRunner> converter_;
    std::unique_ptr<TConsoleRunner> probe_;
};

// "video h264 320x180, audio aac; 12.3 kB" from ffprobe's "key=value" lines.
std::string describeProbe(const std::vector<std::string>& lines, std::uint64_t bytes);
// The last thing a converter said before giving up (not its closing "Conversion failed!").
std::string failureReason(const std::vector<std::string>& lines);

}  // namespace clipforge
