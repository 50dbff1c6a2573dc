#include "BatchRun.h"
#include "ShellCommand.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

using clipforge::shellCommand;
using clipforge::shellQuote;

TEST(ShellCommand, QuotesOnlyWhatAShellWouldReadOtherwise)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/bin/ffmpeg", "/usr/bin/ffmpeg"},
        {"-c:v", "-c:v"},
        {"a,b+c%d@e", "a,b+c%d@e"},
        {"", "''"},
        {"two words", "'two words'"},
        {"it's", "'it'\\''s'"},
        {"''", "''\\'''\\'''"},
        {"A=b", "'A=b'"},
        {"~/x", "'~/x'"},
        {"$HOME `id` \"q\" \\ * ? [a] ; & | < > ( ) { } # !", "'$HOME `id` \"q\" \\ * ? [a] ; & | < > ( ) { } # !'"},
        {"tab\there\rcr", "'tab\there\rcr'"},
        {"Caf\xC3\xA9 \xE9", "'Caf\xC3\xA9 \xE9'"},
    };
    for (const auto& [argument, quoted] : cases)
        EXPECT_EQ(shellQuote(argument), quoted) << argument;
}

TEST(ShellCommand, APosixShellGivesEveryArgumentBackByteForByte)
{
    const std::vector<std::string> arguments{"printf", "[%s]", "it's", "$HOME `id`", "a\\b\"c", "", "\t\x1b\xff", "*"};
    const auto result = clipforge::test::runProgram("sh", {"-c", shellCommand(arguments)});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "[it's][$HOME `id`][a\\b\"c][][\t\x1b\xff][*]");
    // A line break would split the command in two.
    EXPECT_THROW(shellCommand({"a", "b\nc"}), clipforge::Error);
}
