#include "app/InstanceClient.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace clipforge {

HandOver handOver(const QString& socket, const InstanceMessage& message, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket connection;
    connection.connectToServer(socket);
    if (!connection.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return connection.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer : HandOver::NobodyListens;
    connection.write(message.encode());
    while (connection.bytesToWrite() > 0) {
        if (!connection.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return HandOver::NoAnswer;
    }
    while (!deadline.hasExpired()) {
        char answer = 0;
        if (connection.read(&answer, 1) == 1)
            return answer == instanceAcknowledgement ? HandOver::Delivered : HandOver::NoAnswer;
        if (!connection.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    }
    return HandOver::NoAnswer;
}

}  // namespace clipforge
