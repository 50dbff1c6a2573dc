#pragma once

#include <string>
#include <unordered_set>

namespace clipforge {

// Clears the leftovers of dead writers (clearLeftovers) from each output folder once per run,
// however many of the run's jobs write there: a folder of many outputs is read once, not once
// per job. Shared by the drivers of one run, like their name chooser.
class LeftoverSweeps {
public:
    void sweepOnce(const std::string& folder);
    // A new run sweeps every folder again.
    void forget() { swept_.clear(); }

private:
    std::unordered_set<std::string> swept_;
};

}  // namespace clipforge
