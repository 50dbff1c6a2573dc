// Where a finished job's output went, as its hint says.
#include "core/ItemManager.h"
#include "core/SizeText.h"
#include "core/TreeManager.h"

#include <gtest/gtest.h>

TEST(SizeText, DecimalUnitsWithOneDecimal)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"},          {1, "1 byte"},          {999, "999 bytes"},
        {1000, "1.0 kB"},        {1049, "1.0 kB"},       {1050, "1.1 kB"},
        {12'400'000, "12.4 MB"}, {999'949, "999.9 kB"},  {999'950, "1.0 MB"},
        {1'500'000'000, "1.5 GB"}, {2'000'000'000'000, "2.0 TB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(clipforge::sizeText(bytes), text) << bytes;
}

TEST(JobOutput, OnlyAFinishedJobsHintSaysWhereItsOutputWent)
{
    const std::vector<std::string> profiles{"AVI"};
    TItemManager staging;
    TTreeManager tree{profiles, staging};
    tree.AppendJobs({{QStringLiteral("/v/a.avi"), 0, QString(), false, 0}});
    struct Case {
        TJobState state;
        const char* output;
        std::int64_t size;
        const char* lastLine;
    };
    const Case cases[] = {
        {jsFinished, "/out/a_2.mp4", 12'400'000, "[output]: /out/a_2.mp4 (12.4 MB)"},
        {jsFinished, "/out/with %1 and\xc3\xa9.mkv", 5, "[output]: /out/with %1 and\xc3\xa9.mkv (5 bytes)"},
        {jsFinished, "", 0, "[path]: "},
        {jsWaiting, "/out/a.mp4", 10, "[path]: "},
    };
    for (const Case& c : cases) {
        tree.SetState(0, c.state);
        tree.SetOutput(0, c.output, c.size);
        EXPECT_EQ(tree.Hint(0).split(QLatin1Char('\n')).last(), QString::fromUtf8(c.lastLine)) << c.output;
    }
    // A job converted again has no output until it finishes again.
    tree.SetState(0, jsFinished);
    tree.SetOutput(0, "/out/a.mp4", 10);
    tree.SetState(0, jsConverting);
    tree.SetState(0, jsFinished);
    EXPECT_EQ(tree.Hint(0).split(QLatin1Char('\n')).size(), 3);
}
