// The job dialogs as a keyboard user meets them: accelerators whatever has the focus, and the
// keyboard handed back when a dialog or message box closes.
#include "ScriptedDialogs.h"

#include "controls/MyButtonEx.h"
#include "controls/MyFlatComboBox.h"
#include "controls/PngSpeedButton.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/FocusReturn.h"
#include "dialogs/ItemDlg.h"
#include "dialogs/TypedFileNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const std::vector<std::string> profiles = {"AVI video", "MP4 video", "OGV video", "Ogg audio", "WebM video"};

// Stands in for the windowing system without a window manager: when a window that had the
// keyboard goes away, the keyboard goes to the desktop and no window of the program is active.
class KeyboardToDesktopOnClose : public QObject {
public:
    KeyboardToDesktopOnClose() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Hide || !watched->isWidgetType())
            return false;
        const auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && (window->windowType() == Qt::Dialog || window->windowType() == Qt::Window))
            QApplication::setActiveWindow(nullptr);
        return false;
    }
};

// A folder browser that is a real window: it opens, takes the keyboard and closes again.
class BrowsingDialogs : public ScriptedDialogs {
public:
    QString existingDirectory(QWidget* owner, const QString& title, const QString& folder) override
    {
        QDialog browser;
        browser.setModal(true);
        browser.show();
        QApplication::setActiveWindow(&browser);
        QCoreApplication::processEvents();
        browser.hide();
        return ScriptedDialogs::existingDirectory(owner, title, folder);
    }
};

void dropDown(TaddDlg& dialog)
{
    QTest::mouseClick(dialog.ComboBox1, Qt::LeftButton, {}, QPoint(100, 15));
}

class JobDialogKeys : public ::testing::Test {
public:
    void SetUp() override
    {
        main.setWindowTitle(QStringLiteral("main"));
        main.resize(861, 529);
        main.move(100, 60);
        clipforge::setMainWindow(&main);
        main.show();
        QApplication::setActiveWindow(&main);
    }
    void TearDown() override { clipforge::setMainWindow(nullptr); }

    // The dialog as the program shows it: modal, over the main window, with the keyboard.
    std::unique_ptr<TaddDlg> openAddDialog()
    {
        auto dialog = std::make_unique<TaddDlg>(profiles);
        dialog->setModal(true);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        QCoreApplication::processEvents();
        return dialog;
    }

    // Browses for a folder with the folder button, which hands the keyboard back to the dialog,
    // then picks a profile with the mouse.
    void browseThenPickWithTheMouse(TaddDlg& dialog)
    {
        dialogs.directoryAnswers.push_back(QStringLiteral("/tmp"));
        QTest::mouseClick(dialog.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }, 5000))
            << "active: " << (QApplication::activeWindow() ? "another window" : "none");
        dropDown(dialog);
        ASSERT_TRUE(dialog.ComboBox1->DroppedDown());
        // The list ignores a release that comes within a double-click time of its opening.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QAbstractItemView* list = dialog.ComboBox1->view();
        const QRect row = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCoreApplication::processEvents();
        ASSERT_EQ(dialog.ComboBox1->currentIndex(), 1);
    }

    QWidget main;
    clipforge::FocusReturn focusReturn;
    KeyboardToDesktopOnClose withoutWindowManager;
    BrowsingDialogs dialogs;
    clipforge::ScopedDialogService scope {dialogs};
};

// Where the keys go: the widget with the focus, or the open list, which holds the keyboard.
QWidget* keyTarget(TaddDlg& dialog)
{
    if (dialog.ComboBox1->DroppedDown())
        return dialog.ComboBox1->view();
    return dialog.focusWidget() ? dialog.focusWidget() : &dialog;
}

struct AcceleratorCase {
    const char* name;
    std::function<void(JobDialogKeys&, TaddDlg&)> prepare;
};

}  // namespace

TEST_F(JobDialogKeys, OkAndCancelLettersWorkWhateverHasTheFocus)
{
    const AcceleratorCase cases[] = {
        {"fresh dialog", [](JobDialogKeys&, TaddDlg&) {}},
        {"profile list focused", [](JobDialogKeys&, TaddDlg& d) { d.ComboBox1->setFocus(); }},
        {"folder field focused", [](JobDialogKeys&, TaddDlg& d) { d.etDirectory->setFocus(); }},
        {"after browsing and picking a profile with the mouse",
         [](JobDialogKeys& t, TaddDlg& d) { t.browseThenPickWithTheMouse(d); }},
        {"profile list dropped down", [](JobDialogKeys&, TaddDlg& d) { dropDown(d); }},
        {"list dropped down after browsing",
         [](JobDialogKeys& t, TaddDlg& d) {
             t.browseThenPickWithTheMouse(d);
             dropDown(d);
         }},
    };
    for (const AcceleratorCase& c : cases) {
        for (const auto& [key, confirms] : {std::pair {Qt::Key_O, true}, std::pair {Qt::Key_C, false}}) {
            const auto dialog = openAddDialog();
            c.prepare(*this, *dialog);
            const int profile = dialog->ComboBox1->currentIndex();
            QTest::keyClick(keyTarget(*dialog), key, Qt::AltModifier);
            EXPECT_FALSE(dialog->isVisible()) << c.name << ", Alt+" << (confirms ? "O" : "C") << " closes";
            EXPECT_EQ(dialog->Confirmed, confirms) << c.name;
            EXPECT_EQ(dialog->ComboBox1->currentIndex(), profile) << c.name << ": the letter chose no profile";
            EXPECT_FALSE(dialog->ComboBox1->DroppedDown()) << c.name;
        }
    }
}

TEST_F(JobDialogKeys, TheMainWindowHasTheKeyboardAgainAfterEachDialogAndMessageBox)
{
    TMyButtonEx import(&main);
    import.SetCaption(QStringLiteral("&Import"));
    import.show();
    int imports = 0;
    import.OnClick = [&](TMyButtonEx*) { ++imports; };
    clipforge::QtDialogService platform;
    const auto execAndClose = [&]<class Dialog>(Dialog*) {
        Dialog dialog(profiles);
        platform.execModal(dialog);
    };
    const std::pair<const char*, std::function<void()>> closings[] = {
        {"message box", [&] { platform.message(&main, QStringLiteral("done"), QMessageBox::Information); }},
        {"file dialog", [&] { platform.openFileName(nullptr, QStringLiteral("All Files|*.*"), QString()); }},
        {"Add Files dialog", [&] { execAndClose(static_cast<TaddDlg*>(nullptr)); }},
        {"Item Property dialog", [&] { execAndClose(static_cast<TItemDlg*>(nullptr)); }},
    };
    for (const auto& [name, openAndClose] : closings) {
        QTimer::singleShot(0, [] {
            if (QWidget* open = QApplication::activeModalWidget())
                open->close();
        });
        openAndClose();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }, 5000)) << name;
        const int before = imports;
        QTest::keyClick(&main, Qt::Key_I, Qt::AltModifier);
        EXPECT_EQ(imports, before + 1) << name << ": Alt+I reaches the main window";
    }
}

TEST_F(JobDialogKeys, DialogsOpenCentredOverTheMainWindowWhicheverWindowIsActive)
{
    QWidget other;
    other.setGeometry(900, 600, 300, 100);
    other.show();
    QApplication::setActiveWindow(&other);
    const QPoint middle = main.geometry().center();
    TaddDlg add(profiles);
    TItemDlg item(profiles);
    for (QDialog* dialog : {static_cast<QDialog*>(&add), static_cast<QDialog*>(&item)}) {
        dialog->show();
        const QPoint centre = dialog->geometry().center();
        EXPECT_LE((centre - middle).manhattanLength(), 1)
            << dialog->windowTitle().toStdString() << " centred at " << centre.x() << "," << centre.y() << ", main at "
            << middle.x() << "," << middle.y();
        dialog->hide();
    }
}

TEST(TypedFileNames, OneNameOrSeveralInQuotesMadeAbsolute)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"clip.avi", {QStringLiteral("/v/clip.avi")}},
        {"\"long20.avi\" \"c3.mkv\"", {QStringLiteral("/v/long20.avi"), QStringLiteral("/v/c3.mkv")}},
        {"\"with space.mov\" \"/elsewhere/x.mp4\"", {QStringLiteral("/v/with space.mov"), QStringLiteral("/elsewhere/x.mp4")}},
        {"  ", {}},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(clipforge::typedFileNames(QString::fromUtf8(typed), QStringLiteral("/v")), expected) << typed;
}

TEST(QuestionBox, EnterGivesThePreferredAnswerAndEscapeAnswersNo)
{
    QWidget owner;
    owner.show();
    clipforge::QtDialogService platform;
    for (const auto& [key, answer] : {std::pair {Qt::Key_Return, true}, {Qt::Key_Escape, false}}) {
        QTimer::singleShot(0, [key = key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), clipforge::applicationTitle());
            QTest::keyClick(box, key);
            if (box->isVisible())
                box->close();
        });
        EXPECT_EQ(platform.question(&owner, QStringLiteral("Restore them?"), clipforge::DialogService::Preferred::Yes),
                  answer)
            << "key " << key;
    }
}

// The box of answers in the program's own words, as the convert question uses it.
TEST(ChoiceBox, EnterGivesThePreferredAnswerEscapeAndClosingGiveNone)
{
    QWidget owner;
    owner.show();
    clipforge::QtDialogService platform;
    const QStringList answers {QStringLiteral("Skip them"), QStringLiteral("Convert again")};
    const struct {
        const char* name;
        std::function<void(QMessageBox&)> play;
        int answer;
    } cases[] = {
        {"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, 0},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, -1},
        {"closed", [](QMessageBox& box) { box.close(); }, -1},
        {"second button",
         [&](QMessageBox& box) {
             for (QAbstractButton* button : box.buttons())
                 if (button->text() == answers[1])
                     button->click();
         },
         1},
    };
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), clipforge::applicationTitle());
            QStringList shown;
            for (QAbstractButton* button : box->buttons())
                if (button->isVisible())
                    shown << button->text();
            EXPECT_EQ(shown.size(), 2) << c.name << ": only the two answers show";
            c.play(*box);
            if (box->isVisible())
                box->done(0);
        });
        EXPECT_EQ(platform.choose(&owner, QStringLiteral("3 jobs have already been converted. Convert them again?"),
                                  answers, 0),
                  c.answer)
            << c.name;
    }
}
