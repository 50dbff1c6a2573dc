#include "core/ConvertError.h"
#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/xml/XmlDocument.h"

#include <gtest/gtest.h>

TEST(ItemManager, ItemsKeepFileProfileAndFolderByPosition)
{
    TItemManager staging;
    staging.AddItem("/v/a.avi", 3, "/out/");
    staging.AddItem("/v/b.avi", -1, "");
    ASSERT_EQ(staging.Count(), 2);
    EXPECT_EQ(staging.GetFormat(0), 3);
    EXPECT_EQ(staging.GetPath(0), "/out/");
    EXPECT_EQ(staging.GetFormat(1), -1);
    EXPECT_EQ(staging.GetPath(1), "");

    const TXmlElem& root = staging.Document->Root();
    EXPECT_EQ(root.Name(), "list");
    const TXmlElems& item = root.Children().Item(0).Children();
    ASSERT_EQ(item.Count(), 3);
    EXPECT_EQ(item.Item(0).Name(), "filename");
    EXPECT_EQ(item.Item(0).Value(), "/v/a.avi");
    EXPECT_EQ(item.Item(1).Name(), "format");
    EXPECT_EQ(item.Item(1).Value(), "3");
    EXPECT_EQ(item.Item(2).Name(), "path");
}

TEST(ItemManager, ClearEmptiesTheListButKeepsItsRoot)
{
    TItemManager staging;
    staging.AddItem("/v/a.avi", 0, "");
    staging.Clear();
    EXPECT_EQ(staging.Count(), 0);
    EXPECT_EQ(staging.Document->Root().Name(), "list");
}

TEST(ItemManager, BadPositionsAndTextsAreErrors)
{
    TItemManager staging;
    staging.AddItem("/v/a.avi", 0, "");
    EXPECT_THROW(staging.GetFormat(1), EListError);
    EXPECT_THROW(staging.GetPath(-1), EListError);
    staging.Document->Root().Children().Item(0).Children().Item(1).SetValue("12a");
    try {
        staging.GetFormat(0);
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'12a' is not a valid integer value");
    }
}
