#include "AppFixture.h"
#include "FakeNotifications.h"

#include "app/DesktopNotifier.h"

#include <QDBusArgument>
#include <QCoreApplication>
#include <QDBusConnection>

#include <gtest/gtest.h>

namespace {

// Asked again until it holds: the program itself hands the keyboard back to its window after
// each dialog, a moment later.
bool activate(QWidget& window)
{
    const auto active = [&] {
        if (!window.isActiveWindow())
            window.activateWindow();
        QCoreApplication::processEvents();
        return window.isActiveWindow();
    };
    return waitFor([&] { return active() && active(); });
}

int iconWidth(const QVariant& data)
{
    const auto image = data.value<QDBusArgument>();
    int width = 0;
    image.beginStructure();
    image >> width;
    return width;
}

// Against a bus of its own (dbus-run-session), with a stand-in for the desktop's service.
TEST(Notifications, TheEndOfARunIsAnnouncedWhileTheWindowIsNotActive)
{
    if (qEnvironmentVariableIsEmpty("CLIPFORGE_PRIVATE_SESSION_BUS"))
        GTEST_SKIP() << "needs a private session bus: ctest runs it as app_notification_tests";
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
    FakeNotifications service;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    AppFixture app(AppFixture::Converter::Failing);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    QWidget elsewhere;
    elsewhere.show();
    ASSERT_TRUE(activate(elsewhere));
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return service.calls.size() == 1; }));
    const FakeNotifications::Call& call = service.calls[0];
    EXPECT_EQ(QStringList({call.application, call.icon, call.summary, call.body}),
              QStringList({QStringLiteral("Norvane Clipforge"), QStringLiteral("clipforge"),
                           QStringLiteral("Conversion finished"), QStringLiteral("0 files converted, 1 failed.")}));
    EXPECT_EQ(call.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("clipforge"));
    EXPECT_EQ(iconWidth(call.hints.value(QStringLiteral("image-data"))), 64);

    const clipforge::DesktopNotifier notifier;
    ASSERT_TRUE(activate(app.window()));
    EXPECT_FALSE(notifier.runEnded(app.window(), {3, 0, false})) << "the user sees the window";
    ASSERT_TRUE(activate(elsewhere));
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_FALSE(notifier.runEnded(app.window(), {3, 0, false})) << "no bus is known";
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    EXPECT_TRUE(notifier.runEnded(app.window(), {1, 2, true}));
    // Only this one follows the first.
    ASSERT_TRUE(waitFor([&] { return service.calls.size() == 2; }));
    EXPECT_EQ(QStringList({service.calls[1].summary, service.calls[1].body}),
              QStringList({QStringLiteral("Conversion stopped"), QStringLiteral("1 file converted, 2 failed.")}));
}

}  // namespace
