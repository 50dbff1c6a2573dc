#pragma once

#include "BatchRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace clipforge::test {

// A program folder of its own with the given catalogue and the fake converter in the given mode, and a working folder
// for sources and lists.
class BatchFixture : public ::testing::Test {
protected:
    BatchFixture(const std::string& catalogue, const std::string& fakeConverterMode)
        : program(catalogue, fakeConverterMode)
    {
    }

    void SetUp() override { ASSERT_TRUE(program.valid()); }

    std::string file(const std::string& name) const { return work.path().toStdString() + "/" + name; }
    // Makes a source file of that name in the working folder.
    std::string touch(const std::string& name) const
    {
        writeFile(file(name), "source");
        return file(name);
    }

    ProgramFolder program;
    QTemporaryDir work;
};

}  // namespace clipforge::test
