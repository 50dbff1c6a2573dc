#include "MediaProbe.h"

#include "ToolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>

#include <cmath>

namespace clipforge::test {
namespace {

double pixelAspect(const QString& ratio)
{
    const QStringList parts = ratio.split(':');
    if (parts.size() != 2 || parts[0].toDouble() <= 0 || parts[1].toDouble() <= 0)
        return 1.0;
    return parts[0].toDouble() / parts[1].toDouble();
}

int rotation(const QJsonObject& stream)
{
    for (const QJsonValue& sideData : stream["side_data_list"].toArray())
        if (sideData.toObject().contains("rotation"))
            return sideData.toObject()["rotation"].toInt();
    return 0;
}

StreamFacts streamFacts(const QJsonObject& stream)
{
    StreamFacts facts;
    facts.type = stream["codec_type"].toString().toStdString();
    facts.codec = stream["codec_name"].toString().toStdString();
    facts.width = stream["width"].toInt();
    facts.height = stream["height"].toInt();
    facts.pixelAspect = pixelAspect(stream["sample_aspect_ratio"].toString());
    facts.rotation = rotation(stream);
    facts.channels = stream["channels"].toInt();
    facts.coverPicture = stream["disposition"].toObject()["attached_pic"].toInt() != 0;
    return facts;
}

}  // namespace

double StreamFacts::displayedShape() const
{
    if (width <= 0 || height <= 0)
        return 0.0;
    const double shape = width * pixelAspect / height;
    return std::abs(rotation) % 180 == 90 ? 1.0 / shape : shape;
}

std::vector<StreamFacts> MediaFacts::ofType(const std::string& type) const
{
    std::vector<StreamFacts> found;
    for (const StreamFacts& stream : streams)
        if (stream.type == type)
            found.push_back(stream);
    return found;
}

MediaFacts probeMedia(const std::string& path)
{
    const ToolOutcome probed = runTool({"ffprobe", "-v", "error", "-show_entries",
                                        "stream=codec_type,codec_name,width,height,sample_aspect_ratio,channels"
                                        ":stream_side_data=rotation:stream_disposition=attached_pic",
                                        "-of", "json", "file:" + path});
    MediaFacts facts;
    if (probed.exitCode != 0)
        return facts;
    for (const QJsonValue& stream : QJsonDocument::fromJson(QByteArray::fromStdString(probed.out))["streams"].toArray())
        facts.streams.push_back(streamFacts(stream.toObject()));
    facts.readable = !facts.streams.empty();
    return facts;
}

std::optional<PictureArea> pictureArea(const std::string& path)
{
    // Bars are the rows and columns darker than 24 of 255 throughout the first frames.
    const ToolOutcome detected = runTool({converter(), "-nostdin", "-i", "file:" + path, "-frames:v", "3", "-vf",
                                          "cropdetect=limit=24:round=2:skip=0", "-f", "null", "-"});
    static const QRegularExpression crop("crop=(\\d+):(\\d+):\\d+:\\d+");
    QRegularExpressionMatch last;
    for (auto matches = crop.globalMatch(QString::fromStdString(detected.err)); matches.hasNext();)
        last = matches.next();
    if (!last.hasMatch())
        return std::nullopt;
    return PictureArea{last.captured(1).toInt(), last.captured(2).toInt()};
}

}  // namespace clipforge::test
