#include "dialogs/Artwork.h"

namespace clipforge::artwork {

TPngImage picture(const QString& name)
{
    try {
        return TPngImage::fromFile(QStringLiteral(":/images/%1.png").arg(name));
    } catch (const PngError&) {
        return TPngImage();
    }
}

QImage image(const QString& name)
{
    const TPngImage png = picture(name);
    return png.empty() ? QImage() : png.toImage();
}

}  // namespace clipforge::artwork
