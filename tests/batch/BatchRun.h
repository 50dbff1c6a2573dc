#pragma once

#include "support/Files.h"
#include "support/TempFolder.h"

#include <QTemporaryDir>

#include <optional>

#include <string>
#include <vector>

namespace clipforge::test {

// A program folder of its own for clipforge-batch: a copy of the executable (the program folder
// is where the executable lives), a catalogue, bin/ffmpeg and convert/. The build's program
// folder is never touched.
class ProgramFolder {
public:
    // fakeConverterMode: how the fake converter behaves (see fake_converter.posix.cpp); none links the
    // system's ffmpeg.
    explicit ProgramFolder(const std::string& catalogue, std::optional<std::string> fakeConverterMode = {});

    std::string path(const std::string& name = {}) const;
    bool valid() const { return valid_; }

private:
    TempFolder folder_;  // removes names that are not UTF-8 too
    bool valid_ = false;
};

struct BatchResult {
    int exitCode = -1;  // 128 + the signal for a process a signal ended
    int signal = 0;     // the signal that ended the process; 0 when it exited
    std::string out;
    // Standard error without the line a kernel without Landlock adds to every run ("the
    // converter cannot be confined here ..."), so that what a test expects there holds on such a
    // kernel too.
    std::string err;
    std::string confinementNotice;  // that line, when the run gave it
};

// Runs the program folder's clipforge-batch (or another program) with these argument bytes,
// stdin from /dev/null.
class BatchProcess {
public:
    BatchProcess(const ProgramFolder& folder, const std::vector<std::string>& arguments,
                 const std::string& workingFolder = {});
    // Any program, found on PATH when its name has no "/".
    BatchProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& workingFolder = {});
    ~BatchProcess();
    BatchProcess(const BatchProcess&) = delete;
    BatchProcess& operator=(const BatchProcess&) = delete;

    void signal(int number) const;
    int pid() const { return pid_; }
    // What the process has written so far.
    std::string outSoFar() const;
    std::string errSoFar() const;
    // Whether it has ended (it is then reaped by wait()).
    bool ended() const;
    // Waits (generously) for the end; kills the process if it never comes.
    BatchResult wait();

private:
    QTemporaryDir streams_;
    int pid_ = -1;
};

BatchResult runProgram(const std::string& program, const std::vector<std::string>& arguments);
BatchResult runBatch(const ProgramFolder& folder, const std::vector<std::string>& arguments,
                     const std::string& workingFolder = {});

}  // namespace clipforge::test
