// Both job dialogs driven by Tab, Enter and Space alone, and as assistive technology reads them.
#include "BothJobDialogs.h"
#include "ScriptedDialogs.h"

#include "controls/FlatEdit.h"
#include "controls/MyButtonEx.h"
#include "controls/MyFlatComboBox.h"
#include "controls/MyListBox.h"
#include "controls/PngSpeedButton.h"
#include "dialogs/DefaultFolderLink.h"

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::vector<std::string> profiles = {"AVI video", "MP4 video", "OGV video"};

}  // namespace

TEST(DialogKeyboard, TabRunsTopToBottomLeftToRightAndShiftTabBack)
{
    forBothDialogs(profiles, [](clipforge::JobDialogForm& form) {
        const auto* dialog = &form;
        // "use default folder" is passed over while the folder field is empty.
        const std::vector<QWidget*> order = {dialog->MyListBox1, dialog->ComboBox1, dialog->etDirectory,
                                             dialog->btDirectory, dialog->btnCancel, dialog->btnOk};
        order.front()->setFocus();
        for (size_t step = 1; step <= order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), order[step % order.size()])
                << dialog->windowTitle().toStdString() << ", Tab " << step;
        }
        for (size_t step = 1; step <= order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(QApplication::focusWidget(), order[(order.size() - step) % order.size()])
                << dialog->windowTitle().toStdString() << ", Shift+Tab " << step;
        }
    });
}

TEST(DialogKeyboard, EnterPressesTheFocusedButtonOrElseOk)
{
    ScriptedDialogs answers;
    clipforge::ScopedDialogService scope(answers);
    using Dialog = clipforge::JobDialogForm;
    const struct {
        const char* name;
        std::function<QWidget*(Dialog&)> focus;
        Qt::Key key;
        bool closes, confirms, browses;
    } cases[] = {
        {"Enter in the file list", [](Dialog& d) { return d.MyListBox1; }, Qt::Key_Return, true, true, false},
        {"Enter on the profile list", [](Dialog& d) { return d.ComboBox1; }, Qt::Key_Return, true, true, false},
        {"keypad Enter in the folder field", [](Dialog& d) { return d.etDirectory; }, Qt::Key_Enter, true, true, false},
        {"Enter on Cancel", [](Dialog& d) { return d.btnCancel; }, Qt::Key_Return, true, false, false},
        {"Enter on the folder button", [](Dialog& d) { return d.btDirectory; }, Qt::Key_Return, false, false, true},
        {"Space on OK", [](Dialog& d) { return d.btnOk; }, Qt::Key_Space, true, true, false},
        {"Space on Cancel", [](Dialog& d) { return d.btnCancel; }, Qt::Key_Space, true, false, false},
        {"Space on the folder button", [](Dialog& d) { return d.btDirectory; }, Qt::Key_Space, false, false, true},
        {"Space in the file list", [](Dialog& d) { return d.MyListBox1; }, Qt::Key_Space, false, false, false},
        {"Enter in the open profile list",
         [](Dialog& d) {
             d.ComboBox1->setFocus();
             d.ComboBox1->showPopup();
             return d.ComboBox1->view();
         },
         Qt::Key_Return, false, false, false},
    };
    for (const auto& c : cases) {
        forBothDialogs(profiles, [&](Dialog& form) {
            Dialog* dialog = &form;
            const size_t browsed = answers.directoryTitles.size();
            QWidget* target = c.focus(*dialog);
            if (!dialog->ComboBox1->DroppedDown())
                target->setFocus();
            QTest::keyClick(target, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            const std::string where = std::string(c.name) + " of " + dialog->windowTitle().toStdString();
            EXPECT_EQ(!dialog->isVisible(), c.closes) << where;
            EXPECT_EQ(dialog->Confirmed, c.confirms) << where;
            EXPECT_EQ(answers.directoryTitles.size() > browsed, c.browses) << where;
        });
    }
}

TEST(DialogKeyboard, AssistiveTechnologyReadsEveryControlByName)
{
    forBothDialogs(profiles, [](clipforge::JobDialogForm& form) {
        auto* dialog = &form;
        const struct {
            QWidget* widget;
            QAccessible::Role role;
            QString name;
        } cases[] = {
            {dialog->etDirectory, QAccessible::EditableText, QStringLiteral("save path (leave it blank to use global path)")},
            {dialog->Memo1, QAccessible::EditableText, QStringLiteral("Information")},
            {dialog->MyListBox1, QAccessible::List, QStringLiteral("Files")},
            {dialog->btDirectory, QAccessible::Button, QStringLiteral("Browse for the save folder")},
            {dialog->btnOk, QAccessible::Button, QStringLiteral("OK")},
            {dialog->btnCancel, QAccessible::Button, QStringLiteral("Cancel")},
            {dialog->lbDefaultFolder, QAccessible::Link, QStringLiteral("use default folder")},
        };
        for (const auto& c : cases) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(c.widget);
            EXPECT_EQ(read->role(), c.role) << c.name.toStdString();
            EXPECT_EQ(read->text(QAccessible::Name), c.name) << dialog->windowTitle().toStdString();
        }
        QAccessibleInterface* profile = QAccessible::queryAccessibleInterface(dialog->ComboBox1);
        EXPECT_EQ(profile->role(), QAccessible::ComboBox);
        EXPECT_EQ(profile->text(QAccessible::Name), QStringLiteral("Profile")) << "named by what it chooses";
        EXPECT_EQ(profile->text(QAccessible::Value), QStringLiteral("AVI video"));
        EXPECT_EQ(profile->child(0), QAccessible::queryAccessibleInterface(dialog->ComboBox1->view()));
        const auto labels = profile->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("Profile"));

        dialog->etDirectory->setText(QStringLiteral("/chosen"));
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(dialog->lbDefaultFolder);
        ASSERT_NE(link->actionInterface(), nullptr);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->etDirectory->text().isEmpty(); }))
            << "a screen reader presses \"use default folder\"";
    });
}
