#include "engine/AddedProfileStore.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/WriterLock.h"
#include "core/xml/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

namespace clipforge {
namespace {

// The ids ever given, one a line. Read and rewritten whole, under the store's lock, by the
// owners of reading and replacing files: a FIFO there is refused rather than waited on, and a
// link is followed only to a regular file.
std::string recordedIdText(const std::string& path)
{
    return pathOccupied(path) ? readRegularFile(path) : std::string();
}

std::set<int> recordedIds(const std::string& path)
{
    std::set<int> ids;
    std::istringstream record(recordedIdText(path));
    for (long long id; record >> id;)
        ids.insert(static_cast<int>(id));
    return ids;
}

void recordId(const std::string& path, int id)
{
    try {
        std::string text = recordedIdText(path);
        if (!text.empty() && text.back() != '\n')
            text += '\n';
        replaceFileContents(path, text + std::to_string(id) + '\n');
    } catch (const std::exception& error) {
        throw Error("cannot record the new profile's id in " + path + ": " + error.what());
    }
}

auto withId(int id)
{
    return [id](const AddedProfile& profile) { return profile.id == id; };
}

}  // namespace

AddedProfileStore::AddedProfileStore(std::string path, std::string systemPath)
    : path_(std::move(path)), systemPath_(std::move(systemPath))
{
}

std::string AddedProfileStore::idRecordPath() const
{
    return folderPart(path_) + "profile-ids";
}

bool AddedProfileStore::locked(const std::function<bool(std::vector<AddedProfile>&)>& change)
{
    if (!makeFolders(folderPart(path_)))
        throw Error("cannot create the folder " + folderPart(path_));
    const std::string lockPath = path_ + ".lock";
    const WriterLock lock = WriterLock::waitForLock(lockPath);
    if (!lock.held())
        throw Error("cannot lock " + lockPath + ": " + std::strerror(errno));
    std::vector<AddedProfile> profiles = readAddedProfiles(path_);
    const bool changed = change(profiles);
    if (changed)
        writeAddedProfiles(path_, profiles);
    return changed;
}

int AddedProfileStore::freshId(const std::vector<AddedProfile>& profiles) const
{
    std::set<int> taken = recordedIds(idRecordPath());
    for (const AddedProfile& profile : profiles)
        taken.insert(profile.id);
    try {
        for (const AddedProfile& profile : readAddedProfiles(systemPath_))
            taken.insert(profile.id);
    } catch (const std::exception&) {
        // A broken system file takes no id away; the window names it when it reads it.
    }
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> ids(FirstAddedProfileId, 0x7FFFFFFF);
    for (;;) {
        const int id = ids(random);
        if (!taken.count(id))
            return id;
    }
}

int AddedProfileStore::add(const ProfileDraft& draft)
{
    int id = 0;
    locked([&](std::vector<AddedProfile>& profiles) {
        id = freshId(profiles);
        recordId(idRecordPath(), id);
        profiles.push_back({id, draft.name, draft.params, draft.ext});
        return true;
    });
    return id;
}

bool AddedProfileStore::replace(int id, const ProfileDraft& draft)
{
    return locked([&](std::vector<AddedProfile>& profiles) {
        const auto found = std::find_if(profiles.begin(), profiles.end(), withId(id));
        if (found == profiles.end())
            return false;
        *found = {id, draft.name, draft.params, draft.ext};
        return true;
    });
}

bool AddedProfileStore::remove(int id)
{
    return locked([&](std::vector<AddedProfile>& profiles) { return std::erase_if(profiles, withId(id)) > 0; });
}

}  // namespace clipforge
