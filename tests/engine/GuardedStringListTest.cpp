#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/GuardedStringList.h"

using clipforge::GuardedStringList;

namespace {

using Texts = std::vector<std::string>;

// Taking lines from the front while others are added must keep every text
// intact across the compactions.
TEST(GuardedStringList, FrontRemovalKeepsTheRestIntact)
{
    GuardedStringList list;
    Texts expected;
    for (int i = 0; i < 50; ++i) {
        const std::string text = std::string(static_cast<std::size_t>(i % 7), 'a' + static_cast<char>(i % 26));
        list.add(text);
        expected.push_back(text);
        if (i % 3 == 0) {
            ASSERT_EQ(list.first(), expected.front());
            list.removeFirst();
            expected.erase(expected.begin());
        }
        ASSERT_EQ(list.items(), expected);
    }
    while (!expected.empty()) {
        ASSERT_EQ(list.first(), expected.front());
        list.removeFirst();
        expected.erase(expected.begin());
    }
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.first(), std::nullopt);
    list.removeFirst();
    EXPECT_EQ(list.count(), 0u);
}

TEST(GuardedStringList, KeepsEmptyTextsAndNulBytes)
{
    GuardedStringList list;
    list.add("");
    list.add(std::string("a\0b", 3));
    list.add("");
    EXPECT_EQ(list.items(), (Texts{"", std::string("a\0b", 3), ""}));
    EXPECT_THROW(list.at(3), std::out_of_range);
    list.clear();
    EXPECT_TRUE(list.empty());
}

}  // namespace
