#pragma once

#include <optional>
#include <string>

class TCommandManager;
struct TItemData;

namespace clipforge {

// Where a job of the list puts its output: its folder and the name it starts from. A joblog line
// is believed only when the output it names is here, so a forged line can neither skip a job
// nor have files cleared elsewhere.
class OwnOutput {
public:
    // Nothing when the job's profile is not in the catalogue: then no output is the job's.
    static std::optional<OwnOutput> of(const TItemData& job, const TCommandManager& catalogue);

    // path lies in the job's output folder under the job's output name or one of the numbered
    // names the unique-name rule moves on to ("clip_2.mp4", "clip_2_2.mp4", "clip_3.mp4").
    bool holds(const std::string& path) const;
    const std::string& folder() const { return folder_; }

private:
    OwnOutput(std::string folder, std::string name) : folder_(std::move(folder)), name_(std::move(name)) {}
    bool numberedVariant(const std::string& name) const;

    std::string folder_;
    std::string name_;
};

}  // namespace clipforge
