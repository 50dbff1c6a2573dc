#include "controls/BandGradient.h"

#include <cmath>

namespace clipforge {

namespace {

int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

void fillBandGradient(Canvas& canvas, const Rect& rect, TColor start, TColor end, GradientDirection direction,
                      int bands)
{
    if (bands < 1)
        return;
    const TColor from = resolveColor(start);
    const TColor to = resolveColor(end);
    const double stepRed = (redOf(to) - redOf(from)) / static_cast<double>(bands);
    const double stepGreen = (greenOf(to) - greenOf(from)) / static_cast<double>(bands);
    const double stepBlue = (blueOf(to) - blueOf(from)) / static_cast<double>(bands);
    const bool vertical = direction == GradientDirection::TopToBottom;
    const double bandSize = (vertical ? rect.height() : rect.width()) / static_cast<double>(bands);
    for (int i = 0; i < bands; ++i) {
        const int first = roundHalfEven(i * bandSize);
        const int last = roundHalfEven((i + 1) * bandSize);
        if (last <= first)
            continue;
        const TColor color = rgbColor(redOf(from) + roundHalfEven((i + 1) * stepRed),
                                      greenOf(from) + roundHalfEven((i + 1) * stepGreen),
                                      blueOf(from) + roundHalfEven((i + 1) * stepBlue));
        const Rect band = vertical ? Rect{rect.left, rect.top + first, rect.right, rect.top + last}
                                   : Rect{rect.left + first, rect.top, rect.left + last, rect.bottom};
        canvas.fillRect(band, color);
    }
}

} // namespace clipforge
