#pragma once

#include "app/InstanceMessage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace clipforge {

// The running window's end of the single-instance socket: it takes the messages of later
// starts, acknowledges each once it has it whole, and hands it on. Messages that arrive before
// anybody receives them (during the splash) are kept until then.
class InstanceServer : public QObject {
public:
    InstanceServer();
    ~InstanceServer() override;

    // Listens at the socket path; false when something is already there.
    bool listen(const QString& socket);
    QString errorString() const;

    void setReceiver(std::function<void(const InstanceMessage&)> receiver);

private:
    void takeConnection();
    void readFrom(QLocalSocket* client);
    void deliver(const InstanceMessage& message);

    QLocalServer* server_;
    std::function<void(const InstanceMessage&)> receiver_;
    std::vector<InstanceMessage> waiting_;
};

}  // namespace clipforge
