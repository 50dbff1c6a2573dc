#include "controls/GradientProgressBar.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using clipforge::colorFromRgb;
using clipforge::rgbColor;

namespace {

// Line i of an n-step gradient, accumulated in doubles and rounded half to even.
TColor gradientLine(TColor start, TColor end, int n, int i)
{
    std::array<double, 3> value = {double(start & 0xFF), double((start >> 8) & 0xFF), double((start >> 16) & 0xFF)};
    const std::array<double, 3> step = {(double(end & 0xFF) - value[0]) / n, (double((end >> 8) & 0xFF) - value[1]) / n,
                                        (double((end >> 16) & 0xFF) - value[2]) / n};
    for (int k = 0; k < i; ++k)
        for (std::size_t c = 0; c < 3; ++c)
            value[c] += step[c];
    return rgbColor(int(std::nearbyint(value[0])), int(std::nearbyint(value[1])), int(std::nearbyint(value[2])));
}

// The scheme table as the bar's documentation gives it, written out here rather than read from the
// code, so that a wrong entry in the code's own table shows: border, back face, back gradient,
// fore face, fore gradient.
clipforge::SchemeColors documentedScheme(TColorScheme scheme)
{
    switch (scheme) {
    case csDesert: return {0x005680, 0xC6ECFF, 0xFFFFFF, 0x9BDEFF, 0x007BB7};
    case csGrass: return {0x156F37, 0xCBF5DC, 0xFFFFFF, 0xC9F5DB, 0x28C162};
    case csSilver: return {0x6B6B6B, 0xE0E0E0, 0xFFFFFF, 0xF0F0F0, 0xADADAD};
    case csSky: return {0xB35900, 0xFFEAD5, 0xFFFFFF, 0xFFEEDD, 0xFFAE5E};
    case csRose: return {0x00009D, 0xD7D7FF, 0xFFFFFF, 0xE8E8FF, 0x8080FF};
    case csSun: return {0x006464, 0xCEFFFF, 0xFFFFFF, 0xDFFFFF, 0x05BCDC};
    case csHackers: return {0x000000, 0x005500, 0x008000, 0x91ECAE, 0x00AA00};
    case csNight: return {0x000000, 0x804000, 0xA85400, 0xFFCB97, 0xEC7600};
    case csVelvet: return {0x000000, 0x000059, 0x46468C, 0x9F9FF2, 0x4848BB};
    case csMetal: return {0x000000, 0x464646, 0x6F6F6F, 0xCECECE, 0x737373};
    case csViolet: return {0x000000, 0x800040, 0xCA0065, 0xFFB7DB, 0xFF3399};
    case csToxic: return {0x000000, 0x2C5656, 0x3E7B7B, 0xBCDEDE, 0x468E8E};
    default: break;
    }
    ADD_FAILURE() << "no documented colours for scheme " << scheme;
    return {};
}

TColor at(const QImage& image, int x, int y)
{
    return colorFromRgb(image.pixel(x, y));
}

struct Bar {
    TGradientProgressBar bar;
    Bar(int w, int h, TColorScheme scheme, TProgressBarOrientation orientation, int position)
    {
        bar.resize(w, h);
        bar.SetColorScheme(scheme);
        bar.SetOrientation(orientation);
        bar.SetPosition(position);
    }
};

void expectBorder(const QImage& image, TColor border, const std::string& name)
{
    for (int x = 0; x < image.width(); ++x) {
        EXPECT_EQ(at(image, x, 0), border) << name << " top " << x;
        EXPECT_EQ(at(image, x, image.height() - 1), border) << name << " bottom " << x;
    }
    for (int y = 0; y < image.height(); ++y) {
        EXPECT_EQ(at(image, 0, y), border) << name << " left " << y;
        EXPECT_EQ(at(image, image.width() - 1, y), border) << name << " right " << y;
    }
}

} // namespace

TEST(GradientProgressBar, HorizontalFillEdgeAndBackgroundPixelByPixel)
{
    struct Case {
        std::string name;
        TColorScheme scheme;
        int position;
        int fill;
    };
    const std::vector<Case> cases = {
        {"desert at min", csDesert, 0, 0},     {"desert half", csDesert, 50, 9},
        {"desert at max", csDesert, 100, 18},  {"night half", csNight, 50, 9},
        {"night beyond max", csNight, 150, 27},
    };
    const int w = 20;
    const int h = 10;
    for (const Case& c : cases) {
        Bar b(w, h, c.scheme, pbHorizontal, c.position);
        const QImage image = b.bar.render();
        const auto colors = documentedScheme(c.scheme);
        expectBorder(image, colors.border, c.name);
        const TColor edge = c.fill > 2 ? gradientLine(colors.foreFace, colors.foreGrad, h, h - 2)
                                       : gradientLine(colors.backFace, colors.backGrad, h - 2, h - 2);
        const TColor highlight = c.fill > 1 ? gradientLine(colors.foreFace, colors.foreGrad, h, 1)
                                            : gradientLine(colors.backFace, colors.backGrad, h - 2, 1);
        for (int y = 1; y < h - 1; ++y) {
            EXPECT_EQ(at(image, 1, y), highlight) << c.name << " highlight row " << y;
            for (int x = 2; x < w - 1; ++x) {
                TColor expected = x < c.fill ? gradientLine(colors.foreFace, colors.foreGrad, h, y)
                                             : gradientLine(colors.backFace, colors.backGrad, h - 2, y);
                if (x == c.fill)
                    expected = edge;
                EXPECT_EQ(at(image, x, y), expected) << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(GradientProgressBar, VerticalFillsFromTheBottom)
{
    struct Case {
        std::string name;
        TColorScheme scheme;
        int position;
        int fillTop;
    };
    const int w = 10;
    const int h = 20;
    const std::vector<Case> cases = {
        {"sky at min", csSky, 0, h - 1}, {"sky half", csSky, 50, 10}, {"velvet at max", csVelvet, 100, 1}};
    for (const Case& c : cases) {
        Bar b(w, h, c.scheme, pbVertical, c.position);
        const QImage image = b.bar.render();
        const auto colors = documentedScheme(c.scheme);
        expectBorder(image, colors.border, c.name);
        for (int x = 1; x < w - 1; ++x) {
            const TColor fillColor = gradientLine(colors.foreFace, colors.foreGrad, w, x);
            const TColor backColor = gradientLine(colors.backFace, colors.backGrad, w - 2, x);
            if (c.fillTop < h - 2) {
                EXPECT_EQ(at(image, x, h - 3), fillColor) << c.name << " fill column " << x;
            }
            if (c.fillTop > 2) {
                EXPECT_EQ(at(image, x, 2), backColor) << c.name << " back column " << x;
            }
        }
        // The bottom line repeats the colour found at (2, h - 2) across the whole row.
        const TColor bottom = c.fillTop <= h - 2 ? gradientLine(colors.foreFace, colors.foreGrad, w, 2)
                                                 : gradientLine(colors.backFace, colors.backGrad, w - 2, 2);
        for (int x = 1; x < w - 1; ++x)
            EXPECT_EQ(at(image, x, h - 2), bottom) << c.name;
    }
}

TEST(GradientProgressBar, PositionFarBeyondMaxPaintsAsOneWellBeyond)
{
    for (TProgressBarOrientation orientation : {pbHorizontal, pbVertical}) {
        Bar b(20, 10, csDesert, orientation, 0);
        b.bar.SetMax(1);
        b.bar.SetPosition(3);
        const QImage wellBeyond = b.bar.render();
        b.bar.SetPosition(std::numeric_limits<int>::max());
        EXPECT_EQ(b.bar.render(), wellBeyond) << "orientation " << orientation;
    }
}

TEST(GradientProgressBar, SettersKeepTheirOrder)
{
    TGradientProgressBar bar;
    bar.SetMax(-5);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetMin(101);
    EXPECT_EQ(bar.Min(), 0);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 500);
    bar.SetPosition(40);
    bar.SetMin(60);
    EXPECT_EQ(bar.Min(), 60);
    EXPECT_EQ(bar.Position(), 40);
}

TEST(GradientProgressBar, ColoursAndSchemes)
{
    TGradientProgressBar bar;
    EXPECT_EQ(bar.ColorScheme(), csDesert);
    EXPECT_EQ(bar.ColorBorder(), 0x005680u);
    bar.SetColorBorder(0xE3B28D);
    EXPECT_EQ(bar.ColorScheme(), csCustom);
    EXPECT_EQ(bar.BackColorFace(), 0xC6ECFFu);
    bar.SetColorScheme(csCustom);
    EXPECT_EQ(bar.ColorBorder(), 0xE3B28Du);
    bar.SetColorScheme(csToxic);
    EXPECT_EQ(bar.ColorBorder(), 0u);
    EXPECT_EQ(bar.ForeColorGrad(), 0x468E8Eu);
    bar.SetColorScheme(static_cast<TColorScheme>(csToxic + 1));
    EXPECT_EQ(bar.ColorScheme(), csToxic);
    EXPECT_EQ(bar.ForeColorGrad(), 0x468E8Eu);
}

TEST(GradientProgressBar, EverySchemeSetsItsFiveDocumentedColours)
{
    for (int scheme = csDesert; scheme <= csToxic; ++scheme) {
        TGradientProgressBar bar;
        bar.SetColorScheme(static_cast<TColorScheme>(scheme));
        const auto e = documentedScheme(static_cast<TColorScheme>(scheme));
        EXPECT_EQ((std::array {bar.ColorBorder(), bar.BackColorFace(), bar.BackColorGrad(), bar.ForeColorFace(),
                               bar.ForeColorGrad()}),
                  (std::array {e.border, e.backFace, e.backGrad, e.foreFace, e.foreGrad}))
            << "scheme " << scheme;
    }
}

TEST(GradientProgressBar, DegenerateRangesAndSizesPaintSafely)
{
    for (TProgressBarOrientation orientation : {pbHorizontal, pbVertical}) {
        TGradientProgressBar bar;
        bar.SetOrientation(orientation);
        bar.resize(30, 30);
        bar.SetMax(0);
        const QImage equal = bar.render();
        // Max = Min: no fill colour anywhere inside.
        const TColor foreTop = gradientLine(0x9BDEFF, 0x007BB7, 30, 5);
        EXPECT_NE(at(equal, 5, 5), foreTop);
        for (QSize size : {QSize(2, 2), QSize(1, 1), QSize(0, 0), QSize(3, 2)}) {
            bar.resize(size);
            const QImage image = bar.render();
            EXPECT_EQ(image.size(), size);
        }
    }
}

TEST(GradientProgressBar, SpanOfZeroDrawsOneLineInTheStartColour)
{
    QImage image = clipforge::makeBitmap(4, 3);
    {
        clipforge::Canvas canvas(image);
        clipforge::drawLineGradient(canvas, {1, 1, 3, 1}, 0x0000FF, 0xFF0000, clipforge::GradientDirection::TopToBottom);
    }
    EXPECT_EQ(at(image, 1, 0), 0x0000FFu);
    EXPECT_EQ(at(image, 3, 0), 0x0000FFu);
    EXPECT_EQ(at(image, 1, 1), clWhite);
}
