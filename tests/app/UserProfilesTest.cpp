// The user's own profiles: the profile editor with real keys and clicks (Copy, edit, Try, Save, the
// refusals, and the lock it shares with 'clipforge-batch profiles add'), and added profiles in the
// window: offered after the shipped ones, stored by id, read again when Add Files opens.
#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/MainDlg.h"
#include "app/ProfileEditor.h"
#include "app/UIHook.h"
#include "core/AddedProfiles.h"
#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DefaultFolderLink.h"
#include "dialogs/ItemDlg.h"
#include "engine/AddedProfileStore.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char* const Profiles = "<commands>"
                             "<profile><id>1048590</id><format>Mine</format><params>-n</params><ext>mkv</ext></profile>"
                             "</commands>";

QString userProfiles()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/clipforge/profiles");
}

using AddedProfilesWindow = WithoutSystemProfiles;

class ProfileEditorTest : public WithoutSystemProfiles {
protected:
    // Opens the editor with Ctrl+P in the window and plays the user in it.
    static void edit(AppFixture& app, const std::function<void(clipforge::ProfileEditor&)>& play)
    {
        app.dialogs.modalScripts.push_back([play](QDialog& dialog) {
            ASSERT_TRUE(giveKeyboard(dialog));
            play(dynamic_cast<clipforge::ProfileEditor&>(dialog));
        });
        ASSERT_TRUE(giveKeyboard(app.window()));
        QTest::keyClick(&app.window(), Qt::Key_P, Qt::ControlModifier);
    }

    static void type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    static std::vector<clipforge::AddedProfile> saved()
    {
        return clipforge::readAddedProfiles(clipforge::userProfilesPath());
    }
};

}  // namespace

// A profile added elsewhere (by the command line) while the editor is open is kept.
TEST_F(ProfileEditorTest, CopyEditAndEnterSaveAProfileOfTheUsersOwn)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    int opened = 0;
    int elsewhere = 0;
    edit(app, [&](clipforge::ProfileEditor& editor) {
        ++opened;
        EXPECT_TRUE(editor.name->isReadOnly()) << "the shipped profiles are read-only";
        EXPECT_FALSE(editor.saveButton->isEnabled());
        QTest::mouseClick(editor.copyButton, Qt::LeftButton);
        EXPECT_FALSE(editor.name->isReadOnly());
        type(editor.name, QStringLiteral("Small"));
        type(editor.params, QStringLiteral("-c:v libx264 -crf 30"));
        elsewhere = clipforge::AddedProfileStore().add({"From the command line", "mp4", "-n"});
        QTest::keyClick(editor.params, Qt::Key_Return);
        EXPECT_TRUE(editor.result->text().startsWith(QStringLiteral("Saved as profile "))) << editor.result->text().toStdString();
        EXPECT_EQ(editor.list->currentItem()->text(), QStringLiteral("Small [mine]"));
        QTest::keyClick(editor.list, Qt::Key_Escape);
    });
    EXPECT_EQ(opened, 1) << "Ctrl+P opens the editor";
    const auto profiles = saved();
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].id, elsewhere);
    EXPECT_GE(profiles[1].id, clipforge::FirstAddedProfileId);
    EXPECT_EQ(profiles[1].name, "Small");
    EXPECT_EQ(profiles[1].params, "-n -c:v libx264 -crf 30") << "-n is put first";
    EXPECT_EQ(profiles[1].ext, app.hook().CommandManager().GetExt(0));
    EXPECT_EQ(app.hook().CommandManager().NameOf(profiles[1].id), "Small [mine]") << "the window has it at once";
}

TEST_F(ProfileEditorTest, SaveRefusesWhatCouldNotWorkAndWritesNothing)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    struct Case {
        QString ext;
        QString params;
        QString reason;
    };
    const Case cases[] = {
        {QStringLiteral("a/b"), QStringLiteral("-c copy"), QStringLiteral("Not saved: the extension \"a/b\" is unusable")},
        {QStringLiteral(""), QStringLiteral("-c copy"), QStringLiteral("Not saved: the extension \"\" is unusable")},
        {QStringLiteral("mkv"), QStringLiteral("-c copy -y"), QStringLiteral("Not saved: the profile has unusable arguments: -y")},
        {QStringLiteral("mkv"), QStringLiteral("-c copy -vstats_file /tmp/v.log"),
         QStringLiteral("Not saved: the profile has unusable arguments: -vstats_file")},
        {QStringLiteral("mkv"), QStringLiteral("-metadata \"title=a"), QStringLiteral("Not saved: the arguments do not split")},
    };
    edit(app, [&](clipforge::ProfileEditor& editor) {
        QTest::mouseClick(editor.copyButton, Qt::LeftButton);
        for (const Case& c : cases) {
            type(editor.ext, c.ext);
            type(editor.params, c.params);
            QTest::mouseClick(editor.saveButton, Qt::LeftButton);
            EXPECT_TRUE(editor.result->text().startsWith(c.reason)) << editor.result->text().toStdString();
        }
    });
    EXPECT_TRUE(saved().empty());
}

TEST_F(ProfileEditorTest, DeletingAProfileThatQueuedJobsUseIsRefusedWithTheirNumber)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    const int id = clipforge::AddedProfileStore().add({"Mine", "mkv", "-n"});
    std::vector<std::string> problems;
    app.hook().CommandManager().ReloadAdded(problems);
    const int row = app.hook().CommandManager().RowOf(id);
    app.addJobs(generatedClips().mid(0, 2), row, QString());
    ASSERT_EQ(app.hook().TreeManager()->Job(1).ItemData.Format, id);
    edit(app, [&](clipforge::ProfileEditor& editor) {
        editor.list->setFocus();
        editor.list->setCurrentRow(row);
        QTest::mouseClick(editor.deleteButton, Qt::LeftButton);
        EXPECT_EQ(editor.result->text(), QStringLiteral("Not deleted: 2 queued jobs use this profile."));
    });
    EXPECT_EQ(saved().size(), 1u);
    app.hook().TreeManager()->DeleteRows({0, 1});
    edit(app, [&](clipforge::ProfileEditor& editor) {
        editor.list->setCurrentRow(row);
        QTest::mouseClick(editor.deleteButton, Qt::LeftButton);
        EXPECT_EQ(editor.result->text(), QStringLiteral("Deleted."));
    });
    EXPECT_TRUE(saved().empty());
    EXPECT_FALSE(app.hook().CommandManager().Has(id));
}

TEST_F(ProfileEditorTest, TryConvertsTheFirstSecondsAndTellsWhatCameOutOrWhy)
{
    AppFixture app(AppFixture::Converter::Real);
    const QString clip = generatedClips().value(0);
    ASSERT_FALSE(clip.isEmpty());
    edit(app, [&](clipforge::ProfileEditor& editor) {
        QTest::mouseClick(editor.copyButton, Qt::LeftButton);
        type(editor.ext, QStringLiteral("mkv"));
        type(editor.params, QStringLiteral("-c:v ffv1 -an"));
        app.dialogs.openFileNameAnswers.push_back(clip);
        editor.tryButton->setFocus();
        QTest::keyClick(editor.tryButton, Qt::Key_Space);
        ASSERT_TRUE(waitFor([&] { return editor.tryButton->isEnabled(); }));
        EXPECT_TRUE(editor.result->text().startsWith(QStringLiteral("Try finished: video ffv1 "))) << editor.result->text().toStdString();
        // Five seconds asked of a one-second clip: a second is what the check expects.
        EXPECT_TRUE(editor.result->text().endsWith(QStringLiteral("; check: passed"))) << editor.result->text().toStdString();

        type(editor.params, QStringLiteral("-c:v no_such_codec"));
        app.dialogs.openFileNameAnswers.push_back(clip);
        QTest::mouseClick(editor.tryButton, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return editor.tryButton->isEnabled(); }));
        EXPECT_TRUE(editor.result->text().startsWith(QStringLiteral("Try failed: "))) << editor.result->text().toStdString();
        EXPECT_TRUE(editor.result->text().contains(QStringLiteral("no_such_codec"))) << editor.result->text().toStdString();
    });
    EXPECT_TRUE(saved().empty()) << "trying saves nothing";
    EXPECT_EQ(app.hook().TreeManager()->Count(), 0) << "nor queues anything";
}

TEST_F(AddedProfilesWindow, AddFilesOffersTheUsersProfileLastAndTheJobKeepsItsId)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    ASSERT_TRUE(writeBytes(userProfiles(), Profiles));  // made after the window started: Add Files reads it again
    const TCommandManager& catalogue = app.hook().CommandManager();
    const int shipped = catalogue.ShippedCount();
    QString offered;
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        auto& add = dynamic_cast<TaddDlg&>(dialog);
        offered = add.ComboBox1->itemText(add.ComboBox1->count() - 1);
        add.ComboBox1->setCurrentIndex(add.ComboBox1->count() - 1);
        QTest::mouseClick(add.lbDefaultFolder, Qt::LeftButton, {}, add.lbDefaultFolder->rect().center());
        click(add.btnOk);
    });
    app.dialogs.openFileNamesAnswers.push_back(generatedClips().mid(0, 1));
    click(app.window().btnAdd);
    EXPECT_EQ(offered, QStringLiteral("Mine [mine]"));
    TTreeManager& jobs = *app.hook().TreeManager();
    ASSERT_EQ(jobs.Count(), 1);
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 1048590);
    EXPECT_EQ(app.hint(0).value(1), QStringLiteral("[format]: Mine [mine]"));
    EXPECT_EQ(catalogue.RowOf(1048590), shipped);

    int shownRow = -2;
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        auto& item = dynamic_cast<TItemDlg&>(dialog);
        shownRow = item.ComboBox1->currentIndex();
        click(item.btnOk);
    });
    app.window().JobTree->OnColumnDblClick(0);
    EXPECT_EQ(shownRow, shipped);
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 1048590) << "confirming keeps the profile";
}

TEST_F(AddedProfilesWindow, ABrokenFileIsNamedWhenAddFilesOpensAndTheShippedProfilesStillWork)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    ASSERT_TRUE(writeBytes(userProfiles(), "<commands><profile><format>no id</format></profile></commands>"));
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    ASSERT_FALSE(app.dialogs.messages.empty());
    EXPECT_TRUE(app.dialogs.messages.front().text.startsWith(QStringLiteral("The profiles in ") + userProfiles()))
        << app.dialogs.messages.front().text.toStdString();
    EXPECT_TRUE(QFile::exists(userProfiles() + QStringLiteral(".broken")));
    EXPECT_EQ(app.hook().TreeManager()->Count(), 1);
    EXPECT_EQ(app.hook().TreeManager()->Job(0).ItemData.Format, 0);
}
