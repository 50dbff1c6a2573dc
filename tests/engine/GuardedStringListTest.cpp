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

// Texts are kept in blocks of growing size; texts larger than a block, texts
// that just miss the room left, and a queue that empties and fills again must
// all come back intact and in order.
TEST(GuardedStringList, TextsOfEverySizeAcrossBlocks)
{
    GuardedStringList list;
    Texts expected;
    std::size_t next = 0;
    const auto text = [&](std::size_t size) {
        std::string result(size, '\0');
        for (auto& c : result)
            c = static_cast<char>('a' + next++ % 26);
        return result;
    };
    const std::vector<std::size_t> sizes{0, 4095, 1, 4096, 0, 9000, 80, 5 << 20, 3, 0, 70000};
    for (int round = 0; round < 3; ++round) {
        for (std::size_t size : sizes) {
            expected.push_back(text(size));
            list.add(expected.back());
        }
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(list.first(), expected.front());
            list.removeFirst();
            expected.erase(expected.begin());
        }
        ASSERT_EQ(list.items(), expected);
    }
    for (std::size_t i = 0; i < 2000; ++i) {
        expected.push_back(text(i % 97));
        list.add(expected.back());
    }
    ASSERT_EQ(list.count(), expected.size());
    EXPECT_EQ(list.at(expected.size() - 1), expected.back());
    while (!expected.empty()) {
        ASSERT_EQ(list.first(), expected.front());
        list.removeFirst();
        expected.erase(expected.begin());
    }
    list.add("again");
    EXPECT_EQ(list.items(), Texts{"again"});
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

TEST(GuardedStringList, ALimitedListKeepsOnlyItsNewestTexts)
{
    clipforge::GuardedStringList list(100);
    for (int i = 0; i < 1000; ++i)
        list.add(std::string(9, 'a') + std::to_string(i % 10));
    EXPECT_EQ(list.count(), 10u);
    EXPECT_EQ(list.items().front(), "aaaaaaaaa0");
    EXPECT_EQ(list.items().back(), "aaaaaaaaa9");
    list.add(std::string(500, 'b'));
    EXPECT_EQ(list.items(), std::vector<std::string>{std::string(500, 'b')}) << "the newest text stays, however long";
    list.clear();
    list.add("c");
    EXPECT_EQ(list.items(), std::vector<std::string>{"c"});
}
