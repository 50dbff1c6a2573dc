#pragma once

#include "core/AddedProfiles.h"
#include "engine/ProfileDraft.h"

#include <functional>
#include <string>
#include <vector>

namespace clipforge {

// Changes the user's added profiles: every change holds an exclusive lock (a WriterLock on the file's
// ".lock" beside it) while it reads the file afresh, changes it and writes it whole, so a change
// made meanwhile by another program (the editor, 'profiles add') is kept. The ids given are
// recorded in "profile-ids" beside the file and never given again, even after a removal.
class AddedProfileStore {
public:
    explicit AddedProfileStore(std::string path = userProfilesPath(),
                               std::string systemPath = systemProfilesPath());

    // The new profile's id. clipforge::Error when the file cannot be read or written.
    int add(const ProfileDraft& draft);
    // false when the user has no profile with that id.
    bool replace(int id, const ProfileDraft& draft);
    bool remove(int id);

    std::string idRecordPath() const;

private:
    // Runs change on the file's profiles under the lock, waiting for it while another process holds
    // it; writes them back when change returns true. clipforge::Error when the lock cannot be taken.
    bool locked(const std::function<bool(std::vector<AddedProfile>&)>& change);
    int freshId(const std::vector<AddedProfile>& profiles) const;

    std::string path_;
    std::string systemPath_;
};

}  // namespace clipforge
