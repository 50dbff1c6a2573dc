#pragma once

#include "controls/PngImage.h"

#include <QColor>
#include <QImage>

// A picture of one opaque colour, for finding where a control drew it.
inline TPngImage solidPicture(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return TPngImage::fromImage(image);
}

// The top-left corner of the first pixel of the given colour, or (-1, -1).
inline QPoint findColor(const QImage& image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == (color & 0xFFFFFFu))
                return {x, y};
    return {-1, -1};
}
