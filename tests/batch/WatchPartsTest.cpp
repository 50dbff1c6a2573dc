// The parts of a folder watch that decide by themselves: which names wait, and the record that
// keeps a restart from converting anything twice.
#include "ArrivalNames.h"
#include "WatchRecord.h"

#include "core/Errors.h"
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
