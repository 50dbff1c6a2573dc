#include "app/InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

#include <stdexcept>

namespace clipforge {

namespace {

const char* const bufferProperty = "clipforgeBuffer";
// A start that connects and then says nothing must not hold a socket open for ever.
constexpr int silentClientMs = 30000;

}  // namespace

InstanceServer::InstanceServer()
    : server_(new QLocalServer(this))
{
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::takeConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& socket)
{
    return server_->listen(socket);
}

QString InstanceServer::errorString() const
{
    return server_->errorString();
}

void InstanceServer::setReceiver(std::function<void(const InstanceMessage&)> receiver)
{
    receiver_ = std::move(receiver);
    std::vector<InstanceMessage> waiting;
    waiting.swap(waiting_);
    for (const InstanceMessage& message : waiting)
        deliver(message);
}

void InstanceServer::takeConnection()
{
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { readFrom(client); });
        QTimer::singleShot(silentClientMs, client, [client] { client->abort(); });
        readFrom(client);
    }
}

void InstanceServer::readFrom(QLocalSocket* client)
{
    QByteArray buffer = client->property(bufferProperty).toByteArray() + client->readAll();
    std::optional<InstanceMessage> message;
    try {
        message = InstanceMessage::take(buffer);
    } catch (const std::runtime_error&) {
        client->abort();
        return;
    }
    client->setProperty(bufferProperty, buffer);
    if (!message)
        return;
    client->write(QByteArray(1, instanceAcknowledgement));
    client->flush();
    client->disconnectFromServer();
    // Handed on afterwards: the receiver may open a modal dialog, and the start that is waiting
    // for its answer should not wait for that.
    QTimer::singleShot(0, this, [this, message = *message] { deliver(message); });
}

void InstanceServer::deliver(const InstanceMessage& message)
{
    if (receiver_)
        receiver_(message);
    else
        waiting_.push_back(message);
}

}  // namespace clipforge
