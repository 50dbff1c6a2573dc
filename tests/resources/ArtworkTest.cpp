// The embedded artwork: every picture the program draws is in the resources, decodes with the same
// libraries the program uses, and has exactly the size and pixel format its place in the window needs.
#include "ClipforgeResources.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <png.h>

#include <cstdio> // jpeglib.h needs FILE
#include <csetjmp>
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Format { Rgba, Rgb, Jpeg };

struct Picture {
    const char* path;
    int width;
    int height;
    Format format;
};

constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 101;
// The window's caption labels sit over the lowest rows of each toolbar face.
constexpr int kCaptionBand = 22;

const Picture kPictures[] = {
    {":/images/btnAdd_normal.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnAdd_over.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnAdd_down.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnAdd_disabled.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnConvert_normal.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnConvert_over.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnConvert_down.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnConvert_disabled.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnStop_normal.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnStop_over.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnStop_down.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnStop_disabled.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnSupport_normal.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnSupport_over.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnSupport_down.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/btnSupport_disabled.png", kButtonWidth, kButtonHeight, Format::Rgba},
    {":/images/tab.png", 66, 29, Format::Rgba},
    {":/images/banner.png", 400, 200, Format::Rgba},
    {":/images/bottom_strip.png", 6, 21, Format::Rgba},
    {":/images/corner.png", 11, 11, Format::Rgba},
    {":/images/tree_background.png", 256, 256, Format::Rgb},
    {":/images/state_waiting.png", 16, 16, Format::Rgba},
    {":/images/state_converting.png", 16, 16, Format::Rgba},
    {":/images/state_finished.png", 16, 16, Format::Rgba},
    {":/images/state_failed.png", 16, 16, Format::Rgba},
    {":/images/dialog_row.png", 32, 32, Format::Rgba},
    {":/images/folder.png", 16, 16, Format::Rgba},
    {":/images/splash.jpg", 570, 330, Format::Jpeg},
    {":/icons/clipforge-16.png", 16, 16, Format::Rgba},
    {":/icons/clipforge-32.png", 32, 32, Format::Rgba},
    {":/icons/clipforge-48.png", 48, 48, Format::Rgba},
    {":/icons/clipforge-64.png", 64, 64, Format::Rgba},
    {":/icons/clipforge-128.png", 128, 128, Format::Rgba},
    {":/icons/clipforge-256.png", 256, 256, Format::Rgba},
};

const char* const kButtons[] = {"Add", "Convert", "Stop", "Support"};
const char* const kFaces[] = {"normal", "over", "down", "disabled"};

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Always 8-bit RGBA, whatever the file holds; the file's own format is read from its header.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
    int alpha(int x, int y) const { return at(x, y)[3]; }
};

struct PngHeader {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

std::uint32_t bigEndian32(const QByteArray& bytes, int offset)
{
    auto byte = [&](int i) { return std::uint32_t(std::uint8_t(bytes[offset + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

// IHDR is always the first chunk, right after the 8-byte signature.
bool readPngHeader(const QByteArray& bytes, PngHeader& header)
{
    if (bytes.size() < 33 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8) != 0)
        return false;
    if (bytes.mid(12, 4) != "IHDR")
        return false;
    header.width = int(bigEndian32(bytes, 16));
    header.height = int(bigEndian32(bytes, 20));
    header.bitDepth = std::uint8_t(bytes[24]);
    header.colourType = std::uint8_t(bytes[25]);
    return true;
}

bool decodePng(const QByteArray& bytes, Pixels& pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.constData(), std::size_t(bytes.size())))
        return false;
    image.format = PNG_FORMAT_RGBA;
    pixels.width = int(image.width);
    pixels.height = int(image.height);
    pixels.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    const bool ok = png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    bool complete = false;
};

// libjpeg reports errors by calling error_exit, which must not return; it jumps back here instead.
// Nothing with a destructor lives in this frame, so the jump skips no clean-up.
JpegInfo decodeJpeg(const QByteArray& bytes, std::uint8_t* scanline, std::size_t scanlineSize)
{
    JpegInfo result;
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFail;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegInfo{};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    result.width = int(info.output_width);
    result.height = int(info.output_height);
    result.components = info.output_components;
    if (std::size_t(info.output_width) * info.output_components <= scanlineSize) {
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        result.complete = true;
    }
    jpeg_destroy_decompress(&info);
    return result;
}

Pixels loadPng(const QString& path)
{
    Pixels pixels;
    EXPECT_TRUE(decodePng(readResource(path), pixels)) << path.toStdString();
    return pixels;
}

QString facePath(const char* button, const char* face)
{
    return QStringLiteral(":/images/btn%1_%2.png").arg(QLatin1String(button), QLatin1String(face));
}

class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Registering twice must do no harm: the program may call it from more than one library.
        clipforge::initResources();
        clipforge::initResources();
    }
};

TEST_F(ArtworkTest, EveryPictureDecodesWithItsSizeAndFormat)
{
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(picture.path);
        const QByteArray bytes = readResource(QString::fromLatin1(picture.path));
        ASSERT_FALSE(bytes.isEmpty()) << "missing from the resources";

        if (picture.format == Format::Jpeg) {
            std::vector<std::uint8_t> scanline(std::size_t(picture.width) * 3);
            const JpegInfo info = decodeJpeg(bytes, scanline.data(), scanline.size());
            EXPECT_TRUE(info.complete);
            EXPECT_EQ(info.width, picture.width);
            EXPECT_EQ(info.height, picture.height);
            EXPECT_EQ(info.components, 3);
            continue;
        }

        PngHeader header;
        ASSERT_TRUE(readPngHeader(bytes, header));
        EXPECT_EQ(header.width, picture.width);
        EXPECT_EQ(header.height, picture.height);
        EXPECT_EQ(header.bitDepth, 8);
        EXPECT_EQ(header.colourType, picture.format == Format::Rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB);

        Pixels pixels;
        EXPECT_TRUE(decodePng(bytes, pixels));
        EXPECT_EQ(pixels.width, picture.width);
        EXPECT_EQ(pixels.height, picture.height);
    }
}

TEST_F(ArtworkTest, ResourcesHoldOnlyListedPictures)
{
    std::set<std::string> listed;
    for (const Picture& picture : kPictures)
        listed.insert(picture.path);
    for (const char* folder : {":/images", ":/icons"}) {
        QDirIterator it(QString::fromLatin1(folder), QDir::Files);
        while (it.hasNext())
            EXPECT_TRUE(listed.count(it.next().toStdString())) << it.filePath().toStdString() << " is not checked";
    }
}

TEST_F(ArtworkTest, RestingAndDisabledFacesLeaveTheCaptionBandEmpty)
{
    for (const char* button : kButtons) {
        for (const char* face : {"normal", "disabled"}) {
            const QString path = facePath(button, face);
            SCOPED_TRACE(path.toStdString());
            const Pixels pixels = loadPng(path);
            ASSERT_EQ(pixels.height, kButtonHeight);
            int drawn = 0;
            for (int y = kButtonHeight - kCaptionBand; y < kButtonHeight; ++y)
                for (int x = 0; x < pixels.width; ++x)
                    drawn += pixels.alpha(x, y) != 0;
            EXPECT_EQ(drawn, 0);
        }
    }
}

TEST_F(ArtworkTest, HoverAndPressedPlatesStaySeeThroughUnderTheCaption)
{
    // The caption is drawn over the plate; an opaque plate would hide the form behind it.
    for (const char* button : kButtons) {
        for (const char* face : {"over", "down"}) {
            const QString path = facePath(button, face);
            SCOPED_TRACE(path.toStdString());
            const Pixels pixels = loadPng(path);
            ASSERT_EQ(pixels.height, kButtonHeight);
            int strongest = 0;
            for (int y = kButtonHeight - kCaptionBand; y < kButtonHeight - 6; ++y)
                for (int x = 10; x < pixels.width - 10; ++x)
                    strongest = std::max(strongest, pixels.alpha(x, y));
            EXPECT_GT(strongest, 0) << "the plate should reach under the caption";
            EXPECT_LE(strongest, 140);
        }
    }
}

TEST_F(ArtworkTest, FourFacesOfEachButtonDifferAndTheDisabledOneIsGrey)
{
    for (const char* button : kButtons) {
        SCOPED_TRACE(button);
        std::vector<Pixels> faces;
        for (const char* face : kFaces)
            faces.push_back(loadPng(facePath(button, face)));
        for (std::size_t a = 0; a < faces.size(); ++a)
            for (std::size_t b = a + 1; b < faces.size(); ++b)
                EXPECT_NE(faces[a].rgba, faces[b].rgba) << kFaces[a] << " and " << kFaces[b] << " look the same";

        const Pixels& disabled = faces[3];
        int coloured = 0;
        for (int y = 0; y < disabled.height; ++y) {
            for (int x = 0; x < disabled.width; ++x) {
                const std::uint8_t* p = disabled.at(x, y);
                // Faint edge pixels carry rounding noise from unpremultiplying; judge what shows.
                if (p[3] < 64)
                    continue;
                const int spread = std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
                coloured += spread > 12;
            }
        }
        EXPECT_EQ(coloured, 0);
    }
}

TEST_F(ArtworkTest, PicturesJoinTheirSurroundingsWithoutASeam)
{
    // The tree background's top and left edges meet the list's own colour; the banner fades out into
    // the form towards its right and bottom edges.
    const Pixels tree = loadPng(":/images/tree_background.png");
    ASSERT_EQ(tree.width, 256);
    for (int i = 0; i < 256; ++i) {
        for (const std::uint8_t* p : {tree.at(i, 0), tree.at(0, i)}) {
            EXPECT_EQ(p[0], 233);
            EXPECT_EQ(p[1], 234);
            EXPECT_EQ(p[2], 238);
        }
    }

    const Pixels banner = loadPng(":/images/banner.png");
    ASSERT_EQ(banner.width, 400);
    for (int x = 0; x < banner.width; ++x)
        EXPECT_EQ(banner.alpha(x, banner.height - 1), 0) << "bottom row, x " << x;
    for (int y = 0; y < banner.height; ++y)
        EXPECT_EQ(banner.alpha(banner.width - 1, y), 0) << "right column, y " << y;
}

TEST_F(ArtworkTest, RoundIconsHaveTransparentCorners)
{
    for (const Picture& picture : kPictures) {
        const std::string path = picture.path;
        const bool round = path.find("state_") != std::string::npos || path.find("/icons/") != std::string::npos
                           || path.find("folder") != std::string::npos || path.find("dialog_row") != std::string::npos;
        if (!round)
            continue;
        SCOPED_TRACE(path);
        const Pixels pixels = loadPng(QString::fromStdString(path));
        const int w = pixels.width - 1;
        const int h = pixels.height - 1;
        EXPECT_EQ(pixels.alpha(0, 0), 0);
        EXPECT_EQ(pixels.alpha(w, 0), 0);
        EXPECT_EQ(pixels.alpha(0, h), 0);
        EXPECT_EQ(pixels.alpha(w, h), 0);
    }
}

} // namespace
