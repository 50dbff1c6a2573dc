#include "support/Processes.h"
#include "support/TempFolder.h"

#include "core/LeftoverCleaner.h"
#include "core/UnfinishedNames.h"
#include "core/WriterLock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using clipforge::test::LockInAnotherProcess;
using clipforge::test::TempFolder;

namespace {

std::string ownFolder(const std::string& random) { return ".clipforge-partial." + clipforge::hostTag() + "." + random; }

std::string ownList(const std::string& random)
{
    return ".queue.kxl.clipforge-saving." + clipforge::hostTag() + "." + random;
}

// SplitFolder: a split job's, its parts in a folder of their own.
enum class Leftover { LockedFolder, FolderWithoutLock, EmptyFolder, File, SplitFolder };

void make(const TempFolder& folder, const std::string& name, Leftover kind)
{
    if (kind == Leftover::File) {
        folder.write(name, "<list/>");
        return;
    }
    ASSERT_EQ(::mkdir((folder.path() + name).c_str(), 0700), 0);
    if (kind != Leftover::EmptyFolder)
        folder.write(name + "/clip.mp4", "half");
    if (kind == Leftover::LockedFolder || kind == Leftover::SplitFolder)
        folder.write(name + "/lock", "");
    if (kind == Leftover::SplitFolder) {
        ASSERT_EQ(::mkdir((folder.path() + name + "/parts").c_str(), 0700), 0);
        folder.write(name + "/parts/part-1.mp4", "half");
    }
}

}  // namespace

TEST(UnfinishedNames, AreMadeForThisMachineAndKnownAgain)
{
    EXPECT_TRUE(clipforge::isOwnPrivateFolder(ownFolder("Ab3xY9")));
    EXPECT_TRUE(clipforge::isOwnTemporaryList(clipforge::temporaryListName("queue.kxl")));
    EXPECT_EQ(clipforge::temporaryListName(std::string(300, 'q')).size(), 1 + 200 + std::string(".clipforge-saving.").size() + clipforge::hostTag().size() + 7);
    const std::string other = clipforge::hostTag() + "x";
    for (const std::string& name : {".clipforge-partial." + other + ".Ab3xY9", ownFolder("Ab3xY"), ownFolder("Ab3xY99"),
                                    ownFolder("Ab3x.9"), std::string("clipforge-partial.") + clipforge::hostTag() + ".Ab3xY9"})
        EXPECT_FALSE(clipforge::isOwnPrivateFolder(name)) << name;
    for (const std::string& name : {".q.kxl.clipforge-saving." + other + ".Ab3xY9", "q.kxl.clipforge-saving." + clipforge::hostTag() + ".Ab3xY9",
                                    ownList("Ab3xY")})
        EXPECT_FALSE(clipforge::isOwnTemporaryList(name)) << name;
    for (char c : clipforge::hostTag())
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') << clipforge::hostTag();
}

// Only what a dead writer of this machine left goes; live work, another machine's and anything
// that merely looks alike stays.
TEST(LeftoverCleaner, ClearsOnlyDeadWritersLeftoversOfThisMachine)
{
    const struct {
        std::string name;
        Leftover kind;
        bool stays;
    } entries[] = {
        {ownFolder("dead01"), Leftover::LockedFolder, false},
        {ownFolder("other1"), Leftover::LockedFolder, true},  // another process writes there
        {ownFolder("mine01"), Leftover::LockedFolder, true},  // this one does
        {ownFolder("nolock"), Leftover::FolderWithoutLock, true},
        {ownFolder("empty1"), Leftover::EmptyFolder, false},
        {ownFolder("split1"), Leftover::SplitFolder, false},
        {".clipforge-partial.elsewhere.dead01", Leftover::LockedFolder, true},
        {".clipforge-partial." + clipforge::hostTag() + ".dead0", Leftover::LockedFolder, true},
        {ownList("dead02"), Leftover::File, false},
        {ownList("live02"), Leftover::File, true},  // another process saves it
        {".queue.kxl.clipforge-saving.elsewhere.dead02", Leftover::File, true},
        {"queue.kxl", Leftover::File, true},
        {"clip.mp4", Leftover::File, true},
    };
    TempFolder folder;
    std::vector<std::string> expected;
    for (const auto& entry : entries) {
        make(folder, entry.name, entry.kind);
        if (entry.stays)
            expected.push_back(entry.name);
    }
    const LockInAnotherProcess otherProcess(folder.path() + ownFolder("other1") + "/lock");
    const LockInAnotherProcess otherSave(folder.path() + ownList("live02"));
    ASSERT_TRUE(otherProcess.locked() && otherSave.locked());
    const clipforge::FileDescriptor mineFolder(
        ::open((folder.path() + ownFolder("mine01")).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const clipforge::WriterLock mine = clipforge::WriterLock::takeLeftover(mineFolder.get(), "lock");
    ASSERT_TRUE(mine.held());

    clipforge::clearLeftovers(folder.path());

    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.entries(), expected);
    EXPECT_EQ(folder.read(ownFolder("other1") + "/clip.mp4"), "half");
}

TEST(WriterLock, IsHeldUntilReleasedAndTakenOnlyOnce)
{
    TempFolder folder;
    clipforge::WriterLock first = clipforge::WriterLock::create(folder.path() + "lock");
    ASSERT_TRUE(first.held());
    EXPECT_FALSE(clipforge::WriterLock::create(folder.path() + "lock").held()) << "the name is taken";
    const int folderFd = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_FALSE(clipforge::WriterLock::takeLeftover(folderFd, "lock").held()) << "this process holds it";
    first.release();
    EXPECT_TRUE(clipforge::WriterLock::takeLeftover(folderFd, "lock").held());
    EXPECT_FALSE(clipforge::WriterLock::takeLeftover(folderFd, "missing").held());
    ::close(folderFd);
}
