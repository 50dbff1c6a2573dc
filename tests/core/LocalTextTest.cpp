#include "core/LocalText.h"

#include <gtest/gtest.h>

using clipforge::narrow;
using clipforge::widen;

TEST(LocalText, EveryByteStringSurvivesTheRoundTrip)
{
    std::string allBytes;
    for (int byte = 1; byte < 256; ++byte)
        allBytes += static_cast<char>(byte);
    const std::string cases[] = {
        "",
        "/video/plain.avi",
        "/video/Caf\xC3\xA9 \"quoted\" & 'single'.mpg",  // valid UTF-8
        "/video/Caf\xE9.mpg",                            // a Latin-1 byte, not UTF-8
        "\xF0\x9F\x8E\xAC clip",                         // outside the basic plane
        "\xED\xA0\x80",                                  // an encoded surrogate is not valid UTF-8
        "\xC0\xAF overlong",
        "cut short \xE2\x82",
        allBytes,
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(narrow(widen(bytes)), bytes) << bytes;
}

TEST(LocalText, ValidUtf8ReadsAsItsCharacters)
{
    EXPECT_EQ(widen("Caf\xC3\xA9"), QString::fromUtf8("Caf\xC3\xA9"));
    EXPECT_EQ(narrow(QStringLiteral("Caf\u00E9")), "Caf\xC3\xA9");
    EXPECT_EQ(widen("\xF0\x9F\x8E\xAC").size(), 2);
}

TEST(LocalText, AStrayByteStaysOneCharacter)
{
    const QString text = widen("a\xE9z");
    ASSERT_EQ(text.size(), 3);
    EXPECT_EQ(text[0], QChar('a'));
    EXPECT_EQ(text[2], QChar('z'));
}
