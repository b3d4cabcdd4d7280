#include "window/text_measure.h"

#include "plat/cp1251.h"

namespace lexo {

int MeasureText(const plat::Canvas* dc, const char* text, int length, plat::Size* size,
                std::uint32_t flags) {
  if (!dc || !text || !size || length <= 0) return 0;
  std::string_view all(text, static_cast<std::size_t>(length));
  if (!(flags & kMeasureWordBreak)) {
    *size = dc->TextExtent(all);
    return 1;
  }
  std::int32_t available = size->width;
  std::int32_t height = 0;
  std::int32_t lineWidth = 0;
  bool lineEmpty = true;
  std::size_t start = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    auto ch = static_cast<unsigned char>(all[i]);
    bool ends = !plat::cp1251::IsAlphaNumeric(ch) || i + 1 == all.size();
    if (!ends) continue;
    plat::Size piece = dc->TextExtent(all.substr(start, i + 1 - start));
    start = i + 1;
    if (lineEmpty) {
      // The first piece of a line stays on it, however wide.
      height += piece.height;
      lineWidth = piece.width;
      lineEmpty = false;
    } else if (lineWidth + piece.width > available) {
      height += piece.height;
      lineWidth = piece.width;
    } else {
      lineWidth += piece.width;
    }
  }
  size->height = height;
  return 1;
}

std::int32_t PointsToPixels(std::int32_t points) {
  switch (points) {
    case 8:
      return 11;
    case 10:
      return 13;
    case 12:
      return 16;
    default:
      return plat::MulDivRound(points, plat::ScreenDpiY(), 72);
  }
}

plat::FontDescription PointFontDescription(std::string_view face, std::int32_t points,
                                           std::uint32_t style, std::uint32_t precision) {
  plat::FontDescription parameters;
  parameters.height = -PointsToPixels(points);
  parameters.weight = (style & font_style::kBold) ? 700 : 400;
  parameters.italic = (style & font_style::kItalic) != 0;
  parameters.underline = (style & font_style::kUnderline) != 0;
  parameters.charset = 1;
  parameters.precision = static_cast<std::uint8_t>((precision & 0xFF) ? precision & 0xFF : 6);
  parameters.face = std::string(face);
  return parameters;
}

std::shared_ptr<const plat::Font> CreatePointFont(std::string_view face, std::int32_t points,
                                                  std::uint32_t style, std::uint32_t precision) {
  return plat::Font::Create(PointFontDescription(face, points, style, precision));
}

}  // namespace lexo
