// The buttons and the link by keyboard, their focus marks, and what assistive technology reads.
#include "TestPictures.h"

#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/KeyboardCues.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Subject {
    const char* kind;
    QWidget* widget;
    QAccessible::Role role;
    QString name;
    QString keyBinding;
    std::function<void(bool)> setEnabled;
};

class KeyboardAccess : public ::testing::Test {
public:
    void SetUp() override
    {
        window.resize(400, 200);
        image.setGeometry(10, 10, 60, 60);
        image.SetImage(solidPicture(60, 60, Qt::blue));
        image.SetTabStop(true);
        caption.move(20, 70);
        caption.setBuddy(&image);
        gradient.setGeometry(100, 10, 121, 41);
        gradient.SetCaption(QStringLiteral("&Import"));
        speed.setGeometry(240, 10, 24, 24);
        speed.SetPngImage(solidPicture(16, 16, Qt::darkYellow));
        speed.setFocusPolicy(Qt::TabFocus);
        speed.setAccessibleName(QStringLiteral("Browse for the save folder"));
        link.setGeometry(280, 10, 110, 18);
        image.OnClick = [this](auto*) { ++clicks; };
        gradient.OnClick = [this](auto*) { ++clicks; };
        speed.OnClick = [this](auto*) { ++clicks; };
        link.OnClick = [this] { ++clicks; };
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    std::vector<Subject> subjects()
    {
        return {
            {"image button", &image, QAccessible::Button, QStringLiteral("Add"), QStringLiteral("Alt+A"),
             [this](bool on) { image.SetEnabled(on); }},
            {"gradient button", &gradient, QAccessible::Button, QStringLiteral("Import"), QStringLiteral("Alt+I"),
             [this](bool on) { gradient.SetEnabled(on); }},
            {"speed button", &speed, QAccessible::Button, QStringLiteral("Browse for the save folder"), QString(),
             [this](bool on) { speed.setEnabled(on); }},
            {"link", &link, QAccessible::Link, QStringLiteral("check for updates"), QString(),
             [this](bool on) { link.setEnabled(on); }},
        };
    }

    QWidget window;
    TImageButton image {&window};
    QLabel caption {QStringLiteral("&Add"), &window};
    TMyButtonEx gradient {&window};
    TPngSpeedButton speed {&window};
    clipforge::LinkLabel link {QStringLiteral("check for updates"), &window};
    int clicks = 0;
};

}  // namespace

TEST_F(KeyboardAccess, SpaceAndEnterPressTheFocusedControlWhileItIsEnabled)
{
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool enabled;
        int clicks;
    } cases[] = {
        {"Space", Qt::Key_Space, {}, true, 1},
        {"Return", Qt::Key_Return, {}, true, 1},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, true, 1},
        {"Ctrl+Space", Qt::Key_Space, Qt::ControlModifier, true, 0},
        {"a letter", Qt::Key_X, {}, true, 0},
        {"Space while disabled", Qt::Key_Space, {}, false, 0},
    };
    for (const Subject& subject : subjects()) {
        for (const auto& c : cases) {
            subject.setEnabled(c.enabled);
            subject.widget->setFocus(Qt::TabFocusReason);
            const int before = clicks;
            QTest::keyClick(subject.widget, c.key, c.modifiers);
            EXPECT_EQ(clicks - before, c.clicks) << subject.kind << ", " << c.name;
            subject.setEnabled(true);
        }
    }
}

TEST_F(KeyboardAccess, AFocusMarkShowsOnlyOnceTheKeyboardIsUsed)
{
    for (const Subject& subject : subjects()) {
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(395, 195));
        const QImage unfocused = subject.widget->grab().toImage();
        subject.widget->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(subject.widget->grab().toImage(), unfocused) << subject.kind << ": the mouse alone shows no mark";
        QTest::keyClick(subject.widget, Qt::Key_Shift);
        const QImage marked = subject.widget->grab().toImage();
        EXPECT_NE(marked, unfocused) << subject.kind << ": a key shows the mark";
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(395, 195));
        subject.widget->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(subject.widget->grab().toImage(), unfocused) << subject.kind << ": a mouse press hides it again";
    }
}

TEST_F(KeyboardAccess, AssistiveTechnologyReadsNamesAndStatesAndPresses)
{
    for (const Subject& subject : subjects()) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(subject.widget);
        ASSERT_NE(control, nullptr) << subject.kind;
        EXPECT_EQ(control->role(), subject.role) << subject.kind;
        EXPECT_EQ(control->text(QAccessible::Name), subject.name) << subject.kind;
        QAccessibleActionInterface* actions = control->actionInterface();
        ASSERT_NE(actions, nullptr) << subject.kind;
        const QString press = QAccessibleActionInterface::pressAction();
        EXPECT_EQ(actions->keyBindingsForAction(press).join(QString()), subject.keyBinding) << subject.kind;
        const int before = clicks;
        actions->doAction(press);
        EXPECT_EQ(clicks, before) << subject.kind << ": the press is queued, as a click would be";
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, before + 1) << subject.kind;

        subject.setEnabled(false);
        EXPECT_TRUE(control->state().disabled) << subject.kind;
        EXPECT_FALSE(actions->actionNames().contains(press)) << subject.kind;
        actions->doAction(press);
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, before + 1) << subject.kind << ": a disabled control is not pressed";
        subject.setEnabled(true);
    }
}

TEST(GradientProgressBarAccess, IsAProgressBarWithItsPositionAsValue)
{
    TGradientProgressBar bar;
    bar.setAccessibleName(QStringLiteral("Progress"));
    bar.SetPosition(45);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::ProgressBar);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("Progress"));
    EXPECT_EQ(read->text(QAccessible::Value), QStringLiteral("45%"));
    ASSERT_NE(read->valueInterface(), nullptr);
    EXPECT_EQ(read->valueInterface()->currentValue().toInt(), 45);
    EXPECT_EQ(read->valueInterface()->minimumValue().toInt(), 0);
    EXPECT_EQ(read->valueInterface()->maximumValue().toInt(), 100);
}
