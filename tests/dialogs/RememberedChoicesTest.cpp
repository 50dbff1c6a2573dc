// What the dialogs remember between runs, the way back to the default folder, and dialogs that
// fit on small screens.
#include "ScriptedDialogs.h"

#include "controls/FlatEdit.h"
#include "controls/LinePanel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"
#include "dialogs/AddDlg.h"
#include "dialogs/BrowseFolder.h"
#include "dialogs/DefaultFolderLink.h"
#include "dialogs/ItemDlg.h"
#include "dialogs/MainWindow.h"
#include "dialogs/ScreenFit.h"
#include "dialogs/UserSettings.h"
#include "support/ScopedConfigFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using clipforge::UserSettings;
using Dialog = clipforge::UserSettings::FileDialog;

namespace {

const std::vector<std::string> profiles = {"AVI video", "MP4 video", "WebM video"};

class Remembered : public ::testing::Test {
protected:
    QString makeFolder(const char* name)
    {
        const QString path = work.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }

    clipforge::test::ScopedConfigFolder configuration;
    QTemporaryDir work;
};

}  // namespace

TEST_F(Remembered, EachFileDialogKeepsItsOwnFolderInTheConfigurationFolder)
{
    const QString videos = makeFolder("videos");
    const QString lists = makeFolder("lists");
    UserSettings::rememberFolderOf(Dialog::AddFiles, videos + QStringLiteral("/clip.avi"));
    UserSettings::rememberFolderOf(Dialog::ImportList, lists + QStringLiteral("/queue.kxl"));
    UserSettings::rememberFolder(Dialog::SaveDirectory, videos);
    UserSettings::rememberFolder(Dialog::SaveDirectory, QString());  // a cancelled browse forgets nothing

    EXPECT_EQ(UserSettings::lastFolder(Dialog::AddFiles), videos);
    EXPECT_EQ(UserSettings::lastFolder(Dialog::ImportList), lists);
    EXPECT_EQ(UserSettings::lastFolder(Dialog::ExportList), QString());
    EXPECT_EQ(UserSettings::lastFolder(Dialog::SaveDirectory), videos);
    EXPECT_EQ(UserSettings::filePath(), configuration.path() + QStringLiteral("/clipforge/clipforge.conf"));
    EXPECT_TRUE(QFileInfo::exists(UserSettings::filePath()));

    QDir(lists).removeRecursively();
    EXPECT_EQ(UserSettings::lastFolder(Dialog::ImportList), QString()) << "a folder that has gone is not offered";
}

TEST_F(Remembered, TheLastProfileIsFoundByPositionAndName)
{
    const QStringList catalogue = {QStringLiteral("AVI"), QStringLiteral("MP4"), QStringLiteral("WebM")};
    struct Case {
        int position;
        const char* name;
        QStringList names;
        int expected;
    };
    const Case cases[] = {
        {1, "MP4", catalogue, 1},
        {1, "MP4", {QStringLiteral("MKV"), QStringLiteral("AVI"), QStringLiteral("MP4")}, 2},  // moved
        {1, "MP4", {QStringLiteral("AVI")}, -1},                                               // gone
        {0, "AVI", {QStringLiteral("AVI"), QStringLiteral("AVI")}, 0},                         // same name twice
        {1, "AVI", {QStringLiteral("AVI"), QStringLiteral("AVI")}, 1},
    };
    EXPECT_EQ(UserSettings::lastProfile(catalogue), -1) << "nothing remembered yet";
    for (const Case& c : cases) {
        UserSettings::rememberProfile(c.position, QString::fromLatin1(c.name));
        EXPECT_EQ(UserSettings::lastProfile(c.names), c.expected) << c.name << " at " << c.position;
    }
}

TEST_F(Remembered, TheOutputFolderIsKeptUntilItGoes)
{
    const QString out = makeFolder("out") + QLatin1Char('/');
    UserSettings::rememberOutputFolder(out);
    EXPECT_EQ(UserSettings::lastOutputFolder(), out);
    UserSettings::rememberOutputFolder(QString());
    EXPECT_EQ(UserSettings::lastOutputFolder(), QString()) << "the default folder is remembered as such";
    UserSettings::rememberOutputFolder(out);
    QDir(out).removeRecursively();
    EXPECT_EQ(UserSettings::lastOutputFolder(), QString());
}

TEST_F(Remembered, TheFolderBrowserOpensAtTheFieldsFolderOrTheLastOneChosen)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    const QString first = makeFolder("first");
    dialogs.directoryAnswers = {first, QString(), QString()};
    EXPECT_EQ(clipforge::BrowseForFolder(nullptr, QStringLiteral("Save Directory")), first);
    clipforge::BrowseForFolder(nullptr, QStringLiteral("Save Directory"));
    clipforge::BrowseForFolder(nullptr, QStringLiteral("Save Directory"), QStringLiteral("/job/folder/"));
    EXPECT_EQ(dialogs.startFolders, (std::vector<QString> {QString(), first, QStringLiteral("/job/folder/")}));
}

namespace {

using Make = std::function<std::unique_ptr<clipforge::JobDialogForm>()>;

const std::pair<const char*, Make> bothDialogs[] = {
    {"Add Files", [] { return std::make_unique<TaddDlg>(profiles); }},
    {"Item Property", [] { return std::make_unique<TItemDlg>(profiles); }},
};

void browse(ScriptedDialogs& dialogs, clipforge::JobDialogForm& form, const QString& folder)
{
    dialogs.directoryAnswers.push_back(folder);
    QTest::mouseClick(form.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
}

}  // namespace

TEST_F(Remembered, UseDefaultFolderEmptiesTheFieldByMouseAndByKeyboard)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    const QString out = makeFolder("out");
    for (const auto& [name, make] : bothDialogs) {
        const auto form = make();
        form->appendLine(QStringLiteral("file count: 1"));
        form->appendLine(QStringLiteral("format: AVI video"));
        form->appendLine(QStringLiteral("save to: use global path"));
        form->show();
        clipforge::DefaultFolderLink& link = *form->lbDefaultFolder;
        EXPECT_EQ(link.text(), QStringLiteral("use default folder")) << name;
        EXPECT_FALSE(link.isEnabled()) << name << ": nothing to go back from";
        EXPECT_LE(link.geometry().bottom(), form->Label1->geometry().top()) << name;

        browse(dialogs, *form, out);
        ASSERT_TRUE(link.isEnabled()) << name;
        QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
        EXPECT_EQ(form->etDirectory->text(), QString()) << name;
        EXPECT_FALSE(link.isEnabled()) << name;
        if (dynamic_cast<TaddDlg*>(form.get())) {
            EXPECT_EQ(form->lines()[2], QStringLiteral("save to: use global path")) << name;
        }

        browse(dialogs, *form, out);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->etDirectory->setFocus();
        QTest::keyClick(form->etDirectory, Qt::Key_Tab);
        ASSERT_TRUE(link.hasFocus()) << name << ": Tab reaches the link after the folder field";
        QTest::keyClick(&link, Qt::Key_Space);
        EXPECT_EQ(form->etDirectory->text(), QString()) << name;
    }
}

TEST_F(Remembered, ConfirmingAfterUseDefaultFolderGivesTheDefaultFolder)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    TItemDlg dialog(profiles);
    dialog.etDirectory->setText(QStringLiteral("/was/here/"));
    dialog.show();
    QTest::mouseClick(dialog.lbDefaultFolder, Qt::LeftButton, {}, dialog.lbDefaultFolder->rect().center());
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton, {}, dialog.btnOk->rect().center());
    EXPECT_TRUE(dialog.Confirmed);
    EXPECT_EQ(dialog.etDirectory->text(), QString());
}

namespace {

struct Fitted {
    int givenUp;
    QRect geometry;
    QRect ok;
    QRect cancel;
    int fileList;
    int information;
};

Fitted fitIn(const QRect& area)
{
    TaddDlg dialog(profiles);
    const int givenUp = clipforge::fitToArea(
        dialog, {{dialog.LinePanel1, 80}, {dialog.LinePanel2, 60}, {dialog.LinePanel1, 45}}, area);
    return {givenUp, dialog.geometry(), dialog.btnOk->geometry().translated(dialog.pos()),
            dialog.btnCancel->geometry().translated(dialog.pos()), dialog.LinePanel1->height(),
            dialog.LinePanel2->height()};
}

}  // namespace

TEST(DialogFit, OkAndCancelStayInsideTheScreenAndTheListsGiveUpHeight)
{
    clipforge::setMainWindow(nullptr);
    struct Case {
        const char* screen;
        QRect area;
        int givenUp;
        int fileList;
        int information;
    };
    const Case cases[] = {
        {"1280x800", {0, 0, 1280, 800}, 0, 129, 177},
        {"1280x800 at 150%", {0, 0, 853, 533}, 54, 80, 172},
        {"a panel on top", {0, 40, 853, 493}, 94, 80, 132},
        {"800x600 at 150%", {0, 0, 533, 400}, 187, 59, 60},
    };
    for (const Case& c : cases) {
        const Fitted fitted = fitIn(c.area);
        EXPECT_EQ(fitted.givenUp, c.givenUp) << c.screen;
        EXPECT_EQ(fitted.fileList, c.fileList) << c.screen;
        EXPECT_EQ(fitted.information, c.information) << c.screen;
        EXPECT_EQ(fitted.geometry.height(), 547 - c.givenUp) << c.screen;
        EXPECT_TRUE(c.area.contains(fitted.ok)) << c.screen;
        EXPECT_TRUE(c.area.contains(fitted.cancel)) << c.screen;
        EXPECT_GE(fitted.geometry.top(), c.area.top() + clipforge::FrameAllowance().top) << c.screen;
        EXPECT_EQ(fitted.ok.bottom() + 1 + 10, fitted.geometry.bottom() + 1) << c.screen << ": OK keeps its margin";
    }
}

TEST(DialogFit, ANarrowScreenKeepsTheDialogsTitleBarReachable)
{
    const Fitted fitted = fitIn({0, 0, 400, 300});
    EXPECT_EQ(fitted.givenUp, 49 + 117 + 35);
    EXPECT_EQ(fitted.geometry.top(), clipforge::FrameAllowance().top);
    EXPECT_EQ(fitted.geometry.left(), clipforge::FrameAllowance().sides);
}
