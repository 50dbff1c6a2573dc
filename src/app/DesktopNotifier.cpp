#include "app/DesktopNotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QImage>
#include <QVariantMap>
#include <QWidget>

namespace clipforge {

namespace {

QString filesText(int count)
{
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}

// The icon travels with the notification, so it shows also where the program is not installed.
QVariant iconData()
{
    const QImage icon = QImage(QStringLiteral(":/icons/clipforge-64.png")).convertToFormat(QImage::Format_RGBA8888);
    if (icon.isNull())
        return {};
    QDBusArgument data;
    data.beginStructure();
    data << icon.width() << icon.height() << static_cast<int>(icon.bytesPerLine()) << true << 8 << 4
         << QByteArray(reinterpret_cast<const char*>(icon.constBits()), icon.sizeInBytes());
    data.endStructure();
    return QVariant::fromValue(data);
}

QDBusMessage notification(const DesktopNotifier::RunEnd& run)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                       QStringLiteral("/org/freedesktop/Notifications"),
                                       QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QString summary = run.stopped ? QStringLiteral("Conversion stopped") : QStringLiteral("Conversion finished");
    const QString body = QStringLiteral("%1 converted, %2 failed.").arg(filesText(run.converted)).arg(run.failed);
    QVariantMap hints {{QStringLiteral("desktop-entry"), QStringLiteral("clipforge")}};
    if (const QVariant icon = iconData(); icon.isValid())
        hints.insert(QStringLiteral("image-data"), icon);
    call << QStringLiteral("Norvane Clipforge") << 0u << QStringLiteral("clipforge") << summary << body
         << QStringList() << hints << -1;
    return call;
}

}  // namespace

bool DesktopNotifier::runEnded(const QWidget& window, const RunEnd& run) const
{
    if (window.isActiveWindow() || qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    bus.asyncCall(notification(run));
    return true;
}

}  // namespace clipforge
