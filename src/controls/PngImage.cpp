#include "controls/PngImage.h"

#include <QFile>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstring>

using clipforge::PngError;

namespace {

struct ByteSource {
    const png_byte* data;
    std::size_t size;
    std::size_t position;
};

void readFromBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (source->size - source->position < length)
        png_error(png, "unexpected end of data");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

void recordError(png_structp png, png_const_charp message)
{
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::strncpy(text, message, 255);
    text[255] = '\0';
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Frees the libpng structures however decoding ends.
struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// The fields the decoder fills in; owned by the caller so that an error jump skips no destructor.
struct Decoded {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colorType = 0;
    int bitDepth = 0;
    int channels = 0;
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool hasTransparentColor = false;
    png_color_16 transparentColor{};
    bool hasGamma = false;
    double gamma = 0.0;
};

std::uint8_t scaleGray(unsigned value, int bitDepth)
{
    if (bitDepth == 16)
        return static_cast<std::uint8_t>(value >> 8);
    if (bitDepth == 8)
        return static_cast<std::uint8_t>(value);
    const unsigned maximum = (1u << bitDepth) - 1u;
    return static_cast<std::uint8_t>((value & maximum) * 255u / maximum);
}

std::uint8_t reduce16(unsigned value, int bitDepth)
{
    return static_cast<std::uint8_t>(bitDepth == 16 ? value >> 8 : value);
}

// Reads the header and chunks that are kept as they are, then sets up 8-bit samples.
void readHeader(png_structp png, png_infop info, Decoded& out)
{
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.colorType = png_get_color_type(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) != 0)
        out.palette.assign(palette, palette + paletteSize);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p color = nullptr;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, &color) != 0) {
        if (out.colorType == PNG_COLOR_TYPE_PALETTE && alpha != nullptr)
            out.paletteAlpha.assign(alpha, alpha + alphaCount);
        else if (color != nullptr) {
            out.hasTransparentColor = true;
            out.transparentColor = *color;
        }
    }
    out.hasGamma = png_get_gAMA(png, info, &out.gamma) != 0;
    if (out.bitDepth == 16)
        png_set_strip_16(png);
    if (out.bitDepth < 8 && out.colorType == PNG_COLOR_TYPE_GRAY)
        png_set_expand_gray_1_2_4_to_8(png);
    else if (out.bitDepth < 8)
        png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.channels = png_get_channels(png, info);
}

// Far beyond any artwork; a header that claims more is refused before anything is allocated.
constexpr std::uint64_t maxPictureBytes = 256u * 1024u * 1024u;

bool decode(png_structp png, png_infop info, Decoded& out)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    readHeader(png, info, out);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (out.width == 0 || out.height == 0 || rowBytes != out.width * static_cast<std::size_t>(out.channels))
        png_error(png, "unsupported sample layout");
    if (static_cast<std::uint64_t>(rowBytes) * out.height > maxPictureBytes)
        png_error(png, "picture too large");
    out.pixels.resize(rowBytes * out.height);
    out.rows.resize(out.height);
    for (png_uint_32 y = 0; y < out.height; ++y)
        out.rows[y] = out.pixels.data() + rowBytes * y;
    png_read_image(png, out.rows.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

class PngDecoder {
public:
    static TPngImage toPicture(Decoded&& decoded)
    {
        TPngImage picture;
        picture.width_ = static_cast<int>(decoded.width);
        picture.height_ = static_cast<int>(decoded.height);
        picture.colorType_ = static_cast<TPngImage::ColorType>(decoded.colorType);
        picture.bitDepth_ = decoded.bitDepth;
        picture.pixels_ = std::move(decoded.pixels);
        for (const png_color& entry : decoded.palette)
            picture.palette_.push_back({entry.red, entry.green, entry.blue});
        picture.paletteAlpha_ = std::move(decoded.paletteAlpha);
        if (decoded.hasTransparentColor)
            picture.transparentColor_ = transparentSample(decoded);
        if (decoded.hasGamma && decoded.gamma > 0.0)
            picture.gamma_ = decoded.gamma;
        return picture;
    }

private:
    static TPngImage::Sample transparentSample(const Decoded& decoded)
    {
        const png_color_16& c = decoded.transparentColor;
        if (decoded.colorType == PNG_COLOR_TYPE_GRAY) {
            const std::uint8_t gray = scaleGray(c.gray, decoded.bitDepth);
            return {gray, gray, gray};
        }
        return {reduce16(c.red, decoded.bitDepth), reduce16(c.green, decoded.bitDepth), reduce16(c.blue, decoded.bitDepth)};
    }
};

TPngImage TPngImage::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8) != 0)
        throw PngError("Not a PNG picture: the signature is missing");
    char message[256] = "damaged data";
    ReadStructs structs;
    structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, message, recordError, ignoreWarning);
    if (structs.png == nullptr)
        throw PngError("Out of memory while reading a PNG picture");
    structs.info = png_create_info_struct(structs.png);
    if (structs.info == nullptr)
        throw PngError("Out of memory while reading a PNG picture");
    ByteSource source{reinterpret_cast<const png_byte*>(bytes.constData()), static_cast<std::size_t>(bytes.size()), 0};
    png_set_read_fn(structs.png, &source, readFromBytes);
    Decoded decoded;
    if (!decode(structs.png, structs.info, decoded))
        throw PngError(std::string("Damaged PNG picture: ") + message);
    return PngDecoder::toPicture(std::move(decoded));
}

TPngImage TPngImage::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PngError("Cannot read the picture " + path.toStdString() + ": " + file.errorString().toStdString());
    return fromBytes(file.readAll());
}

TPngImage TPngImage::fromImage(const QImage& image)
{
    TPngImage picture;
    if (image.isNull())
        return picture;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    picture.width_ = argb.width();
    picture.height_ = argb.height();
    picture.colorType_ = ColorType::RGBAlpha;
    picture.pixels_.resize(static_cast<std::size_t>(picture.width_) * static_cast<std::size_t>(picture.height_) * 4);
    for (int y = 0; y < picture.height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::uint8_t* out = picture.scanLine(y);
        for (int x = 0; x < picture.width_; ++x) {
            *out++ = static_cast<std::uint8_t>(qRed(line[x]));
            *out++ = static_cast<std::uint8_t>(qGreen(line[x]));
            *out++ = static_cast<std::uint8_t>(qBlue(line[x]));
            *out++ = static_cast<std::uint8_t>(qAlpha(line[x]));
        }
    }
    return picture;
}

TPngImage TPngImage::fromBitmapWithMask(const QImage& bitmap, const QImage& mask)
{
    QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QImage maskRgb = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const bool clear = maskRgb.valid(x, y) && (maskRgb.pixel(x, y) & 0xFFFFFFu) != 0;
            line[x] = clear ? qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), 0) : (line[x] | 0xFF000000u);
        }
    }
    return fromImage(argb);
}

TPngImage TPngImage::fromBitmapWithMaskColor(const QImage& bitmap, TColor maskColor)
{
    const TColor key = clipforge::resolveColor(maskColor);
    QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (clipforge::colorFromRgb(line[x]) == key)
                line[x] &= 0x00FFFFFFu;
            else
                line[x] |= 0xFF000000u;
        }
    }
    return fromImage(argb);
}

int TPngImage::channels() const
{
    switch (colorType_) {
    case ColorType::Grayscale: return 1;
    case ColorType::RGB: return 3;
    case ColorType::Palette: return 1;
    case ColorType::GrayscaleAlpha: return 2;
    case ColorType::RGBAlpha: return 4;
    }
    return 4;
}

bool TPngImage::hasAlphaChannel() const
{
    return colorType_ == ColorType::GrayscaleAlpha || colorType_ == ColorType::RGBAlpha;
}

bool TPngImage::isGrayscale() const
{
    return colorType_ == ColorType::Grayscale || colorType_ == ColorType::GrayscaleAlpha;
}

bool TPngImage::isTrueColor() const
{
    return colorType_ == ColorType::RGB || colorType_ == ColorType::RGBAlpha;
}

bool TPngImage::hasTransparencyChunk() const
{
    return !paletteAlpha_.empty() || transparentColor_.has_value();
}

bool TPngImage::usesSingleColorTransparency() const
{
    if (transparentColor_)
        return true;
    if (paletteAlpha_.empty())
        return false;
    return std::all_of(paletteAlpha_.begin(), paletteAlpha_.end(), [](std::uint8_t a) { return a == 0 || a == 255; });
}

bool TPngImage::isTransparentSample(const std::uint8_t* pixel) const
{
    switch (colorType_) {
    case ColorType::Palette:
        return pixel[0] < paletteAlpha_.size() && paletteAlpha_[pixel[0]] == 0;
    case ColorType::Grayscale:
        return transparentColor_ && pixel[0] == (*transparentColor_)[0];
    case ColorType::RGB:
        return transparentColor_ && pixel[0] == (*transparentColor_)[0] && pixel[1] == (*transparentColor_)[1]
            && pixel[2] == (*transparentColor_)[2];
    default:
        return false;
    }
}

QRgb TPngImage::pixelColor(int x, int y) const
{
    const std::uint8_t* p = scanLine(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(channels());
    switch (colorType_) {
    case ColorType::Grayscale:
        return qRgba(p[0], p[0], p[0], isTransparentSample(p) ? 0 : 255);
    case ColorType::GrayscaleAlpha:
        return qRgba(p[0], p[0], p[0], p[1]);
    case ColorType::RGB:
        return qRgba(p[0], p[1], p[2], isTransparentSample(p) ? 0 : 255);
    case ColorType::RGBAlpha:
        return qRgba(p[0], p[1], p[2], p[3]);
    case ColorType::Palette: {
        const PaletteEntry entry = p[0] < palette_.size() ? palette_[p[0]] : PaletteEntry{};
        const int alpha = p[0] < paletteAlpha_.size() ? paletteAlpha_[p[0]] : 255;
        return qRgba(entry.red, entry.green, entry.blue, alpha);
    }
    }
    return 0;
}

QImage TPngImage::toImage() const
{
    if (empty())
        return {};
    QImage image(width_, height_, QImage::Format_ARGB32);
    // A file gamma other than the display's (2.2) is corrected so the picture looks as authored.
    std::array<std::uint8_t, 256> table{};
    const double exponent = gamma_ ? 1.0 / (*gamma_ * 2.2) : 1.0;
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(std::pow(i / 255.0, exponent) * 255.0));
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const QRgb c = pixelColor(x, y);
            line[x] = gamma_ ? qRgba(table[qRed(c)], table[qGreen(c)], table[qBlue(c)], qAlpha(c)) : c;
        }
    }
    return image;
}

void TPngImage::draw(clipforge::Canvas& canvas, const clipforge::Rect& rect) const
{
    if (empty() || rect.isEmpty())
        return;
    const QImage image = toImage();
    if (rect.width() == width_ && rect.height() == height_)
        canvas.drawImage(rect.left, rect.top, image);
    else
        canvas.drawImage(rect, image);
}
