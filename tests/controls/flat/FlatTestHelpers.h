#pragma once

#include "controls/Color.h"

#include <QImage>

namespace flattest {

inline TColor at(const QImage& image, int x, int y)
{
    return clipforge::colorFromRgb(image.pixel(x, y));
}

inline int countColor(const QImage& image, TColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += at(image, x, y) == color ? 1 : 0;
    return count;
}

inline bool sameImage(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace flattest
