#include "core/Errors.h"
#include "core/UnfinishedNames.h"
#include "core/WriterLock.h"
#include "core/NoReplaceCommit.h"
#include "ForcedLinkCommit.h"
#include "engine/PrivateOutputFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace clipforge::test;

// Both ways of committing: a free name takes the file; anything at the name, a dangling link
// included, is left as it was and so is the file.
TEST(NoReplaceCommit, TakesAFreeNameAndNeverReplaces)
{
    for (const bool linkPath : {false, true}) {
        const ForcedLinkCommit forced(linkPath);
        const TempFolder folder;
        const std::string& base = folder.path();
        writeFile(base + "ours", "ours");
        writeFile(base + "file", "theirs");
        ASSERT_EQ(::symlink("nowhere", (base + "link").c_str()), 0);
        for (const char* taken : {"file", "link"}) {
            EXPECT_EQ(clipforge::commitWithoutReplacing(base + "ours", base + taken).result, clipforge::CommitResult::NameTaken)
                << taken << (linkPath ? " by link" : " by rename");
        }
        EXPECT_EQ(readFile(base + "file"), "theirs");
        EXPECT_EQ(::readlink((base + "link").c_str(), std::string(16, ' ').data(), 16), 7);
        EXPECT_EQ(clipforge::commitWithoutReplacing(base + "ours", base + "free").result, clipforge::CommitResult::Committed);
        EXPECT_EQ(readFile(base + "free"), "ours");
        EXPECT_FALSE(exists(base + "ours")) << "the file has one name, the new one";
    }
}

// A network file system may retry a link() that worked: the name then leads to our own file.
TEST(NoReplaceCommit, ANameThatAlreadyLeadsToOurFileCountsAsCommitted)
{
    const ForcedLinkCommit forced;
    const TempFolder folder;
    const std::string& base = folder.path();
    writeFile(base + "ours", "ours");
    ASSERT_EQ(::link((base + "ours").c_str(), (base + "done").c_str()), 0);
    EXPECT_EQ(clipforge::commitWithoutReplacing(base + "ours", base + "done").result, clipforge::CommitResult::Committed);
    EXPECT_FALSE(exists(base + "ours"));
}

TEST(NoReplaceCommit, AFileSystemWithNeitherWayFailsWithItsReason)
{
    const ForcedLinkCommit forced;
    const TempFolder folder;
    const std::string& base = folder.path();
    ASSERT_EQ(::mkdir((base + "sub").c_str(), 0700), 0);
    // A folder cannot be hard-linked anywhere: link() refuses as a file system without links would.
    const clipforge::CommitOutcome outcome = clipforge::commitWithoutReplacing(base + "sub", base + "free");
    EXPECT_EQ(outcome.result, clipforge::CommitResult::Failed);
    EXPECT_EQ(outcome.error, EPERM);
    EXPECT_FALSE(exists(base + "free"));
}

TEST(PrivateOutputFolder, IsAHiddenLockedFolderThatGoesWithEverythingInIt)
{
    const TempFolder output;
    const std::string& base = output.path();
    std::string path;
    {
        clipforge::PrivateOutputFolder folder(base);
        path = folder.path();
        EXPECT_EQ(path.rfind(base, 0), 0u);
        EXPECT_TRUE(clipforge::isOwnPrivateFolder(path.substr(base.size(), path.size() - base.size() - 1))) << path;
        EXPECT_EQ(folder.writingPath(base + "clip.mp4"), path + "clip.mp4");
        writeFile(folder.writingPath(base + "clip.mp4"), "half");
        EXPECT_FALSE(clipforge::WriterLock::create(path + "lock").held());
    }
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(output.entries().empty());
}

TEST(PrivateOutputFolder, CommitsUnderTheNextFreeNameWhenTheChosenOneWasTaken)
{
    const TempFolder output;
    const std::string& base = output.path();
    writeFile(base + "clip.mp4", "theirs");
    writeFile(base + "clip_2.mp4", "theirs too");
    clipforge::PrivateOutputFolder folder(base);
    writeFile(folder.writingPath(base + "clip.mp4"), "ours");
    std::vector<std::string> next{base + "clip_2.mp4", base + "clip_2_2.mp4"};
    const std::string used = folder.commit(base + "clip.mp4", [&] {
        std::string name = next.front();
        next.erase(next.begin());
        return name;
    });
    EXPECT_EQ(used, base + "clip_2_2.mp4");
    EXPECT_EQ(readFile(used), "ours");
    EXPECT_EQ(readFile(base + "clip.mp4"), "theirs");
    EXPECT_EQ(readFile(base + "clip_2.mp4"), "theirs too");
}

TEST(PrivateOutputFolder, AFolderThatCannotHoldOneSaysWhy)
{
    try {
        clipforge::PrivateOutputFolder folder("/nonexistent-clipforge-folder/");
        FAIL() << "made a folder in a missing folder";
    } catch (const clipforge::Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "no private folder for the output could be made in \"/nonexistent-clipforge-folder/\": No such file or directory");
    }
}
