#pragma once

#include <QRegularExpression>

#include <string>
#include <vector>

namespace clipforge {

// Which names in a watched folder are videos to convert, and which wait until they are renamed:
// hidden names, the names downloaders and copiers give unfinished files, a file beside its
// downloader's control file, and names the user asked to leave alone.
class ArrivalNames {
public:
    // ignored: shell patterns ("*.tmp.mkv", "raw-?.mov") matched against the file name only.
    explicit ArrivalNames(const std::vector<std::string>& ignored = {});

    // Why the file at path (inside folder, its name last) is left alone for now; empty when it is
    // a video to convert. Only names that are, or will be once renamed, video names get a reason;
    // others get "not a video".
    std::string waitingReason(const std::string& path) const;

    static constexpr const char* NotVideo = "not a video";

private:
    std::vector<std::pair<std::string, QRegularExpression>> ignored_;
};

}  // namespace clipforge
