#include "FlatTestHelpers.h"

#include "controls/FlatEdit.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <limits>

using flattest::at;

namespace {

constexpr TColor focusedColor = 0x00FFFF;
constexpr TColor borderColor = 0x0000FF;
constexpr TColor flatColor = 0x00FF00;

void sendEnter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&widget, &event);
}

class FlatEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_.resize(300, 200);
        for (TMyFlatEdit* edit : {&first_, &second_}) {
            edit->setColorFocused(focusedColor);
            edit->setColorBorder(borderColor);
            edit->setColorFlat(flatColor);
        }
        first_.move(10, 10);
        second_.move(10, 60);
        button_.move(10, 110);
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
        form_.activateWindow();
        QApplication::setActiveWindow(&form_);
    }

    // The outer ring, then the two inner ones, at the left edge's middle.
    static void expectRings(const QImage& image, TColor inner, const char* what)
    {
        const int y = image.height() / 2;
        EXPECT_EQ(at(image, 0, y), borderColor) << what;
        EXPECT_EQ(at(image, 1, y), inner) << what;
        EXPECT_EQ(at(image, 2, y), inner) << what;
        EXPECT_EQ(at(image, image.width() - 1, 0), borderColor) << what;
        EXPECT_EQ(at(image, image.width() - 2, image.height() - 2), inner) << what;
    }

    QWidget form_;
    TMyFlatEdit first_{&form_};
    TMyFlatEdit second_{&form_};
    QPushButton button_{QStringLiteral("ok"), &form_};
};

TEST_F(FlatEditTest, RingsInTheFlatAndTheActiveLook)
{
    button_.setFocus();
    expectRings(first_.grab().toImage(), flatColor, "inactive");
    first_.setFocus();
    ASSERT_TRUE(first_.hasFocus());
    expectRings(first_.grab().toImage(), focusedColor, "focused");
}

TEST_F(FlatEditTest, HoverHighlightsOnlyWhileNoOtherFlatEditHasTheFocus)
{
    first_.setFocus();
    sendEnter(second_);
    ASSERT_TRUE(second_.MouseIn());
    EXPECT_FALSE(second_.isActive());
    expectRings(second_.frameImage(), flatColor, "hovered while another flat edit has the focus");

    button_.setFocus();
    EXPECT_TRUE(second_.isActive());
    expectRings(second_.frameImage(), focusedColor, "hovered while a button has the focus");

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&second_, &leave);
    EXPECT_FALSE(second_.isActive());
}

TEST_F(FlatEditTest, HeightFollowsTheFont)
{
    QFont big = first_.font();
    big.setPixelSize(30);
    first_.setFont(big);
    EXPECT_EQ(first_.height(), QFontMetrics(big).height() + 6);
}

TEST_F(FlatEditTest, ParentColourRules)
{
    TMyFlatEdit edit(&form_);
    QPalette palette = form_.palette();
    palette.setColor(form_.backgroundRole(), QColor(1, 2, 3));
    form_.setPalette(palette);
    EXPECT_TRUE(edit.ParentColor());
    EXPECT_EQ(edit.ColorFlat(), clipforge::rgbColor(1, 2, 3)) << "follows the parent's colour";
    edit.setColorFlat(0x123456);
    EXPECT_FALSE(edit.ParentColor());
    edit.setParentColor(true);
    EXPECT_EQ(edit.ColorFlat(), clipforge::rgbColor(1, 2, 3)) << "copied at once";
}

struct KeyCase {
    const char* name;
    QString text;
    int cursor;
    bool selectAll;
    Qt::Key key;
    QString typed;
    QString expected;
};

TEST_F(FlatEditTest, IntegerModeKeys)
{
    const KeyCase cases[] = {
        {"digit appended", "12", 2, false, Qt::Key_5, "5", "125"},
        {"letter dropped", "12", 2, false, Qt::Key_A, "a", "12"},
        {"minus dropped", "12", 0, false, Qt::Key_Minus, "-", "12"},
        {"zero into an empty edit", "", 0, false, Qt::Key_0, "0", "0"},
        {"zero before digits dropped", "12", 0, false, Qt::Key_0, "0", "12"},
        {"zero after digits kept", "12", 2, false, Qt::Key_0, "0", "120"},
        {"digit replaces a lone zero", "0", 1, false, Qt::Key_7, "7", "7"},
        {"zero on a lone zero stays", "0", 1, false, Qt::Key_0, "0", "0"},
        {"backspace on one character", "7", 1, false, Qt::Key_Backspace, "\b", "0"},
        {"backspace on everything selected", "123", 3, true, Qt::Key_Backspace, "\b", "0"},
        {"backspace inside a number", "123", 3, false, Qt::Key_Backspace, "\b", "12"},
        {"delete swallowed", "123", 0, false, Qt::Key_Delete, "", "123"},
        {"up steps up", "41", 0, false, Qt::Key_Up, "", "42"},
        {"down steps down", "41", 0, false, Qt::Key_Down, "", "40"},
        {"down stops at the minimum", "0", 0, false, Qt::Key_Down, "", "0"},
        {"up from empty", "", 0, false, Qt::Key_Up, "", "1"},
    };
    first_.setValueType(evtInteger);
    first_.setFocus();
    for (const KeyCase& c : cases) {
        first_.setText(c.text);
        first_.setCursorPosition(c.cursor);
        if (c.selectAll)
            first_.selectAll();
        QTest::keyClick(&first_, c.key);
        EXPECT_EQ(first_.text(), c.expected) << c.name;
    }
}

// The selection is made with the keyboard, as a user makes it, before the digit is typed.
TEST_F(FlatEditTest, IntegerModeZeroReplacingASelection)
{
    struct Case {
        const char* name;
        const char* text;
        int selectFrom;
        int selectLength;
        const char* expected;
    };
    const Case cases[] = {
        {"selection from the start, digits remain", "123", 0, 2, "123"},
        {"selection from the start of one digit", "45", 0, 1, "45"},
        {"selection inside the number", "123", 1, 1, "103"},
        {"selection to the end", "123", 1, 2, "10"},
        {"everything selected", "123", 0, 3, "0"},
    };
    first_.setValueType(evtInteger);
    first_.setFocus();
    for (const Case& c : cases) {
        first_.setText(QString::fromLatin1(c.text));
        QTest::keyClick(&first_, Qt::Key_Home);
        for (int i = 0; i < c.selectFrom; ++i)
            QTest::keyClick(&first_, Qt::Key_Right);
        for (int i = 0; i < c.selectLength; ++i)
            QTest::keyClick(&first_, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&first_, Qt::Key_0);
        EXPECT_EQ(first_.text(), QString::fromLatin1(c.expected)) << c.name;
    }
}

TEST_F(FlatEditTest, StepLimitsAndOtherModes)
{
    first_.setValueType(evtInteger);
    first_.setMaxValue(3);
    first_.setText(QStringLiteral("3"));
    first_.stepUp();
    EXPECT_EQ(first_.text(), QStringLiteral("3"));
    first_.setMaxValue(0);
    first_.setText(QStringLiteral("99999"));
    first_.stepUp();
    EXPECT_EQ(first_.text(), QStringLiteral("100000")) << "MaxValue 0 sets no limit";
    const QString largest = QString::number(std::numeric_limits<int>::max());
    first_.setText(largest);
    first_.stepUp();
    EXPECT_EQ(first_.text(), largest) << "the largest value does not wrap round to a negative one";
    first_.setMinValue(5);
    first_.setText(QStringLiteral("5"));
    first_.stepDown();
    EXPECT_EQ(first_.asInteger(), 5);
    first_.setText(QStringLiteral("abc"));
    first_.stepUp();
    EXPECT_EQ(first_.text(), QStringLiteral("abc")) << "text that is no number is left alone";
    EXPECT_EQ(first_.asInteger(), 0);

    second_.setText(QStringLiteral("7"));
    EXPECT_EQ(second_.asInteger(), 0) << "free text has no value";
    second_.setFocus();
    QTest::keyClicks(&second_, QStringLiteral("x-"));
    EXPECT_EQ(second_.text(), QStringLiteral("7x-"));
    second_.setValueType(evtFloat);
    QTest::keyClicks(&second_, QStringLiteral("12"));
    EXPECT_EQ(second_.text(), QStringLiteral("7x-")) << "the float mode takes no typed characters";
}

TEST_F(FlatEditTest, WheelStepsAndIsAlwaysHandled)
{
    first_.setValueType(evtInteger);
    first_.setText(QStringLiteral("10"));
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(5, 5), first_.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        event.ignore();
        QApplication::sendEvent(&first_, &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(wheel(120));
    EXPECT_EQ(first_.text(), QStringLiteral("11"));
    EXPECT_TRUE(wheel(-120));
    EXPECT_TRUE(wheel(0));
    EXPECT_EQ(first_.text(), QStringLiteral("9")) << "zero delta steps down";
    second_.setText(QStringLiteral("10"));
    EXPECT_TRUE([&] {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        event.ignore();
        QApplication::sendEvent(&second_, &event);
        return event.isAccepted();
    }());
    EXPECT_EQ(second_.text(), QStringLiteral("10"));
}

} // namespace
