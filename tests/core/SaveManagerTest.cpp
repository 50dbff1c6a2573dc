#include "core/ConvertError.h"
#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"
#include "core/xml/XmlDocument.h"
#include "core/ExampleList.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using clipforge::test::readFile;
using clipforge::test::writeFile;

namespace {

struct Job {
    std::string fileName;
    int format;
    std::string path;
    bool operator==(const Job&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Job& job)
{
    return out << "{" << job.fileName << ", " << job.format << ", " << job.path << "}";
}

class SaveManagerTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::vector<std::string> names{"AVI"};
    TItemManager staging;
    TTreeManager tree{names, staging};
    TSaveManager saver{tree};

    std::string file(const char* name) const { return folder.filePath(name).toStdString(); }

    void add(const Job& job)
    {
        tree.AppendJobs({{clipforge::widen(job.fileName), job.format, clipforge::widen(job.path), false, 0}});
    }
    std::vector<Job> jobs() const
    {
        std::vector<Job> result;
        for (int row = 0; row < tree.Count(); ++row) {
            const TItemData& data = tree.Job(row).ItemData;
            EXPECT_EQ(tree.Job(row).State, jsWaiting);
            result.push_back({clipforge::narrow(data.FileName), data.Format, clipforge::narrow(data.Path)});
        }
        return result;
    }
    std::vector<Job> importBytes(const std::string& bytes)
    {
        const std::string path = file("in.kxl");
        writeFile(path, bytes);
        saver.ReadList(path);
        return jobs();
    }
};

const std::string& ExampleList = ExampleListBytes;

const std::vector<Job> ExampleJobs{{"C:\\Video\\a.avi", 0, "D:\\Out\\"}, {"C:\\Video\\Caf\xE9.mpg", 3, ""}};

}  // namespace

TEST_F(SaveManagerTest, ExportWritesTheListByteForByteAndImportGivesItBack)
{
    for (const Job& job : ExampleJobs)
        add(job);
    saver.WriteList(file("out.kxl"));
    EXPECT_EQ(readFile(file("out.kxl")), ExampleList);

    tree.Clear();
    saver.ReadList(file("out.kxl"));
    EXPECT_EQ(jobs(), ExampleJobs);
}

TEST_F(SaveManagerTest, ImportingTwiceAppendsTwice)
{
    writeFile(file("a.kxl"), ExampleList);
    saver.ReadList(file("a.kxl"));
    saver.ReadList(file("a.kxl"));
    EXPECT_EQ(jobs().size(), 4u);
    EXPECT_EQ(jobs()[2], ExampleJobs[0]);
}

TEST_F(SaveManagerTest, HostileFileNamesSurviveARoundTrip)
{
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const std::vector<Job> hostile{
        {"/v/Tom & Jerry.avi", 1, "/out/<x>/"},
        {"/v/&amp;.avi", 2, "&amp;"},
        {"/v/a\" -y -i \"b.avi", -1, "/o'ut/"},
        {everyByte, 7, everyByte},
    };
    for (const Job& job : hostile)
        add(job);
    saver.WriteList(file("h.kxl"));
    const std::string bytes = readFile(file("h.kxl"));
    EXPECT_NE(bytes.find("<filename>/v/Tom &amp; Jerry.avi</filename>"), std::string::npos);
    EXPECT_NE(bytes.find("<filename>/v/&amp;amp;.avi</filename>"), std::string::npos);
    for (const char byte : bytes)
        EXPECT_LT(static_cast<unsigned char>(byte), 0x80);

    tree.Clear();
    saver.ReadList(file("h.kxl"));
    EXPECT_EQ(jobs(), hostile);
}

TEST_F(SaveManagerTest, ItemsAreReadWhateverTheirShape)
{
    struct Case {
        const char* what;
        std::string list;
        std::vector<Job> expected;
    };
    const Case cases[] = {
        {"children in another order and letter case",
         "<list><item><PATH>/o/</PATH><Format>2</Format><FILENAME>/v/a</FILENAME></item></list>",
         {{"/v/a", 2, "/o/"}}},
        {"any root and item names", "<queue><job><filename>/v/a</filename><format>1</format></job></queue>",
         {{"/v/a", 1, ""}}},
        {"an empty root", "<list/>", {}},
        {"no declaration and an empty file", "", {}},
        {"a format no catalogue holds", "<list><item><filename>a</filename><format>7</format></item></list>",
         {{"a", 7, ""}}},
        {"no format and no path", "<list><item><filename>a</filename></item></list>", {{"a", -1, ""}}},
        {"the last of repeated children",
         "<list><item><filename>a</filename><filename>b</filename><format>1</format></item></list>",
         {{"b", 1, ""}}},
        {"comments, CDATA and text between items",
         "<list><!-- saved --><item><filename>a</filename><format>0</format></item>stray"
         "<![CDATA[x]]><item><filename>b</filename><format>1</format></item></list>",
         {{"a", 0, ""}, {"b", 1, ""}}},
        {"a signed format", "<list><item><filename>a</filename><format>-1</format></item></list>",
         {{"a", -1, ""}}},
    };
    for (const Case& c : cases) {
        tree.Clear();
        EXPECT_EQ(importBytes(c.list), c.expected) << c.what;
    }
}

TEST_F(SaveManagerTest, ImportErrorsKeepTheJobsReadBeforeThem)
{
    struct Case {
        std::string list;
        std::string message;
        std::size_t jobsKept;
    };
    const Case cases[] = {
        {"<list><item><filename>a</filename></item>", "Invalid XML Element: Erroneous end of tag, expecting </list> but </> found", 0},
        {"<list><item><filename>a</filename><format>0</format></item><a>x</b></list>",
         "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found", 0},
        {"<list><item><filename>a</filename><format>1</format></item>"
         "<item><filename>b</filename><format>x1</format></item></list>",
         "'x1' is not a valid integer value", 1},
        {"<list><item><filename>a</filename><format>1</format></item>"
         "<item><filename>b</filename><format> 2</format></item></list>",
         "' 2' is not a valid integer value", 1},
        {"<list><item><filename>a</filename><format>99999999999</format></item></list>",
         "'99999999999' is not a valid integer value", 0},
        {"<list><!-- c --><item><filename>a</filename></item><item><format>1</format></item>"
         "<item><filename>c</filename></item></list>",
         "List item 2 has no filename", 1},
        // Items become jobs while the file is still being read: a bad item followed by a
        // malformed end must still fail as malformed, with no job added.
        {"<list><item><filename>a</filename><format>1</format></item>"
         "<item><filename>b</filename><format>x</format></item><a>x</b></list>",
         "Invalid XML Element: Erroneous end of tag, expecting </a> but </b> found", 0},
        {"<list><item><format>1</format></item><item><filename>b</filename>",
         "Invalid XML Element: Erroneous end of tag, expecting </item> but </> found", 0},
    };
    for (const Case& c : cases) {
        tree.Clear();
        add({"/before", 0, ""});
        try {
            importBytes(c.list);
            ADD_FAILURE() << "no error for " << c.list;
        } catch (const clipforge::Error& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_EQ(jobs().size(), 1 + c.jobsKept) << c.list;
    }
}

TEST_F(SaveManagerTest, AMissingFileAddsNothingAndReportsNothing)
{
    add({"/a", 0, ""});
    EXPECT_TRUE(saver.ReadList(file("absent.kxl")));
    EXPECT_EQ(jobs().size(), 1u);
}

TEST_F(SaveManagerTest, ALockedListRefusesImports)
{
    writeFile(file("a.kxl"), ExampleList);
    tree.SetLocked(true);
    EXPECT_FALSE(saver.ReadList(file("a.kxl")));
    EXPECT_EQ(tree.Count(), 0);
}

TEST_F(SaveManagerTest, ExportAfterImportWritesTheImportedPrologAndRootName)
{
    importBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!-- mine -->\r\n"
                "<queue><item><filename>a</filename><format>0</format></item></queue>");
    saver.WriteList(file("out.kxl"));
    EXPECT_EQ(readFile(file("out.kxl")),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<!-- mine -->\r\n<queue>\r\n  <item>\r\n"
              "    <filename>a</filename>\r\n    <format>0</format>\r\n    <path/>\r\n  </item>\r\n</queue>\r\n");
}

TEST_F(SaveManagerTest, ExportAfterImportingAFileWithoutDeclarationWritesTheDefaultOne)
{
    importBytes("<list/>");
    saver.WriteList(file("out.kxl"));
    EXPECT_EQ(readFile(file("out.kxl")), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<list/>\r\n");
}

TEST_F(SaveManagerTest, ExportReplacesAnExistingFileOnlyWithACompleteOne)
{
    writeFile(file("out.kxl"), "old contents that are much longer than the new list will be ...........");
    add({"/a", 0, ""});
    saver.WriteList(file("out.kxl"));
    EXPECT_EQ(readFile(file("out.kxl")).substr(0, 5), "<?xml");
    EXPECT_EQ(readFile(file("out.kxl")).find("old"), std::string::npos);
}

TEST_F(SaveManagerTest, AReadOnlyListFileIsRefusedAndLeftUntouched)
{
    const std::string path = file("locked.kxl");
    writeFile(path, "precious");
    std::error_code refused;
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read, refused);
    ASSERT_FALSE(refused) << refused.message();
    add({"/a", 0, ""});
    try {
        saver.WriteList(path);
        ADD_FAILURE() << "a read-only file was overwritten";
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + path + "\". Permission denied");
    }
    EXPECT_EQ(readFile(path), "precious");
}

TEST_F(SaveManagerTest, AFolderThatDoesNotExistCannotTakeTheList)
{
    add({"/a", 0, ""});
    const std::string path = file("no-such-folder/out.kxl");
    try {
        saver.WriteList(path);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" + path + "\". ", 0), 0u) << error.what();
    }
}

TEST_F(SaveManagerTest, ALongListRoundTripsAndLeavesNoItemsInTheDocument)
{
    // Long enough to cross the writer's buffer many times, with escapes at the buffer edges.
    std::vector<Job> written;
    for (int i = 0; i < 3000; ++i) {
        written.push_back({"/v/" + std::string(static_cast<std::size_t>(i % 97), 'a') + "&<\xE9>" + std::to_string(i),
                           i % 7 - 1, i % 2 ? "" : "/out/" + std::to_string(i) + "/"});
        add(written.back());
    }
    const std::string path = file("long.kxl");
    saver.WriteList(path);
    EXPECT_EQ(saver.Document->Root().Children().Count(), 0);

    // The same bytes as writing a document that holds every item at once.
    TXmlDocument whole;
    whole.Prolog().SetEncoding("UTF-8");
    whole.Root().SetName("list");
    for (const Job& job : written) {
        auto& item = whole.Root().Children().AddChild("item");
        item.Children().AddChild("filename").SetValue(job.fileName);
        item.Children().AddChild("format").SetValue(std::to_string(job.format));
        item.Children().AddChild("path").SetValue(job.path);
    }
    EXPECT_EQ(readFile(path), whole.SaveToString());

    tree.Clear();
    saver.ReadList(path);
    EXPECT_EQ(jobs(), written);
    EXPECT_EQ(saver.Document->Root().Children().Count(), 0);
    EXPECT_EQ(saver.Document->Root().Name(), "list");
}
