#include "engine/CommandLineSplitter.h"
#include "engine/ProfileDraft.h"
#include "engine/ProfileTrial.h"

#include <gtest/gtest.h>

using namespace clipforge;

TEST(ProfileDraft, RefusesWhatCouldNotWorkAndPutsDashNFirst)
{
    struct Case {
        ProfileDraft draft;
        std::string refusal;  // its start; empty when the draft is saved
        std::string params;   // as saved
    };
    const Case cases[] = {
        {{"A", "mkv", "-c copy"}, "", "-n -c copy"},
        {{"A", "mkv", ""}, "", "-n"},
        {{"A", "tar.gz", "-c copy -n"}, "", "-c copy -n"},
        {{"A", "mp4", "-metadata \"title=-y\""}, "", "-n -metadata \"title=-y\""},
        {{"A", "mp4", "-metadata \"a \"\" b\""}, "", "-n -metadata \"a \"\" b\""},
        {{"", "mkv", ""}, "the profile needs a name", ""},
        {{"  ", "mkv", ""}, "the profile needs a name", ""},
        {{"a\tb", "mkv", ""}, "the name holds a control character", ""},
        {{"a\xc2\x9b" "2J", "mkv", ""}, "the name holds a control character", ""},
        {{"a\x7f", "mkv", ""}, "the name holds a control character", ""},
        {{"Caf\xe9", "mkv", ""}, "the name holds bytes that are not UTF-8 text", ""},
        {{"Caf\xc3\xa9 \xe2\x82\xac", "mkv", ""}, "", "-n"},
        {{"A", "", ""}, "the extension \"\" is unusable", ""},
        {{"A", "..", ""}, "the extension \"..\" is unusable", ""},
        {{"A", ".mkv", ""}, "the extension \".mkv\" is unusable", ""},
        {{"A", "mkv.", ""}, "the extension \"mkv.\" is unusable", ""},
        {{"A", "a/b", ""}, "the extension \"a/b\" is unusable", ""},
        {{"A", "m\xc3\xa4", ""}, "the extension \"m\xc3\xa4\" is unusable", ""},
        {{"A", "abcdefghijklmnopq", ""}, "the extension \"abcdefghijklmnopq\" is unusable", ""},
        {{"A", "mkv", std::string("-c\0copy", 7)}, "the arguments hold a NUL byte", ""},
        {{"A", "mkv", "-metadata \"title=a"}, "the arguments do not split", ""},
        {{"A", "mkv", "-metadata title=\\\"a"}, "", "-n -metadata title=\\\"a"},
        {{"A", "mkv", "-c copy -y"}, "the profile has unusable arguments: -y", ""},
        {{"A", "mkv", "-vn /home/victim.mp3"}, "the profile has unusable arguments: /home/victim.mp3", ""},
        {{"A", "mkv", "-vstats_file v.log"}, "the profile has unusable arguments: -vstats_file", ""},
    };
    for (const Case& c : cases) {
        ProfileDraft draft = c.draft;
        const std::string refusal = refuseDraft(draft);
        EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal) << c.draft.name << "|" << c.draft.ext << "|" << c.draft.params;
        EXPECT_EQ(refusal.empty(), c.refusal.empty()) << refusal;
        if (c.refusal.empty()) {
            EXPECT_EQ(draft.params, c.params);
        }
    }
}

TEST(ProfileDraft, JoinedArgumentsSplitBackIntoThemselves)
{
    const std::vector<std::string> arguments = {"-map", "0", "", "a b", "say \"hi\"", "C:\\dir\\", "tab\there", "-vf"};
    EXPECT_EQ(splitCommandLine(joinArguments(arguments)), arguments);
    EXPECT_EQ(joinArguments({"-c", "copy"}), "-c copy");
}

TEST(ProfileTrialText, TellsCodecsFrameAndSizeOrTheLastReason)
{
    EXPECT_EQ(describeProbe({"codec_name=h264", "codec_type=video", "width=320", "height=180", "codec_name=aac",
                             "codec_type=audio"},
                            2048),
              "video h264 320x180, audio aac; 2.0 kB");
    EXPECT_EQ(describeProbe({}, 1), "no streams; 1 byte");
    EXPECT_EQ(failureReason({"Input #0 ...", "Unknown encoder 'no_such_codec'", "Conversion failed!", ""}),
              "Unknown encoder 'no_such_codec'");
    EXPECT_EQ(failureReason({}), "");
}
