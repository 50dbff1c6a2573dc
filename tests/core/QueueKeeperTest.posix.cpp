// The window's kept queue: which jobs it keeps, when it writes them, the per-user lock, and what
// happens to a kept file that does not read.
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/ItemManager.h"
#include "core/KeptQueueFile.h"
#include "core/LocalText.h"
#include "core/QueueKeeper.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"
#include "core/UserStateFolder.h"
#include "core/WriterLock.h"
#include "support/Processes.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <optional>

using clipforge::QueueKeeper;
using clipforge::QueueStateFiles;
using clipforge::test::LockInAnotherProcess;
using clipforge::test::ScopedVariable;
using clipforge::test::TempFolder;

namespace {

constexpr int Never = 3600 * 1000;  // an interval no test outlives

std::uint64_t inodeOf(const std::string& path)
{
    return clipforge::fileStatus(path).identity.inode;
}

class QueueKeeperTest : public ::testing::Test {
protected:
    void add(const std::string& name, int format = 0, const std::string& folder = {})
    {
        tree.AppendJobs({{clipforge::widen(name), format, clipforge::widen(folder), false, 0}});
    }
    void setState(int row, TJobState state) { tree.SetState(row, state); }
    // The kept file's jobs, by source name, in file order.
    std::vector<std::string> kept() const
    {
        TItemManager scratchStaging;
        TTreeManager scratch(names, scratchStaging);
        TSaveManager(scratch).ReadList(files.queue());
        std::vector<std::string> sources;
        for (int row = 0; row < scratch.Count(); ++row)
            sources.push_back(clipforge::narrow(scratch.Job(row).ItemData.FileName));
        return sources;
    }
    bool keptFileExists() const { return clipforge::test::exists(files.queue()); }

    TempFolder state;
    QueueStateFiles files{state.path() + "nested/clipforge/"};
    std::vector<std::string> names{"AVI", "MKV"};
    TItemManager staging;
    TTreeManager tree{names, staging};
};

}  // namespace

TEST(UserStateFolder, FollowsXdgStateHomeOnlyWhenItIsAnAbsolutePath)
{
    const struct {
        std::optional<std::string> stateHome;
        std::string folder;
    } cases[] = {
        {"/var/state", "/var/state/clipforge/"},
        {"/var/state/", "/var/state/clipforge/"},
        {std::nullopt, "/home/ann/.local/state/clipforge/"},
        {"", "/home/ann/.local/state/clipforge/"},
        {"relative/state", "/home/ann/.local/state/clipforge/"},
        {"~/state", "/home/ann/.local/state/clipforge/"},
    };
    const ScopedVariable home("HOME", "/home/ann");
    for (const auto& c : cases) {
        const ScopedVariable stateHome("XDG_STATE_HOME", c.stateHome);
        EXPECT_EQ(clipforge::userStateFolder(), c.folder) << c.stateHome.value_or("(unset)");
        EXPECT_EQ(clipforge::userQueueStateFiles().queue(), c.folder + "queue.kxl");
    }
}

TEST(WriterLock, OneHolderAtATimeAndTheKernelFreesADeadHoldersLock)
{
    const TempFolder folder;
    const std::string path = folder.path() + "queue.lock";
    LockInAnotherProcess holder(path);
    ASSERT_TRUE(holder.locked());
    EXPECT_FALSE(clipforge::WriterLock::tryLock(path).held()) << "another process holds it";

    holder.kill();
    auto mine = clipforge::WriterLock::tryLock(path);
    EXPECT_TRUE(mine.held()) << "a killed holder's lock is gone with it";
    EXPECT_FALSE(clipforge::WriterLock::tryLock(path).held()) << "not even this process takes it twice";
    mine = {};
    EXPECT_TRUE(clipforge::WriterLock::tryLock(path).held());
}

TEST_F(QueueKeeperTest, KeepsWaitingConvertingAndFailedJobsAsAListFileAndRemovesItWhenNoneIsLeft)
{
    add("/v/waiting.avi", 1, "/out/");
    add("/v/finished.avi");
    add("/v/converting.avi");
    add("/v/failed.avi");
    setState(1, jsFinished);
    setState(2, jsConverting);
    setState(3, jsFailed);
    {
        QueueKeeper keeper(tree, files);
        ASSERT_TRUE(keeper.keeping());
        keeper.begin();
        keeper.flush();
        EXPECT_EQ(kept(), (std::vector<std::string>{"/v/waiting.avi", "/v/converting.avi", "/v/failed.avi"}));
        EXPECT_EQ(state.read("nested/clipforge/queue.kxl").rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<list>\r\n  <item>", 0), 0u);
        EXPECT_NE(state.read("nested/clipforge/queue.kxl").find("<format>1</format>\r\n    <path>/out/</path>"),
                  std::string::npos);

        for (int row : {0, 2, 3})
            setState(row, jsFinished);
        keeper.flush();
        EXPECT_FALSE(keptFileExists());
    }
    struct stat folder {};
    ASSERT_EQ(::stat(files.folder.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u) << "the state folder is the user's alone";
}

TEST_F(QueueKeeperTest, NothingBeforeBeginThenAFinishedJobAtOnceOtherChangesAtTheIntervalOrACleanEnd)
{
    add("/v/a.avi");
    add("/v/b.avi");
    {
        QueueKeeper keeper(tree, files, Never);
        clipforge::test::keepRunningFor(50);
        EXPECT_FALSE(keptFileExists()) << "the last session's file waits for the restore question";
        keeper.begin();
        clipforge::test::keepRunningFor(100);
        EXPECT_FALSE(keptFileExists()) << "a list that is there at the start waits its turn too";
        keeper.flush();
        ASSERT_TRUE(keptFileExists());

        tree.ChangeJob(1, 1, QStringLiteral("/elsewhere/"));
        add("/v/c.avi");
        clipforge::test::keepRunningFor(200);
        EXPECT_EQ(kept(), (std::vector<std::string>{"/v/a.avi", "/v/b.avi"})) << "not before the interval";

        setState(0, jsConverting);
        setState(0, jsFinished);
        EXPECT_TRUE(clipforge::test::waitFor([&] {
            return kept() == std::vector<std::string>{"/v/b.avi", "/v/c.avi"};
        })) << "a job's end goes out at once, with every change before it";
        add("/v/d.avi");
    }
    EXPECT_EQ(kept(), (std::vector<std::string>{"/v/b.avi", "/v/c.avi", "/v/d.avi"})) << "a clean end writes the last change";
}

TEST_F(QueueKeeperTest, RepaintsThatChangeNothingKeptWriteNothing)
{
    add("/v/a.avi");
    add("/v/b.avi");
    QueueKeeper keeper(tree, files, 0);
    keeper.begin();
    keeper.flush();
    const std::uint64_t written = inodeOf(files.queue());
    ASSERT_NE(written, 0u);
    setState(0, jsConverting);  // still unfinished
    for (std::uint32_t tick = 0; tick < 5; ++tick)
        tree.SetFrame(0, tick);
    setState(0, jsFailed);  // unfinished as well
    clipforge::test::keepRunningFor(100);
    keeper.flush();
    EXPECT_EQ(inodeOf(files.queue()), written);

    tree.MoveRows({1}, 0);
    keeper.flush();
    EXPECT_EQ(kept(), (std::vector<std::string>{"/v/b.avi", "/v/a.avi"}));
    tree.DeleteRows({0});
    keeper.flush();
    EXPECT_EQ(kept(), std::vector<std::string>{"/v/a.avi"});
}

TEST_F(QueueKeeperTest, OnlyTheLockHolderWritesAndADeadWritersTemporaryFilesGo)
{
    ASSERT_TRUE(clipforge::makePrivateFolders(files.folder));
    state.write("nested/clipforge/.queue.kxl.tmp4242-0", "half a list");
    state.write("nested/clipforge/other.txt", "not ours");
    add("/v/a.avi");
    QueueKeeper first(tree, files, 0);
    ASSERT_TRUE(first.keeping());
    EXPECT_FALSE(clipforge::test::exists(files.folder + ".queue.kxl.tmp4242-0"));
    EXPECT_TRUE(clipforge::test::exists(files.folder + "other.txt"));

    TItemManager otherStaging;
    TTreeManager otherTree(names, otherStaging);
    otherTree.AppendJobs({{QStringLiteral("/v/other.avi"), 0, {}, false, 0}});
    QueueKeeper second(otherTree, files, 0);
    EXPECT_FALSE(second.keeping());
    second.begin();
    first.begin();
    first.flush();
    otherTree.AppendJobs({{QStringLiteral("/v/more.avi"), 0, {}, false, 0}});
    clipforge::test::keepRunningFor(100);
    EXPECT_EQ(kept(), std::vector<std::string>{"/v/a.avi"});
}

TEST_F(QueueKeeperTest, AFailedWriteIsReportedOnceUntilAWriteSucceeds)
{
    ASSERT_TRUE(clipforge::makePrivateFolders(files.queue() + "/"));  // a folder where the file goes
    add("/v/a.avi");
    QueueKeeper keeper(tree, files, 0);
    std::vector<std::string> reports;
    keeper.onWriteFailed = [&](const std::string& error) { reports.push_back(error); };
    keeper.begin();
    ASSERT_TRUE(clipforge::test::waitFor([&] { return !reports.empty(); }));
    add("/v/b.avi");
    keeper.flush();
    clipforge::test::keepRunningFor(100);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("queue.kxl"), std::string::npos) << reports[0];
}

TEST(KeptQueueFile, ReadsWhatIsThereAndSetsABrokenFileAsideWithoutReplacingAnything)
{
    const TempFolder folder;
    const struct {
        const char* bytes;  // null: no file; "/": a folder
        bool present;
        int jobs;
        bool broken;
    } cases[] = {
        {nullptr, false, 0, false},
        {"<list><item><filename>/v/a.avi</filename><format>0</format><path/></item>"
         "<item><filename>/v/b.avi</filename><format>1</format><path/></item></list>",
         true, 2, false},
        {"<list/>", true, 0, false},
        {"<list><item><filename>/v/a.avi</filename>", true, 0, true},
        {"<list><item><filename>/v/a.avi</filename><format>x</format></item></list>", true, 0, true},
        {"/", true, 0, true},
    };
    for (const auto& c : cases) {
        const std::string path = folder.path() + "queue.kxl";
        std::filesystem::remove_all(path);
        if (c.bytes && std::string(c.bytes) == "/")
            std::filesystem::create_directory(path);
        else if (c.bytes)
            folder.write("queue.kxl", c.bytes);
        const clipforge::KeptQueueContents contents = clipforge::readKeptQueue(path);
        EXPECT_EQ(contents.present, c.present) << (c.bytes ? c.bytes : "(none)");
        EXPECT_EQ(contents.jobs, c.jobs) << (c.bytes ? c.bytes : "(none)");
        EXPECT_EQ(!contents.error.empty(), c.broken) << contents.error;
    }

    std::filesystem::remove_all(folder.path() + "queue.kxl");
    folder.write("queue.kxl", "first");
    EXPECT_EQ(clipforge::setAside(folder.path() + "queue.kxl"), folder.path() + "queue.kxl.broken");
    folder.write("queue.kxl", "second");
    EXPECT_EQ(clipforge::setAside(folder.path() + "queue.kxl"), folder.path() + "queue.kxl.broken-2");
    EXPECT_EQ(folder.read("queue.kxl.broken"), "first");
    EXPECT_EQ(folder.read("queue.kxl.broken-2"), "second");
    EXPECT_THROW(clipforge::setAside(folder.path() + "queue.kxl"), EFileError) << "nothing left to move";
}
