#include "core/FileSystem.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace {

using clipforge::FileKind;
using clipforge::FinalLink;
using clipforge::fileStatus;

const std::string nulTail("\0.mp4", 5);

TEST(FileSystem, TellsWhatIsAtAPathWithOrWithoutFollowingALink)
{
    clipforge::test::TempFolder folder;
    const std::string file = folder.write("file", "abc");
    std::filesystem::create_directory(folder.path() + "folder");
    std::filesystem::create_symlink(file, folder.path() + "link");
    std::filesystem::create_symlink(folder.path() + "gone", folder.path() + "dangling");
    struct Case {
        std::string path;
        FileKind followed;
        FileKind examined;
    };
    const Case cases[] = {
        {file, FileKind::Regular, FileKind::Regular},
        {folder.path() + "folder", FileKind::Folder, FileKind::Folder},
        {folder.path() + "link", FileKind::Regular, FileKind::SymbolicLink},
        {folder.path() + "dangling", FileKind::Missing, FileKind::SymbolicLink},
        {folder.path() + "missing", FileKind::Missing, FileKind::Missing},
        {"/dev/null", FileKind::Device, FileKind::Device},
        {file + nulTail, FileKind::Missing, FileKind::Missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fileStatus(c.path).kind, c.followed);
        EXPECT_EQ(fileStatus(c.path, FinalLink::Examined).kind, c.examined);
    }
    EXPECT_EQ(fileStatus(file).size, 3u);
    EXPECT_EQ(fileStatus(folder.path() + "missing").error, ENOENT);
    EXPECT_EQ(fileStatus(file + nulTail).error, EINVAL) << "only the part before the NUL is a file";
}

TEST(FileSystem, AFileKeepsItsIdentityAcrossNamesButNotAcrossAReplacement)
{
    clipforge::test::TempFolder folder;
    const std::string file = folder.write("file", "abc");
    const auto identity = fileStatus(file).identity;
    std::filesystem::create_hard_link(file, folder.path() + "hard");
    EXPECT_EQ(fileStatus(folder.path() + "hard").identity, identity);
    std::filesystem::rename(file, folder.path() + "renamed");
    EXPECT_EQ(fileStatus(folder.path() + "renamed").identity, identity);
    folder.write("file", "abc");
    EXPECT_NE(fileStatus(file).identity, identity);
}

TEST(FileSystem, AFolderListsItsEntriesWithTheirInodes)
{
    clipforge::test::TempFolder folder;
    folder.write("a", "");
    std::filesystem::create_directory(folder.path() + "b");
    auto entries = clipforge::folderEntries(folder.path());
    ASSERT_TRUE(entries);
    std::sort(entries->begin(), entries->end(), [](const auto& x, const auto& y) { return x.name < y.name; });
    ASSERT_EQ(entries->size(), 2u) << "without . and ..";
    for (const clipforge::FolderEntry& entry : *entries)
        EXPECT_EQ(entry.inode, fileStatus(folder.path() + entry.name).identity.inode) << entry.name;
    EXPECT_EQ((*entries)[0].name, "a");
    EXPECT_EQ((*entries)[1].name, "b");
    EXPECT_FALSE(clipforge::folderEntries(folder.path() + "missing"));
}

TEST(FileSystem, RemovingTakesOnlyTheNamedFileAndAMissingOneCounts)
{
    clipforge::test::TempFolder folder;
    const std::string file = folder.write("file", "abc");
    std::filesystem::create_symlink(file, folder.path() + "link");
    std::filesystem::create_directory(folder.path() + "folder");
    EXPECT_TRUE(clipforge::removeFile(folder.path() + "link"));
    EXPECT_TRUE(clipforge::removeFile(folder.path() + "missing"));
    errno = 0;
    EXPECT_FALSE(clipforge::removeFile(file + nulTail));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(clipforge::removeFile(folder.path() + "folder"));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"file", "folder"})) << "the link's target stays";
    EXPECT_TRUE(clipforge::removeFile(file));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"folder"});
}

}  // namespace
