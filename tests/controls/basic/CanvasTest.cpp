#include "controls/Canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace clipforge;

namespace {

// The image as rows of '#' (pen colour) and '.' (anything else), for shape comparisons.
std::vector<std::string> shape(const QImage& image, TColor ink)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x)
            row += colorFromRgb(image.pixel(x, y)) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(Canvas, LinesLeaveOutTheirEndPoint)
{
    struct Case {
        QPoint from, to;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {{0, 0}, {4, 0}, {"####.", ".....", ".....", ".....", "....."}},
        {{4, 1}, {0, 1}, {".....", ".####", ".....", ".....", "....."}},
        {{2, 0}, {2, 3}, {"..#..", "..#..", "..#..", ".....", "....."}},
        {{0, 0}, {4, 4}, {"#....", ".#...", "..#..", "...#.", "....."}},
        {{1, 1}, {1, 1}, {".....", ".....", ".....", ".....", "....."}},
    };
    for (const Case& c : cases) {
        QImage image = makeBitmap(5, 5);
        {
            Canvas canvas(image);
            canvas.setPenColor(clRed);
            canvas.moveTo(c.from.x(), c.from.y());
            canvas.lineTo(c.to.x(), c.to.y());
            EXPECT_EQ(canvas.penPosition(), c.to);
        }
        EXPECT_EQ(shape(image, clRed), c.expected) << c.from.x() << "," << c.from.y();
    }
}

TEST(Canvas, RectanglesExcludeRightAndBottom)
{
    QImage image = makeBitmap(6, 5);
    {
        Canvas canvas(image);
        canvas.fillRect({1, 1, 3, 2}, clRed);
        canvas.frameRect({3, 2, 6, 5}, clRed);
    }
    const std::vector<std::string> expected = {"......", ".##...", "...###", "...#.#", "...###"};
    EXPECT_EQ(shape(image, clRed), expected);
}

TEST(Canvas, RectangleWithClearBrushKeepsTheInside)
{
    QImage image = makeBitmap(4, 4, clBlue);
    {
        Canvas canvas(image);
        canvas.setPenColor(clRed);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.rectangle({0, 0, 4, 4});
    }
    EXPECT_EQ(colorFromRgb(image.pixel(1, 1)), clBlue);
    EXPECT_EQ(colorFromRgb(image.pixel(3, 3)), clRed);
}

TEST(Canvas, RoundRectOutlineCutsTheCorners)
{
    QImage image = makeBitmap(7, 6);
    {
        Canvas canvas(image);
        canvas.setPenColor(clRed);
        canvas.setBrushStyle(BrushStyle::Clear);
        canvas.roundRect({0, 0, 7, 6}, 5, 5);
    }
    const std::vector<std::string> expected = {
        "..###..", ".#...#.", "#.....#", "#.....#", ".#...#.", "..###.."};
    EXPECT_EQ(shape(image, clRed), expected);
    const QRegion region = roundRectRegion({0, 0, 7, 6}, 5, 5);
    EXPECT_FALSE(region.contains(QPoint(1, 0)));
    EXPECT_TRUE(region.contains(QPoint(1, 1)));
    EXPECT_TRUE(region.contains(QPoint(3, 3)));
    EXPECT_FALSE(region.contains(QPoint(7, 3)));
}

TEST(Canvas, PolylineDrawsEveryVertexButTheLast)
{
    QImage image = makeBitmap(4, 4);
    {
        Canvas canvas(image);
        canvas.setPenColor(clRed);
        canvas.polyline({{0, 0}, {3, 0}, {3, 3}});
    }
    const std::vector<std::string> expected = {"####", "...#", "...#", "...."};
    EXPECT_EQ(shape(image, clRed), expected);
}

TEST(Canvas, SystemColoursResolveOrUseTheirLowBytes)
{
    EXPECT_EQ(resolveColor(0x123456), 0x123456u);
    EXPECT_EQ(resolveColor(clBtnFace, SystemColors::UseLowBytes), 0x00000Fu);
    EXPECT_FALSE(isSystemColor(resolveColor(clWindow)));
    EXPECT_EQ(colorToQColor(0x8B4215, false), QColor(21, 66, 139));
}

TEST(Canvas, MeasuringTextGrowsTheRectangleFromItsCorner)
{
    QImage image = makeBitmap(10, 10);
    Canvas canvas(image);
    Rect rect{5, 5, 5, 5};
    const int height = canvas.drawText(QStringLiteral("Import"), rect, dtSingleLine | dtCalcRect);
    EXPECT_GT(height, 0);
    EXPECT_EQ(rect.top, 5);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_EQ(rect.width(), canvas.textWidth(QStringLiteral("Import")));
}

namespace {

// The text drawn into a box of the given height, as a picture.
QImage textInBox(int boxHeight, unsigned flags, int top)
{
    QImage image = makeBitmap(80, 40);
    Canvas canvas(image);
    canvas.setFont(makeFont(QStringLiteral("Trebuchet MS"), -16));
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    Rect rect{0, top, 80, top + boxHeight};
    canvas.drawText(QStringLiteral("Import"), rect, flags);
    return image;
}

}  // namespace

// Centred text starts (free height) div 2 below the top, whether that free height is odd or even.
TEST(Canvas, VerticallyCentredTextSitsAtHalfTheFreeHeightRoundedDown)
{
    QImage probe = makeBitmap(1, 1);
    Canvas measure(probe);
    measure.setFont(makeFont(QStringLiteral("Trebuchet MS"), -16));
    const int textHeight = measure.textHeight(QStringLiteral("Import"));
    for (int freeHeight : {0, 1, 2, 3, 6, 7}) {
        const int box = textHeight + freeHeight;
        const QImage centred = textInBox(box, dtSingleLine | dtVCenter, 0);
        const QImage placed = textInBox(textHeight, dtSingleLine, freeHeight / 2);
        EXPECT_EQ(centred, placed) << "free height " << freeHeight;
    }
}
