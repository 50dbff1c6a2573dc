#include "JsonFields.h"
#include "JsonLine.h"

#include <gtest/gtest.h>

using clipforge::JsonLine;
using clipforge::jsonString;

TEST(JsonLine, EscapesWhatJsonNeedsAndKeepsOddBytesRecoverable)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"it's \"q\" a\\b", "\"it's \\\"q\\\" a\\\\b\""},
        {"line\nbreak\ttab\r\x1b\x7f", "\"line\\nbreak\\ttab\\u000d\\u001b\\u007f\""},
        {std::string("nul\0byte", 8), "\"nul\\u0000byte\""},
        {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC", "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC\""},
        {"Latin-1 \xE9.avi", "\"Latin-1 \\udce9.avi\""},
        {"cut \xE2\x82", "\"cut \\udce2\\udc82\""},
        {"overlong \xC0\xAF surrogate \xED\xA0\x80", "\"overlong \\udcc0\\udcaf surrogate \\udced\\udca0\\udc80\""},
        {"C1 \xC2\x80 \xC2\x9B" "2J \xC2\x9F then \xC2\xA0", "\"C1 \\u0080 \\u009b2J \\u009f then \xC2\xA0\""},
    };
    for (const auto& [bytes, json] : cases)
        EXPECT_EQ(jsonString(bytes), json);
}

TEST(JsonLine, BuildsOneObjectInFieldOrder)
{
    EXPECT_EQ(JsonLine()
                  .text("event", "progress")
                  .integer("index", 3)
                  .number("percent", std::optional<double>())
                  .number("speed", 2.456)
                  .textOrNull("reason", std::optional<std::string>())
                  .flag("stopped", false)
                  .str(),
              "{\"event\":\"progress\",\"index\":3,\"percent\":null,\"speed\":2.46,\"reason\":null,\"stopped\":false}");
}

TEST(JsonFields, GivesBackTheBytesJsonLineWrote)
{
    for (const std::string bytes : {"plain", "quote \" and \\ backslash", "tab\tline\nend", "\xff\x80 odd bytes",
                                    "caf\xc3\xa9", "\x01\x7f controls", "\xc2\x9b C1", ""}) {
        const std::string line = clipforge::JsonLine().text("name", bytes).integer("size", -42).str();
        const auto fields = clipforge::JsonFields::parse(line);
        ASSERT_TRUE(fields) << line;
        EXPECT_EQ(fields->text("name"), bytes) << line;
        EXPECT_EQ(fields->integer("size"), -42);
    }
    for (const char* broken : {"", "{", "{\"a\":", "{\"a\":1", "{\"a\":\"x}", "{\"a\":1,}"})
        EXPECT_FALSE(clipforge::JsonFields::parse(broken)) << broken;
}
