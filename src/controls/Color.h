#pragma once

#include <QColor>

#include <cstdint>

// A colour as the forms store it: 0x00BBGGRR, red in the low byte. Values 0xFF0000nn name the
// system colour with index nn and only mean something once resolved through the palette.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clScrollBar = 0xFF000000;
constexpr TColor clBackground = 0xFF000001;
constexpr TColor clActiveCaption = 0xFF000002;
constexpr TColor clInactiveCaption = 0xFF000003;
constexpr TColor clMenu = 0xFF000004;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowFrame = 0xFF000006;
constexpr TColor clMenuText = 0xFF000007;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clCaptionText = 0xFF000009;
constexpr TColor clActiveBorder = 0xFF00000A;
constexpr TColor clInactiveBorder = 0xFF00000B;
constexpr TColor clAppWorkSpace = 0xFF00000C;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clHighlightText = 0xFF00000E;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnText = 0xFF000012;
constexpr TColor clInactiveCaptionText = 0xFF000013;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor cl3DDkShadow = 0xFF000015;
constexpr TColor cl3DLight = 0xFF000016;
constexpr TColor clInfoText = 0xFF000017;
constexpr TColor clInfoBk = 0xFF000018;
constexpr TColor clHotLight = 0xFF00001A;
constexpr TColor clMenuHighlight = 0xFF00001D;
constexpr TColor clMenuBar = 0xFF00001E;

namespace clipforge {

enum class SystemColors { Resolve, UseLowBytes };

constexpr bool isSystemColor(TColor color) { return (color & 0xFF000000u) == 0xFF000000u; }
constexpr int redOf(TColor color) { return static_cast<int>(color & 0xFFu); }
constexpr int greenOf(TColor color) { return static_cast<int>((color >> 8) & 0xFFu); }
constexpr int blueOf(TColor color) { return static_cast<int>((color >> 16) & 0xFFu); }
constexpr TColor rgbColor(int red, int green, int blue)
{
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// The system colour with index nn (0 .. 30) as a plain colour, taken from the application palette
// where a palette role matches and from the classic defaults where none does.
TColor systemColor(int index);

// A plain colour unchanged; a system colour resolved (Resolve) or read as its low three bytes.
TColor resolveColor(TColor color, SystemColors systemColors = SystemColors::Resolve);

QColor colorToQColor(TColor color, SystemColors systemColors = SystemColors::Resolve);
inline QColor colorToQColor(TColor color, bool resolveSystem)
{
    return colorToQColor(color, resolveSystem ? SystemColors::Resolve : SystemColors::UseLowBytes);
}
TColor colorFromQColor(const QColor& color);
TColor colorFromRgb(QRgb rgb);

} // namespace clipforge
