// The main window by keyboard alone, and as assistive technology reads it.
#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/LinePanel.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "core/TreeManager.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool running(AppFixture& app)
{
    return app.window().btnStop->Enabled();
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

}  // namespace

TEST(MainWindowKeys, AltLettersPressTheirButtonsWhileEnabled)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    ASSERT_TRUE(giveKeyboard(app.window()));
    app.window().btnImport->setFocus();
    const struct {
        Qt::Key key;
        size_t fileDialogs, webPages;
        bool runningAfter;
    } steps[] = {
        {Qt::Key_A, 1, 0, false}, {Qt::Key_U, 0, 1, false}, {Qt::Key_I, 1, 0, false}, {Qt::Key_E, 1, 0, false},
        {Qt::Key_S, 0, 0, false}, {Qt::Key_C, 0, 0, true},  {Qt::Key_A, 0, 0, true},  {Qt::Key_C, 0, 0, true},
        {Qt::Key_S, 0, 0, false},
    };
    for (const auto& step : steps) {
        const size_t fileDialogs = app.dialogs.filters.size();
        const size_t webPages = app.dialogs.openedUrls.size();
        press(step.key, Qt::AltModifier);
        const char letter = char('A' + (step.key - Qt::Key_A));
        EXPECT_EQ(app.dialogs.filters.size() - fileDialogs, step.fileDialogs) << "Alt+" << letter;
        EXPECT_EQ(app.dialogs.openedUrls.size() - webPages, step.webPages) << "Alt+" << letter;
        EXPECT_TRUE(waitFor([&] { return running(app) == step.runningAfter; })) << "Alt+" << letter;
    }
}

TEST(MainWindowKeys, TabFollowsTheEyePassingDisabledButtons)
{
    AppFixture app;
    TmainDlg& window = app.window();
    ASSERT_TRUE(giveKeyboard(window));
    window.btnAdd->setFocus();
    const std::vector<QWidget*> order = {window.btnConvert, window.btnSupport, window.lbUpdate, window.JobTree,
                                         window.btnImport,  window.btnExport,  window.btnAdd};
    for (size_t i = 0; i < order.size(); ++i) {
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "Tab " << i + 1;
    }
    for (size_t i = order.size() - 1; i > 0; --i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), order[i - 1]) << "Shift+Tab back to step " << i;
    }
}

TEST(MainWindowKeys, JobListKeysFollowTheMenusRules)
{
    AppFixture app(AppFixture::Converter::Hanging);
    const QStringList clips = generatedClips();
    app.addJobs(clips, 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    clipforge::JobTreeView& tree = *app.window().JobTree;
    ASSERT_TRUE(giveKeyboard(app.window()));
    const auto focusRow = [&](int row) {
        tree.setFocus();
        tree.setCurrentIndex(jobs.index(row, 0));
    };

    focusRow(1);
    press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(app.window().PopupMenu1->isVisible()) << "Shift+F10 opens the job menu";
    EXPECT_EQ(app.window().PopupMenu1->activeAction(), app.window().pmiDelete);
    app.window().PopupMenu1->close();

    const struct {
        int row;
        Qt::Key key;
        std::vector<int> order;
    } moves[] = {
        {1, Qt::Key_Down, {0, 2, 1}}, {2, Qt::Key_Down, {0, 2, 1}}, {2, Qt::Key_Up, {0, 1, 2}},
        {0, Qt::Key_Up, {0, 1, 2}},   {0, Qt::Key_Down, {1, 0, 2}}, {1, Qt::Key_Up, {0, 1, 2}},
    };
    for (const auto& move : moves) {
        focusRow(move.row);
        const QString moved = app.sources().value(move.row);
        press(move.key, Qt::ControlModifier);
        QStringList expected;
        for (const int clip : move.order)
            expected << clips[clip];
        EXPECT_EQ(app.sources(), expected) << "Ctrl+" << (move.key == Qt::Key_Up ? "Up" : "Down") << " on row " << move.row;
        EXPECT_EQ(app.sources().value(tree.focusedRow()), moved) << "the moved job stays the current one";
    }

    focusRow(1);
    press(Qt::Key_Return);
    EXPECT_EQ(app.dialogs.modalCount, 2) << "Enter opens the properties";
    focusRow(1);
    press(Qt::Key_Delete);
    ASSERT_EQ(jobs.Count(), 2);
    EXPECT_EQ(app.sources().value(1), clips[2]);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 0 of 2"));

    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == jsConverting; }));
    focusRow(1);
    press(Qt::Key_Return);
    press(Qt::Key_Delete);
    press(Qt::Key_Up, Qt::ControlModifier);
    press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(app.dialogs.modalCount, 2) << "no properties during a run";
    EXPECT_EQ(jobs.Count(), 2) << "no deleting during a run";
    EXPECT_EQ(app.sources().value(1), clips[2]) << "no moving during a run";
    EXPECT_FALSE(app.window().PopupMenu1->isVisible());
    click(app.window().btnStop);
    EXPECT_TRUE(waitFor([&] { return !running(app); }));
}

TEST(MainWindowAccess, EveryCommandIsANamedControlThatCanBePressed)
{
    AppFixture app;
    TmainDlg& window = app.window();
    const std::tuple<QWidget*, QAccessible::Role, const char*, bool> cases[] = {
        {window.btnAdd, QAccessible::Button, "Add", true},           {window.btnConvert, QAccessible::Button, "Convert", true},
        {window.btnStop, QAccessible::Button, "Stop", false},        {window.btnSupport, QAccessible::Button, "Support", true},
        {window.btnImport, QAccessible::Button, "Import", true},     {window.btnExport, QAccessible::Button, "Export", true},
        {window.lbUpdate, QAccessible::Link, "check for updates", true}, {&window, QAccessible::Window, "Norvane Clipforge", true},
        {window.ProgressBar1, QAccessible::ProgressBar, "Progress", true},
    };
    for (const auto& [widget, role, name, enabled] : cases) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(widget);
        EXPECT_EQ(read->role(), role) << name;
        EXPECT_EQ(read->text(QAccessible::Name), QString::fromUtf8(name));
        EXPECT_EQ(!read->state().disabled, enabled) << name;
    }
    window.ProgressBar1->SetPosition(45);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.ProgressBar1);
    EXPECT_EQ(bar->text(QAccessible::Value), QStringLiteral("45%"));
    EXPECT_EQ(bar->text(QAccessible::Description), QStringLiteral("45%"));
    EXPECT_EQ(bar->valueInterface(), nullptr) << "a value would be offered to increase and decrease";
    const QString press = QAccessibleActionInterface::pressAction();
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(window.btnStop)->actionInterface()->actionNames().contains(press));
    QAccessible::queryAccessibleInterface(window.btnAdd)->actionInterface()->doAction(press);
    EXPECT_TRUE(app.dialogs.filters.empty()) << "the press is queued, as a click would be";
    EXPECT_TRUE(waitFor([&] { return app.dialogs.filters.size() == 1u; })) << "Add pressed asks for files";
}

TEST(MainWindowAccess, RowsCarryTheirStateAndTheOpenMenuIsReachable)
{
    AppFixture app(AppFixture::Converter::Hanging);
    const QStringList clips = generatedClips().mid(0, 2);
    app.addJobs(clips, 0, QString());
    TmainDlg& window = app.window();
    QAccessibleTableInterface* rows = QAccessible::queryAccessibleInterface(window.JobTree)->tableInterface();
    ASSERT_NE(rows, nullptr);
    const auto expectRow = [&](int row, const char* state) {
        QCoreApplication::processEvents();  // the rows as laid out
        QAccessibleInterface* cell = rows->cellAt(row, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), clips[row]);
        EXPECT_EQ(cell->text(QAccessible::Description), QString::fromLatin1(state)) << "row " << row;
    };
    expectRow(0, "waiting");
    click(window.btnConvert);
    ASSERT_TRUE(waitFor([&] { return running(app); }));
    expectRow(0, "converting");
    expectRow(1, "waiting");
    click(window.btnStop);
    ASSERT_TRUE(waitFor([&] { return !running(app); }));
    expectRow(0, "failed");

    ASSERT_TRUE(giveKeyboard(window));
    window.JobTree->setFocus();
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(window.PopupMenu1->isVisible());
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(window.PopupMenu1);
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    EXPECT_EQ(menu->text(QAccessible::Name), QStringLiteral("Job menu"));
    EXPECT_EQ(menu->parent(), application);
    const int index = application->indexOfChild(menu);
    ASSERT_GE(index, 0) << "the open menu is among the application's children";
    EXPECT_EQ(application->child(index), menu);
    QStringList items;
    for (int i = 0; i < menu->childCount(); ++i)
        if (menu->child(i)->role() != QAccessible::Separator)
            items << menu->child(i)->text(QAccessible::Name);
    EXPECT_EQ(items, (QStringList {QStringLiteral("Delete"), QStringLiteral("Clear"), QStringLiteral("Properties"),
                                   QStringLiteral("Open output folder"), QStringLiteral("Remove finished jobs"),
                                   QStringLiteral("Profiles..."), QStringLiteral("Conversions at once")}));
    window.PopupMenu1->close();
    EXPECT_LT(application->indexOfChild(menu), 0) << "a closed menu is not";
}

// Writes the main window with a button focused by the keyboard beside the others, for people to
// look at, and checks what it shows: the mark lies on that button alone, and goes with the mouse.
TEST(MainWindowKeys, OnlyTheButtonFocusedByTheKeyboardIsMarked)
{
    AppFixture app;
    TmainDlg& window = app.window();
    ASSERT_TRUE(giveKeyboard(window));
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(600, 80));
    const QImage mouseOnly = window.grab().toImage();
    window.btnAdd->setFocus();
    EXPECT_EQ(window.grab().toImage(), mouseOnly) << "focus given without the keyboard shows nothing";

    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), window.btnConvert);
    const QImage marked = window.grab().toImage();
    const QString folder = qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        marked.save(QDir(folder).filePath(QStringLiteral("main-window-keyboard-focus.png")));
    QRect changed;
    for (int y = 0; y < marked.height(); ++y)
        for (int x = 0; x < marked.width(); ++x)
            if (marked.pixel(x, y) != mouseOnly.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(window.btnConvert->geometry().contains(changed))
        << "changed " << changed.x() << "," << changed.y() << " " << changed.width() << "x" << changed.height();

    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(600, 80));
    EXPECT_EQ(window.grab().toImage(), mouseOnly) << "a mouse press takes the mark away again";
}

// What a screen reader finds on the main window: every child named, the pictures that only
// decorate left out, the progress bar with nothing to press, each job's cells read as the job
// and offering nothing to toggle.
TEST(MainWindowAccess, EveryChildIsNamedAndEveryJobCellReadsAsItsJob)
{
    AppFixture app(AppFixture::Converter::Hanging);
    const QStringList clips = generatedClips().mid(0, 2);
    app.addJobs(clips, 0, QString());
    TmainDlg& window = app.window();
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&window);
    ASSERT_GT(read->childCount(), 0);
    for (int i = 0; i < read->childCount(); ++i) {
        QAccessibleInterface* child = read->child(i);
        ASSERT_NE(child, nullptr) << i;
        EXPECT_EQ(read->indexOfChild(child), i);
        if (child->state().invisible)
            continue;
        EXPECT_FALSE(child->text(QAccessible::Name).isEmpty())
            << i << ": " << child->object()->metaObject()->className() << " role " << child->role();
        EXPECT_NE(child->role(), QAccessible::Graphic) << i;
    }
    for (QWidget* picture : {static_cast<QWidget*>(window.Image1), static_cast<QWidget*>(window.Image2),
                             static_cast<QWidget*>(window.Image3)})
        EXPECT_EQ(read->indexOfChild(QAccessible::queryAccessibleInterface(picture)), -1);
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(window.LinePanel1);
    EXPECT_EQ(panel->indexOfChild(QAccessible::queryAccessibleInterface(window.Shape1)), -1) << "the line under the tabs";
    EXPECT_GE(panel->indexOfChild(QAccessible::queryAccessibleInterface(window.JobTree)), 0);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window.ProgressBar1);
    const QStringList barActions = bar->actionInterface() ? bar->actionInterface()->actionNames() : QStringList();
    EXPECT_FALSE(barActions.contains(QAccessibleActionInterface::increaseAction()));
    EXPECT_FALSE(barActions.contains(QAccessibleActionInterface::decreaseAction()));

    QAccessibleTableInterface* rows = QAccessible::queryAccessibleInterface(window.JobTree)->tableInterface();
    ASSERT_NE(rows, nullptr);
    const struct {
        int row;
        int column;
        const char* description;
    } cells[] = {{0, 0, "waiting"}, {0, 1, "waiting"}, {1, 0, "waiting"}, {1, 1, "waiting"}};
    QCoreApplication::processEvents();
    for (const auto& c : cells) {
        QAccessibleInterface* cell = rows->cellAt(c.row, c.column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), clips[c.row]) << c.row << "," << c.column;
        EXPECT_EQ(cell->text(QAccessible::Description), QString::fromLatin1(c.description)) << c.row << "," << c.column;
        EXPECT_EQ(cell->role(), QAccessible::TreeItem);
        EXPECT_EQ(cell->actionInterface(), nullptr) << "no Toggle: selecting a job toggles nothing";
        const int child = (c.row + 1) * 2 + c.column;  // as the list numbers its focus notices
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window.JobTree)->child(child), cell);
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.JobTree)->role(), QAccessible::Tree);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.JobTree)->text(QAccessible::Name), QStringLiteral("Job list"));
}
