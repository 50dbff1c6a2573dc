#pragma once

#include "BatchRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace clipforge::test {

// A program folder of its own with the given catalogue and the fake converter in the given mode, and a working folder
// for sources and lists.
class BatchFixture : public ::testing::Test {
protected:
    // One profile, "-q" to .out, and the fake converter playing what each source's name asks.
    BatchFixture()
        : BatchFixture("<commands><profile><format>Fake</format><params>-q</params><ext>out</ext></profile></commands>", "")
    {
    }
    // No mode: the system's converter.
    BatchFixture(const std::string& catalogue, std::optional<std::string> fakeConverterMode)
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
    // Makes the sources and a list of them all with one profile; returns the list's path.
    std::string listOf(const std::vector<std::string>& names, const std::string& list = "q.kxl", int profile = 0)
    {
        std::vector<std::string> arguments{"make", file(list), "--profile", std::to_string(profile)};
        for (const std::string& name : names)
            arguments.push_back(touch(name));
        EXPECT_EQ(runBatch(program, arguments).exitCode, 0);
        return file(list);
    }
    // Everything in the output folder, hidden entries too, sorted.
    std::vector<std::string> outputFolder() const
    {
        const QDir folder(QString::fromStdString(program.path("convert")));
        std::vector<std::string> names;
        for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            names.push_back(name.toStdString());
        std::sort(names.begin(), names.end());
        return names;
    }

    ProgramFolder program;
    QTemporaryDir work;
};

}  // namespace clipforge::test
