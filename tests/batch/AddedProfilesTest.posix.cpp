// Profiles added beside the shipped catalogue, as clipforge-batch sees them.
#include "BatchFixture.h"
#include "core/AddedProfiles.h"
#include "engine/CommandLineSplitter.h"
#include "support/ScopedConfigFolder.h"
#include "support/ScopedVariable.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <sstream>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<commands>"
                              "<profile><format>Shipped</format><params>-n -s</params><ext>out</ext></profile>"
                              "</commands>";

std::string addedFile(const std::vector<std::string>& profiles)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<commands>\n";
    for (const std::string& profile : profiles)
        text += "<profile>" + profile + "</profile>\n";
    return text + "</commands>\n";
}

class AddedProfilesTest : public BatchFixture {
protected:
    AddedProfilesTest() : BatchFixture(Catalogue, "") {}

    void SetUp() override
    {
        BatchFixture::SetUp();
        systemProfiles_.emplace("CLIPFORGE_SYSTEM_PROFILES", systemFile());
        QDir().mkpath(config.path() + "/clipforge");
    }
    void TearDown() override { systemProfiles_.reset(); }

    std::string systemFile() const { return file("etc-profiles"); }
    std::string userFile() const { return config.path().toStdString() + "/clipforge/profiles"; }

    ScopedConfigFolder config;
    std::optional<clipforge::test::ScopedVariable> systemProfiles_;
};

}  // namespace

TEST_F(AddedProfilesTest, TheSystemsThenTheUsersFollowTheShippedOnesMarkedAndNumberedByTheirIds)
{
    writeFile(systemFile(), addedFile({"<id>2000000</id><format>Office</format><params>-n -o</params><ext>mp4</ext>"}));
    writeFile(userFile(), addedFile({"<id>1048576</id><format>Mine</format><params>-n -m</params><ext>mkv</ext>",
                                     "<id>3000000</id><format>Also mine</format><params>-n</params><ext>webm</ext>"}));
    const BatchResult listed = runBatch(program, {"profiles"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "0\tShipped\tout\t-n -s\n"
                          "2000000\tOffice [system]\tmp4\t-n -o\n"
                          "1048576\tMine [mine]\tmkv\t-n -m\n"
                          "3000000\tAlso mine [mine]\twebm\t-n\n");
    EXPECT_EQ(listed.err, "");
}

TEST_F(AddedProfilesTest, AListStoresAnAddedProfileByItsIdAndConvertsWithIt)
{
    writeFile(userFile(), addedFile({"<id>1048577</id><format>Mine</format><params>-n -m</params><ext>mkv</ext>"}));
    const std::string source = touch("a.avi");
    for (const std::string& wanted : {std::string("1048577"), std::string("Mine [mine]")}) {
        QFile::remove(QString::fromStdString(file("q.kxl")));
        const BatchResult made = runBatch(program, {"make", file("q.kxl"), "--profile", wanted, source});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_EQ(runBatch(program, {"show", file("q.kxl")}).out, "0\t1048577\t\t" + source + "\n") << wanted;
    }
    const BatchResult planned = runBatch(program, {"convert", file("q.kxl"), "--dry-run"});
    EXPECT_NE(planned.out.find(source + "\" -n -m \"" + program.path("convert/a.mkv") + "\""), std::string::npos)
        << planned.out;
    const BatchResult converted = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(readFile(program.path("convert/a.mkv")), "converted");
}

// The listing's mark tells origins apart; the owner knows a profile by the name given it.
TEST_F(AddedProfilesTest, AProfileIsFoundByItsGivenNameWithOrWithoutTheListingsMark)
{
    writeFile(systemFile(), addedFile({"<id>2000000</id><format>My copy</format><params>-n -o</params><ext>mp4</ext>"}));
    writeFile(userFile(), addedFile({"<id>1048576</id><format>My copy</format><params>-n -m</params><ext>mkv</ext>",
                                     "<id>1048577</id><format>Only mine</format><params>-n</params><ext>webm</ext>"}));
    const std::string source = touch("a.avi");
    const struct {
        std::string wanted;
        std::string number;  // empty when refused
        std::string err;
    } cases[] = {
        {"Only mine", "1048577", ""},
        {"Only mine [mine]", "1048577", ""},
        {"My copy [mine]", "1048576", ""},
        {"My copy [system]", "2000000", ""},
        {"My copy", "", "clipforge-batch: --profile My copy fits several profiles: 2000000 (My copy [system]), "
                        "1048576 (My copy [mine]); give the number of one\n"},
        {"Only mine [system]", "", "clipforge-batch: no profile is called \"Only mine [system]\" or has the extension "
                                   "\"Only mine [system]\"; 'clipforge-batch profiles' lists them\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(QString::fromStdString(file("q.kxl")));
        const BatchResult made = runBatch(program, {"make", file("q.kxl"), "--profile", c.wanted, source});
        EXPECT_EQ(made.err, c.err) << c.wanted;
        EXPECT_EQ(made.exitCode, c.number.empty() ? 2 : 0) << c.wanted;
        if (!c.number.empty()) {
            EXPECT_EQ(runBatch(program, {"show", file("q.kxl")}).out, "0\t" + c.number + "\t\t" + source + "\n")
                << c.wanted;
        }
    }
}

TEST_F(AddedProfilesTest, AListNamingAnIdThisUserLacksFailsThatJobWithTheReason)
{
    writeFile(file("q.kxl"), "<list><item><filename>" + touch("a.avi") + "</filename><format>1048578</format></item>"
                             "<item><filename>" + touch("b.avi") + "</filename><format>0</format></item></list>");
    const BatchResult result = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "clipforge-batch: job 0: profile 1048578 is not in the catalogue\n");
    EXPECT_EQ(readFile(program.path("convert/b.out")), "converted") << "the other jobs still run";
}

TEST_F(AddedProfilesTest, ABrokenFileIsNamedSetAsideAndTheOthersStillWork)
{
    struct Case {
        std::string text;
        std::string fault;
    };
    const Case cases[] = {
        {"<commands><profile><id>2000000</id>", "Invalid XML"},
        {"<<bad", "it holds no root element"},
        {addedFile({"<format>No id</format><params>-n</params><ext>mp4</ext>"}), "profile 1 has no usable <id>"},
        {addedFile({"<id>12</id><format>Shipped range</format><params>-n</params><ext>mp4</ext>"}),
         "profile 1 has no usable <id>"},
        {addedFile({"<id>2000000</id><format>A</format><ext>mp4</ext>", "<id>2000000</id><format>B</format><ext>a</ext>"}),
         "the id 2000000 is given to two profiles"},
    };
    writeFile(systemFile(), addedFile({"<id>2000001</id><format>Office</format><params>-n</params><ext>mp4</ext>"}));
    for (const Case& c : cases) {
        QDir(config.path() + "/clipforge").removeRecursively();
        QDir().mkpath(config.path() + "/clipforge");
        writeFile(userFile(), c.text);
        const BatchResult listed = runBatch(program, {"profiles"});
        EXPECT_EQ(listed.exitCode, 0);
        EXPECT_EQ(listed.out, "0\tShipped\tout\t-n -s\n2000001\tOffice [system]\tmp4\t-n\n");
        EXPECT_NE(listed.err.find("clipforge-batch: The profiles in " + userFile() + " cannot be read"), std::string::npos)
            << listed.err;
        EXPECT_NE(listed.err.find(c.fault), std::string::npos) << listed.err;
        EXPECT_NE(listed.err.find("the file was moved to " + userFile() + ".broken."), std::string::npos) << listed.err;
        EXPECT_EQ(readFile(userFile() + ".broken"), c.text);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(userFile())));
    }
}

TEST_F(AddedProfilesTest, AddGivesANewIdRemoveTakesItAwayAndTheIdStaysRecorded)
{
    const BatchResult added = runBatch(program, {"profiles", "add", "--name", "Quick copy", "--ext", "mkv", "--",
                                                 "-map", "0", "-c", "copy", "-metadata", "title=a \"b\""});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const int id = std::stoi(added.out);
    EXPECT_GE(id, 1 << 20);
    EXPECT_NE(runBatch(program, {"profiles"}).out.find(std::to_string(id) + "\tQuick copy [mine]\tmkv\t-n -map 0 -c copy"),
              std::string::npos);
    const auto saved = clipforge::readAddedProfiles(userFile());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(clipforge::splitCommandLine(saved[0].params),
              (std::vector<std::string>{"-n", "-map", "0", "-c", "copy", "-metadata", "title=a \"b\""}));

    const BatchResult removed = runBatch(program, {"profiles", "remove", std::to_string(id)});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(runBatch(program, {"profiles"}).out, "0\tShipped\tout\t-n -s\n");
    EXPECT_NE(readFile(config.path().toStdString() + "/clipforge/profile-ids").find(std::to_string(id) + "\n"),
              std::string::npos)
        << "a removed profile's id is never given again";

    for (const std::string& gone : {std::to_string(id), std::string("0"), std::string("x")}) {
        const BatchResult refused = runBatch(program, {"profiles", "remove", gone});
        EXPECT_EQ(refused.exitCode, 2) << gone;
        EXPECT_EQ(refused.err, "clipforge-batch: profile " + gone + " is not one of your profiles; nothing was removed\n");
    }
}

TEST_F(AddedProfilesTest, AddRefusesWhatCouldNotWorkAndWritesNothing)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--name", "", "--ext", "mkv"}, "the profile needs a name"},
        {{"--name", "a\nb", "--ext", "mkv"}, "the name holds a control character"},
        {{"--name", "A", "--ext", ""}, "the extension \"\" is unusable"},
        {{"--name", "A", "--ext", "../x"}, "the extension \"../x\" is unusable"},
        {{"--name", "A", "--ext", "m k v"}, "the extension \"m k v\" is unusable"},
        {{"--name", "A", "--ext", ".mkv"}, "the extension \".mkv\" is unusable"},
        {{"--name", "A", "--ext", "mkv", "--", "-c", "copy", "-y"}, "the profile has unusable arguments: -y"},
        {{"--name", "A", "--ext", "mkv", "--", "-vn", "/tmp/victim.mp3"}, "the profile has unusable arguments: /tmp/victim.mp3"},
        {{"--name", "A", "--ext", "mkv", "-c"}, "unknown argument for profiles add: -c"},
        {{"--name", "A"}, "profiles add needs --name NAME and --ext EXT"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"profiles", "add"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const BatchResult refused = runBatch(program, arguments);
        EXPECT_EQ(refused.exitCode, 2) << c.message;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(userFile()))) << c.message;
    }
}

namespace {

// True while some process waits for an flock on the file at path, as the kernel reports it.
bool someoneWaitsToLock(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return false;
    std::istringstream locks(readFile("/proc/locks"));
    for (std::string line; std::getline(locks, line);) {
        if (line.find("-> FLOCK") != std::string::npos &&
            line.find(":" + std::to_string(status.st_ino) + " ") != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace

TEST_F(AddedProfilesTest, AddWaitsForTheLockAndKeepsWhatWasWrittenMeanwhile)
{
    const std::string lockPath = userFile() + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    BatchProcess adding(program, {"profiles", "add", "--name", "Second", "--ext", "mkv"});
    ASSERT_TRUE(waitFor([&] { return someoneWaitsToLock(lockPath); }));
    // What the editor saves while it holds the lock.
    writeFile(userFile(), addedFile({"<id>1048600</id><format>First</format><params>-n</params><ext>mp4</ext>"}));
    ::close(lock);
    const BatchResult added = adding.wait();
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string listed = runBatch(program, {"profiles"}).out;
    EXPECT_NE(listed.find("1048600\tFirst [mine]\tmp4\t-n\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\tSecond [mine]\tmkv\t-n\n"), std::string::npos) << listed;
}

TEST_F(AddedProfilesTest, ABrokenSystemFileIsNamedButLeftWhereTheAdministratorPutIt)
{
    writeFile(systemFile(), "<commands><profile>");
    writeFile(userFile(), addedFile({"<id>1048580</id><format>Mine</format><params>-n</params><ext>mkv</ext>"}));
    const BatchResult listed = runBatch(program, {"profiles"});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "0\tShipped\tout\t-n -s\n1048580\tMine [mine]\tmkv\t-n\n");
    EXPECT_NE(listed.err.find("The profiles in " + systemFile() + " cannot be read"), std::string::npos) << listed.err;
    EXPECT_NE(listed.err.find("they are left out."), std::string::npos) << listed.err;
    EXPECT_EQ(readFile(systemFile()), "<commands><profile>");
}

namespace {

enum class Planted { Fifo, LinkToFile, LinkToFifo };

// Puts at path what kind says; a linked file holds bytes.
void plant(const std::string& path, Planted kind, const std::string& bytes)
{
    const std::string target = path + ".target";
    if (kind == Planted::LinkToFile) {
        writeFile(target, bytes);
    } else {
        ASSERT_EQ(::mkfifo(kind == Planted::Fifo ? path.c_str() : target.c_str(), 0600), 0);
    }
    if (kind != Planted::Fifo) {
        ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    }
}

}  // namespace

// What the user keeps in their configuration folder may be a link to a file elsewhere; a FIFO
// there, or a link to one, is refused at once rather than waited on for good.
TEST_F(AddedProfilesTest, AFifoOrALinkAtEachFileOfTheUsersIsRefusedOrFollowedNeverWaitedOn)
{
    const std::string ids = config.path().toStdString() + "/clipforge/profile-ids";
    const std::string profile = "<id>1048599</id><format>Linked</format><params>-n</params><ext>mkv</ext>";
    struct Case {
        std::string path;
        Planted kind;
        std::string bytes;                  // of a linked file
        std::vector<std::string> arguments; // {} for profiles add
        int exitCode;
        std::string refusal;  // empty when there is none
    };
    const std::string list = file("q.kxl");
    const Case cases[] = {
        {userFile(), Planted::Fifo, "", {"profiles"}, 0, userFile() + "\". It is not a regular file); they are left out"},
        {userFile(), Planted::LinkToFifo, "", {"profiles"}, 0,
         userFile() + "\". It is not a regular file); they are left out"},
        {userFile(), Planted::LinkToFile, addedFile({profile}), {"profiles"}, 0, ""},
        {userFile(), Planted::Fifo, "", {}, 2, userFile() + "\". It is not a regular file"},
        {ids, Planted::Fifo, "", {}, 2, ids + "\". It is not a regular file"},
        {ids, Planted::LinkToFifo, "", {}, 2, ids + "\". It is not a regular file"},
        {ids, Planted::LinkToFile, "1048599\n", {}, 0, ""},
        {file("run.joblog"), Planted::Fifo, "", {"convert", list, "--joblog", file("run.joblog")}, 2,
         "the joblog " + file("run.joblog") + " is not a regular file"},
        {file("run.joblog"), Planted::LinkToFifo, "", {"convert", list, "--joblog", file("run.joblog")}, 2,
         "the joblog " + file("run.joblog") + " is not a regular file"},
        {file("run.joblog"), Planted::LinkToFile, "", {"convert", list, "--joblog", file("run.joblog")}, 0, ""},
    };
    ASSERT_EQ(runBatch(program, {"make", list, "--profile", "0", touch("a.avi")}).exitCode, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(static_cast<int>(c.kind)));
        plant(c.path, c.kind, c.bytes);
        const std::vector<std::string> adding{"profiles", "add", "--name", "New", "--ext", "mkv"};
        const BatchResult run = runBatch(program, c.arguments.empty() ? adding : c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.err.find(c.refusal) != std::string::npos, true) << run.err;
        if (c.kind == Planted::LinkToFile && c.path == userFile()) {
            EXPECT_NE(run.out.find("1048599\tLinked [mine]"), std::string::npos) << "followed";
        }
        if (c.kind == Planted::LinkToFile && c.path == ids) {
            EXPECT_EQ(readFile(c.path + ".target").substr(0, 8), "1048599\n") << "the link's file keeps the ids";
        }
        EXPECT_EQ(exists(c.path), true) << "left where it is";
        for (const std::string& name : {c.path, c.path + ".target"})
            std::remove(name.c_str());
        std::remove(userFile().c_str());
    }
}
