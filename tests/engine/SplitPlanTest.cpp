#include "engine/CommandLineSplitter.h"
#include "engine/SplitCommands.h"
#include "engine/SplitPlan.h"

#include <gtest/gtest.h>

using namespace clipforge;

namespace {

const std::string Profile = "-n -map 0:v:0? -map 0:a:0? -fpsmax 120 -vf scale=320:-2 -c:v libtheora -c:a libvorbis";

// 60 s at 25 frames a second from 1.5 s on the converter's clock (a transport stream's start),
// a key frame every 2 s, with sound.
MediaPackets film()
{
    StreamPackets pictures;
    pictures.kind = StreamKind::Video;
    pictures.packets = 1500;
    pictures.start = 1.5;
    pictures.end = 61.5;
    pictures.sum = 60.0;
    pictures.frameSpacing = 0.04;
    for (double key = 1.5; key < 61.5; key += 2)
        pictures.keyFrames.push_back(key);
    StreamPackets sound = pictures;
    sound.kind = StreamKind::Sound;
    sound.keyFrames.clear();
    MediaPackets file{{pictures, sound}, {}, {}, {}};
    file.start = 1.5;
    return file;
}

SplitPlan plan(const std::string& params, const MediaPackets& source, int parts = 3, double minimum = 10)
{
    return planSplit(splitCommandLine(params), source, {parts, minimum});
}

TEST(SplitPlanTest, WhatCannotBeCutExactlyRunsWholeAndSaysWhy)
{
    MediaPackets varying = film(), fast = film(), edited = film(), still = film(), unread;
    varying.streams[0].spacingVaries = true;
    fast.streams[0].frameSpacing = 1.0 / 240;
    edited.streams[0].edited = true;
    still.streams[0].attachedPicture = true;
    unread.error = "Invalid data found when processing input";
    const struct {
        std::string params;
        MediaPackets source;
        int parts;
        double minimum;
        std::string why;
    } cases[] = {
        {"-map 0 -c copy", film(), 3, 10, "the profile copies streams"},
        {"-c:v copy -c:a aac", film(), 3, 10, "the profile copies streams"},
        {"-r 30 -c:v mpeg4", film(), 3, 10, "the profile sets a frame rate (-r)"},
        {"-target pal-dvd", film(), 3, 10, "the profile sets a frame rate (-target)"},
        {"-vf \"scale=320:-2,fps=10\"", film(), 3, 10, "the profile's fps filter sets a frame rate"},
        {"-vf \"split[a][b];[a]palettegen[p];[b][p]paletteuse\"", film(), 3, 10,
         "the profile's palettegen filter needs the whole film"},
        {"-filter_complex \"[0:v]scale=320:-2\"", film(), 3, 10,
         "the profile's pictures go through a filter graph (-filter_complex)"},
        {"-map 0:a:0 -vn -c:a flac", film(), 3, 10, "the profile converts no pictures"},
        {"-t 30 -c:v mpeg4", film(), 3, 10, "the profile changes the playing time (-t)"},
        {"-vf setpts=0.5*PTS", film(), 3, 10, "the profile changes the playing time (setpts)"},
        {Profile, film(), 1, 10, "there is one worker"},
        {Profile, unread, 3, 10, "the source's packets could not be read (Invalid data found when processing input)"},
        {Profile, varying, 3, 10, "the source's frame rate varies"},
        {Profile, fast, 3, 10, "the source's 240.0 frames a second are above the profile's -fpsmax"},
        {Profile, edited, 3, 10, "the source's edit list does more than shift its start"},
        {Profile, still, 3, 10, "the source has no moving pictures the profile keeps"},
        {Profile, film(), 3, 120, "the source plays 60.0 s, less than the 120.0 s a split needs"},
    };
    for (const auto& test : cases) {
        const SplitPlan made = plan(test.params, test.source, test.parts, test.minimum);
        EXPECT_EQ(made.parts, 1) << test.params;
        EXPECT_EQ(made.why, test.why) << test.params;
    }
}

TEST(SplitPlanTest, PartsStartHalfAFrameBeforeKeyFramesNearEqualSharesAndEndWhereTheNextBegins)
{
    const SplitPlan made = plan(Profile, film());
    ASSERT_EQ(made.parts, 3);
    EXPECT_TRUE(made.why.empty());
    EXPECT_TRUE(made.sound);
    // Key frames at 21.5 and 41.5 s: 20 and 40 s after the start, where the seeks count from.
    ASSERT_EQ(made.cuts.size(), 3u);
    EXPECT_FALSE(made.cuts[0].seek);
    EXPECT_DOUBLE_EQ(*made.cuts[0].length, 19.98);
    EXPECT_DOUBLE_EQ(*made.cuts[0].joinedLength, 20.0);
    EXPECT_DOUBLE_EQ(*made.cuts[1].joinedLength, 20.0);
    EXPECT_DOUBLE_EQ(*made.cuts[1].seek, 19.98);
    EXPECT_DOUBLE_EQ(made.cuts[1].shift, 0.02);
    EXPECT_DOUBLE_EQ(*made.cuts[1].length, 19.98);
    EXPECT_DOUBLE_EQ(*made.cuts[2].seek, 39.98);
    EXPECT_FALSE(made.cuts[2].length);
    EXPECT_FALSE(made.cuts[2].joinedLength);
    // Pictures 0.021 s after the clock's start lie between the encoder's frame steps: a whole
    // conversion rounds them onto the steps, and so does the join.
    MediaPackets late = film();
    late.start = 1.479;
    EXPECT_NEAR(*plan(Profile, late).cuts[0].joinedLength, 20.04, 1e-9);
    EXPECT_NEAR(*plan(Profile, late).cuts[1].joinedLength, 20.0, 1e-9);
    // Fewer parts where one would be shorter than half the minimum.
    EXPECT_EQ(plan(Profile, film(), 8, 20).parts, 6);
}

TEST(SplitPlanTest, PartsConvertPicturesOnlyAndTheJoinCopiesWithTheContainersOptions)
{
    const SplitPlan made = plan(Profile + " -movflags +faststart -tag:v hvc1", film(), 2);
    EXPECT_EQ(partCommandLine("/ffmpeg", "/in.ts", Profile, made.cuts[1], "/p/part-2.ogv"),
              "\"/ffmpeg\" -itsoffset -0.020000 -ss 29.980000 -i \"/in.ts\" " + Profile + " -an \"/p/part-2.ogv\"");
    EXPECT_EQ(partCommandLine("/ffmpeg", "/in.ts", Profile, made.cuts[0], "/p/part-1.ogv"),
              "\"/ffmpeg\" -i \"/in.ts\" -t 29.980000 " + Profile + " -an \"/p/part-1.ogv\"");
    const std::vector<std::string> sound = splitCommandLine("-c:a aac -movflags +faststart");
    EXPECT_EQ(soundCommandLine("/ffmpeg", "/in.ts", sound, "/p/sound.mp4"),
              "\"/ffmpeg\" -i \"/in.ts\" \"-c:a\" \"aac\" \"-movflags\" \"+faststart\" -vn -avoid_negative_ts disabled "
              "\"/p/sound.mp4\"");
    EXPECT_EQ(soundFile("flv"), "sound.mka");
    EXPECT_EQ(soundCommandLine("/ffmpeg", "/in.ts", sound, "/p/sound.mka"),
              "\"/ffmpeg\" -i \"/in.ts\" \"-c:a\" \"aac\" -vn -f matroska -avoid_negative_ts disabled \"/p/sound.mka\"");
    EXPECT_EQ(joinCommandLine("/ffmpeg", "/p/parts.ffconcat", "/p/sound.mka", "/in.ts",
                              splitCommandLine(Profile + " -movflags +faststart -tag:v hvc1"), made, "/o/out.ogv"),
              "\"/ffmpeg\" -n -copyts -f concat -i \"/p/parts.ffconcat\" -i \"/p/sound.mka\" -i \"/in.ts\" -map 0:v -map 1:a "
              "-map_metadata 2 -map_chapters 2 -c copy \"-movflags\" \"+faststart\" \"-tag:v\" \"hvc1\" \"/o/out.ogv\"");
    EXPECT_EQ(concatList({"part-1.ogv", "part-2.ogv"}, made),
              "ffconcat version 1.0\nfile 'part-1.ogv'\ninpoint 0\nduration 30.000000\nfile 'part-2.ogv'\ninpoint 0\n");
}

}  // namespace
