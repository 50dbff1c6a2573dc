#include "LiveStatus.h"

#include <gtest/gtest.h>

#include <sstream>

using clipforge::JobProgress;
using clipforge::LiveStatus;
using clipforge::liveStatusText;

TEST(LiveStatus, NamesEveryRunningJobWithWhatIsKnownOfIt)
{
    EXPECT_EQ(liveStatusText({}, 0, 3), "0 of 3 done");
    EXPECT_EQ(liveStatusText({{3, JobProgress{20, 9, 2.5, 3.6, 45, 4.4}}, {4, JobProgress{{}, 1, 1.94, 3.2, {}, {}}},
                              {5, JobProgress{20, {}, {}, 0.2, 0, {}}}},
                             2, 30),
              "2 of 30 done | job 3: 45% 2.5x 00:00:05 left | job 4: 00:00:03 elapsed 1.94x | job 5: 0%");
}

TEST(LiveStatus, RewritesItsLineInPlaceWithinTheTerminalWidth)
{
    std::ostringstream out;
    LiveStatus status(out, 12);
    status.show("1 of 3 done | job 1: 10%");
    EXPECT_EQ(out.str(), "\r1 of 3 done");
    status.show("2 of 3");
    EXPECT_EQ(out.str(), "\r1 of 3 done\r2 of 3     \r2 of 3") << "the longer text before is blanked";
    out.str("");
    status.clear();
    EXPECT_EQ(out.str(), "\r      \r");
    out.str("");
    status.clear();
    EXPECT_EQ(out.str(), "") << "nothing shown, nothing to clear";
}
