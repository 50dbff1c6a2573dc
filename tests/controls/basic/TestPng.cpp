#include "TestPng.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp) {}

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
};

int rowBytes(const TestPng& p)
{
    const int channels = p.colorType == 0 || p.colorType == 3 ? 1 : p.colorType == 2 ? 3 : p.colorType == 4 ? 2 : 4;
    return (p.width * channels * p.bitDepth + 7) / 8;
}

bool write(png_structp png, png_infop info, const TestPng& p, std::vector<png_color>& palette,
           png_color_16& trans, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), p.bitDepth,
                 p.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!p.paletteAlpha.empty())
        png_set_tRNS(png, info, p.paletteAlpha.data(), static_cast<int>(p.paletteAlpha.size()), nullptr);
    if (p.transparentColor)
        png_set_tRNS(png, info, nullptr, 0, &trans);
    if (p.gamma)
        png_set_gAMA(png, info, *p.gamma);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

QByteArray TestPng::encode() const
{
    QByteArray bytes;
    WriteStructs s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    s.info = png_create_info_struct(s.png);
    png_set_write_fn(s.png, &bytes, appendBytes, flushNothing);
    std::vector<png_color> pngPalette;
    for (const auto& entry : palette)
        pngPalette.push_back({entry[0], entry[1], entry[2]});
    png_color_16 trans{};
    if (transparentColor) {
        trans.gray = (*transparentColor)[0];
        trans.red = (*transparentColor)[0];
        trans.green = (*transparentColor)[1];
        trans.blue = (*transparentColor)[2];
    }
    std::vector<std::uint8_t> copy = samples;
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(copy.data() + static_cast<std::size_t>(y * rowBytes(*this)));
    if (!write(s.png, s.info, *this, pngPalette, trans, rows))
        throw std::runtime_error("test PNG could not be written");
    return bytes;
}
