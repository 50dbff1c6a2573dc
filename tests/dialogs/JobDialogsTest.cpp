#include "ScriptedDialogs.h"

#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"
#include "dialogs/AddDlg.h"
#include "dialogs/ItemDlg.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> profiles = {"AVI video", "MP4 video", "WebM video"};

class AddDialog : public ::testing::Test {
protected:
    AddDialog()
        : dialog(profiles)
    {
        dialog.setFiles({QStringLiteral("/v/a.avi"), QStringLiteral("/v/b.avi")});
        for (const char* line : {"file count: 2", "format: AVI video", "save to: use global path",
                                 "Ready to go...click OK", "Cancel the operation...click Cancel"})
            dialog.appendLine(QString::fromLatin1(line));
        dialog.show();
    }

    void browse(const QString& answer)
    {
        dialogs.directoryAnswers.push_back(answer);
        QTest::mouseClick(dialog.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
    }

    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope {dialogs};
    TaddDlg dialog;
};

}  // namespace

TEST_F(AddDialog, StartsWithTheFirstProfileAndNoFolder)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add Files"));
    EXPECT_EQ(dialog.size(), QSize(442, 547));
    EXPECT_EQ(dialog.ComboBox1->count(), 3);
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), 0);
    EXPECT_TRUE(dialog.etDirectory->text().isEmpty());
    EXPECT_TRUE(dialog.etDirectory->isReadOnly());
    EXPECT_EQ(dialog.FileList.size(), 2);
    EXPECT_FALSE(dialog.Confirmed);
}

TEST_F(AddDialog, BrowsingSetsTheFieldAndTheSaveToLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/me/Out", "/home/me/Out/"}, {"/", "/"}, {"/with space/", "/with space/"}};
    for (const auto& [chosen, field] : cases) {
        browse(QString::fromLatin1(chosen));
        EXPECT_EQ(dialog.etDirectory->text(), QString::fromLatin1(field));
        EXPECT_EQ(dialog.lines()[2], QStringLiteral("save to: ") + QString::fromLatin1(field));
    }
    ASSERT_FALSE(dialogs.directoryTitles.empty());
    EXPECT_EQ(dialogs.directoryTitles.back(), QStringLiteral("Save Directory"));
}

TEST_F(AddDialog, CancelledBrowseReturnsToTheGlobalFolder)
{
    browse(QStringLiteral("/out"));
    browse(QString());
    EXPECT_TRUE(dialog.etDirectory->text().isEmpty());
    EXPECT_EQ(dialog.lines()[2], QStringLiteral("save to: use global path"));
}

TEST_F(AddDialog, ChangingTheProfileRewritesOnlyTheFormatLine)
{
    const QStringList before = dialog.lines();
    for (int profile : {2, 1, 0, 2}) {
        dialog.ComboBox1->setCurrentIndex(profile);
        dialog.ComboBox1Change();
        QStringList expected = before;
        expected[1] = QStringLiteral("format: ") + QString::fromStdString(profiles[static_cast<size_t>(profile)]);
        EXPECT_EQ(dialog.lines(), expected);
    }
}

TEST_F(AddDialog, OnlyOkConfirms)
{
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Confirmed);

    dialog.show();
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton, {}, dialog.btnCancel->rect().center());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Confirmed);

    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.Confirmed);

    dialog.show();
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton, {}, dialog.btnOk->rect().center());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.Confirmed);
}

TEST_F(AddDialog, TheInformationBoxPassesTheFocusToOk)
{
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.Memo1->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(dialog.Memo1->hasFocus());
    EXPECT_TRUE(dialog.btnOk->hasFocus());
}

TEST(AddDialogCatalogue, AnEmptyCatalogueLeavesNoSelection)
{
    TaddDlg dialog({});
    EXPECT_EQ(dialog.ComboBox1->count(), 0);
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), -1);
}

TEST(ItemDialog, CancelledBrowseKeepsTheFolder)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    TItemDlg dialog(profiles);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Item Property"));
    dialog.etDirectory->setText(QStringLiteral("/kept/"));
    dialogs.directoryAnswers.push_back(QString());
    QTest::mouseClick(dialog.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(dialog.etDirectory->text(), QStringLiteral("/kept/"));
    dialogs.directoryAnswers.push_back(QStringLiteral("/new"));
    QTest::mouseClick(dialog.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(dialog.etDirectory->text(), QStringLiteral("/new/"));
    EXPECT_TRUE(dialog.lines().isEmpty()) << "the dialog never writes its information box itself";
}

namespace {

TEST(AddDialogDefaultFolder, TheSaveToLineNamesWhereOutputsGo)
{
    TaddDlg dialog(profiles);
    EXPECT_EQ(dialog.saveToLine(), QStringLiteral("save to: use global path"));
    dialog.setDefaultFolder(QStringLiteral("/home/u/Videos/Clipforge/"));
    EXPECT_EQ(dialog.saveToLine(), QStringLiteral("save to: use global path (/home/u/Videos/Clipforge/)"));
    dialog.etDirectory->setText(QStringLiteral("/out/"));
    EXPECT_EQ(dialog.saveToLine(), QStringLiteral("save to: /out/"));
}

}  // namespace
