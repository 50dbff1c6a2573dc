#include "controls/PngFunctions.h"

#include "controls/RoundEven.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using clipforge::roundEven;

std::uint8_t fadedAlpha(int alpha, int amount)
{
    return static_cast<std::uint8_t>(roundEven(alpha / 256.0 * (amount + 1)));
}

// Both parts may round up (255 half way gives 128 + 128): the sum saturates rather than wrap
// round to black.
std::uint8_t grayedChannel(int channel, int gray, int amount)
{
    const int value = roundEven(channel / 256.0 * (255 - amount)) + roundEven(gray / 256.0 * (amount + 1));
    return static_cast<std::uint8_t>(std::min(value, 255));
}

void grayColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue, int amount)
{
    const int gray = roundEven(0.3 * red + 0.59 * green + 0.11 * blue);
    red = grayedChannel(red, gray, amount);
    green = grayedChannel(green, gray, amount);
    blue = grayedChannel(blue, gray, amount);
}

void fadeAlphaChannel(TPngImage& picture, int amount)
{
    const int channels = picture.channels();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* alpha = picture.scanLine(y) + channels - 1;
        for (int x = 0; x < picture.width(); ++x, alpha += channels)
            *alpha = fadedAlpha(*alpha, amount);
    }
}

// A picture whose palette holds partial opacities has no single transparent colour: its entry
// opacities become an alpha channel that is then faded like any other.
bool hasPartialPaletteAlpha(const TPngImage& picture)
{
    return picture.colorType() == TPngImage::ColorType::Palette && picture.hasTransparencyChunk()
        && !picture.usesSingleColorTransparency();
}

} // namespace

void FadePicture(TPngImage& picture, int amount)
{
    if (picture.empty())
        return;
    amount = std::clamp(amount, 0, 255);
    if (!picture.hasAlphaChannel()) {
        if (hasPartialPaletteAlpha(picture)) {
            picture.convertToRgbAlpha([](const std::uint8_t*, std::uint8_t alpha) { return alpha; });
        } else if (!picture.isTrueColor()) {
            const auto opacity = static_cast<std::uint8_t>(amount);
            picture.convertToRgbAlpha([&picture, opacity](const std::uint8_t* pixel, std::uint8_t) {
                return picture.isTransparentSample(pixel) ? std::uint8_t{0} : opacity;
            });
            return;
        } else {
            picture.convertToRgbAlpha([&picture](const std::uint8_t* pixel, std::uint8_t) {
                return picture.isTransparentSample(pixel) ? std::uint8_t{0} : std::uint8_t{255};
            });
        }
    }
    fadeAlphaChannel(picture, amount);
}

void GrayPicture(TPngImage& picture, int amount)
{
    if (picture.empty() || picture.isGrayscale())
        return;
    amount = std::clamp(amount, 0, 255);
    if (picture.colorType() == TPngImage::ColorType::Palette) {
        for (TPngImage::PaletteEntry& entry : picture.palette())
            grayColor(entry.red, entry.green, entry.blue, amount);
        return;
    }
    if (picture.transparentColor()) {
        // Greying would move pixels off the one transparent colour and make them show; carry
        // the transparency in an alpha channel instead.
        picture.convertToRgbAlpha([](const std::uint8_t*, std::uint8_t alpha) { return alpha; });
    }
    const int channels = picture.channels();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* pixel = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x, pixel += channels)
            grayColor(pixel[0], pixel[1], pixel[2], amount);
    }
}

namespace clipforge {

TPngImage disabledPicture(const TPngImage& picture, TPngOptions options)
{
    TPngImage copy = picture;
    if (options.testFlag(pngBlendOnDisabled))
        FadePicture(copy, 127);
    if (options.testFlag(pngGrayscaleOnDisabled))
        GrayPicture(copy, 255);
    return copy;
}

} // namespace clipforge

void DrawPicture(const TPngImage& picture, clipforge::Canvas& canvas, const clipforge::Rect& rect, TPngOptions options)
{
    if (!options)
        picture.draw(canvas, rect);
    else
        clipforge::disabledPicture(picture, options).draw(canvas, rect);
}
