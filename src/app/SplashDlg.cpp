#include "app/SplashDlg.h"

#include "app/JpegImage.h"
#include "dialogs/FormStyle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QThread>

namespace {

constexpr int splashWidth = 570;
constexpr int splashHeight = 330;
constexpr double splashOpacity = 200.0 / 255.0;
const char* const splashResource = ":/images/splash.jpg";

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

}  // namespace

TSplashDlg::TSplashDlg()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    FormCreate();
}

void TSplashDlg::FormCreate()
{
    setWindowTitle(QStringLiteral("SplashDlg"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    picture_ = clipforge::decodeJpeg(readResource(QString::fromLatin1(splashResource)));
    setFixedSize(splashWidth, splashHeight);
    setWindowOpacity(splashOpacity);
    setAttribute(Qt::WA_OpaquePaintEvent);
    clipforge::formstyle::centreOnDesktop(*this, splashWidth, splashHeight);
}


void TSplashDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (picture_.isNull()) {
        // Without its picture the splash still says what is starting.
        painter.fillRect(rect(), QColor(129, 164, 209));
        painter.setPen(Qt::white);
        QFont title = font();
        title.setPixelSize(36);
        title.setBold(true);
        painter.setFont(title);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Norvane Clipforge"));
        return;
    }
    painter.drawImage(rect(), picture_);
}

namespace clipforge {

void showSplashFor(TSplashDlg& splash, int minimumMs)
{
    splash.show();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < minimumMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(5);
    }
}

}  // namespace clipforge
