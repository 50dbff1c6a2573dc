#include "TestPng.h"

#include "controls/PngFunctions.h"
#include "controls/PngImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

using clipforge::PngError;
using ColorType = TPngImage::ColorType;

namespace {

TPngImage decode(const TestPng& png)
{
    return TPngImage::fromBytes(png.encode());
}

// Two-pixel pictures of every kind the routines distinguish; pixel 0 is the transparent one
// where the picture has a transparency chunk.
TestPng paletteWithClearEntry() { return {2, 1, 3, 8, {0, 1}, {{{9, 9, 9}}, {{200, 100, 40}}}, {0, 255}, {}, {}}; }
TestPng paletteWithoutChunk() { return {2, 1, 3, 8, {0, 1}, {{{9, 9, 9}}, {{200, 100, 40}}}, {}, {}, {}}; }
TestPng paletteWithPartialAlpha() { return {2, 1, 3, 8, {0, 1}, {{{9, 9, 9}}, {{200, 100, 40}}}, {128, 255}, {}, {}}; }
TestPng grayWithChunk() { return {2, 1, 0, 8, {10, 99}, {}, {}, std::array<std::uint16_t, 3>{10, 10, 10}, {}}; }
TestPng grayWithAlpha() { return {2, 1, 4, 8, {10, 3, 99, 255}, {}, {}, {}, {}}; }
TestPng rgbWithChunk() { return {2, 1, 2, 8, {1, 2, 3, 200, 100, 40}, {}, {}, std::array<std::uint16_t, 3>{1, 2, 3}, {}}; }
TestPng rgbWithoutChunk() { return {2, 1, 2, 8, {1, 2, 3, 200, 100, 40}, {}, {}, {}, {}}; }
TestPng rgba() { return {2, 1, 6, 8, {1, 2, 3, 128, 200, 100, 40, 255}, {}, {}, {}, {}}; }

std::vector<int> alphas(const TPngImage& picture)
{
    const QImage image = picture.toImage();
    std::vector<int> result;
    for (int x = 0; x < image.width(); ++x)
        result.push_back(qAlpha(image.pixel(x, 0)));
    return result;
}

QRgb colorAt(const TPngImage& picture, int x)
{
    return picture.toImage().pixel(x, 0) & 0xFFFFFFu;
}

} // namespace

TEST(PngImage, DecodingKeepsTheFileDescription)
{
    struct Case {
        std::string name;
        TestPng png;
        ColorType type;
        int bitDepth;
        QRgb pixel1;
        std::vector<int> alpha;
    };
    const std::vector<Case> cases = {
        {"palette", paletteWithClearEntry(), ColorType::Palette, 8, 0xC86428, {0, 255}},
        {"palette 4-bit", {2, 1, 3, 4, {0x01}, {{{9, 9, 9}}, {{200, 100, 40}}}, {}, {}, {}}, ColorType::Palette, 4, 0xC86428, {255, 255}},
        {"grey 2-bit", {2, 1, 0, 2, {0x30}, {}, {}, std::array<std::uint16_t, 3>{0, 0, 0}, {}}, ColorType::Grayscale, 2, 0xFFFFFF, {0, 255}},
        {"grey", grayWithChunk(), ColorType::Grayscale, 8, 0x636363, {0, 255}},
        {"grey alpha", grayWithAlpha(), ColorType::GrayscaleAlpha, 8, 0x636363, {3, 255}},
        {"rgb 16-bit", {2, 1, 2, 16, {0, 1, 0, 2, 0, 3, 200, 0, 100, 0, 40, 0}, {}, {}, std::array<std::uint16_t, 3>{1, 2, 3}, {}},
         ColorType::RGB, 16, 0xC86428, {0, 255}},
        {"rgba", rgba(), ColorType::RGBAlpha, 8, 0xC86428, {128, 255}},
    };
    for (const Case& c : cases) {
        const TPngImage picture = decode(c.png);
        EXPECT_EQ(picture.colorType(), c.type) << c.name;
        EXPECT_EQ(picture.bitDepth(), c.bitDepth) << c.name;
        EXPECT_EQ(picture.width(), 2) << c.name;
        EXPECT_EQ(colorAt(picture, 1), c.pixel1) << c.name;
        EXPECT_EQ(alphas(picture), c.alpha) << c.name;
    }
}

TEST(PngImage, KeepsGammaAndDropsItOnRequest)
{
    TestPng png = rgbWithoutChunk();
    png.gamma = 1.0 / 2.2;
    TPngImage picture = decode(png);
    ASSERT_TRUE(picture.gamma().has_value());
    EXPECT_NEAR(*picture.gamma(), 1.0 / 2.2, 1e-4);
    png.gamma = 1.0;
    picture = decode(png);
    EXPECT_NE(colorAt(picture, 1), 0xC86428u);
    picture.removeGamma();
    EXPECT_EQ(colorAt(picture, 1), 0xC86428u);
}

TEST(PngImage, DamagedBytesAreRefusedWithAMessage)
{
    const QByteArray good = rgba().encode();
    const std::vector<QByteArray> damaged = {QByteArray(), QByteArray("GIF89a...."), good.left(good.size() / 2),
                                             good.left(12)};
    for (const QByteArray& bytes : damaged)
        EXPECT_THROW(TPngImage::fromBytes(bytes), PngError);
    EXPECT_THROW(TPngImage::fromFile(QStringLiteral(":/no/such/picture.png")), PngError);
}

TEST(PngImage, HeaderClaimingAHugePictureIsRefusedBeforeAllocating)
{
    // A valid picture whose header is rewritten to 1,000,000 x 1,000,000 pixels (4 TB decoded).
    QByteArray bytes = rgba().encode();
    const auto put32 = [&](int offset, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
    };
    put32(16, 1000000);
    put32(20, 1000000);
    const auto* header = reinterpret_cast<const Bytef*>(bytes.constData() + 12);
    put32(29, static_cast<quint32>(crc32(0, header, 17)));
    EXPECT_THROW(TPngImage::fromBytes(bytes), PngError);
}

TEST(FadePicture, ScalesOpacityWithTiesToEven)
{
    struct Case {
        std::string name;
        TestPng png;
        int amount;
        std::vector<int> alpha;
    };
    const std::vector<Case> cases = {
        {"palette, clear entry", paletteWithClearEntry(), 127, {0, 127}},
        {"palette, no chunk", paletteWithoutChunk(), 50, {50, 50}},
        {"palette, partial alpha", paletteWithPartialAlpha(), 127, {64, 128}},
        {"grey, transparent grey", grayWithChunk(), 127, {0, 127}},
        {"grey with alpha", grayWithAlpha(), 127, {2, 128}},
        {"rgb, transparent colour", rgbWithChunk(), 50, {0, 51}},
        {"rgb, no chunk", rgbWithoutChunk(), 127, {128, 128}},
        {"rgba, amount 50", rgba(), 50, {26, 51}},
        {"rgba, amount 127", rgba(), 127, {64, 128}},
    };
    for (const Case& c : cases) {
        TPngImage picture = decode(c.png);
        FadePicture(picture, c.amount);
        EXPECT_EQ(alphas(picture), c.alpha) << c.name;
        EXPECT_EQ(colorAt(picture, 1), colorAt(decode(c.png), 1)) << c.name;
        EXPECT_TRUE(picture.hasAlphaChannel()) << c.name;
    }
}

TEST(GrayPicture, MovesColoursTowardsTheirGrey)
{
    struct Case {
        std::string name;
        TestPng png;
        int amount;
        QRgb pixel1;
    };
    // (200, 100, 40) has the grey 123; half way (127) gives 100 + 62, 50 + 62, 20 + 62.
    const std::vector<Case> cases = {
        {"palette", paletteWithoutChunk(), 255, 0x7B7B7B},
        {"rgb", rgbWithoutChunk(), 255, 0x7B7B7B},
        {"rgb half way", rgbWithoutChunk(), 127, 0xA27052},
        {"rgba", rgba(), 255, 0x7B7B7B},
        {"rgb untouched", rgbWithoutChunk(), 0, 0xC76428},
        {"grey stays", grayWithAlpha(), 255, 0x636363},
    };
    for (const Case& c : cases) {
        TPngImage picture = decode(c.png);
        const std::vector<int> alphaBefore = alphas(picture);
        GrayPicture(picture, c.amount);
        EXPECT_EQ(colorAt(picture, 1), c.pixel1) << c.name;
        EXPECT_EQ(alphas(picture), alphaBefore) << c.name;
    }
}

TEST(GrayPicture, LeavesGreyscalePicturesExactlyAsTheyWere)
{
    const TPngImage original = decode(grayWithChunk());
    TPngImage picture = original;
    GrayPicture(picture, 255);
    EXPECT_EQ(picture, original);
}

TEST(GrayPicture, PaletteChangesOnlyItsEntries)
{
    TPngImage picture = decode(paletteWithClearEntry());
    GrayPicture(picture, 255);
    EXPECT_EQ(picture.colorType(), ColorType::Palette);
    EXPECT_EQ(picture.palette()[1], (TPngImage::PaletteEntry{123, 123, 123}));
    EXPECT_EQ(alphas(picture), (std::vector<int>{0, 255}));
}

TEST(GrayPicture, WhiteHalfGreyedStaysWhite)
{
    // Channel and grey parts each round up to 128 here; their sum must not wrap to black.
    TPngImage picture = decode({1, 1, 2, 8, {255, 255, 255}, {}, {}, {}, {}});
    GrayPicture(picture, 127);
    EXPECT_EQ(colorAt(picture, 0), 0xFFFFFFu);
}

TEST(GrayPicture, TransparentColourStaysTransparent)
{
    TPngImage picture = decode(rgbWithChunk());
    GrayPicture(picture, 255);
    EXPECT_EQ(alphas(picture), (std::vector<int>{0, 255}));
}

TEST(DrawPicture, BothOptionsFadeThenGrey)
{
    const TPngImage picture = decode(rgba());
    const TPngImage look = clipforge::disabledPicture(picture, pngBlendOnDisabled | pngGrayscaleOnDisabled);
    EXPECT_EQ(alphas(look), (std::vector<int>{64, 128}));
    EXPECT_EQ(colorAt(look, 1), 0x7B7B7Bu);

    QImage target = clipforge::makeBitmap(2, 1, clBlack);
    {
        clipforge::Canvas canvas(target);
        DrawPicture(picture, canvas, {0, 0, 2, 1});
    }
    EXPECT_EQ(target.pixel(1, 0) & 0xFFFFFFu, 0xC86428u);
}
