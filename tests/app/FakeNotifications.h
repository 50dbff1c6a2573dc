#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

// The desktop's notification service as far as the program uses it: it records each call.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString application;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
    };
    std::vector<Call> calls;

public slots:
    uint Notify(const QString& application, uint, const QString& icon, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int)
    {
        calls.push_back({application, icon, summary, body, hints});
        return static_cast<uint>(calls.size());
    }
};
