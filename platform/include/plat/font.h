// Fonts by the fields the program fills in, rendered with FreeType from installed files.
// Face names come from data ("Arial Cyr", "Times New Roman Cyr", ...) and are mapped through
// a table of our own to installed Cyrillic-capable families; styles missing as files are
// synthesised. Text is code page 1251 throughout.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plat/geometry.h"

namespace plat {

enum class TextRendering { Greyscale, Monochrome };

struct FontDescription {
  // Negative: the character (em) height in pixels; positive: the cell height (ascent plus
  // descent); 0: a default size.
  std::int32_t height = 0;
  std::int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  std::uint8_t charset = 1;    // informational
  std::uint8_t precision = 0;  // informational
  std::string face;            // code page 1251
};

struct FontMetrics {
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
  std::int32_t height = 0;
  std::int32_t averageWidth = 0;
  std::int32_t maxWidth = 0;
};

// A rendered character: coverage 0..255 per pixel, placed relative to the pen position on
// the baseline.
struct Glyph {
  std::int32_t left = 0;  // from the pen position to the first column
  std::int32_t top = 0;   // from the baseline up to the first row
  std::int32_t width = 0;
  std::int32_t rows = 0;
  std::int32_t advance = 0;
  std::vector<std::uint8_t> coverage;
};

class FontFace;

class Font {
 public:
  // Never null: a font whose face cannot be found has zero metrics and draws nothing.
  static std::shared_ptr<const Font> Create(const FontDescription& parameters);
  // The font canvases start with.
  static std::shared_ptr<const Font> Default();

  const FontDescription& Description() const { return description_; }
  const FontMetrics& Metrics() const { return metrics_; }
  // The installed family the face name led to ("" when none).
  const std::string& Family() const { return family_; }
  bool SynthesisedBold() const;
  bool SynthesisedItalic() const;
  std::int32_t PixelSize() const;

  std::int32_t CharWidth(unsigned char ch) const;
  // Width and cell height of a single line of text.
  Size Extent(std::string_view text) const;
  // The rendered character, cached per face, size, style and rendering.
  const Glyph& GlyphOf(unsigned char ch) const;
  // Underline position below the baseline and its thickness.
  std::int32_t UnderlineOffset() const;
  std::int32_t UnderlineThickness() const;

  Font(const FontDescription& parameters, std::shared_ptr<FontFace> face, std::string family);
  ~Font();

 private:
  FontDescription description_;
  std::shared_ptr<FontFace> face_;
  std::string family_;
  FontMetrics metrics_;
};

// The face-name table: a data face name to an installed family. Lookup ignores case; unknown
// names map to themselves and then, when no such family is installed, to the fallback.
void SetFaceMapping(std::string_view face, std::string_view family);
void ResetFaceMappings();
// Reads "Face Name=Family" lines (code page 1251, '#' or ';' start comments). False when the
// file cannot be read.
bool LoadFaceMappings(std::string_view path);
std::string MappedFamily(std::string_view face);
inline constexpr std::string_view kFallbackFamily = "DejaVu Sans";

// Anti-aliased greyscale by default; fonts created afterwards render the new way.
void SetTextRendering(TextRendering rendering);
TextRendering CurrentTextRendering();

// Dots per inch of the screen (96 unless set).
std::int32_t ScreenDpiY();
void SetScreenDpiY(std::int32_t dpi);
// a * b / c rounded half away from zero; -1 when c is 0 or the result overflows.
std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c);

}  // namespace plat
