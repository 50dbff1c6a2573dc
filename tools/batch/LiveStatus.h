#pragma once

#include "engine/ProgressReader.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace clipforge {

// One running job as the status line shows it.
struct RunningJob {
    int index = 0;
    JobProgress progress;
};

// "2 of 30 done | job 3: 45% 2.5x 00:00:12 left | job 4: 00:00:03 elapsed 1.9x"
std::string liveStatusText(const std::vector<RunningJob>& running, int done, int total);

// The live status line of a terminal: rewritten in place with a carriage return, never longer
// than the terminal is wide (a wrapped line could not be rewritten), and cleared before any
// other line is printed.
class LiveStatus {
public:
    LiveStatus(std::ostream& out, std::size_t width);

    void show(std::string text);
    void clear();

private:
    std::ostream& out_;
    std::size_t width_;
    std::size_t shown_ = 0;
};

}  // namespace clipforge
