#include "TempFolder.h"
#include "core/VideoFiles.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

void touch(const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "x";
}

// Videos at every depth, sorted by path; links, other kinds of entry and other files stay out.
TEST(VideoFiles, AFolderGivesTheRegularVideoFilesInsideItSortedByPath)
{
    clipforge::test::TempFolder folder;
    const std::string root = folder.path() + "drop";
    for (const char* name : {"b.mkv", "A.MP4", "notes.txt", "sub/deeper/c.webm", "sub/a.ts", "sub 2/x.ogv",
                             "\xe9t\xe9.avi"})
        touch(root + "/" + name);
    fs::create_directory(root + "/empty.avi");
    fs::create_symlink(root + "/b.mkv", root + "/link.mkv");
    fs::create_directory_symlink(root, root + "/sub/loop");
    ::mkfifo((root + "/pipe.mpg").c_str(), 0600);

    const std::vector<std::string> expected {root + "/A.MP4",         root + "/b.mkv",          root + "/sub 2/x.ogv",
                                             root + "/sub/a.ts",      root + "/sub/deeper/c.webm",
                                             root + "/\xe9t\xe9.avi"};
    EXPECT_EQ(clipforge::videoFilesIn(root), expected);
    EXPECT_EQ(clipforge::videoFilesIn(root + "/"), clipforge::videoFilesIn(root));
    EXPECT_TRUE(clipforge::videoFilesIn(root + "/missing").empty());
}

}  // namespace
