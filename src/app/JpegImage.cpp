#include "app/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace clipforge {

namespace {

// libjpeg's default reaction to bad data is to end the process; ours is to give up on the
// picture. The library is C: its error callback leaves by longjmp, back to a frame that
// holds nothing with a destructor, never by throwing through the library's frames.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf failed;
};

[[noreturn]] void failDecoding(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->failed, 1);
}

void ignoreWarning(j_common_ptr, int) {}

class Decompressor {
public:
    Decompressor()
    {
        info_.err = jpeg_std_error(&errors_.manager);
        errors_.manager.error_exit = failDecoding;
        errors_.manager.emit_message = ignoreWarning;
        jpeg_create_decompress(&info_);
    }
    ~Decompressor() { jpeg_destroy_decompress(&info_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* get() { return &info_; }
    std::jmp_buf& failed() { return errors_.failed; }

private:
    JpegErrors errors_ {};
    jpeg_decompress_struct info_ {};
};

// The two functions below are the only frames a failure jumps back to: their locals are
// plain pointers and numbers, and everything between them and libjpeg is the library's.
bool startDecoding(jpeg_decompress_struct* info, std::jmp_buf& failed, const unsigned char* bytes,
                   unsigned long size)
{
    if (setjmp(failed))
        return false;
    jpeg_mem_src(info, bytes, size);
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    return info->output_components == 3;
}

bool readRows(jpeg_decompress_struct* info, std::jmp_buf& failed, unsigned char* pixels,
              std::size_t bytesPerLine)
{
    if (setjmp(failed))
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = pixels + bytesPerLine * info->output_scanline;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    Decompressor jpeg;
    if (!startDecoding(jpeg.get(), jpeg.failed(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<unsigned long>(bytes.size())))
        return {};
    QImage image(static_cast<int>(jpeg.get()->output_width), static_cast<int>(jpeg.get()->output_height),
                 QImage::Format_RGB888);
    if (image.isNull())
        return {};
    if (!readRows(jpeg.get(), jpeg.failed(), image.bits(), static_cast<std::size_t>(image.bytesPerLine())))
        return {};
    return image;
}

}  // namespace clipforge
