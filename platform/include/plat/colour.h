// Colours as the data files store them (0x00BBGGRR) and pixels as surfaces hold them
// (0x00RRGGBB, that is B, G, R, 0 in memory).
#pragma once

#include <cstdint>

namespace plat {

using Colour = std::uint32_t;
using Pixel = std::uint32_t;

constexpr Colour MakeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
         static_cast<Colour>(blue) << 16;
}
constexpr std::uint8_t RedOf(Colour c) {
  return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GreenOf(Colour c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(Colour c) {
  return static_cast<std::uint8_t>(c >> 16);
}

constexpr Pixel ToPixel(Colour c) {
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}
constexpr Colour FromPixel(Pixel p) {
  return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
}
constexpr Pixel MakePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<Pixel>(red) << 16 | static_cast<Pixel>(green) << 8 | blue;
}

inline constexpr Pixel kPixelMask = 0x00FFFFFF;

}  // namespace plat
