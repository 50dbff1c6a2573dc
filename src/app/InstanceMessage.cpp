#include "app/InstanceMessage.h"

#include "core/LocalText.h"

#include <QDataStream>
#include <QIODevice>

#include <stdexcept>

namespace clipforge {

namespace {

constexpr quint32 magic = 0x436c6601;  // "Clf" and the message's version
// Thousands of names, more than anyone drops at once. A longer one is refused by its length
// alone, before the window spends any time gathering it.
constexpr quint32 largestMessage = 1u << 20;

}  // namespace

QByteArray InstanceMessage::encode() const
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out << magic << activationToken << static_cast<quint32>(files.size());
    for (const QString& file : files)
        out << QByteArray::fromStdString(narrow(file));
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << static_cast<quint32>(body.size());
    return framed + body;
}

std::optional<InstanceMessage> InstanceMessage::take(QByteArray& buffer)
{
    if (buffer.size() < 4)
        return std::nullopt;
    quint32 size = 0;
    QDataStream(buffer.left(4)) >> size;
    if (size > largestMessage)
        throw std::runtime_error("an instance message is too long");
    if (static_cast<quint32>(buffer.size()) - 4 < size)
        return std::nullopt;
    QDataStream in(buffer.mid(4, static_cast<qsizetype>(size)));
    buffer.remove(0, 4 + static_cast<qsizetype>(size));
    quint32 version = 0;
    quint32 count = 0;
    InstanceMessage message;
    in >> version >> message.activationToken >> count;
    if (version != magic || in.status() != QDataStream::Ok)
        throw std::runtime_error("not an instance message");
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray file;
        in >> file;
        message.files << widen(file.toStdString());
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        throw std::runtime_error("a damaged instance message");
    return message;
}

}  // namespace clipforge
