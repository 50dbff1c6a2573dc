// What the dialogs remember between runs, the way back to the default folder, and dialogs that
// fit on small screens.
#include "BothJobDialogs.h"
#include "ScriptedDialogs.h"

#include "controls/FlatEdit.h"
#include "controls/LinePanel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"
#include "dialogs/AddDlg.h"
#include "dialogs/BrowseFolder.h"
#include "dialogs/DefaultFolderLink.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/ItemDlg.h"
#include "dialogs/ScreenFit.h"
#include "dialogs/UserSettings.h"
#include "support/Files.h"
#include "support/ScopedConfigFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using clipforge::UserSettings;
using Dialog = clipforge::UserSettings::FileDialog;

namespace {

const std::vector<std::string> profiles = {"AVI video", "MP4 video", "WebM video"};

}  // namespace

TEST(UserSettings, FoldersAndTheLastChoiceComeBackFromTheConfigurationFolderWhileTheyExist)
{
    clipforge::test::ScopedConfigFolder configuration;
    QTemporaryDir work;
    const QString videos = work.filePath(QStringLiteral("videos"));
    QDir().mkpath(videos);
    UserSettings::rememberFolderOf(Dialog::AddFiles, videos + QStringLiteral("/clip.avi"));
    UserSettings::rememberFolder(Dialog::SaveDirectory, videos);
    UserSettings::rememberFolder(Dialog::SaveDirectory, QString());  // a cancelled browse forgets nothing
    UserSettings::rememberOutputFolder(videos + QLatin1Char('/'));
    EXPECT_EQ(UserSettings::filePath(), configuration.path() + QStringLiteral("/clipforge/clipforge.conf"));
    EXPECT_EQ(UserSettings::lastFolder(Dialog::AddFiles), videos);
    EXPECT_EQ(UserSettings::lastFolder(Dialog::SaveDirectory), videos);
    EXPECT_EQ(UserSettings::lastFolder(Dialog::ExportList), QString());
    EXPECT_EQ(UserSettings::lastOutputFolder(), videos + QLatin1Char('/'));
    QDir(videos).removeRecursively();
    EXPECT_EQ(UserSettings::lastFolder(Dialog::AddFiles), QString()) << "a folder that has gone is not offered";
    EXPECT_EQ(UserSettings::lastOutputFolder(), QString());

    struct Case {
        int position;
        const char* name;
        QStringList catalogue;
        int offered;
    };
    const QString avi = QStringLiteral("AVI"), mp4 = QStringLiteral("MP4");
    const Case cases[] = {
        {1, "MP4", {avi, mp4}, 1}, {1, "MP4", {QStringLiteral("MKV"), avi, mp4}, 2} /* moved */,
        {1, "MP4", {avi}, -1} /* gone */, {1, "AVI", {avi, avi}, 1} /* the same name twice */,
    };
    for (const Case& c : cases) {
        UserSettings::rememberProfile(c.position, QString::fromLatin1(c.name));
        EXPECT_EQ(UserSettings::lastProfile(c.catalogue), c.offered) << c.name << " at " << c.position;
    }
}

TEST(UserSettings, ConversionsAtOnceAreAWholeNumberFromOne)
{
    clipforge::test::ScopedConfigFolder configuration;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(UserSettings::filePath()).absolutePath()));
    const struct {
        const char* stored;
        int read;
    } cases[] = {{nullptr, 1}, {"3", 3}, {"1", 1}, {"0", 1}, {"-2", 1}, {"two", 1}, {"2.5", 1}};
    for (const auto& c : cases) {
        QFile::remove(UserSettings::filePath());
        if (c.stored)
            clipforge::test::writeFile(UserSettings::filePath().toStdString(),
                                       std::string("[convert]\njobsAtOnce=") + c.stored + "\n");
        EXPECT_EQ(UserSettings::jobsAtOnce(), c.read) << (c.stored ? c.stored : "nothing");
    }
    UserSettings::rememberJobsAtOnce(4);
    EXPECT_EQ(UserSettings::jobsAtOnce(), 4);
}

// A settings file that is a FIFO would block the window for good at the first question; it is
// left alone, nothing is remembered, and a link leads to the settings wherever they are.
TEST(UserSettings, AFifoForASettingsFileIsLeftAloneAndALinkIsFollowed)
{
    clipforge::test::ScopedConfigFolder configuration;
    QTemporaryDir work;
    const std::string file = UserSettings::filePath().toStdString();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(UserSettings::filePath()).absolutePath()));
    ASSERT_TRUE(clipforge::test::makeFifo(file));
    UserSettings::rememberOutputFolder(work.path());
    EXPECT_EQ(UserSettings::lastOutputFolder(), QString());
    EXPECT_EQ(UserSettings::lastProfile({"A"}), -1);
    EXPECT_EQ(UserSettings::outputCheck(), QStringLiteral("streams"));
    EXPECT_EQ(UserSettings::jobsAtOnce(), 1);

    ASSERT_TRUE(QFile::remove(UserSettings::filePath()));
    const QString target = work.filePath(QStringLiteral("kept.conf"));
    clipforge::test::writeFile(target.toStdString(), "");
    ASSERT_TRUE(QFile::link(target, UserSettings::filePath()));
    UserSettings::rememberOutputFolder(work.path());
    EXPECT_EQ(UserSettings::lastOutputFolder(), work.path());
    EXPECT_TRUE(QFileInfo(UserSettings::filePath()).isSymLink()) << "the link stays";
    EXPECT_NE(clipforge::test::readFile(target.toStdString()).find("outputFolder"), std::string::npos);
}

TEST(UserSettings, UseDefaultFolderEmptiesTheFieldByMouseAndByKeyboardInBothDialogs)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    forBothDialogs(profiles, [&](clipforge::JobDialogForm& dialog) {
        clipforge::JobDialogForm* form = &dialog;
        const std::string name = form->windowTitle().toStdString();
        for (const char* line : {"file count: 1", "format: AVI video", "save to: use global path"})
            form->appendLine(QString::fromLatin1(line));
        clipforge::DefaultFolderLink& link = *form->lbDefaultFolder;
        EXPECT_FALSE(link.isEnabled()) << name << ": nothing to go back from";
        const QString out = QDir::tempPath();
        dialogs.directoryAnswers = {out, out};
        QTest::mouseClick(form->btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        EXPECT_EQ(form->etDirectory->text(), QString()) << name;
        EXPECT_EQ(form->lines()[2], QStringLiteral("save to: use global path")) << name;

        QTest::mouseClick(form->btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
        ASSERT_TRUE(clipforge::test::giveKeyboard(*form));
        form->btDirectory->setFocus();
        QTest::keyClick(form->btDirectory, Qt::Key_Tab);
        ASSERT_TRUE(link.hasFocus()) << name << ": Tab reaches the link after the folder field and its button";
        QTest::keyClick(&link, Qt::Key_Space);
        QTest::mouseClick(form->btnOk, Qt::LeftButton, {}, form->btnOk->rect().center());
        EXPECT_TRUE(form->Confirmed && form->etDirectory->text().isEmpty()) << name;
        EXPECT_EQ(dialogs.startFolders.back(), out) << name << ": an empty field opens the browser where it was last";
    });
}

TEST(DialogFit, OkAndCancelStayInsideTheScreenAndTheListsGiveUpHeight)
{
    clipforge::setMainWindow(nullptr);
    constexpr int top = clipforge::FrameAllowance().top;
    struct Case {
        const char* screen;
        QRect area;
        int fileList;
        int information;
        int dialogTop;  // -1: not checked
    };
    const Case cases[] = {
        {"1280x800", {0, 0, 1280, 800}, 129, 177, -1},
        {"1280x800 at 150%", {0, 0, 853, 533}, 80, 172, -1},
        {"a panel on top", {0, 40, 853, 493}, 80, 132, -1},
        {"800x600 at 150%", {0, 0, 533, 400}, 59, 60, top},
        {"too small for any dialog: the title bar stays reachable", {0, 0, 400, 300}, 45, 60, top},
    };
    for (const Case& c : cases) {
        TaddDlg dialog(profiles);
        clipforge::fitToArea(dialog, {{dialog.LinePanel1, 80}, {dialog.LinePanel2, 60}, {dialog.LinePanel1, 45}}, c.area);
        EXPECT_EQ(dialog.LinePanel1->height(), c.fileList) << c.screen;
        EXPECT_EQ(dialog.LinePanel2->height(), c.information) << c.screen;
        EXPECT_EQ(dialog.height(), 547 - (129 - c.fileList) - (177 - c.information)) << c.screen;
        EXPECT_EQ(dialog.btnOk->geometry().bottom() + 10, dialog.height() - 1) << c.screen << ": OK keeps its margin";
        if (c.dialogTop >= 0)
            EXPECT_EQ(dialog.y(), c.dialogTop) << c.screen;
        else
            EXPECT_TRUE(c.area.contains(dialog.btnCancel->geometry().translated(dialog.pos()))) << c.screen;
    }
}
