#include "core/CommandManager.h"
#include "core/Errors.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Catalogue : public ::testing::Test {
protected:
    TCommandManager load(const std::string& bytes)
    {
        folder.write("command", bytes);
        return TCommandManager(folder.path());
    }

    clipforge::test::TempFolder folder;
};

TEST_F(Catalogue, ReadsProfilesByPosition)
{
    const auto catalogue = load(
        "<?xml version=\"1.0\"?>\r\n<!-- shipped profiles -->\r\n<anything>\r\n"
        "<p><format>MP4 &amp; more</format><params>-n -vcodec mpeg4</params><ext>mp4</ext></p>\r\n"
        "<q a='ignored'><EXT>avi</EXT><Params>-n</Params><FORMAT>Same</FORMAT><other/></q>\r\n"
        "<r><format>Same</format><params/><ext>x</ext><ext>second</ext></r>\r\n"
        "</anything>");
    EXPECT_EQ(catalogue.Names(), (std::vector<std::string>{"MP4 & more", "Same", "Same"}));
    EXPECT_EQ(catalogue.GetParams(0), "-n -vcodec mpeg4");
    EXPECT_EQ(catalogue.GetExt(1), "avi");
    EXPECT_EQ(catalogue.GetParams(1), "-n");
    EXPECT_EQ(catalogue.GetParams(2), "");
    EXPECT_EQ(catalogue.GetExt(2), "second");
}

TEST_F(Catalogue, IndexOutsideTheCatalogueIsAListError)
{
    const auto catalogue = load("<c><p><format>a</format><params/><ext>e</ext></p></c>");
    for (int index : {-1, 1, 1000}) {
        try {
            catalogue.GetExt(index);
            FAIL() << index;
        } catch (const EListError& error) {
            EXPECT_EQ(std::string(error.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
        EXPECT_THROW(catalogue.GetParams(index), EListError);
    }
}

TEST_F(Catalogue, NonElementChildrenDoNotShiftPositions)
{
    const auto catalogue = load("<c><!-- first -->\n<p><format>a</format><ext>1</ext></p>stray text"
                                "<![CDATA[x]]><p><format>b</format><ext>2</ext></p></c>");
    EXPECT_EQ(catalogue.Names(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(catalogue.GetExt(1), "2");
}

TEST_F(Catalogue, MissingChildrenReadAsEmptyText)
{
    const auto catalogue = load("<c><p/><p><params>-n</params></p></c>");
    EXPECT_EQ(catalogue.Names(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(catalogue.GetParams(0), "");
    EXPECT_EQ(catalogue.GetExt(1), "");
}

TEST_F(Catalogue, EmptyOrMissingFileGivesAnEmptyCatalogue)
{
    EXPECT_EQ(load("").Count(), 0);
    TCommandManager none(folder.path() + "nowhere/");
    EXPECT_TRUE(none.Names().empty());
    EXPECT_THROW(none.GetExt(0), EListError);
}

TEST_F(Catalogue, AFolderNamedCommandCountsAsMissing)
{
    std::filesystem::create_directory(folder.path() + "command");
    EXPECT_EQ(TCommandManager(folder.path()).Count(), 0);
}

TEST_F(Catalogue, MalformedFileRaisesTheReaderError)
{
    folder.write("command", "<c><p></c>");
    EXPECT_THROW(TCommandManager{folder.path()}, EXmlError);
}

}  // namespace
