// The buttons and the link by keyboard, and their focus marks.
#include "TestPictures.h"

#include "controls/ImageButton.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"
#include "support/Keyboard.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Subject {
    const char* kind;
    QWidget* widget;
    std::function<void(bool)> setEnabled;
};

class KeyboardAccess : public ::testing::Test {
public:
    void SetUp() override
    {
        image.setGeometry(10, 10, 60, 60);
        image.SetImage(solidPicture(60, 60, Qt::blue));
        gradient.setGeometry(100, 10, 121, 41);
        gradient.SetCaption(QStringLiteral("&Import"));
        speed.setGeometry(240, 10, 24, 24);
        speed.SetPngImage(solidPicture(16, 16, Qt::darkYellow));
        link.setGeometry(280, 10, 110, 18);
        image.OnClick = [this](auto*) { ++clicks; };
        gradient.OnClick = [this](auto*) { ++clicks; };
        speed.OnClick = [this](auto*) { ++clicks; };
        link.OnClick = [this] { ++clicks; };
        window.resize(400, 200);
        window.show();
        ASSERT_TRUE(clipforge::test::giveKeyboard(window));
    }

    const std::vector<Subject> subjects = {
        {"image button", &image, [this](bool on) { image.SetEnabled(on); }},
        {"gradient button", &gradient, [this](bool on) { gradient.SetEnabled(on); }},
        {"speed button", &speed, [this](bool on) { speed.setEnabled(on); }},
        {"link", &link, [this](bool on) { link.setEnabled(on); }},
    };
    QWidget window;
    TImageButton image {&window};
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
        {"Space", Qt::Key_Space, {}, true, 1},           {"Return", Qt::Key_Return, {}, true, 1},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, true, 1}, {"Ctrl+Space", Qt::Key_Space, Qt::ControlModifier, true, 0},
        {"a letter", Qt::Key_X, {}, true, 0},            {"Space while disabled", Qt::Key_Space, {}, false, 0},
    };
    for (const Subject& subject : subjects) {
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
    for (const Subject& subject : subjects) {
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(395, 195));
        const QImage unfocused = subject.widget->grab().toImage();
        subject.widget->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(subject.widget->grab().toImage(), unfocused) << subject.kind << ": the mouse alone shows no mark";
        QTest::keyClick(subject.widget, Qt::Key_Shift);
        EXPECT_NE(subject.widget->grab().toImage(), unfocused) << subject.kind << ": a key shows the mark";
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(395, 195));
        EXPECT_EQ(subject.widget->grab().toImage(), unfocused) << subject.kind << ": a mouse press hides it again";
    }
}
