#include "SourceKinds.h"

#include "ToolRun.h"
#include "engine/CommandLineSplitter.h"

#include <filesystem>
#include <fstream>

namespace clipforge::test {
namespace {

enum Holds { Picture = 1, Sound = 2, PictureAndSound = 3 };

SourceKind made(std::string fileName, std::string making, Holds holds, std::uintmax_t cutAfter = 0)
{
    return {std::move(fileName), std::move(making), (holds & Picture) != 0, (holds & Sound) != 0, {}, cutAfter};
}

SourceKind written(std::string fileName, std::string bytes)
{
    return {std::move(fileName), {}, false, false, std::move(bytes), 0};
}

// Short and small: the matrix converts each of these with every profile. The picture is
// testsrc2 or a plain colour, reaching every edge, so black bars a profile adds can be told
// from it.
const std::vector<SourceKind> kinds = {
    // Phones.
    made("phone.mp4",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi -i sine=duration=0.3 "
        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 2",
        PictureAndSound),
    made("portrait.mp4",
        "-f lavfi -i testsrc2=size=180x320:rate=10:duration=0.3 -f lavfi -i sine=duration=0.3 "
        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac",
        PictureAndSound),
    made("rotated.mov", "-i phone.mp4 -c copy -metadata:s:v:0 rotate=90", PictureAndSound),
    made("hdr-phone.mp4",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi -i sine=duration=0.3 "
        "-c:v libx265 -preset ultrafast -x265-params log-level=error -pix_fmt yuv420p10le "
        "-tag:v hvc1 -c:a aac",
        PictureAndSound),
    // Browsers, screens and the web: odd and tiny frames, 4:4:4, variable frame rate.
    made("browser.webm",
        "-f lavfi -i testsrc2=size=320x240:rate=10:duration=0.3,scale=321:241 -f lavfi -i sine=duration=0.3 "
        "-c:v libvpx -deadline realtime -cpu-used 8 -c:a libopus",
        PictureAndSound),
    made("screen.mkv",
        "-f lavfi -i testsrc2=size=852x480:rate=5:duration=0.4,scale=853:479 -c:v libx264 -preset ultrafast "
        "-pix_fmt yuv444p",
        Picture),
    made("variable-rate.mkv",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=1 -f lavfi -i sine=duration=1 "
        "-vf select='not(between(n,3,6))' -fps_mode vfr -c:v libx264 -preset ultrafast "
        "-pix_fmt yuv420p -c:a aac",
        PictureAndSound),
    made("sticker.mkv",
        "-f lavfi -i color=c=orange:size=2x2:rate=10:duration=0.3 -f lavfi -i sine=duration=0.3 "
        "-c:v ffv1 -c:a flac",
        PictureAndSound),
    made("thumbnail.mkv",
        "-f lavfi -i color=c=orange:size=6x4:rate=10:duration=0.3,scale=5:3 -c:v ffv1 -pix_fmt yuv444p", Picture),
    made("animation.gif", "-f lavfi -i testsrc2=size=100x76:rate=10:duration=0.3,scale=99:75", Picture),
    made("one-frame.mp4",
        "-f lavfi -i testsrc2=size=320x240:rate=10 -frames:v 1 -c:v libx264 -preset ultrafast "
        "-pix_fmt yuv420p",
        Picture),
    // Cameras and editing: anamorphic DV, 4:2:2 10-bit.
    made("camcorder.dv",
        "-f lavfi -i testsrc2=size=720x480:rate=30000/1001:duration=0.1 -f lavfi "
        "-i sine=duration=0.1:sample_rate=48000 -c:v dvvideo -pix_fmt yuv411p -aspect 4:3 "
        "-c:a pcm_s16le -ac 2",
        PictureAndSound),
    made("edit-export.mov",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi "
        "-i sine=duration=0.3:sample_rate=48000 -c:v prores_ks -profile:v 2 "
        "-pix_fmt yuv422p10le -c:a pcm_s24le",
        PictureAndSound),
    // Broadcast and discs: 16:9 on 720x576, 5.1 AC-3 in its side layout, a recording cut off.
    made("broadcast.ts",
        "-f lavfi -i testsrc2=size=720x576:rate=25:duration=0.12 -f lavfi "
        "-i sine=duration=0.12:sample_rate=48000 "
        "-filter_complex \"[1:a]pan=5.1(side)|FL=c0|FR=c0|FC=c0|LFE=c0|SL=c0|SR=c0[a]\" "
        "-map 0:v -map [a] -c:v mpeg2video -aspect 16:9 -c:a ac3",
        PictureAndSound),
    made("cut-off.ts",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=1 -f lavfi -i sine=duration=1 "
        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mpegts",
        PictureAndSound, 30001),
    // Films with more than one picture, sound or text stream.
    written("subtitles.srt", "1\n00:00:00,000 --> 00:00:00,400\nHello\n\n"),
    made("subtitled.mkv",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi -i sine=duration=0.3 "
        "-i subtitles.srt -map 0 -map 1 -map 2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p "
        "-c:a aac -c:s srt",
        PictureAndSound),
    made("two-languages.mkv",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi "
        "-i sine=duration=0.3:frequency=440 -f lavfi -i sine=duration=0.3:frequency=880 "
        "-filter_complex \"[2:a]pan=5.1|FL=c0|FR=c0|FC=c0|LFE=c0|BL=c0|BR=c0[b]\" "
        "-map 0:v -map 1:a -map [b] -c:v libx264 -preset ultrafast -pix_fmt yuv420p "
        "-c:a:0 aac -c:a:1 ac3",
        PictureAndSound),
    made("wrong-extension.avi",
        "-f lavfi -i testsrc2=size=320x180:rate=10:duration=0.3 -f lavfi "
        "-i sine=duration=0.3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4",
        PictureAndSound),
    // Music and studio sound: a cover picture, more than 48 kHz, more than 5.1.
    made("song.mp3", "-f lavfi -i sine=duration=0.3 -ac 2 -c:a libmp3lame", Sound),
    made("song-with-cover.mp3",
        "-f lavfi -i sine=duration=0.3 -f lavfi -i testsrc2=size=200x200:rate=1:duration=1 "
        "-map 0:a -map 1:v -frames:v 1 -c:v mjpeg -disposition:v attached_pic "
        "-c:a libmp3lame -ac 2",
        PictureAndSound),
    made("studio-7.1.wav",
        "-f lavfi -i sine=duration=0.3:sample_rate=96000 "
        "-af \"pan=7.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0|c6=c0|c7=c0\" -c:a pcm_s24le",
        Sound),
    made("phone-call.wav", "-f lavfi -i sine=duration=0.3:sample_rate=8000 -c:a pcm_u8", Sound),
    // Nothing to convert.
    written("empty.mp4", ""),
    written("notes.mkv", "not a film, just notes someone renamed\n"),
};

std::string makeSource(const SourceKind& kind, const std::string& folder)
{
    const std::string path = folder + kind.fileName;
    if (kind.making.empty()) {
        std::ofstream(path, std::ios::binary) << kind.bytes;
        return {};
    }
    std::vector<std::string> arguments{converter(), "-nostdin", "-v", "error"};
    for (std::string& argument : splitCommandLine(kind.making))
        arguments.push_back(std::move(argument));
    arguments.push_back(kind.fileName);
    const ToolOutcome made = runTool(arguments, folder);
    if (made.exitCode != 0)
        return kind.fileName + ": " + made.err;
    if (kind.cutAfter > 0)
        std::filesystem::resize_file(path, kind.cutAfter);
    return {};
}

}  // namespace

const std::vector<SourceKind>& sourceKinds()
{
    return kinds;
}

std::string makeSources(const std::string& folder)
{
    std::string problems;
    for (const SourceKind& kind : kinds)
        problems += makeSource(kind, folder);
    return problems;
}

}  // namespace clipforge::test
