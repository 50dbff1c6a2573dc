#pragma once

#include "controls/Canvas.h"
#include "controls/Color.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace clipforge {

// A PNG that cannot be decoded, or a picture resource that cannot be read.
class PngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace clipforge

// A decoded PNG picture that keeps what the picture routines need: the colour type, the bit depth,
// the palette, the transparency chunk and the gamma. Samples are held at 8 bits (16-bit files are
// reduced, 1, 2 and 4-bit greyscale scaled up, small palette indices unpacked).
class TPngImage {
public:
    enum class ColorType : std::uint8_t { Grayscale = 0, RGB = 2, Palette = 3, GrayscaleAlpha = 4, RGBAlpha = 6 };
    struct PaletteEntry {
        std::uint8_t red = 0, green = 0, blue = 0;
        friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
    };
    using Sample = std::array<std::uint8_t, 3>;

    TPngImage() = default;

    // Complete PNG file bytes, signature first; throws clipforge::PngError.
    static TPngImage fromBytes(const QByteArray& bytes);
    // A file or a Qt resource path (":/..."); throws clipforge::PngError.
    static TPngImage fromFile(const QString& path);
    // An 8-bit RGBA picture with the image's colours and alpha.
    static TPngImage fromImage(const QImage& image);
    // A bitmap whose mask marks transparent pixels (mask pixels that are not black).
    static TPngImage fromBitmapWithMask(const QImage& bitmap, const QImage& mask);
    // A bitmap whose pixels of the given colour are transparent.
    static TPngImage fromBitmapWithMaskColor(const QImage& bitmap, TColor maskColor);

    bool empty() const { return width_ == 0 || height_ == 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    ColorType colorType() const { return colorType_; }
    int bitDepth() const { return bitDepth_; }
    int channels() const;
    bool hasAlphaChannel() const;
    bool isGrayscale() const;
    bool isTrueColor() const;

    const std::vector<PaletteEntry>& palette() const { return palette_; }
    std::vector<PaletteEntry>& palette() { return palette_; }
    // The transparency chunk: per palette entry alpha (palette pictures), or the one transparent
    // grey or colour (greyscale and true-colour pictures; a grey is held in all three places).
    const std::vector<std::uint8_t>& paletteAlpha() const { return paletteAlpha_; }
    const std::optional<Sample>& transparentColor() const { return transparentColor_; }
    bool hasTransparencyChunk() const;
    // Transparency by one colour or by palette entries that are either clear or opaque.
    bool usesSingleColorTransparency() const;
    std::optional<double> gamma() const { return gamma_; }
    void removeGamma() { gamma_.reset(); }

    // Samples of row y, channels() bytes per pixel.
    std::uint8_t* scanLine(int y) { return pixels_.data() + rowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* scanLine(int y) const { return pixels_.data() + rowBytes() * static_cast<std::size_t>(y); }
    bool isTransparentSample(const std::uint8_t* pixel) const;

    // Turns a palette or greyscale picture into 8-bit RGB with an alpha channel (alpha given per
    // pixel by the caller), or adds an alpha channel to RGB / grey pictures.
    template <typename AlphaOf>
    void convertToRgbAlpha(AlphaOf alphaOf);

    // The picture as straight (not premultiplied) ARGB with gamma applied.
    QImage toImage() const;
    void draw(clipforge::Canvas& canvas, const clipforge::Rect& rect) const;

    friend bool operator==(const TPngImage&, const TPngImage&) = default;

private:
    friend class PngDecoder;
    std::size_t rowBytes() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(channels()); }
    QRgb pixelColor(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    ColorType colorType_ = ColorType::RGBAlpha;
    int bitDepth_ = 8;
    std::vector<std::uint8_t> pixels_;
    std::vector<PaletteEntry> palette_;
    std::vector<std::uint8_t> paletteAlpha_;
    std::optional<Sample> transparentColor_;
    std::optional<double> gamma_;
};

template <typename AlphaOf>
void TPngImage::convertToRgbAlpha(AlphaOf alphaOf)
{
    std::vector<std::uint8_t> converted(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    std::size_t out = 0;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t* pixel = scanLine(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(channels());
            const QRgb rgb = pixelColor(x, y);
            converted[out++] = static_cast<std::uint8_t>(qRed(rgb));
            converted[out++] = static_cast<std::uint8_t>(qGreen(rgb));
            converted[out++] = static_cast<std::uint8_t>(qBlue(rgb));
            converted[out++] = alphaOf(pixel, static_cast<std::uint8_t>(qAlpha(rgb)));
        }
    }
    pixels_ = std::move(converted);
    colorType_ = ColorType::RGBAlpha;
    bitDepth_ = 8;
    palette_.clear();
    paletteAlpha_.clear();
    transparentColor_.reset();
}
