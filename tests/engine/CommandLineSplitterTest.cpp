#include "engine/CommandLineSplitter.h"

#include <gtest/gtest.h>

#include <random>

using clipforge::quoteArgument;
using clipforge::splitCommandLine;
using Args = std::vector<std::string>;

TEST(CommandLineSplitter, SplitsByTheClassicRules)
{
    const struct {
        std::string line;
        Args expected;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"\"\"", {""}},
        {"a\"b c\"d", {"ab cd"}},
        {"a\\\\b", {"a\\\\b"}},
        {"a\\\"b", {"a\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"unterminated arg", {"unterminated arg"}},
        {"trailing\\", {"trailing\\"}},
        {"line\nbreak", {"line\nbreak"}},
        {"\"/app/bin/ffmpeg\" -i \"/in/a.avi\" -c:v libx264 -n \"/out/a.mp4\"",
         {"/app/bin/ffmpeg", "-i", "/in/a.avi", "-c:v", "libx264", "-n", "/out/a.mp4"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.expected) << c.line;
}

TEST(CommandLineSplitter, QuotingLeavesPlainNamesAsTheyAre)
{
    EXPECT_EQ(quoteArgument("/videos/holiday.avi"), "\"/videos/holiday.avi\"");
    EXPECT_EQ(quoteArgument("with space"), "\"with space\"");
    EXPECT_EQ(quoteArgument(""), "\"\"");
}

TEST(CommandLineSplitter, QuotedHostileNamesComeBackAsOneArgument)
{
    const Args hostile = {
        "a\" -y -i \"b", "\"", "\\", "\\\\", "end\\", "mid\\\"dle", "-leading-dash",
        "$(rm -rf ~)", "a;b", "new\nline", "tab\there", "\xff\xfe\x80 bytes", "  ",
        "\\\"\\\\\"", "'single'",
    };
    for (const auto& name : hostile) {
        const std::string line = "prog " + quoteArgument(name) + " tail";
        EXPECT_EQ(splitCommandLine(line), (Args{"prog", name, "tail"})) << name;
    }
}

TEST(CommandLineSplitter, RandomBytesRoundTrip)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string name(random() % 12, '\0');
        for (auto& c : name) {
            static const char alphabet[] = {'"', '\\', ' ', '\t', 'a', '\n', '\x01', '\xff'};
            c = alphabet[random() % sizeof alphabet];
        }
        if (name.find('\0') != std::string::npos)
            continue;
        EXPECT_EQ(splitCommandLine(quoteArgument(name)), Args{name});
    }
}
