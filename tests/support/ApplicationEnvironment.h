#pragma once

#include "support/ScopedConfigFolder.h"
#include "support/ScopedVariable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace clipforge::test {

// The one application object of a test program, made before the first test and gone after the
// last, so every suite of the program shares it. Whatever the tests remember goes to a
// configuration folder of the run's own.
template <typename Application>
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        configuration_ = std::make_unique<ScopedConfigFolder>();
        application_ = std::make_unique<Application>(argc_, argv_);
    }
    void TearDown() override
    {
        application_.reset();
        configuration_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "clipforge_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<ScopedConfigFolder> configuration_;
    std::unique_ptr<Application> application_;
};

template <typename Application>
int runTests(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The stand-in converter leaves markers beside its sources and plays other processes taking
    // an output's name; confined converters may do that in the temporary folder, where every
    // test's files are. Tests of the confinement itself unset this.
    const ScopedVariable writable("CLIPFORGE_TEST_WRITABLE_FOLDER", std::filesystem::temp_directory_path().string());
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment<Application>);
    return RUN_ALL_TESTS();
}

}  // namespace clipforge::test
