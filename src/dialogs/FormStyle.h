#pragma once

#include "controls/Color.h"

#include <QFont>
#include <QString>

class QLabel;
class QRect;
class QWidget;
class TMyButtonEx;
class TPngImage;
class TPngImageList;
namespace clipforge {
class FittedLabel;
}

// The forms' shared look: their colours, fonts and the small steps every form repeats.
namespace clipforge::formstyle {

constexpr TColor formColor = 13739137;      // 0xD1A481
constexpr TColor captionBlue = 9126421;     // 0x8B4215
constexpr TColor disabledGrey = 9276813;    // 0x8D8D8D
constexpr TColor listText = 7960979;        // 0x797993
constexpr TColor panelLine = 14922381;      // 0xE3B28D

enum FontStyle { fsRegular = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// "Trebuchet MS" (or its stand-in) at a form's character height, negative as the forms store it.
QFont formFont(int height, int styles = fsRegular);

void setBackground(QWidget& widget, TColor color);
void setTextColor(QWidget& widget, TColor color);
TColor textColor(const QWidget& widget);

// A transparent label at its form position, sized to its text so that nothing is clipped.
QLabel* makeLabel(QWidget* parent, const QString& caption, int left, int top, int height, int styles,
                  TColor color);
// A label that keeps its form rectangle, aligns its text to the right, and grows to the left
// rather than cut its text.
FittedLabel* makeFixedLabel(QWidget* parent, const QString& caption, const QRect& place, int height, int styles,
                            TColor color);
// The same look for a label made elsewhere; it grows once to its text.
void styleFixedLabel(QLabel& label, const QRect& place, int height, int styles, TColor color);

// The rounded gradient push button of the forms (Import, Export, OK, Cancel).
TMyButtonEx* makeButton(QWidget* parent, const QString& caption, const QRect& place);

// Moves a window whose client area is clientSize to the middle of the primary screen's work area.
void centreOnDesktop(QWidget& window, int clientWidth, int clientHeight);

// Appends a picture to an image list, flattened against the window colour where needed.
void addListPicture(TPngImageList& list, const TPngImage& picture, const QString& name = QString());

}  // namespace clipforge::formstyle
