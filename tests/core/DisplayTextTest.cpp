#include "core/DisplayText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using clipforge::Backslash;
using clipforge::displayText;

namespace {

// What a reader of a shown line does to get the bytes back.
std::string readBack(const std::string& shown)
{
    std::string bytes;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != '\\') {
            bytes += shown[i];
            continue;
        }
        const char kind = shown.at(++i);
        if (kind == 'x') {
            bytes += static_cast<char>(std::stoi(shown.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
        }
    }
    return bytes;
}

}  // namespace

TEST(DisplayText, EscapesEveryControlTheBackslashAndWhatIsNotUtf8)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.avi", "plain name.avi"},
        {"line\nfeed", "line\\nfeed"},
        {"carriage\rreturn", "carriage\\rreturn"},
        {"tab\there", "tab\\there"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"del\x7f", "del\\x7f"},
        {"back\\slash\\n", "back\\\\slash\\\\n"},
        {"c1 \xc2\x85 next line, \xc2\x9b csi", "c1 \\xc2\\x85 next line, \\xc2\\x9b csi"},
        {"nbsp \xc2\xa0 stays, caf\xc3\xa9, \xe2\x82\xac, \xf0\x9f\x8e\xac", "nbsp \xc2\xa0 stays, caf\xc3\xa9, \xe2\x82\xac, \xf0\x9f\x8e\xac"},
        {"latin-1 caf\xe9", "latin-1 caf\\xe9"},
        {"lone \x9b csi byte", "lone \\x9b csi byte"},
        {"stray \x80 continuation", "stray \\x80 continuation"},
        {"over-long \xc0\xaf slash", "over-long \\xc0\\xaf slash"},
        {"over-long \xe0\x80\xaf", "over-long \\xe0\\x80\\xaf"},
        {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"},
        {"beyond \xf4\x90\x80\x80", "beyond \\xf4\\x90\\x80\\x80"},
        {"cut at the end \xe2\x82", "cut at the end \\xe2\\x82"},
        {"cut before ascii \xe2\x82x", "cut before ascii \\xe2\\x82x"},
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(displayText(bytes), shown) << shown;
        EXPECT_EQ(readBack(displayText(bytes)), bytes) << shown;
    }
}

TEST(DisplayText, AnyBytesReadBackExactlyAndNeverShowAControl)
{
    std::mt19937 random(20);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 0x40 : random() % 256);
        const std::string shown = displayText(bytes);
        ASSERT_EQ(readBack(shown), bytes);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const auto byte = static_cast<unsigned char>(shown[i]);
            ASSERT_FALSE(byte < 0x20 || byte == 0x7f) << shown;
            ASSERT_FALSE(byte == 0xc2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) < 0xa0)
                << shown;
        }
    }
}

TEST(DisplayText, KeptBackslashesLeaveACommandLineAsItRuns)
{
    EXPECT_EQ(displayText("ffmpeg -i \"C:\\in\\a.avi\" -vf \"drawtext=x\\:y\"\n", Backslash::Kept),
              "ffmpeg -i \"C:\\in\\a.avi\" -vf \"drawtext=x\\:y\"\\n");
    EXPECT_EQ(displayText("\x1b\xc2\x85\xff", Backslash::Kept), "\\x1b\\xc2\\x85\\xff");
}
