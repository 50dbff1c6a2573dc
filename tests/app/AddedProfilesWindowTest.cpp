// Added profiles in the window: offered after the shipped ones, stored by id, read again when
// Add Files opens.
#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "core/CommandManager.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DefaultFolderLink.h"
#include "dialogs/ItemDlg.h"

#include <QDir>
#include <QFile>
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

}  // namespace

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
