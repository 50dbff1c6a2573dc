#include "core/ItemNodeData.h"

#include <gtest/gtest.h>

#include <vector>

// A job's note must behave like the string it replaces: copies are independent, an empty text
// is no note, and moving jobs around (a list growing) keeps every note with its job.
TEST(JobNote, BehavesLikeAStringThatCostsNothingWhenEmpty)
{
    TItemNodeData failed;
    failed.FailureReason = "a.avi: No such file or directory";
    TItemNodeData copy = failed;
    copy.FailureReason = "stopped";
    EXPECT_EQ(failed.FailureReason, "a.avi: No such file or directory");
    EXPECT_EQ(copy.FailureReason, "stopped");

    copy = failed;
    EXPECT_EQ(copy.FailureReason, "a.avi: No such file or directory");
    copy.FailureReason = "";
    EXPECT_TRUE(copy.FailureReason.empty());
    EXPECT_EQ(copy.FailureReason, "");

    std::vector<TItemNodeData> jobs;
    for (int i = 0; i < 100; ++i) {
        jobs.push_back({});
        jobs.back().Progress = std::to_string(i) + "%";
    }
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(jobs[static_cast<size_t>(i)].Progress, std::to_string(i) + "%");
}
