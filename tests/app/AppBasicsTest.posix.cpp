#include "app/Application.h"
#include "app/ClockText.h"
#include "app/JpegImage.h"
#include "app/QuitOnSignal.h"
#include "app/SplashDlg.h"
#include "app/WebPages.h"
#include "core/Errors.h"
#include "core/xml/FileIo.h"
#include "dialogs/ScriptedDialogs.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QFile>
#include <QEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <jpeglib.h>
#include <stdexcept>

TEST(ClockText, ShowsHoursMinutesSecondsWithoutWrappingHours)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "timestamp: 00:00:00"},         {1, "timestamp: 00:00:01"},
        {65, "timestamp: 00:01:05"},        {3600, "timestamp: 01:00:00"},
        {3599, "timestamp: 00:59:59"},      {360000, "timestamp: 100:00:00"},
        {86399, "timestamp: 23:59:59"},     {10000000000LL, "timestamp: 2777777:46:40"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(clipforge::clockText(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(ClockText, CounterNamesTotalTwice)
{
    EXPECT_EQ(clipforge::counterText(3, 0), QStringLiteral("3 files, finished 0 of 3"));
    EXPECT_EQ(clipforge::counterText(4, 2), QStringLiteral("4 files, finished 2 of 4"));
}

TEST(FileSize, ReportsBytesOrTheSystemError)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("clip \"one\".avi"));
    std::ofstream(path.toLocal8Bit().constData(), std::ios::binary) << std::string(1234, 'x');
    EXPECT_EQ(clipforge::GetFileSize64(path), 1234);

    try {
        clipforge::GetFileSize64(folder.filePath(QStringLiteral("missing.avi")));
        FAIL() << "a missing file must raise";
    } catch (const ESystemError& error) {
        EXPECT_EQ(error.code(), ENOENT);
        EXPECT_EQ(std::string(error.what()), "System Error.  Code: 2.\r\nNo such file or directory");
    }
}

namespace {

QByteArray encodeJpeg(int width, int height)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[static_cast<size_t>(x) * 3] = 200;
        row[static_cast<size_t>(x) * 3 + 1] = 40;
        row[static_cast<size_t>(x) * 3 + 2] = 90;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

}  // namespace

TEST(JpegImage, DecodesPixelsAndRefusesGarbage)
{
    const QByteArray jpeg = encodeJpeg(57, 33);
    const QImage image = clipforge::decodeJpeg(jpeg);
    ASSERT_EQ(image.size(), QSize(57, 33));
    const QColor centre = image.pixelColor(28, 16);
    EXPECT_NEAR(centre.red(), 200, 3);
    EXPECT_NEAR(centre.green(), 40, 3);
    EXPECT_NEAR(centre.blue(), 90, 3);

    EXPECT_TRUE(clipforge::decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(clipforge::decodeJpeg(QByteArray("not a picture at all")).isNull());
    // A cut-off file either decodes with its missing part filled in, or not at all; never worse.
    for (int parts = 1; parts < 8; ++parts) {
        const QImage cut = clipforge::decodeJpeg(jpeg.left(jpeg.size() * parts / 8));
        EXPECT_TRUE(cut.isNull() || cut.size() == QSize(57, 33)) << parts;
    }
}

TEST(JpegImage, EveryBrokenPictureIsRefusedWithoutLeavingTheDecoder)
{
    const QByteArray jpeg = encodeJpeg(57, 33);
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(frame, 0);
    const auto patched = [&](qsizetype offset, QByteArray bytes) {
        QByteArray copy = jpeg;
        return copy.replace(frame + offset, bytes.size(), bytes);
    };
    const std::pair<const char*, QByteArray> cases[] = {
        {"start of image only", jpeg.left(2)},
        {"cut inside the frame header", jpeg.left(frame + 6)},
        {"12-bit samples", patched(4, QByteArray(1, '\x0C'))},
        {"no width", patched(7, QByteArray(2, '\0'))},
        {"four colour components", patched(9, QByteArray(1, '\x04'))},
        {"frame header longer than the file", patched(2, QByteArray("\xFF\xF0", 2))},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_TRUE(clipforge::decodeJpeg(bytes).isNull()) << name;
    EXPECT_EQ(clipforge::decodeJpeg(jpeg).size(), QSize(57, 33)) << "the decoder is left usable";
}

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("List index out of bounds (7)");
        return QObject::event(event);
    }
};

}  // namespace

TEST(Application, ErrorLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    ScriptedDialogs dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("List index out of bounds (7)"));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(dialogs.messages[0].icon, QMessageBox::Critical);
}

TEST(SplashDlg, ShowsItsPictureBorderlessAndSeeThrough)
{
    TSplashDlg splash;
    EXPECT_EQ(splash.picture().size(), QSize(570, 330)) << "the splash JPEG decodes";
    EXPECT_EQ(splash.size(), QSize(570, 330));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_NEAR(splash.windowOpacity(), 200.0 / 255.0, 0.01);
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("SplashDlg"));
}

TEST(QuitOnSignal, ASignalBeforeTheLoopRunsIsRemembered)
{
    clipforge::QuitOnSignal quitOnSignal;
    EXPECT_FALSE(quitOnSignal.quitRequested());
    std::raise(SIGTERM);
    EXPECT_TRUE(clipforge::test::waitFor([&] { return quitOnSignal.quitRequested(); }));
}

// The guide in the program folder, as the build lays it out, names this build's version.
TEST(UserGuide, HasAVersionAndUpdatesSectionWithTheBuildsVersion)
{
    QFile page(qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/help/index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << page.fileName().toStdString();
    const QString text = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("<h2 id=\"updates\">Version and updates</h2>")));
    ASSERT_FALSE(clipforge::programVersion().isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("version <b id=\"version\">%1</b>").arg(clipforge::programVersion())));
    EXPECT_FALSE(text.contains(QLatin1Char('@'))) << "every placeholder was filled";
    EXPECT_EQ(clipforge::productPageUrl().fragment(), QStringLiteral("updates"));
    EXPECT_TRUE(clipforge::supportPageUrl().fragment().isEmpty());
}
