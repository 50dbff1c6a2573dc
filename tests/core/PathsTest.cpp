#include "core/Paths.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Paths, CutsOnlyAtSlashes)
{
    struct Case {
        std::string path, fileName, folder, extension;
    };
    const Case cases[] = {
        {"/v/clip.avi", "clip.avi", "/v/", ".avi"},
        {"/v/clip", "clip", "/v/", ""},
        {"/v.d/clip", "clip", "/v.d/", ""},
        {"/v/a.b.avi", "a.b.avi", "/v/", ".avi"},
        {"clip.", "clip.", "", "."},
        {"C:clip.avi", "C:clip.avi", "", ".avi"},
        {"a\\b.c", "a\\b.c", "", ".c"},
        {"/v/", "", "/v/", ""},
        {"/v/.hidden", ".hidden", "/v/", ".hidden"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clipforge::fileNamePart(c.path), c.fileName) << c.path;
        EXPECT_EQ(clipforge::folderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(clipforge::extensionPart(c.path), c.extension) << c.path;
    }
    EXPECT_EQ(clipforge::replaceExtension("/v.d/clip", ".mp4"), "/v.d/clip.mp4");
    EXPECT_EQ(clipforge::replaceExtension("/v/a.b.avi", ".mp4"), "/v/a.b.mp4");
}

// A chosen folder (the folder browser's too) gains one trailing separator.
TEST(Paths, AFolderGainsOneTrailingSeparator)
{
    const std::pair<const char*, const char*> cases[] = {{"/out", "/out/"}, {"/", "/"}, {"/a b/", "/a b/"}, {"", "/"}};
    for (const auto& [folder, expected] : cases)
        EXPECT_EQ(clipforge::withTrailingSeparator(folder), expected) << folder;
}

TEST(Paths, ProgramFolderIsTheExecutablesFolderUnlessOverridden)
{
    const std::string real = clipforge::programFolder();
    EXPECT_EQ(real, std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/");
    clipforge::setProgramFolderForTesting("/tmp/x");
    EXPECT_EQ(clipforge::programFolder(), "/tmp/x/");
    clipforge::setProgramFolderForTesting("");
    EXPECT_EQ(clipforge::programFolder(), real);
}

TEST(Paths, FileExistsOnlyForFiles)
{
    clipforge::test::TempFolder folder;
    const auto file = folder.write("f", "x");
    std::filesystem::create_directory(folder.path() + "d");
    std::filesystem::create_symlink(file, folder.path() + "link");
    EXPECT_TRUE(clipforge::fileExists(file));
    EXPECT_TRUE(clipforge::fileExists(folder.path() + "link"));
    EXPECT_FALSE(clipforge::fileExists(folder.path() + "d"));
    EXPECT_FALSE(clipforge::fileExists(folder.path() + "missing"));
    EXPECT_FALSE(clipforge::fileExists(file + std::string("\0.mp4", 5))) << "only the part before the NUL is a file";
}

}  // namespace
