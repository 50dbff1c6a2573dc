#include "AppFixture.h"

#include "app/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>

#include <gtest/gtest.h>

// The desktop's notification service, as far as the program uses it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    std::vector<QStringList> calls;  // application, icon, summary, body
    QVariantMap hints;
public slots:
    uint Notify(const QString& application, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int)
    {
        calls.push_back({application, icon, summary, body});
        this->hints = hints;
        return static_cast<uint>(calls.size());
    }
};

namespace {

// Asked until it holds: the program hands the keyboard back to its window after each dialog.
bool activate(QWidget& window)
{
    const auto active = [&] {
        window.activateWindow();
        QCoreApplication::processEvents();
        return window.isActiveWindow();
    };
    return waitFor([&] { return active() && active(); });
}

// Against a bus of its own (dbus-run-session), with a stand-in for the desktop's service.
TEST(Notifications, TheEndOfARunIsAnnouncedWhileTheWindowIsNotActive)
{
    if (qEnvironmentVariableIsEmpty("CLIPFORGE_PRIVATE_SESSION_BUS"))
        GTEST_SKIP() << "needs a private session bus: ctest runs it as app_notification_tests";
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
    FakeNotifications service;
    bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service, QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    AppFixture app(AppFixture::Converter::Failing);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    QWidget elsewhere;
    elsewhere.show();
    ASSERT_TRUE(activate(elsewhere));
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return service.calls.size() == 1; }));
    EXPECT_EQ(service.calls[0], QStringList({QStringLiteral("Norvane Clipforge"), QStringLiteral("clipforge"),
                                             QStringLiteral("Conversion finished"),
                                             QStringLiteral("0 files converted, 1 failed.")}));
    EXPECT_EQ(service.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("clipforge"));
    int iconWidth = 0;
    const auto icon = service.hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
    icon.beginStructure();
    icon >> iconWidth;
    EXPECT_EQ(iconWidth, 64);

    const clipforge::DesktopNotifier notifier;
    ASSERT_TRUE(activate(app.window()));
    EXPECT_FALSE(notifier.runEnded(app.window(), {3, 0, false})) << "the user sees the window";
    ASSERT_TRUE(activate(elsewhere));
    {
        const clipforge::test::ScopedVariable noBus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
        EXPECT_FALSE(notifier.runEnded(app.window(), {3, 0, false})) << "no bus is known";
    }
    EXPECT_TRUE(notifier.runEnded(app.window(), {1, 2, true}));
    // Only this one follows the first.
    ASSERT_TRUE(waitFor([&] { return service.calls.size() == 2; }));
    EXPECT_EQ(service.calls[1].mid(2), QStringList({QStringLiteral("Conversion stopped"),
                                                    QStringLiteral("1 file converted, 2 failed.")}));
}

}  // namespace

#include "NotificationTest.moc"
