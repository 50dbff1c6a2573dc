#pragma once

#include "core/WriterLock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace clipforge {

struct PooledJobOutcome;

// A job about to be committed: its converted file, still in its private folder, and the name it
// is about to take. Enough to find the output again after a crash, whatever name it ended under.
struct CommitIntent {
    int index = 0;
    std::string source;
    int profile = -1;
    std::string privateFile;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::string output;  // the final name
};

// The journal of a convert run (--joblog): one JSON object per line, appended and handed to the
// system line by line, so that a run killed at any moment leaves every line it wrote whole. The
// first line names the list by a hash of its jobs.
class Joblog {
public:
    // Opens path for appending, creating it when missing. Throws clipforge::Error when it cannot.
    explicit Joblog(const std::string& path);

    void started(const std::string& listFile, const std::string& listHash, int jobs);
    void intent(const CommitIntent& intent);
    // outputSize: none when the job left no output.
    void ended(const PooledJobOutcome& outcome, const std::string& source, int profile,
               std::optional<std::uint64_t> outputSize);

private:
    void append(const std::string& line);
    void flushToDisk();

    std::string path_;
    WriterLock lock_;  // the journal's own descriptor, locked: one run per journal
};

}  // namespace clipforge
