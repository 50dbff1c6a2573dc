#include "core/Errors.h"
#include "support/TempFolder.h"
#include "engine/NameFitting.h"
#include "engine/OverwriteManager.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace {

using clipforge::test::TempFolder;

// The file-system rule alone: a chooser that has given out nothing yet.
std::string uniqueName(const std::string& path)
{
    return TOverwriteManager().GetUniqueName(path);
}

// One more "_2" per name found taken, before the extension when there is one.
TEST(OverwriteManager, AddsOneMoreSuffixPerExistingFile)
{
    const struct {
        std::vector<std::string> existing;
        std::string candidate;
        std::string chosen;
    } cases[] = {
        {{}, "clip.mp4", "clip.mp4"},
        {{"clip.mp4"}, "clip.mp4", "clip_2.mp4"},
        {{"clip.mp4", "clip_2.mp4", "clip_2_2.mp4"}, "clip.mp4", "clip_2_2_2.mp4"},
        {{"clip", "clip_2"}, "clip", "clip_2_2"},
        {{"clip."}, "clip.", "clip_2."},
        {{"d.ir/clip"}, "d.ir/clip", "d.ir/clip_2"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        std::filesystem::create_directory(folder.path() + "d.ir");
        for (const std::string& name : c.existing)
            folder.write(name, "");
        const auto before = folder.entries();
        EXPECT_EQ(uniqueName(folder.path() + c.candidate), folder.path() + c.chosen) << c.candidate;
        EXPECT_EQ(folder.entries(), before) << "the chooser creates nothing";
    }
}

// Whatever stands at a name takes it: the converter would fail on it, write through it, or
// replace it.
TEST(OverwriteManager, AnythingAtANameTakesIt)
{
    TempFolder folder;
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* what;
        std::function<bool(const std::string& path)> make;
    };
    const Case cases[] = {
        {"a file", [&](const std::string& path) { return !folder.write(path.substr(folder.path().size()), "x").empty(); }},
        {"a folder", [](const std::string& path) { return std::filesystem::create_directory(path); }},
        {"a dangling link", [](const std::string& path) { return ::symlink("/nonexistent/target", path.c_str()) == 0; }},
        {"a link to a folder", [](const std::string& path) { return ::symlink("/tmp", path.c_str()) == 0; }},
        {"a FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }},
        {"a device", [](const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; }},
    };
    int made = 0;
    for (const Case& c : cases) {
        const std::string path = folder.path() + "clip" + std::to_string(made) + ".mp4";
        if (std::string(c.what) == "a device" && !root) {
            std::cout << "[  SKIPPED ] a device node needs root to be made (mknod)\n";
            continue;
        }
        ASSERT_TRUE(c.make(path)) << c.what;
        EXPECT_EQ(uniqueName(path), folder.path() + "clip" + std::to_string(made) + "_2.mp4") << c.what;
        ++made;
    }
}

TEST(OverwriteManager, NamesGivenOutInARunCountAsTakenUntilForgotten)
{
    TempFolder folder;
    TOverwriteManager chooser;
    const std::string base = folder.path() + "a.mp4";
    folder.write("a_2.mp4", "");
    EXPECT_EQ(chooser.GetUniqueName(base), base);
    EXPECT_EQ(chooser.GetUniqueName(base), folder.path() + "a_2_2.mp4");
    // Another candidate that lands on a name given out earlier moves on too.
    EXPECT_EQ(chooser.GetUniqueName(folder.path() + "a_2_2.mp4"), folder.path() + "a_2_2_2.mp4");
    const auto alsoTaken = [&](const std::string& path) { return path == folder.path() + "a_2_2_2_2.mp4"; };
    EXPECT_EQ(chooser.GetUniqueName(base, alsoTaken), folder.path() + "a_2_2_2_2_2.mp4");
    chooser.ForgetNames();
    EXPECT_EQ(chooser.GetUniqueName(base), base);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a_2.mp4"});
}

// 255 bytes here: "clip" + 123 times "_2" + ".mp4" is the longest name of the "_2" rule.
TEST(OverwriteManager, NamesStayWithinTheFolderLimit)
{
    TempFolder folder;
    const std::size_t limit = clipforge::fileNameLimit(folder.path());
    ASSERT_EQ(limit, 255u);
    TOverwriteManager chooser;
    std::string chain = "clip";
    for (int job = 0; job < 124; ++job, chain += "_2")
        EXPECT_EQ(chooser.GetUniqueName(folder.path() + "clip.mp4"), folder.path() + chain + ".mp4");
    for (const char* next : {"clip_3.mp4", "clip_4.mp4", "clip_5.mp4"})
        EXPECT_EQ(chooser.GetUniqueName(folder.path() + "clip.mp4"), folder.path() + next);
    // A name found at the limit already: the number replaces the end of the name.
    const std::string longStem(251, 's');
    folder.write(longStem + ".mp4", "");
    folder.write(longStem.substr(0, 249) + "_3.mp4", "");
    EXPECT_EQ(uniqueName(folder.path() + longStem + ".mp4"), folder.path() + longStem.substr(0, 249) + "_4.mp4");
    // A candidate too long by itself is cut to fit, never in the middle of a character.
    std::string wide = "clip";
    for (int i = 0; i < 126; ++i)
        wide += "\xC3\xA9";
    EXPECT_EQ(uniqueName(folder.path() + wide + ".mp4"), folder.path() + wide.substr(0, 250) + ".mp4");
    EXPECT_EQ(uniqueName(folder.path() + wide + "x.mp4"), folder.path() + wide.substr(0, 250) + ".mp4");
}

TEST(OverwriteManager, RefusesWhatCannotBeNamedSafely)
{
    TempFolder folder;
    EXPECT_THROW(uniqueName(folder.path() + std::string("clip.wav\0.x", 11)), clipforge::Error);
    EXPECT_THROW(uniqueName(folder.path() + "clip." + std::string(300, 'e')), clipforge::Error);
}

TEST(NameFitting, CutsAtCharacterBoundaries)
{
    EXPECT_EQ(clipforge::cutToFit("abc", 5), "abc");
    EXPECT_EQ(clipforge::cutToFit("abcdef", 3), "abc");
    EXPECT_EQ(clipforge::cutToFit("a\xC3\xA9z", 2), "a");
    EXPECT_EQ(clipforge::cutToFit("a\xC3\xA9z", 3), "a\xC3\xA9");
    EXPECT_EQ(clipforge::cutToFit("\xE2\x82\xAC", 2), "");
    EXPECT_EQ(clipforge::fileNameLimit("/nonexistent/folder/"), 255u);
}

}  // namespace
