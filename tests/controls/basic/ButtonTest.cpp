#include "TestPictures.h"

#include "controls/ButtonPress.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"

#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using clipforge::colorFromRgb;

namespace {

TColor at(const QImage& image, int x, int y)
{
    return colorFromRgb(image.pixel(x, y));
}

TColor faceRow(TColor from, TColor to, int h, int y)
{
    auto channel = [&](int shift) {
        const double start = (from >> shift) & 0xFF;
        const double step = (double((to >> shift) & 0xFF) - start) / h;
        return int(std::nearbyint(step * y + start)) << shift;
    };
    return TColor(channel(0) | channel(8) | channel(16));
}

void sendEnter(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&widget, &event);
}

void sendLeave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(MyButtonEx, FaceRowsWhiteLinesAndBorder)
{
    struct Case {
        std::string name;
        TColor from, to;
        bool pressed;
    };
    const std::vector<Case> cases = {
        {"form colours", 0xF1E2D5, 0xF1D8C1, false},
        {"pressed", 0xFCEFC6, 0xFFE0C8, true},
        {"wide span", 0x000000, 0xFFFFFF, false},
    };
    for (const Case& c : cases) {
        TMyButtonEx button;
        button.resize(121, 41);
        button.SetBorderColor(0xDBBF9E);
        (c.pressed ? button.SetClickColorFrom(c.from) : button.SetDefaultColorFrom(c.from));
        (c.pressed ? button.SetClickColorTo(c.to) : button.SetDefaultColorTo(c.to));
        if (c.pressed)
            QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 20));
        const QImage face = button.render();
        EXPECT_EQ(at(face, 60, 0), 0xDBBF9Eu) << c.name;
        EXPECT_EQ(at(face, 120, 20), 0xDBBF9Eu) << c.name;
        EXPECT_EQ(at(face, 60, 1), clWhite) << c.name;
        EXPECT_EQ(at(face, 119, 20), clWhite) << c.name;
        for (int y = 2; y < 40; ++y)
            EXPECT_EQ(at(face, 30, y), faceRow(c.from, c.to, 41, y)) << c.name << " row " << y;
    }
}

TEST(MyButtonEx, EqualColoursGiveOneFlatFace)
{
    TMyButtonEx button;
    button.resize(40, 20);
    button.SetDefaultColorFrom(0x123456);
    button.SetDefaultColorTo(0x123456);
    const QImage face = button.render();
    EXPECT_EQ(at(face, 10, 1), 0x123456u);
    EXPECT_EQ(at(face, 38, 10), 0x123456u);
    EXPECT_EQ(at(face, 10, 18), 0x123456u);
}

TEST(MyButtonEx, PressedGlyphAndCaptionMoveTwoPixels)
{
    TMyButtonEx button;
    button.resize(121, 41);
    button.SetGlyph(solidPicture(6, 6, QColor(255, 0, 0)));
    const QPoint normal = findColor(button.render(), qRgb(255, 0, 0));
    // No caption: x0 = (121 - 6 - 0 - 3) div 2 = 56, top = (41 - 6) div 2 = 17.
    EXPECT_EQ(normal, QPoint(56, 17));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_TRUE(button.IsDown());
    EXPECT_EQ(findColor(button.render(), qRgb(255, 0, 0)), QPoint(58, 19));
}

TEST(MyButtonEx, TallGlyphIsCentred)
{
    TMyButtonEx button;
    button.resize(30, 10);
    TPngImage glyph = solidPicture(4, 15, QColor(255, 0, 0));
    button.SetGlyph(glyph);
    // (10 - 15) div 2 = -2: rows 0 .. 9 of the glyph's rows -2 .. 12 are visible.
    const QImage face = button.render();
    EXPECT_EQ(at(face, 12, 8), 0x0000FFu);
    EXPECT_EQ(at(face, 12, 1), 0x0000FFu);
}

TEST(MyButtonEx, CaptionColourFollowsEnabled)
{
    for (bool enabled : {true, false}) {
        TMyButtonEx button;
        button.resize(121, 41);
        button.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -12, true));
        button.SetFontColor(0x8B4215);
        button.SetCaption(QStringLiteral("&Import"));
        button.SetEnabled(enabled);
        const QImage face = button.render();
        const bool hasFontColour = findColor(face, qRgb(0x15, 0x42, 0x8B)) != QPoint(-1, -1);
        const bool hasSilver = findColor(face, qRgb(0xC0, 0xC0, 0xC0)) != QPoint(-1, -1);
        EXPECT_EQ(hasFontColour, enabled);
        EXPECT_EQ(hasSilver, !enabled);
    }
}

TEST(MyButtonEx, ClickOnlyOnReleaseWhilePressed)
{
    TMyButtonEx button;
    button.resize(121, 41);
    button.show();
    int clicks = 0;
    bool downDuringClick = true;
    button.OnClick = [&](TMyButtonEx* sender) {
        EXPECT_EQ(sender, &button);
        downDuringClick = sender->IsDown();
        ++clicks;
    };
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(downDuringClick);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&button, QPoint(200, 10));
    EXPECT_FALSE(button.IsDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks, 1);

    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST(MyButtonEx, AcceleratorClicksWithoutLeavingItPressed)
{
    TMyButtonEx button;
    button.SetCaption(QStringLiteral("E&xport"));
    button.show();
    int clicks = 0;
    button.OnClick = [&](TMyButtonEx*) { ++clicks; };
    EXPECT_FALSE(button.DialogChar(u'e'));
    EXPECT_TRUE(button.DialogChar(u'X'));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.IsDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    button.SetEnabled(false);
    EXPECT_FALSE(button.DialogChar(u'x'));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clipforge::acceleratorOf(QStringLiteral("Save && &Quit")), QChar(u'Q'));
}

class ImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        button.resize(40, 40);
        button.SetImage(solidPicture(20, 20, QColor(255, 0, 0)));
        button.SetImageOver(solidPicture(20, 20, QColor(0, 255, 0)));
        button.SetImageDown(solidPicture(20, 20, QColor(0, 0, 255)));
        button.SetImageDisable(solidPicture(20, 20, QColor(128, 128, 128)));
        button.OnClick = [this](TImageButton* sender) {
            EXPECT_EQ(sender, &button);
            ++clicks;
        };
    }
    QRgb shown() { return button.render().pixel(10, 10) & 0xFFFFFFu; }

    TImageButton button;
    int clicks = 0;
};

TEST_F(ImageButtonTest, LooksFollowOverAndDown)
{
    EXPECT_EQ(shown(), 0xFF0000u);
    sendEnter(button);
    EXPECT_EQ(shown(), 0x00FF00u);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(shown(), 0x0000FFu);
    EXPECT_EQ(button.ImageRect(), (clipforge::Rect{2, 2, 22, 22}));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    sendLeave(button);
    EXPECT_EQ(shown(), 0xFF0000u);
}

TEST_F(ImageButtonTest, DragOffAndBackRaisesNoClick)
{
    sendEnter(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&button, QPoint(30, 30));
    EXPECT_FALSE(button.IsDown());
    EXPECT_EQ(shown(), 0x00FF00u);
    QTest::mouseMove(&button, QPoint(10, 10));
    EXPECT_FALSE(button.IsDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonTest, RightReleaseRepaintsButRaisesNoClick)
{
    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.IsDown());
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button.IsDown());
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonTest, DisabledReactsButOnlyShowsItsDisabledPicture)
{
    button.SetEnabled(false);
    sendEnter(button);
    EXPECT_TRUE(button.IsOver());
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.IsDown());
    EXPECT_EQ(shown(), 0x808080u);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonTest, MissingPicturesFallBack)
{
    button.SetUseDown(false);
    button.SetImageDown(TPngImage());
    sendEnter(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(shown(), 0x00FF00u);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    button.SetImageOver(TPngImage());
    EXPECT_EQ(shown(), 0xFF0000u);
}

TEST_F(ImageButtonTest, ForwardedClickAtOriginCountsWhenNotShifted)
{
    button.SetUseDown(false);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(0, 0));
    sendEnter(button);
    sendLeave(button);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(0, 0));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButtonTest, WithoutPressedPictureTheOverPictureIsTheHitArea)
{
    button.SetImageDown(TPngImage());
    sendEnter(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button.ImageRect(), (clipforge::Rect{2, 2, 22, 22}));
    QTest::mouseMove(&button, QPoint(11, 11));
    EXPECT_TRUE(button.IsDown());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(clicks, 1);
}

TEST(ImageButton, ButtonWithOnlyItsNormalPictureCanBeClicked)
{
    for (bool useDown : {false, true}) {
        TImageButton button;
        button.resize(40, 40);
        button.SetImage(solidPicture(20, 20, QColor(255, 0, 0)));
        button.SetUseDown(useDown);
        int clicks = 0;
        button.OnClick = [&](TImageButton*) { ++clicks; };
        sendEnter(button);
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(button.render().pixel(useDown ? 12 : 10, useDown ? 12 : 10) & 0xFFFFFFu, 0xFF0000u)
            << "pressed, the normal picture stands in";
        QTest::mouseMove(&button, QPoint(11, 11));
        EXPECT_TRUE(button.IsDown()) << "useDown " << useDown;
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(11, 11));
        EXPECT_EQ(clicks, 1) << "useDown " << useDown;
    }
}

// A press dragged off and back: the speed buttons take it back, the image and captioned buttons
// have cancelled it; a release outside never clicks.
TEST(ButtonPress, ADragOffCancelsOrComesBackAsTheButtonKindSays)
{
    using clipforge::ButtonPress;
    const struct {
        ButtonPress::DragBack kind;
        std::vector<bool> moves;  // inside or not, after the press
        bool releasedInside;
        bool pressedBeforeRelease;
        bool clicks;
    } cases[] = {
        {ButtonPress::DragBack::Revives, {}, true, true, true},
        {ButtonPress::DragBack::Cancels, {}, true, true, true},
        {ButtonPress::DragBack::Revives, {false, true}, true, true, true},
        {ButtonPress::DragBack::Cancels, {false, true}, true, false, false},
        {ButtonPress::DragBack::Revives, {false}, false, false, false},
        {ButtonPress::DragBack::Cancels, {true}, false, true, false},
    };
    for (const auto& c : cases) {
        ButtonPress press(c.kind);
        press.press();
        for (const bool inside : c.moves)
            press.move(inside);
        EXPECT_EQ(press.pressed(), c.pressedBeforeRelease) << c.moves.size();
        EXPECT_EQ(press.release(c.releasedInside), c.clicks) << c.moves.size();
        EXPECT_FALSE(press.pressed() || press.tracking());
        EXPECT_FALSE(press.move(true)) << "no press, nothing to show";
    }
}
