#pragma once

#include <functional>
#include <string>
#include <vector>

class TCommandManager;
class TTreeManager;

namespace clipforge {

// Shows one job's properties dialog and applies the user's choice while no run is active.
class JobProperties {
public:
    JobProperties(TTreeManager& jobs, const TCommandManager& catalogue, std::function<bool()> idle);

    // Does nothing for a row that is no job. A source file that cannot be examined raises
    // before the dialog shows, and the job stays as it was.
    void Properties(int row);

private:
    TTreeManager& jobs_;
    const TCommandManager& catalogue_;
    std::function<bool()> idle_;
};

}  // namespace clipforge
