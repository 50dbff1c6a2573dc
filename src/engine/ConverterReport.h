#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ConsoleRunnerTypes.h"

namespace clipforge {

// What one job's converter said that decides how the job ended: the last lines of its output
// (a bounded tail, whatever it writes), whether it reported an error writing its output, and
// whether it refused an output file that was already there, which is then not its own.
// Fed every piece the runner delivers, on the main thread.
class ConverterReport {
public:
    static constexpr std::size_t KeptLines = 32;
    static constexpr std::size_t LongestKeptLine = 4096;

    void clear();
    // The job's own names (its source, its output). The converter prints them whole, but a line
    // end inside one cuts its line in two; an error line that ends such a name gets the rest of
    // the name back.
    void setNames(const std::vector<std::string>& names);
    void add(std::string_view text, TOutputType type);

    // The converter said it could not write its output completely (a full disk, say): its
    // exit code then proves nothing.
    bool writeFailed() const;
    // The converter's own error line, newest first; empty when it wrote none. Where that line
    // only follows from an error named just before it ("Error initializing output stream 0:1 --"),
    // the line that names the error.
    std::string errorLine() const;

private:
    void note(std::string_view line);
    static std::size_t causeOf(const std::vector<std::string_view>& lines, std::size_t errorLine);
    std::string rejoined(const std::vector<std::string_view>& lines, std::size_t last) const;

    std::deque<std::string> lines_;
    std::string partial_;  // a last line still without its end
    std::vector<std::string> brokenNames_;  // names holding a line end
    bool writeFailed_ = false;
};

}  // namespace clipforge
