// A hostile profile or plan line cannot have the converter write outside its job's private folder:
// its arguments are refused before the converter starts, and what gets past that list is stopped
// by the confinement.
#include "BatchFixture.h"
#include "engine/ConverterConfinement.h"
#include "support/ScopedConfigFolder.h"
#include "support/ScopedVariable.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<commands><profile><format>WAV</format><params>-n -vn -c:a pcm_s16le</params>"
                              "<ext>wav</ext></profile></commands>";
const std::string NoNotice = "the converter cannot be confined here";
constexpr int FirstUserId = 1048576;

class WritesElsewhereTest : public BatchFixture {
protected:
    WritesElsewhereTest() : BatchFixture(Catalogue, std::nullopt) {}

    void SetUp() override
    {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
            GTEST_SKIP() << "ffmpeg is needed";
        BatchFixture::SetUp();
        QDir().mkpath(config.path() + "/clipforge");
        writeFile(victim(), "precious");
        const BatchResult made =
            runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=1:size=160x120:rate=10", "-f",
                                  "lavfi", "-i", "sine=duration=1", "-c:v", "mpeg4", "-c:a", "mp2", "-shortest",
                                  file("clip.mkv")});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    std::string victim() const { return outside.path() + "victim.mp3"; }
    // One user profile per set of arguments, numbered from FirstUserId.
    void userProfiles(const std::vector<std::string>& params) const
    {
        std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<commands>\n";
        for (std::size_t i = 0; i < params.size(); ++i)
            text += "<profile><id>" + std::to_string(FirstUserId + static_cast<int>(i)) + "</id><format>P" +
                    std::to_string(i) + "</format><params>" + params[i] + "</params><ext>wav</ext></profile>\n";
        writeFile(config.path().toStdString() + "/clipforge/profiles", text + "</commands>\n");
    }
    void expectOutsideUntouched(const std::string& why) const
    {
        EXPECT_EQ(readFile(victim()), "precious") << why;
        EXPECT_EQ(outside.entries(), std::vector<std::string>{"victim.mp3"}) << why;
        QStringList here = QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        here.removeAll("q.kxl");
        EXPECT_EQ(here, QStringList{"clip.mkv"}) << why;
    }

    ScopedConfigFolder config;
    TempFolder outside;
};

}  // namespace

TEST_F(WritesElsewhereTest, ArgumentsThatWriteElsewhereFailTheirJobsBeforeTheConverterStarts)
{
    struct Case {
        std::string params;
        std::string argument;  // as the reason names it
    };
    const std::string there = outside.path();
    const Case cases[] = {
        {"-y -map 0:a:0 -vn " + victim(), "-y"},
        {"-n -map 0:a:0 -vn " + victim(), victim()},
        {"-n -vstats_file " + there + "vstats.log", "-vstats_file"},
        {"-n -passlogfile " + there + "pass -pass 1", "-passlogfile"},
        {"-n -progress " + there + "progress.txt", "-progress"},
        {"-n -report", "-report"},
        {"-n -map 0:a -f tee", "-f tee"},
        {"-n -af ametadata=mode=print:file=" + there + "meta.txt", "-af ametadata=mode=print:file=" + there + "meta.txt"},
    };
    std::vector<std::string> params;
    for (const Case& c : cases)
        params.push_back(c.params);
    userProfiles(params);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string id = std::to_string(FirstUserId + static_cast<int>(i));
        std::filesystem::remove(file("q.kxl"));
        ASSERT_EQ(runBatch(program, {"make", file("q.kxl"), "--profile", id, file("clip.mkv")}).exitCode, 0);
        const BatchResult listed = runBatch(program, {"convert", file("q.kxl")}, outside.path());
        EXPECT_EQ(listed.exitCode, 1) << c.params;
        EXPECT_NE(listed.err.find("job 0: profile " + id + " has unusable arguments: " + c.argument + "\n"),
                  std::string::npos)
            << listed.err;
        expectOutsideUntouched("profile " + c.params);

        const BatchResult line = runBatch(program, {"job", "--source", file("clip.mkv"), "--params", c.params, "--ext",
                                                    "wav", "--folder", program.path("convert/"), "--name", "x.wav"},
                                          outside.path());
        EXPECT_EQ(line.exitCode, 1) << c.params;
        EXPECT_NE(line.err.find(" has unusable arguments: " + c.argument + "\n"), std::string::npos) << line.err;
        expectOutsideUntouched("--params " + c.params);
    }
    EXPECT_EQ(outputFolder(), std::vector<std::string>{});
}

TEST_F(WritesElsewhereTest, WhatGetsPastTheListIsStoppedByTheConfinement)
{
    const ScopedVariable noAllowance("CLIPFORGE_TEST_WRITABLE_FOLDER", std::nullopt);
    // The signature filter writes where its "filename=" says; the converter goes on when it cannot.
    userProfiles({"-n -map 0:v -vf signature=filename=" + outside.path() + "sig.txt -c:v mpeg4"});
    ASSERT_EQ(runBatch(program, {"make", file("q.kxl"), "--profile", std::to_string(FirstUserId), file("clip.mkv")}).exitCode, 0);
    const BatchResult run = runBatch(program, {"convert", file("q.kxl")}, outside.path());
    if (clipforge::landlockAbi() == 0) {
        EXPECT_NE(run.confinementNotice.find(NoNotice + " (Landlock is not available)"), std::string::npos);
        GTEST_SKIP() << "this kernel has no Landlock: the run said so, and nothing else keeps a converter in";
    }
    // Whether the converter then fails the job with its own reason or goes on without that file
    // is its own affair; either way nothing outside changes.
    EXPECT_EQ(run.confinementNotice, "") << run.err;
    expectOutsideUntouched(run.err);
}

namespace {

class ConfinedFakeConverterTest : public BatchFixture {
protected:
    ConfinedFakeConverterTest()
        : BatchFixture("<commands><profile><format>Fake</format><params>-n</params><ext>out</ext></profile></commands>", "")
    {
    }
};

}  // namespace

TEST_F(ConfinedFakeConverterTest, ARefusedWriteFailsTheJobWithTheConvertersOwnReason)
{
    if (clipforge::landlockAbi() == 0)
        GTEST_SKIP() << "this kernel has no Landlock: converters run unconfined here";
    const ScopedVariable noAllowance("CLIPFORGE_TEST_WRITABLE_FOLDER", std::nullopt);
    const BatchResult run = runBatch(program, {"convert", listOf({"escape.avi", "fine.avi"})});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("job 0: " + file("escape.avi") + ".escaped: Permission denied"), std::string::npos)
        << run.err;
    EXPECT_FALSE(exists(file("escape.avi") + ".escaped"));
    EXPECT_EQ(outputFolder(), std::vector<std::string>{"fine.out"});
}
