#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Describes a small PNG to be written with libpng for the picture tests.
struct TestPng {
    int width = 1;
    int height = 1;
    int colorType = 6;
    int bitDepth = 8;
    std::vector<std::uint8_t> samples; // packed as in the file's rows (after filtering), per row
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> paletteAlpha;
    std::optional<std::array<std::uint16_t, 3>> transparentColor; // grey in [0] for greyscale
    std::optional<double> gamma;

    QByteArray encode() const;
};
