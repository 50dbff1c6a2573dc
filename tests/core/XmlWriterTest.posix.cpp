#include "core/Errors.h"
#include "core/WriterLock.h"
#include "core/xml/FileIo.h"
#include "core/xml/XmlDocument.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"
#include "core/ExampleList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <functional>
#include <thread>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

void addItem(TXmlElem& root, const std::string& fileName, const std::string& format, const std::string& path)
{
    auto& item = root.Children().AddChild("item");
    item.Children().AddChild("filename").SetValue(fileName);
    item.Children().AddChild("format").SetValue(format);
    item.Children().AddChild("path").SetValue(path);
}

TEST(XmlWriter, WritesTheListFileByteForByte)
{
    TXmlDocument document;
    document.Prolog().SetEncoding("UTF-8");
    document.Root().SetName("list");
    addItem(document.Root(), "C:\\Video\\a.avi", "0", "D:\\Out\\");
    addItem(document.Root(), "C:\\Video\\Caf\xE9.mpg", "3", "");
    EXPECT_EQ(document.SaveToString(), ExampleListBytes);
}

TEST(XmlWriter, ElementShapes)
{
    struct Case {
        const char* name;
        std::function<void(TXmlDocument&)> build;
        std::string_view bytes;
    };
    const Case cases[] = {
        {"empty root", [](TXmlDocument& d) { d.Root().SetName("list"); },
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<list/>\r\n"},
        {"unnamed root writes nothing", [](TXmlDocument&) {}, "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"},
        {"value encoded",
         [](TXmlDocument& d) {
             d.Root().SetName("v");
             d.Root().SetValue("A<B&\"C\"'>\t\n\xE9\x80\xFF\x01");
         },
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
         "<v>A&lt;B&amp;&quot;C&quot;&apos;&gt;\t\n&#xE9;&#x80;&#xFF;\x01</v>\r\n"},
        {"children win over value, prefix and attributes",
         [](TXmlDocument& d) {
             d.Root().SetName("r");
             d.Root().SetPrefix("p");
             d.Root().SetValue("hidden");
             d.Root().Attributes().Add("a", "", "1&2");
             d.Root().Attributes().Add("b", "x", "\xE9");
             d.Root().Children().AddChild("k");
         },
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
         "<p:r a=\"1&amp;2\" x:b=\"&#xE9;\">\r\n  <k/>\r\n</p:r>\r\n"},
        {"other child kinds",
         [](TXmlDocument& d) {
             d.Load("<r>t&amp;<!--c&--><![CDATA[<&>]]><e>v</e></r>");
         },
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
         "<r>\r\n  t&amp;\r\n  <!--c&-->\r\n  <![CDATA[<&>]]>\r\n  <e>v</e>\r\n</r>\r\n"},
        {"unnamed element indents its children one level deeper",
         [](TXmlDocument& d) {
             d.Root().SetName("r");
             auto& anonymous = d.Root().Children().Add(std::make_unique<TXmlElemClassic>());
             anonymous.Children().AddChild("k").SetValue("v");
         },
         "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<r>\r\n    <k>v</k>\r\n</r>\r\n"},
        {"prolog written back as read",
         [](TXmlDocument& d) {
             d.Load("<!--first--><?xml version=\"1.1\" encoding=\"\" standalone=\"yes\"?>"
                    "<!DOCTYPE list><?xml-stylesheet href=\"a&amp;b\"?><list/>");
         },
         "<!--first-->\r\n<?xml version=\"1.1\" standalone=\"yes\"?>\r\n<!DOCTYPE list>\r\n"
         "<?xml-stylesheet href=\"a&amp;b\"?>\r\n<list/>\r\n"},
        {"declaration added at the end of a prolog without one",
         [](TXmlDocument& d) { d.Load("<!--c--><list/>"); },
         "<!--c-->\r\n<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<list/>\r\n"},
    };
    for (const auto& c : cases) {
        TXmlDocument document;
        c.build(document);
        EXPECT_EQ(document.SaveToString(), c.bytes) << c.name;
    }
}

TEST(XmlWriter, HostileValuesSurviveARoundTrip)
{
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const std::string values[] = {everyByte, "&<>'\"", "&amp;", "&amp;amp;", "&#xE9;", " padded ", "]]>", "--"};
    for (const auto& value : values) {
        TXmlDocument written;
        written.Root().SetName("list");
        auto& item = written.Root().Children().AddChild("item");
        item.SetValue(value);
        item.Attributes().Add("a", "", value);
        const std::string bytes = written.SaveToString();
        for (unsigned char c : bytes)
            ASSERT_LT(c, 0x80) << "the writer emits 7-bit ASCII only";
        TXmlDocument read;
        read.Load(bytes);
        ASSERT_EQ(read.Root().Children().Count(), 1);
        const auto& readItem = read.Root().Children().Item(0);
        // Whitespace-only text never becomes a value; every other value is exact.
        EXPECT_EQ(readItem.Value(), value);
        EXPECT_EQ(readItem.Attributes().Item(0).Value, value);
    }
}

TEST(XmlWriter, CopyFromMakesADeepCopy)
{
    TXmlDocument source;
    source.Load("<?xml version=\"1.1\" encoding=\"x\"?><p:r a='1'><k>v</k><!--c--></p:r>");
    TXmlDocument copy;
    copy.Root().CopyFrom(source.Root());
    copy.Prolog().Add(std::make_unique<TXmlElemHeader>()).CopyFrom(source.Prolog().Item(0));
    EXPECT_EQ(copy.SaveToString(), source.SaveToString());
    EXPECT_EQ(copy.Root().Children().Item(0).Parent(), &copy.Root());
}

TEST(XmlDocument, DocumentsMayChangeThreads)
{
    std::vector<std::unique_ptr<TXmlDocument>> documents;
    std::thread reader([&] {
        for (int i = 0; i < 50; ++i) {
            documents.push_back(std::make_unique<TXmlDocument>());
            documents.back()->Load("<list><item><a>1</a><b>2</b></item><item/></list>");
        }
    });
    reader.join();
    for (auto& document : documents)
        EXPECT_EQ(document->Root().Children().Count(), 2);
    documents.clear();
}

class XmlFiles : public ::testing::Test {
protected:
    clipforge::test::TempFolder folder;
};

TEST_F(XmlFiles, SaveFileThenLoadFile)
{
    const std::string path = folder.path() + "list.kxl";
    TXmlDocument document;
    document.Root().SetName("list");
    document.Root().Children().AddChild("item").SetValue("x");
    document.SaveFile(path);
    document.SaveFile(path);
    TXmlDocument read;
    read.LoadFile(path);
    EXPECT_EQ(read.SaveToString(), document.SaveToString());
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"list.kxl"}) << "no temporary file is left";
}

TEST_F(XmlFiles, ANameAtTheFileSystemsLimitCanBeSaved)
{
    const std::string name = std::string(251, 'n') + ".kxl";
    TXmlDocument document;
    document.Root().SetName("list");
    document.SaveFile(folder.path() + name);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{name});
}

TEST_F(XmlFiles, FileErrorsNameTheFileAndTheReason)
{
    TXmlDocument document;
    const std::string missing = folder.path() + "missing.kxl";
    try {
        document.LoadFile(missing);
        FAIL();
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + missing + "\". No such file or directory");
    }
    const std::string noFolder = folder.path() + "none/out.kxl";
    try {
        document.SaveFile(noFolder);
        FAIL();
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + noFolder + "\". No such file or directory");
    }
    EXPECT_THROW(document.LoadFile(folder.path()), EFileError);
    EXPECT_THROW(document.SaveFile(folder.path()), EFileError);
}

// Saving over something that is not a regular file must leave it as it is, whoever saves.
TEST_F(XmlFiles, SavingOverAFifoOrADeviceIsRefusedAndLeavesItInPlace)
{
    const std::string fifo = folder.path() + "fifo.kxl";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::vector<std::string> targets{fifo};
    const std::string device = folder.path() + "null.kxl";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        targets.push_back(device);
    else
        std::cout << "[ INFO ] cannot make a device node (not root): only the FIFO is tried\n";
    TXmlDocument document;
    document.Root().SetName("list");
    for (const std::string& path : targets) {
        struct stat before {};
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        try {
            document.SaveFile(path);
            ADD_FAILURE() << path << " was written";
        } catch (const EFileError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + path + "\". It is not a regular file");
        }
        struct stat after {};
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode) << path;
        EXPECT_EQ(after.st_ino, before.st_ino) << path;
    }
}

// Configuration files may be links kept elsewhere; whatever is at the end must be a regular file,
// and a FIFO is refused without waiting for a writer.
TEST_F(XmlFiles, ARegularFileIsReadThroughLinksAndNothingElseIsWaitedOn)
{
    const std::string fifo = folder.path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string file = folder.write("file", "bytes");
    ASSERT_EQ(::symlink(fifo.c_str(), (folder.path() + "to-fifo").c_str()), 0);
    ASSERT_EQ(::symlink(file.c_str(), (folder.path() + "to-file").c_str()), 0);
    struct Case {
        std::string name;
        std::string read;  // or the start of the refusal
    };
    const Case cases[] = {
        {"file", "bytes"},
        {"to-file", "bytes"},
        {"fifo", "Cannot open file \"" + folder.path() + "fifo\". It is not a regular file"},
        {"to-fifo", "Cannot open file \"" + folder.path() + "to-fifo\". It is not a regular file"},
        {"", "Cannot open file \"" + folder.path() + "\". It is not a regular file"},
        {"missing", "Cannot open file \"" + folder.path() + "missing\". No such file or directory"},
    };
    for (const Case& c : cases) {
        try {
            EXPECT_EQ(clipforge::readRegularFile(folder.path() + c.name), c.read) << c.name;
        } catch (const EFileError& error) {
            EXPECT_EQ(std::string(error.what()), c.read) << c.name;
        }
    }
}

TEST_F(XmlFiles, SavingOverAFileKeepsItsModeAndFollowsLinks)
{
    const std::string target = folder.write("target.kxl", "old");
    ::chmod(target.c_str(), 0640);
    const std::string link = folder.path() + "link.kxl";
    std::filesystem::create_symlink(target, link);
    TXmlDocument document;
    document.Root().SetName("list");
    document.SaveFile(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.read("target.kxl"), document.SaveToString());
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link.kxl", "target.kxl"}));
}

TEST_F(XmlFiles, AFailedSaveLeavesTheOldFileAlone)
{
    const std::string path = folder.path() + "keep.kxl";
    folder.write("keep.kxl", "old");
    ::chmod(path.c_str(), 0444);
    TXmlDocument document;
    try {
        document.SaveFile(path);
        FAIL();
    } catch (const EFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + path + "\". Permission denied");
    }
    EXPECT_EQ(folder.read("keep.kxl"), "old");
}

// The name saved to takes the new list; the file's other hard links keep the old one, whole.
TEST_F(XmlFiles, SavingOverAHardLinkedFileLeavesTheOtherNamesTheOldList)
{
    const std::string path = folder.write("list.kxl", "old");
    const std::string other = folder.path() + "other.kxl";
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    TXmlDocument document;
    document.Root().SetName("list");
    document.SaveFile(path);
    EXPECT_EQ(folder.read("list.kxl"), document.SaveToString());
    EXPECT_EQ(folder.read("other.kxl"), "old");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"list.kxl", "other.kxl"}));
}

TEST_F(XmlFiles, ASaveClearsWhatSavesThatDiedLeftInItsFolder)
{
    const std::string dead = ".list.kxl.clipforge-saving." + clipforge::hostTag() + ".dead01";
    folder.write(dead, "<list><it");
    folder.write(".list.kxl.clipforge-saving.elsewhere.dead01", "<list><it");
    TXmlDocument document;
    document.Root().SetName("list");
    document.SaveFile(folder.path() + "list.kxl");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{".list.kxl.clipforge-saving.elsewhere.dead01", "list.kxl"}));
}

// kill -9 at any moment of a save, many times over: every name of the list reads as a whole
// list, never a mix, and the next save clears the temporary files the killed ones left.
TEST_F(XmlFiles, AKilledSaveLeavesEveryNameAWholeList)
{
    const std::string path = folder.write("list.kxl", "old");
    ASSERT_EQ(::link(path.c_str(), (folder.path() + "other.kxl").c_str()), 0);
    std::vector<std::string> lists;
    for (const char* value : {"first", "second"}) {
        TXmlDocument document;
        document.Root().SetName("list");
        for (int item = 0; item < 20000; ++item)
            document.Root().Children().AddChild("item").SetValue(value);
        lists.push_back(document.SaveToString());
    }
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t saver = ::fork();
        if (saver == 0) {
            for (int round = 0;; ++round) {
                clipforge::replaceFileContents(path, lists[static_cast<std::size_t>(round % 2)]);
            }
        }
        ASSERT_GT(saver, 0);
        ::usleep(static_cast<useconds_t>(1000 + kill * 500));
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        const std::string saved = folder.read("list.kxl");
        EXPECT_TRUE(saved == "old" || saved == lists[0] || saved == lists[1]) << "kill " << kill << ": " << saved.size() << " bytes";
        EXPECT_EQ(folder.read("other.kxl"), "old");
    }
    clipforge::replaceFileContents(path, "new");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"list.kxl", "other.kxl"}));
}

// A disk too full for the new list refuses it and the old one stays whole, with no temporary
// file left.
TEST_F(XmlFiles, AFullDiskKeepsTheOldList)
{
    const std::string disk = folder.path() + "small";
    const clipforge::test::SmallDisk small(disk, "64k");
    if (!small.mounted())
        GTEST_SKIP() << "a full disk needs a small tmpfs, and mounting one needs root";
    const std::string list = disk + "/list.kxl";
    folder.write("small/list.kxl", "<list/>");
    TXmlDocument document;
    document.Root().SetName("list");
    document.Root().Children().AddChild("item").SetValue(std::string(100000, 'x'));
    EXPECT_THROW(document.SaveFile(list), EFileError);
    EXPECT_EQ(folder.read("small/list.kxl"), "<list/>");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(disk))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

// Saving over another user's list leaves it theirs, whether the new file takes the old one's
// place (root may give files away) or the old file is rewritten.
TEST_F(XmlFiles, SavingOverAFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file another owner needs root";
    const std::string path = folder.write("list.kxl", "old");
    const uid_t nobody = 65534;
    ASSERT_EQ(::chown(path.c_str(), nobody, nobody), 0);
    ::chmod(path.c_str(), 0604);
    TXmlDocument document;
    document.Root().SetName("list");
    document.SaveFile(path);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, nobody);
    EXPECT_EQ(info.st_gid, nobody);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(folder.read("list.kxl"), document.SaveToString());
}

}  // namespace

TEST(XmlWriter, ChildrenFromASourceWriteAsIfTheRootHeldThem)
{
    TXmlDocument document;
    document.Root().SetName("list");
    document.Root().SetValue("not written when there are children");
    document.Root().Children().AddChild("own").SetValue("1");
    TXmlElemClassic item;
    item.SetName("item");
    TXmlElem& value = item.Children().AddChild("v");
    // Values longer than the writer's buffer, escaped byte by byte, and an empty one.
    const auto source = [&](int index) -> const TXmlElem& {
        value.SetValue(index == 1 ? "" : std::string(static_cast<std::size_t>(70000 + index), '\xE9') + "&");
        return item;
    };
    TXmlDocument whole;
    whole.Root().CopyFrom(document.Root());
    for (int index = 0; index < 3; ++index) {
        auto copy = item.CreateSame();
        copy->CopyFrom(source(index));
        whole.Root().Children().Add(std::move(copy));
    }
    const std::string expected = whole.SaveToString();

    std::string streamed = "kept:";
    document.Save(streamed, 3, source);
    EXPECT_EQ(streamed, "kept:" + expected);

    clipforge::test::TempFolder folder;
    const std::string path = folder.path() + "streamed.kxl";
    document.SaveFile(path, 3, source);
    EXPECT_EQ(folder.read("streamed.kxl"), expected);

    // No streamed children: exactly the document as it stands.
    std::string none;
    document.Save(none, 0, source);
    EXPECT_EQ(none, document.SaveToString());
}
