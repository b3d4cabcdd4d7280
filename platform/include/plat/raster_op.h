// Ternary raster operations. Bits 16..23 of a code are a truth table over pattern (the
// selected brush), source and destination: result bit = bit (p * 4 + s * 2 + d) of that byte,
// applied to every colour bit. Codes read from data files may hold any of the 256 tables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plat/colour.h"

namespace plat {

namespace rop {
inline constexpr std::uint32_t kSourceCopy = 0x00CC0020;
inline constexpr std::uint32_t kSourceAnd = 0x008800C6;
inline constexpr std::uint32_t kSourcePaint = 0x00EE0086;
inline constexpr std::uint32_t kSourceInvert = 0x00660046;
inline constexpr std::uint32_t kSourceErase = 0x00440328;
inline constexpr std::uint32_t kDestinationAndNotSource = 0x00220326;
inline constexpr std::uint32_t kNotSourceCopy = 0x00330008;
inline constexpr std::uint32_t kNotSourceErase = 0x001100A6;
inline constexpr std::uint32_t kMergeCopy = 0x00C000CA;
inline constexpr std::uint32_t kMergePaint = 0x00BB0226;
inline constexpr std::uint32_t kPatternCopy = 0x00F00021;
inline constexpr std::uint32_t kPatternPaint = 0x00FB0A09;
inline constexpr std::uint32_t kPatternInvert = 0x005A0049;
inline constexpr std::uint32_t kDestinationInvert = 0x00550009;
inline constexpr std::uint32_t kBlackness = 0x00000042;
inline constexpr std::uint32_t kWhiteness = 0x00FF0062;
}  // namespace rop

constexpr std::uint8_t TruthTable(std::uint32_t code) {
  return static_cast<std::uint8_t>(code >> 16);
}
constexpr bool UsesSource(std::uint8_t table) {
  return ((table >> 2 ^ table) & 0x33) != 0;
}
constexpr bool UsesPattern(std::uint8_t table) {
  return ((table >> 4 ^ table) & 0x0F) != 0;
}
constexpr bool UsesDestination(std::uint8_t table) {
  return ((table >> 1 ^ table) & 0x55) != 0;
}

// One pixel by the truth table, straight from its definition (the reference the fast row
// functions are tested against).
constexpr Pixel ApplyTruthTable(std::uint8_t table, Pixel pattern, Pixel source,
                                Pixel destination) {
  Pixel result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(table >> i & 1)) continue;
    Pixel p = (i & 4) ? pattern : ~pattern;
    Pixel s = (i & 2) ? source : ~source;
    Pixel d = (i & 1) ? destination : ~destination;
    result |= p & s & d;
  }
  return result & kPixelMask;
}

// Combines `count` pixels of a row in place: destination[i] = op(pattern, source[i],
// destination[i]). `source` may be null when the table does not use it.
void ApplyRasterRow(std::uint8_t table, Pixel* destination, const Pixel* source, Pixel pattern,
                    std::size_t count);

}  // namespace plat
