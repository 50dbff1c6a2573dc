#include "TestPictures.h"

#include "controls/PngButtonFunctions.h"
#include "controls/PngImageList.h"
#include "controls/PngSpeedButton.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LayoutButton, PlacesPictureAlongTheLayoutAxis)
{
    struct Case {
        std::string name;
        TButtonLayout layout;
        int margin;
        bool pressed;
        QPoint expected;
    };
    const std::vector<Case> cases = {
        {"centred", blGlyphLeft, -1, false, {4, 4}},   {"centred pressed", blGlyphLeft, -1, true, {5, 5}},
        {"left margin 2", blGlyphLeft, 2, false, {2, 4}}, {"right margin 2", blGlyphRight, 2, false, {6, 4}},
        {"top margin 2", blGlyphTop, 2, false, {4, 2}},   {"bottom margin 2", blGlyphBottom, 2, false, {4, 6}},
        {"odd size rounds down and right", blGlyphTop, -1, false, {4, 4}},
    };
    QImage image = clipforge::makeBitmap(24, 24);
    clipforge::Canvas canvas(image);
    const TPngImage picture = solidPicture(16, 16, Qt::red);
    for (const Case& c : cases) {
        const auto result = LayoutButton(canvas, picture, {0, 0, 24, 24}, 0, 4, c.margin, c.layout, {}, c.pressed);
        EXPECT_EQ(result.glyphPosition, c.expected) << c.name;
    }
    const auto moved = LayoutButton(canvas, picture, {10, 20, 34, 44}, 0, 4, -1, blGlyphLeft, {}, false);
    EXPECT_EQ(moved.glyphPosition, QPoint(14, 24));
}

TEST(LayoutButton, CaptionFollowsThePictureWithSpacing)
{
    QImage image = clipforge::makeBitmap(100, 24);
    clipforge::Canvas canvas(image);
    const TPngImage picture = solidPicture(16, 16, Qt::red);
    const QString caption = QStringLiteral("Folder");
    const int textWidth = canvas.textWidth(caption);
    for (int spacing : {4, -1}) {
        const auto result = LayoutButton(canvas, picture, {0, 0, 100, 24}, 0, spacing, 3, blGlyphLeft, caption, false);
        EXPECT_EQ(result.glyphPosition.x(), 3);
        EXPECT_EQ(result.textRect.left, 3 + 16 + 4) << spacing;
        EXPECT_EQ(result.textRect.width(), textWidth);
    }
    const auto rtl = LayoutButton(canvas, picture, {0, 0, 100, 24}, clipforge::dtRtlReading, 4, 3, blGlyphLeft, caption, false);
    EXPECT_EQ(rtl.glyphPosition.x(), 100 - 3 - 16);
}

TEST(PngImageList, ItemsAreNamedByTheirIndexAtCreation)
{
    TPngImageList list;
    auto& items = list.PngImages();
    items.Add();
    items.Add();
    TPngImageCollectionItem* third = items.Add();
    EXPECT_EQ(third->Name(), QStringLiteral("PngImage2"));
    EXPECT_EQ(third->Background(), clBtnFace);
    items.Items(0)->SetName(QStringLiteral("waiting"));
    items.Move(2, 0);
    EXPECT_EQ(items.Items(0)->Name(), QStringLiteral("PngImage2"));
    EXPECT_EQ(items.Items(1)->Name(), QStringLiteral("waiting"));
    EXPECT_EQ(items.Items(3), nullptr);
    EXPECT_EQ(items.Items(-1), nullptr);
}

TEST(PngImageList, ChangingTheSizeEmptiesTheList)
{
    TPngImageList list;
    list.Add(QImage(16, 16, QImage::Format_RGB32), QImage());
    list.AddMasked(QImage(16, 16, QImage::Format_RGB32), clBlack);
    ASSERT_EQ(list.PngImages().Count(), 2);
    ASSERT_EQ(list.Count(), 2);
    list.SetWidth(16);
    EXPECT_EQ(list.Count(), 2);
    list.SetWidth(32);
    EXPECT_EQ(list.PngImages().Count(), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(PngImageList, DrawsEnabledDisabledAndNothingBeyondTheItems)
{
    TPngImageList list;
    list.PngImages().Add()->SetPngImage(solidPicture(16, 16, QColor(200, 100, 40)));
    auto draw = [&](int index, bool enabled) {
        QImage image = clipforge::makeBitmap(16, 16, clBlack);
        clipforge::Canvas canvas(image);
        list.Draw(canvas, 0, 0, index, enabled);
        return image;
    };
    EXPECT_EQ(draw(0, true).pixel(5, 5) & 0xFFFFFFu, 0xC86428u);
    EXPECT_EQ(draw(1, true).pixel(5, 5) & 0xFFFFFFu, 0u);
    EXPECT_NE(draw(0, false).pixel(5, 5), draw(0, true).pixel(5, 5));
    list.SetPngOptions({});
    EXPECT_EQ(draw(0, false), draw(0, true));
}

TEST(PngImageList, ReadyImagesFollowEnabledImagesAndUpdates)
{
    TPngImageList list;
    int changes = 0;
    QObject::connect(&list, &TPngImageList::changed, [&](TPngImageList* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    });
    list.BeginUpdate();
    list.PngImages().Add()->SetPngImage(solidPicture(16, 16, QColor(200, 100, 40)));
    list.PngImages().Add();
    list.PngImages().Add()->SetPngImage(solidPicture(16, 16, QColor(0, 0, 255)));
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    // Items without a picture have no ready image.
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(qAlpha(list.image(0).pixel(3, 3)), 255);
    EXPECT_FALSE(list.icon(1).isNull());
    EXPECT_TRUE(list.icon(2).isNull());
    list.SetEnabledImages(false);
    EXPECT_EQ(qAlpha(list.image(0).pixel(3, 3)), 128);
}

TEST(PngImageList, OperationsKeepItemsAndImagesInStep)
{
    TPngImageList list;
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage mask(16, 16, QImage::Format_RGB32);
    mask.fill(Qt::black);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    EXPECT_EQ(list.Add(red, mask), 0);
    EXPECT_EQ(qAlpha(list.image(0).pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(list.image(0).pixel(1, 0)), 255);
    list.InsertMasked(0, red, clRed);
    EXPECT_EQ(qAlpha(list.image(0).pixel(5, 5)), 0);
    EXPECT_EQ(list.PngImages().Items(0)->Name(), QStringLiteral("PngImage0"));
    list.Replace(0, red, QImage());
    EXPECT_EQ(qAlpha(list.image(0).pixel(5, 5)), 255);
    TPngImageList other;
    other.AddImages(list);
    EXPECT_EQ(other.PngImages().Count(), 2);
    other.Delete(0);
    other.Delete(7);
    EXPECT_EQ(other.Count(), 1);
    other.Clear();
    EXPECT_EQ(other.Count(), 0);
}

TEST(PngSpeedButton, PictureSitsCentredAndMovesWhenPressed)
{
    TPngSpeedButton button;
    button.resize(24, 24);
    button.SetFlat(true);
    button.SetPngImage(solidPicture(16, 16, QColor(255, 0, 0)));
    EXPECT_EQ(findColor(button.render(), qRgb(255, 0, 0)), QPoint(4, 4));
    int clicks = 0;
    button.OnClick = [&](TPngSpeedButton* sender) {
        EXPECT_EQ(sender, &button);
        ++clicks;
    };
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(findColor(button.render(), qRgb(255, 0, 0)), QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(findColor(button.render(), qRgb(255, 0, 0)), QPoint(4, 4));
}

TEST(PngSpeedButton, PictureFromAnActionOnlyWhenItHasNoneOfItsOwn)
{
    TPngImageList images;
    images.PngImages().Add()->SetPngImage(solidPicture(16, 16, Qt::blue));
    TPngSpeedButton button;
    button.ActionChange(&images, 1);
    EXPECT_TRUE(button.PngImage().empty());
    button.ActionChange(&images, 0);
    EXPECT_TRUE(button.ImageFromAction());
    EXPECT_EQ(button.PngImage().width(), 16);
    button.SetPngImage(solidPicture(8, 8, Qt::red));
    button.ActionChange(&images, 0);
    EXPECT_FALSE(button.ImageFromAction());
    EXPECT_EQ(button.PngImage().width(), 8);
}
