// The parts of a folder watch that decide by themselves: which names wait, and the record that
// keeps a restart from converting anything twice.
#include "ArrivalNames.h"
#include "BatchArguments.h"
#include "MountTable.h"
#include "WatchConfig.h"
#include "WatchRecord.h"

#include "core/Errors.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace clipforge;
using clipforge::test::TempFolder;

TEST(ArrivalNames, VideosAreTakenAndUnfinishedNamesWait)
{
    const TempFolder folder;
    folder.write("fetched.mkv.aria2", "");
    const ArrivalNames names({"*.raw.mov", "draft-?.mp4"});
    const struct {
        const char* name;
        std::string reason;
    } cases[] = {
        {"clip.mp4", ""},
        {"CLIP.MOV", ""},
        {"a b 'c' -d.mkv", ""},
        {"notes.txt", ArrivalNames::NotVideo},
        {"clip.mp4.part", "a partial-download name (.part)"},
        {"clip.MKV.crdownload", "a partial-download name (.crdownload)"},
        {"clip.webm.!qB", "a partial-download name (.!qB)"},
        {"clip.avi.filepart", "a partial-download name (.filepart)"},
        {"clip.ts.opdownload", "a partial-download name (.opdownload)"},
        {"clip.mov.partial", "a partial-download name (.partial)"},
        {"clip.mp4.download", "a partial-download name (.download)"},
        {"clip.mp4.tmp", "a partial-download name (.tmp)"},
        {"notes.txt.part", ArrivalNames::NotVideo},
        {".clip.mp4", "a hidden name"},
        {".~clip.mp4", "a hidden name"},
        {"take.raw.mov", "matches --ignore *.raw.mov"},
        {"draft-1.mp4", "matches --ignore draft-?.mp4"},
        {"draft-12.mp4", ""},
        {"fetched.mkv", "still being downloaded (fetched.mkv.aria2 is beside it)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names.waitingReason(folder.path() + c.name), c.reason) << c.name;
}

TEST(WatchRecord, KeepsResultsAcrossRestartsAndSetsABrokenOneAside)
{
    const TempFolder state;
    const std::string watched = "/videos/in";
    std::string message;
    std::string path;
    {
        WatchRecord record(state.path(), watched, 3, message);
        path = record.path();
        record.keep("a.mp4", {{10, 111}, 5, true, "/out/a.mkv", ""});
        record.keep("sub/b \"q\".mp4", {{20, 222}, 6, false, "", "the converter ended with code 3"});
        record.keep("a.mp4", {{11, 112}, 7, true, "/out/a_2.mkv", ""});
        // One watcher at a time keeps a record.
        EXPECT_THROW(WatchRecord(state.path(), watched, 3, message), Error);
    }
    WatchRecord again(state.path(), watched, 3, message);
    EXPECT_EQ(message, "");
    ASSERT_NE(again.find("a.mp4"), nullptr);
    EXPECT_EQ(again.find("a.mp4")->key, (WatchedFileKey{11, 112}));
    EXPECT_EQ(again.find("a.mp4")->output, "/out/a_2.mkv");
    ASSERT_NE(again.find("sub/b \"q\".mp4"), nullptr);
    EXPECT_FALSE(again.find("sub/b \"q\".mp4")->converted);
    EXPECT_EQ(again.find("sub/b \"q\".mp4")->reason, "the converter ended with code 3");
    EXPECT_EQ(again.find("c.mp4"), nullptr);
    EXPECT_EQ(again.convertedWith({11, 112}, 7), std::vector<std::string>{"a.mp4"});
    EXPECT_EQ(again.convertedWith({11, 112}, 8), std::vector<std::string>{});
    EXPECT_EQ(again.convertedWith({20, 222}, 6), std::vector<std::string>{}) << "failed, not converted";
    // Another profile, or another folder, has a record of its own.
    EXPECT_EQ(WatchRecord(state.path(), watched, 4, message).size(), 0u);
    EXPECT_EQ(WatchRecord(state.path(), watched + "2", 3, message).size(), 0u);
    EXPECT_EQ(message, "");
}

TEST(WatchRecord, ARecordThatDoesNotReadIsMovedAsideNotLost)
{
    const TempFolder state;
    std::string message;
    std::string path;
    {
        WatchRecord record(state.path(), "/in", 0, message);
        path = record.path();
    }
    for (const std::string& bytes : {std::string("garbage\n"), std::string(""),
                                    std::string("{\"format\":\"clipforge-watch-record\",\"folder\":\"/in\",\"profile\":0}\n{\"file\":1}\n")}) {
        test::writeFile(path, bytes);
        message.clear();
        const WatchRecord record(state.path(), "/in", 0, message);
        EXPECT_EQ(record.size(), 0u);
        EXPECT_NE(message.find("does not read; it was moved aside to " + path + ".broken"), std::string::npos) << message;
    }
    EXPECT_EQ(test::readFile(path + ".broken"), "garbage\n");
}

TEST(MountTable, MountPointsAreReadWithTheirEscapesAndTheNearestOneFound)
{
    const std::vector<std::string> mounts = mountPointsIn(
        "22 1 0:21 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "31 22 0:27 / /media/ann/My\\040Disk rw,nosuid shared:9 - vfat /dev/sdb1 rw\n"
        "32 22 0:28 / /mnt/back\\134slash rw - tmpfs none rw\n"
        "33 22 0:29 / /mnt/nas rw - nfs4 nas:/v rw\n");
    EXPECT_EQ(mounts, (std::vector<std::string>{"/", "/media/ann/My Disk", "/mnt/back\\slash", "/mnt/nas"}));
    const struct {
        const char* path;
        const char* mount;
    } cases[] = {
        {"/mnt/nas/camera/2026", "/mnt/nas"},
        {"/mnt/nasty", "/"},
        {"/media/ann/My Disk/DCIM", "/media/ann/My Disk"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mountPointOf(c.path, mounts), c.mount) << c.path;
}

TEST(WatchConfig, LinesBecomeOptionsAndMistakesNameTheirLine)
{
    const TempFolder folder;
    const test::ScopedVariable home("HOME", "/home/ann");
    const std::string path = folder.path() + "camera.conf";
    test::writeFile(path, "# the camera\n\nwatch=/media/card/DCIM\n  watch = ~/Videos/Phone \nprofile=mp4\n"
                          "output=~/Videos/Clipforge\njobs=2\ncheck=full\nsettle=30\nignore=*.raw.mov\n");
    const std::vector<WatchConfigLine> lines = readWatchConfig(path);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"", "/media/card/DCIM"}, {"", "/home/ann/Videos/Phone"}, {"--profile", "mp4"},
        {"--folder", "/home/ann/Videos/Clipforge"}, {"--jobs", "2"}, {"--check", "full"},
        {"--settle", "30"}, {"--ignore", "*.raw.mov"}};
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(std::make_pair(lines[i].option, lines[i].value), expected[i]) << i;
    EXPECT_EQ(lines[1].number, 4);

    const struct {
        const char* text;
        std::string message;
    } mistakes[] = {
        {"watch=/a\nfolder=/b\n", path + " line 2: expected KEY=VALUE with KEY one of"},
        {"watch /a\n", path + " line 1: expected KEY=VALUE"},
        {"watch=Videos\n", path + " line 1: a folder must be an absolute path or start with ~/, not \"Videos\""},
        {"profile=0\nprofile=1\n", path + " line 2: profile= is given twice"},
        {"watch=/a\nprofile=0\njobs=many\n", path + " line 3: --jobs needs a number"},
        {"watch=/a\nprofile=0\nsettle=-1\n", path + " line 3: --settle needs a number of seconds"},
    };
    for (const auto& c : mistakes) {
        test::writeFile(path, c.text);
        try {
            parseBatchArguments({"watch", "--config", path});
            ADD_FAILURE() << c.text;
        } catch (const BatchUsageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(parseBatchArguments({"watch", "--config", folder.path() + "missing.conf"}), BatchUsageError);
}
