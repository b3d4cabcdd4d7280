// Measuring word-wrapped text the way list cells and tooltips lay it out, and fonts by point
// size.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "plat/canvas.h"
#include "plat/font.h"

namespace lexo {

inline constexpr std::uint32_t kMeasureWordBreak = 0x10;

// Without kMeasureWordBreak `size` gets the single-line width and height. With it, the width
// is the available width and the height the sum of the line heights, breaking after every
// character that is not a letter or digit. Returns 1, or 0 when an argument is missing or
// the length is not positive.
int MeasureText(const plat::Canvas* dc, const char* text, int length, plat::Size* size,
                std::uint32_t flags);

namespace font_style {
inline constexpr std::uint32_t kItalic = 1;
inline constexpr std::uint32_t kBold = 2;
inline constexpr std::uint32_t kUnderline = 4;
}  // namespace font_style

// Character height in pixels of a point size: 8, 10 and 12 points are fixed, other sizes
// follow the screen's vertical dots per inch.
std::int32_t PointsToPixels(std::int32_t points);

// The font parameters a point-size font asks for, and the font.
plat::FontDescription PointFontDescription(std::string_view face, std::int32_t points,
                                           std::uint32_t style, std::uint32_t precision);
std::shared_ptr<const plat::Font> CreatePointFont(std::string_view face, std::int32_t points,
                                                  std::uint32_t style, std::uint32_t precision);

}  // namespace lexo
