#include "app/JpegImage.h"

#include <cstdio>
#include <jpeglib.h>

#include <stdexcept>

namespace clipforge {

namespace {

struct JpegFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// libjpeg's default reaction to bad data is to end the process; ours is to give up on
// the picture.
[[noreturn]] void failDecoding(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    throw JpegFailure(text);
}

void ignoreWarning(j_common_ptr, int) {}

class Decompressor {
public:
    Decompressor()
    {
        info_.err = jpeg_std_error(&errors_);
        errors_.error_exit = failDecoding;
        errors_.emit_message = ignoreWarning;
        jpeg_create_decompress(&info_);
    }
    ~Decompressor() { jpeg_destroy_decompress(&info_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* operator->() { return &info_; }
    jpeg_decompress_struct* get() { return &info_; }

private:
    jpeg_error_mgr errors_ {};
    jpeg_decompress_struct info_ {};
};

QImage readScanlines(Decompressor& jpeg)
{
    QImage image(static_cast<int>(jpeg->output_width), static_cast<int>(jpeg->output_height),
                 QImage::Format_RGB888);
    while (jpeg->output_scanline < jpeg->output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(jpeg->output_scanline));
        jpeg_read_scanlines(jpeg.get(), &row, 1);
    }
    return image;
}

}  // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    try {
        Decompressor jpeg;
        jpeg_mem_src(jpeg.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(jpeg.get(), TRUE);
        jpeg->out_color_space = JCS_RGB;
        jpeg_start_decompress(jpeg.get());
        QImage image = readScanlines(jpeg);
        jpeg_finish_decompress(jpeg.get());
        return image;
    } catch (const JpegFailure&) {
        return {};
    }
}

}  // namespace clipforge
