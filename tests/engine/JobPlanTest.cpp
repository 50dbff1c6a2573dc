#include "core/CommandManager.h"
#include "core/Errors.h"
#include "core/ItemNodeData.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "engine/JobPlan.h"
#include "engine/OverwriteManager.h"
#include "engine/ProfileCheck.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace {

class JobPlanTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::string program = folder.path().toStdString() + "/";
    std::unique_ptr<TCommandManager> catalogue;
    TOverwriteManager names;

    void SetUp() override
    {
        clipforge::setProgramFolderForTesting(program);
        QDir(folder.path()).mkdir("convert");
        std::ofstream(program + "command") << "<c><p><format>A</format><params>-x 1</params><ext>mp4</ext></p>"
                                              "<p><format>B</format><params></params><ext></ext></p></c>";
        catalogue = std::make_unique<TCommandManager>(program);
    }
    void TearDown() override { clipforge::setProgramFolderForTesting(""); }

    clipforge::JobPlan plan(const char* source, int format, const char* path = "",
                            const clipforge::NameTaken& taken = {})
    {
        const TItemData job{clipforge::widen(source), format, clipforge::widen(path), false, 0};
        return clipforge::planJob(job, *catalogue, names, "/c/ffmpeg", taken);
    }
};

}  // namespace

TEST_F(JobPlanTest, FoldersNamesAndTheCommandLine)
{
    const clipforge::JobPlan plain = plan("/v/holiday.avi", 0);
    EXPECT_EQ(plain.outputFolder, program + "convert/");
    EXPECT_EQ(plain.outputName, "holiday.mp4");
    EXPECT_EQ(plain.outputPath, program + "convert/holiday.mp4");
    EXPECT_EQ(plain.commandLine, "\"/c/ffmpeg\" -i \"/v/holiday.avi\" -x 1 \"" + program + "convert/holiday.mp4\"");
    EXPECT_EQ(plan("/v/clip", 1, "/out").commandLine, "\"/c/ffmpeg\" -i \"/v/clip\"  \"/outclip.\"");
}

TEST_F(JobPlanTest, NamesTakenEarlierInARunCountLikeExistingFiles)
{
    std::set<std::string> taken;
    const auto takenEarlier = [&taken](const std::string& path) { return taken.count(path) > 0; };
    std::ofstream(program + "convert/a_2.mp4") << "exists";
    std::vector<std::string> outputs;
    for (const char* source : {"/v/a.avi", "/w/a.mpg", "/x/a.mov"}) {
        outputs.push_back(plan(source, 0, "", takenEarlier).outputPath);
        taken.insert(outputs.back());
    }
    const std::string convert = program + "convert/";
    EXPECT_EQ(outputs, (std::vector<std::string>{convert + "a.mp4", convert + "a_2_2.mp4", convert + "a_2_2_2.mp4"}));
}

TEST_F(JobPlanTest, AJobTheConverterCannotTakeIsRefusedWithItsReason)
{
    const std::string withNul("/v/a\0b.avi", 11);
    const std::string nulReason = "A file name holding a NUL byte cannot be given to the converter";
    const struct {
        TItemData job;
        std::string refusal;
    } cases[] = {
        {{clipforge::widen("/v/a.avi"), -1, {}, false, 0}, "profile -1 is not in the catalogue"},
        {{clipforge::widen("/v/a.avi"), 2, {}, false, 0}, "profile 2 is not in the catalogue"},
        {{clipforge::widen("/v/a.avi"), 7, {}, false, 0}, "profile 7 is not in the catalogue"},
        {{clipforge::widen(withNul), 0, {}, false, 0}, nulReason},
        {{clipforge::widen("/v/a.avi"), 0, clipforge::widen(std::string("/out\0/", 6)), false, 0}, nulReason},
        {{clipforge::widen("/v/a.avi"), 0, {}, false, 0}, ""},
    };
    for (const auto& c : cases) {
        const clipforge::JobPlan plan = clipforge::planJob(c.job, *catalogue, names, "/c/ffmpeg");
        EXPECT_EQ(plan.refusal, c.refusal);
        EXPECT_EQ(plan.commandLine.empty(), plan.refused()) << "a refused job gets no command line";
    }
}

TEST_F(JobPlanTest, AProfileWithAnUnusableExtensionFailsItsJobsOnly)
{
    // "&#256;" reads as a NUL byte.
    const std::string unusable[] = {"wav&#256;", "x/../../escaped", "/abs", ".", ".."};
    std::string profiles = "<c><p><format>Fine</format><params>-n</params><ext>wav</ext></p>";
    for (const std::string& ext : unusable)
        profiles += "<p><format>Bad</format><params>-n</params><ext>" + ext + "</ext></p>";
    profiles += "<p><format>NulArgs</format><params>-y&#256;-n</params><ext>wav</ext></p></c>";
    std::ofstream(program + "command") << profiles;
    catalogue = std::make_unique<TCommandManager>(program);
    ASSERT_EQ(catalogue->Count(), 7);
    for (int format = 1; format <= 5; ++format) {
        const clipforge::JobPlan refused = plan("/v/clip.avi", format);
        EXPECT_EQ(refused.refusal, "profile " + std::to_string(format) + " has an unusable extension");
        EXPECT_TRUE(refused.commandLine.empty() && refused.outputPath.empty());
    }
    EXPECT_EQ(plan("/v/clip.avi", 6).refusal, "profile 6 has unusable arguments");
    // "..." and names merely holding dots stay usable.
    EXPECT_EQ(plan("/v/clip.avi", 0).outputPath, program + "convert/clip.wav");
    EXPECT_TRUE(clipforge::usableExtension("..."));
    EXPECT_TRUE(clipforge::usableExtension("tar.gz"));
    EXPECT_TRUE(clipforge::usableExtension(""));
}
