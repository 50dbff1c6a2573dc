#pragma once

#include "controls/Canvas.h"

namespace clipforge {

// Fills rect with bands solid colours stepping from start towards end. The first band is already
// one step away from start and the last one is end; bands thinner than a pixel paint nothing.
void fillBandGradient(Canvas& canvas, const Rect& rect, TColor start, TColor end,
                      GradientDirection direction = GradientDirection::TopToBottom, int bands = 256);

} // namespace clipforge
