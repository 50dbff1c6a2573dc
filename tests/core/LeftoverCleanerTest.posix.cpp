#include "support/TempFolder.h"

#include "core/LeftoverCleaner.h"
#include "core/UnfinishedNames.h"
#include "core/WriterLock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

using clipforge::test::TempFolder;

namespace {

// Another process holding the lock on a file until it is destroyed.
class LockInAnotherProcess {
public:
    explicit LockInAnotherProcess(const std::string& path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0)
            return;
        child_ = ::fork();
        if (child_ == 0) {
            ::close(release_[1]);
            const int fd = ::open(path.c_str(), O_RDWR);
            char byte = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(release_[0], &byte, 1);
            ::_exit(0);
        }
        char byte = 'n';
        locked_ = ::read(ready[0], &byte, 1) == 1 && byte == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockInAnotherProcess()
    {
        ::close(release_[1]);
        ::close(release_[0]);
        if (child_ > 0)
            ::waitpid(child_, nullptr, 0);
    }
    bool locked() const { return locked_; }

private:
    int release_[2] = {-1, -1};
    pid_t child_ = -1;
    bool locked_ = false;
};

std::string ownFolder(const std::string& random) { return ".clipforge-partial." + clipforge::hostTag() + "." + random; }

std::string ownList(const std::string& random)
{
    return ".queue.kxl.clipforge-saving." + clipforge::hostTag() + "." + random;
}

void makePrivateFolder(const TempFolder& folder, const std::string& name, bool withLock)
{
    ASSERT_EQ(::mkdir((folder.path() + name).c_str(), 0700), 0);
    folder.write(name + "/clip.mp4", "half");
    if (withLock)
        folder.write(name + "/lock", "");
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
    TempFolder folder;
    makePrivateFolder(folder, ownFolder("dead01"), true);
    makePrivateFolder(folder, ownFolder("other1"), true);
    makePrivateFolder(folder, ownFolder("mine01"), true);
    makePrivateFolder(folder, ownFolder("nolock"), false);
    ASSERT_EQ(::mkdir((folder.path() + ownFolder("empty1")).c_str(), 0700), 0);
    makePrivateFolder(folder, ".clipforge-partial.elsewhere.dead01", true);
    makePrivateFolder(folder, ".clipforge-partial." + clipforge::hostTag() + ".dead0", true);
    folder.write(ownList("dead02"), "<list/>");
    folder.write(ownList("live02"), "<list/>");
    folder.write(".queue.kxl.clipforge-saving.elsewhere.dead02", "<list/>");
    folder.write("queue.kxl", "<list/>");
    folder.write("clip.mp4", "whole");

    const LockInAnotherProcess otherProcess(folder.path() + ownFolder("other1") + "/lock");
    const LockInAnotherProcess otherSave(folder.path() + ownList("live02"));
    ASSERT_TRUE(otherProcess.locked() && otherSave.locked());
    const clipforge::FileDescriptor mineFolder(
        ::open((folder.path() + ownFolder("mine01")).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const clipforge::WriterLock mine = clipforge::WriterLock::takeLeftover(mineFolder.get(), "lock");
    ASSERT_TRUE(mine.held());

    clipforge::clearLeftovers(folder.path());

    std::vector<std::string> expected{".clipforge-partial." + clipforge::hostTag() + ".dead0",
                                      ".clipforge-partial.elsewhere.dead01",
                                      ".queue.kxl.clipforge-saving.elsewhere.dead02",
                                      ownFolder("mine01"),
                                      ownFolder("nolock"),
                                      ownFolder("other1"),
                                      ownList("live02"),
                                      "clip.mp4",
                                      "queue.kxl"};
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
