#include "controls/Color.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace clipforge {

namespace {

// The classic desktop defaults, used where the palette has no matching role.
constexpr std::array<TColor, 31> classicDefaults = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
};

std::optional<QColor> paletteColor(int index)
{
    if (qGuiApp == nullptr)
        return std::nullopt;
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 4: case 30: return palette.color(QPalette::Window);
    case 5: return palette.color(QPalette::Base);
    case 7: return palette.color(QPalette::WindowText);
    case 8: return palette.color(QPalette::Text);
    case 13: case 29: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);
    case 16: return palette.color(QPalette::Dark);
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);
    case 21: return palette.color(QPalette::Shadow);
    case 22: return palette.color(QPalette::Midlight);
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    case 26: return palette.color(QPalette::Link);
    default: return std::nullopt;
    }
}

} // namespace

TColor systemColor(int index)
{
    if (auto color = paletteColor(index))
        return colorFromQColor(*color);
    if (index >= 0 && index < static_cast<int>(classicDefaults.size()))
        return classicDefaults[static_cast<std::size_t>(index)];
    return clBlack;
}

TColor resolveColor(TColor color, SystemColors systemColors)
{
    if (!isSystemColor(color))
        return color & 0xFFFFFFu;
    if (systemColors == SystemColors::UseLowBytes)
        return color & 0xFFFFFFu;
    return systemColor(static_cast<int>(color & 0xFFu));
}

QColor colorToQColor(TColor color, SystemColors systemColors)
{
    const TColor plain = resolveColor(color, systemColors);
    return QColor(redOf(plain), greenOf(plain), blueOf(plain));
}

TColor colorFromQColor(const QColor& color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

TColor colorFromRgb(QRgb rgb)
{
    return rgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace clipforge
