#pragma once

#include "Joblog.h"

#include <cstdint>
#include <map>
#include <string>

namespace clipforge {

// What an earlier run's joblog tells about each job of its list, the last event of a job counting.
class JoblogHistory {
public:
    struct Finished {
        std::string output;
        std::uint64_t size = 0;
    };

    // Reads the joblog at path, which must be one written for the list with listHash. A missing
    // or empty file has no history. Throws clipforge::Error for a file that is not a joblog, or
    // is one of another list. A last line cut short is left out.
    static JoblogHistory read(const std::string& path, const std::string& listHash);

    // The file has its first line already.
    bool started() const { return started_; }
    // The job ended finished last, with this output.
    const Finished* finished(int index) const;
    // The job was about to be committed when the run ended, with nothing after.
    const CommitIntent* unsettled(int index) const;

private:
    bool started_ = false;
    std::map<int, Finished> finished_;
    std::map<int, CommitIntent> unsettled_;
};

}  // namespace clipforge
