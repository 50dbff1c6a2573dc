#include "engine/CommandLineSplitter.h"
#include "engine/ProfileCheck.h"
#include "engine/WritingArguments.h"

#include <gtest/gtest.h>

using namespace clipforge;

TEST(WritingArguments, FindsTheFirstArgumentThatWritesElsewhere)
{
    struct Case {
        std::string params;
        std::string found;  // empty: the arguments are usable
    };
    const Case cases[] = {
        // What profiles really hold stays usable, values that look like files or options included.
        {"-n -map 0:a:0 -vn -c:a libmp3lame -q:a 2", ""},
        {"-n -c copy -metadata \"title=-y\" -metadata comment=/tmp/x", ""},
        {"-n -itsoffset -5 -i /music/extra.wav -map 1:a", ""},
        {"-n -vf \"scale=640:-2,drawtext=textfile=/etc/motd\" -af volume=-3dB", ""},
        {"-n -f matroska -nostdin -noautorotate -hide_banner", ""},
        {"", ""},
        // Overwriting, and files of their own.
        {"-y -map 0:a:0", "-y"},
        {"-n -map 0:a:0 -vn /home/victim.mp3", "/home/victim.mp3"},
        {"-n -c copy - ", "-"},
        {"-n -c copy second.mkv -c:a aac", "second.mkv"},
        {"-n -vn \"\"", "\"\""},
        // Options known to write.
        {"-n -vstats", "-vstats"},
        {"-n -vstats_file /tmp/v.log", "-vstats_file"},
        {"-n -pass 1", "-pass"},
        {"-n -passlogfile /tmp/p", "-passlogfile"},
        {"-n -progress /tmp/progress", "-progress"},
        {"-n -report", "-report"},
        {"-n -sdp_file /tmp/s.sdp", "-sdp_file"},
        {"-n -dump_attachment:t:0 /tmp/font.ttf", "-dump_attachment:t:0"},
        {"-n -segment_list /tmp/l.m3u8", "-segment_list"},
        {"-n -hls_segment_filename /tmp/s%d.ts", "-hls_segment_filename"},
        {"-n -f tee", "-f tee"},
        {"-n -vf psnr=stats_file=/tmp/psnr.log", "-vf psnr=stats_file=/tmp/psnr.log"},
        {"-n -filter_complex \"[0:v]metadata=mode=print:file=/tmp/m\"", "-filter_complex [0:v]metadata=mode=print:file=/tmp/m"},
        {"-n -af:a ametadata=print:file=/tmp/a", "-af:a ametadata=print:file=/tmp/a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(argumentWritingElsewhere(splitCommandLine(c.params)), c.found) << c.params;
    }
}

TEST(WritingArguments, TheReasonNamesTheProfileAndTheArgument)
{
    EXPECT_EQ(unusableArgumentReason(4, unusableArgument("-n -vn /home/victim.mp3")),
              "profile 4 has unusable arguments: /home/victim.mp3");
    EXPECT_EQ(unusableArgument("-n -c copy"), "");
}
