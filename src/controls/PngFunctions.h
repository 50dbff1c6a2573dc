#pragma once

#include "controls/Canvas.h"
#include "controls/PngImage.h"

#include <QFlags>

enum TPngOption : unsigned {
    pngBlendOnDisabled = 0x1,
    pngGrayscaleOnDisabled = 0x2,
};
Q_DECLARE_FLAGS(TPngOptions, TPngOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPngOptions)

// Draws the picture into the rectangle with its alpha; with options, a faded and/or grey copy.
void DrawPicture(const TPngImage& picture, clipforge::Canvas& canvas, const clipforge::Rect& rect,
                 TPngOptions options = {});

// Scales every opacity by (amount + 1) / 256; pictures without alpha get one first.
void FadePicture(TPngImage& picture, int amount);

// Moves every colour towards its grey by amount / 255 (255: fully grey); greyscale pictures stay.
void GrayPicture(TPngImage& picture, int amount);

namespace clipforge {

// The look of a disabled picture: a copy faded by 127 and/or made grey, as the options say.
TPngImage disabledPicture(const TPngImage& picture, TPngOptions options);

} // namespace clipforge
