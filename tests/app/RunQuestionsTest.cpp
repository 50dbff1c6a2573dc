#include "AppFixture.h"

#include "app/UIHook.h"
#include "controls/ImageButton.h"
#include "core/TreeManager.h"
#include "engine/Command.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString convertAgainQuestion = QStringLiteral("3 jobs have already been converted. Convert them again?");
const QString quitQuestion = QStringLiteral("A conversion is running. Stop it and quit?");

QStringList outputs(AppFixture& app)
{
    return QDir(app.programFolder() + QStringLiteral("convert")).entryList(QDir::Files, QDir::Name);
}

bool runEnded(AppFixture& app)
{
    return !app.hook().Command()->ListLocked();
}

// Three jobs converted by a first run, and a fourth added since.
void convertThreeThenAddOne(AppFixture& app)
{
    app.addJobs(generatedClips(), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty() && runEnded(app); }));
    app.dialogs.messages.clear();
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
}

struct FinishedJobsCase {
    const char* name;
    int answer;  // -1: Escape
    int converted;
    QString counter;
};

class FinishedJobsOnConvert : public ::testing::TestWithParam<FinishedJobsCase> {};

TEST_P(FinishedJobsOnConvert, AreSkippedOrConvertedAsTheAnswerSays)
{
    const FinishedJobsCase& row = GetParam();
    AppFixture app(AppFixture::Converter::Succeeding);
    convertThreeThenAddOne(app);
    ASSERT_EQ(outputs(app).size(), 3);
    const QStringList before = outputs(app);
    const QString counterBefore = app.window().lbCount->text();
    app.dialogs.choiceAnswers.push_back(row.answer);
    click(app.window().btnConvert);
    ASSERT_EQ(app.dialogs.questions, std::vector<QString> {convertAgainQuestion});
    EXPECT_EQ(app.dialogs.choiceAnswerTexts.back(),
              (QStringList {QStringLiteral("Skip them"), QStringLiteral("Convert again")}));
    if (row.converted == 0) {
        EXPECT_TRUE(runEnded(app));
        EXPECT_EQ(app.window().lbCount->text(), counterBefore);
        EXPECT_EQ(outputs(app), before);
        return;
    }
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty() && runEnded(app); }));
    EXPECT_EQ(outputs(app).size(), 3 + row.converted);
    EXPECT_EQ(app.window().lbCount->text(), row.counter);
    EXPECT_EQ(app.dialogs.messages.back().text, QStringLiteral("Congratulations, works done!"));
    for (int job = 0; job < 4; ++job)
        EXPECT_EQ(app.hook().TreeManager()->Job(job).State, 2) << job;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FinishedJobsOnConvert,
    ::testing::Values(FinishedJobsCase {"SkipThem", 0, 1, QStringLiteral("4 files, finished 1 of 1")},
                      FinishedJobsCase {"ConvertAgain", 1, 4, QStringLiteral("4 files, finished 4 of 4")},
                      FinishedJobsCase {"Escape", -1, 0, QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FinishedJobsOnConvert, SkippingEveryJobStartsNoRunAndShowsNoEnd)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    app.addJobs(generatedClips(), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty() && runEnded(app); }));
    app.dialogs.messages.clear();
    app.dialogs.choiceAnswers.push_back(0);
    click(app.window().btnConvert);
    EXPECT_EQ(app.dialogs.questions, std::vector<QString> {convertAgainQuestion});
    EXPECT_TRUE(runEnded(app));
    EXPECT_TRUE(app.window().btnConvert->Enabled());
    keepRunningFor(50);
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_EQ(outputs(app).size(), 3);
}

TEST(FinishedJobsOnConvert, WithoutFinishedJobsNothingIsAsked)
{
    AppFixture app(AppFixture::Converter::Failing);
    app.addJobs(generatedClips().mid(0, 2), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty() && runEnded(app); }));
    click(app.window().btnConvert);
    EXPECT_TRUE(app.dialogs.questions.empty());
    ASSERT_TRUE(waitFor([&] { return app.dialogs.messages.size() == 2u && runEnded(app); }));
}

struct CloseCase {
    const char* name;
    bool quit;
    bool runEndsWhileAsking;
    bool windowCloses;
    size_t messages;  // the end's message box, when the window stays
};

class ClosingDuringARun : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosingDuringARun, AsksFirstAndTheAnswerHolds)
{
    const CloseCase& row = GetParam();
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1; }));
    app.dialogs.questionAnswers.push_back(row.quit);
    if (row.runEndsWhileAsking) {
        app.dialogs.whileAsking = [&] {
            app.hook().btnStopClick();
            waitFor([&] { return runEnded(app); });
        };
    }
    app.window().close();
    EXPECT_EQ(app.dialogs.questions, std::vector<QString> {quitQuestion});
    if (row.windowCloses) {
        ASSERT_TRUE(waitFor([&] { return !app.window().isVisible(); }));
        EXPECT_EQ(jobs.Job(0).State, 3);
    } else {
        EXPECT_TRUE(app.window().isVisible());
        EXPECT_EQ(runEnded(app), row.runEndsWhileAsking) << "a run the answer keeps goes on";
    }
    EXPECT_EQ(app.dialogs.messages.size(), row.messages);
    if (!runEnded(app))
        app.hook().btnStopClick();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClosingDuringARun,
    ::testing::Values(CloseCase {"Yes", true, false, true, 0}, CloseCase {"NoOrEscape", false, false, false, 0},
                      CloseCase {"YesAfterTheRunEnded", true, true, true, 0},
                      CloseCase {"NoAfterTheRunEnded", false, true, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClosingDuringARun, FromOutsideStopsAndQuitsWithoutAsking)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
    EXPECT_FALSE(app.hook().readyToClose(TUIHook::CloseQuestion::DontAsk));
    ASSERT_TRUE(waitFor([&] { return !app.window().isVisible(); }));
    EXPECT_TRUE(app.dialogs.questions.empty());
    EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST(ClosingDuringARun, ASignalWhileTheQuestionIsOpenStopsAndQuitsWhateverTheAnswer)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
    app.dialogs.questionAnswers.push_back(false);
    app.dialogs.whileAsking = [&] { app.hook().readyToClose(TUIHook::CloseQuestion::DontAsk); };
    EXPECT_FALSE(app.window().close());
    ASSERT_TRUE(waitFor([&] { return !app.window().isVisible(); }));
    EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST(ClosingWhileIdle, AsksNothing)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    EXPECT_TRUE(app.window().close());
    EXPECT_TRUE(app.dialogs.questions.empty());
}

}  // namespace
