#include "core/Errors.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"
#include "engine/ConverterCommand.h"
#include "engine/DefaultOutputFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

using clipforge::test::ScopedVariable;
using clipforge::test::TempFolder;

// A home of the test's own, so the per-user folder never lands in the real one.
class DefaultOutputFolder : public ::testing::Test {
protected:
    TempFolder home;
    TempFolder program;
    ScopedVariable homeEnv {"HOME", home.path()};
    ScopedVariable configEnv {"XDG_CONFIG_HOME", home.path() + ".config"};

    std::string userFolder() const { return home.path() + "Videos/Clipforge/"; }
};

TEST_F(DefaultOutputFolder, ConvertBelowTheProgramFolderOnlyWhileItIsAWritableFolder)
{
    struct Case {
        const char* what;
        void (*make)(const std::string& convert);
        bool programConvert;
    };
    const Case cases[] = {
        {"a writable folder", [](const std::string& c) { std::filesystem::create_directory(c); }, true},
        {"missing (an installed program folder)", [](const std::string&) {}, false},
        {"a file, not a folder", [](const std::string& c) { std::ofstream(c) << "x"; }, false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        c.make(folder.path() + "convert");
        const std::string expected = c.programConvert ? folder.path() + "convert/" : userFolder();
        EXPECT_EQ(clipforge::defaultOutputFolder(folder.path()), expected) << c.what;
        // The output-folder rule falls through to the same answer; a job's own folder still wins.
        EXPECT_EQ(clipforge::outputFolder("", "", folder.path()), expected) << c.what;
        EXPECT_EQ(clipforge::outputFolder("/out/", "", folder.path()), "/out/") << c.what;
    }
}

TEST_F(DefaultOutputFolder, AReadOnlyConvertFolderSendsOutputsToTheUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder; the install test checks this as an ordinary user";
    std::filesystem::create_directory(program.path() + "convert");
    ::chmod((program.path() + "convert").c_str(), 0555);
    EXPECT_EQ(clipforge::defaultOutputFolder(program.path()), userFolder());
}

TEST_F(DefaultOutputFolder, TheUsersOwnVideosFolderIsHonoured)
{
    std::filesystem::create_directories(home.path() + ".config");
    std::ofstream(home.path() + ".config/user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n";
    EXPECT_EQ(clipforge::userOutputFolder(), home.path() + "Filme/Clipforge/");
}

TEST_F(DefaultOutputFolder, OnlyThePerUserFolderIsCreated)
{
    clipforge::prepareOutputFolder(program.path() + "convert/");
    clipforge::prepareOutputFolder(home.path() + "elsewhere/");
    EXPECT_FALSE(std::filesystem::exists(program.path() + "convert"));
    EXPECT_FALSE(std::filesystem::exists(home.path() + "elsewhere"));

    clipforge::prepareOutputFolder(userFolder());
    EXPECT_TRUE(std::filesystem::is_directory(userFolder()));
    // Again, now that it exists: nothing to do and nothing to complain about.
    EXPECT_NO_THROW(clipforge::prepareOutputFolder(userFolder()));
}

TEST_F(DefaultOutputFolder, AFolderThatCannotBeMadeIsNamedInTheError)
{
    home.write("Videos", "a file where the videos folder should be");
    try {
        clipforge::prepareOutputFolder(userFolder());
        FAIL() << "no error";
    } catch (const clipforge::Error& error) {
        EXPECT_NE(std::string(error.what()).find("The output folder " + userFolder() + " cannot be created: "),
                  std::string::npos)
            << error.what();
    }
}

}  // namespace
