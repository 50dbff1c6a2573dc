#include "app/QueueTimeLeft.h"

#include <gtest/gtest.h>

using clipforge::JobProgress;
using clipforge::QueueTimes;

namespace {

JobProgress running(double elapsed, std::optional<double> left)
{
    JobProgress progress;
    progress.elapsedSeconds = elapsed;
    progress.secondsLeft = left;
    return progress;
}

}  // namespace

TEST(QueueTimeLeft, TheRunningJobsAndTheAverageSoFarMakeTheQueuesTime)
{
    const struct {
        const char* what;
        QueueTimes times;
        const char* text;
    } cases[] = {
        {"nothing has given a time yet", {{running(5, std::nullopt)}, 3, 0, 0, 1}, ""},
        {"one job, alone", {{running(10, 50)}, 0, 0, 0, 1}, "about 00:00:50 left for the queue"},
        {"before any job ended, the running one's length stands for the waiting ones",
         {{running(10, 50)}, 2, 0, 0, 1}, "about 00:02:50 left for the queue"},
        {"the ended jobs' average counts once there is one",
         {{running(10, 50)}, 2, 4, 400, 1}, "about 00:04:10 left for the queue"},
        {"two at once share the work", {{running(0, 30), running(0, 30)}, 2, 2, 120, 2},
         "about 00:01:30 left for the queue"},
        {"never less than the longest running job", {{running(0, 600), running(0, 10)}, 0, 1, 20, 2},
         "about 00:10:00 left for the queue"},
        {"a job of unknown length lasts as long as the others",
         {{running(100, std::nullopt)}, 0, 1, 400, 1}, "about 00:05:00 left for the queue"},
        {"more workers than jobs left", {{running(0, 40)}, 0, 3, 30, 4}, "about 00:00:40 left for the queue"},
        {"only waiting jobs, between two of them", {{}, 3, 1, 3600, 1}, "about 03:00:00 left for the queue"},
        {"parts of seconds round up", {{running(0, 0.2)}, 0, 0, 0, 1}, "about 00:00:01 left for the queue"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(clipforge::queueTimeText(test.times).toStdString(), test.text) << test.what;
}
