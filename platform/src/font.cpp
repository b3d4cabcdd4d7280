#include "plat/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>
#include <optional>

#include "plat/cp1251.h"
#include "plat/stream.h"

namespace plat {

// One face file at one pixel size and style, with its rendered characters. Shared by every
// Font of the same parameters; fonts are used from the GUI thread only.
class FontFace {
 public:
  FontFace(FT_Face face, std::int32_t pixelSize, bool bold, bool italic, TextRendering rendering)
      : face_(face), pixelSize_(pixelSize), bold_(bold), italic_(italic), rendering_(rendering) {}
  ~FontFace() { FT_Done_Face(face_); }
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const Glyph& GlyphOf(unsigned char ch) {
    auto& slot = glyphs_[ch];
    if (!slot) slot = std::make_unique<Glyph>(Render(ch));
    return *slot;
  }

  FontMetrics ComputeMetrics() {
    FontMetrics m;
    auto units = static_cast<std::int64_t>(face_->units_per_EM ? face_->units_per_EM : 2048);
    auto [ascent, descent] = AscentDescent(face_);
    m.ascent = static_cast<std::int32_t>((ascent * pixelSize_ + units - 1) / units);
    m.descent = static_cast<std::int32_t>((descent * pixelSize_ + units - 1) / units);
    m.height = m.ascent + m.descent;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0) {
      m.averageWidth =
          static_cast<std::int32_t>((os2->xAvgCharWidth * pixelSize_ + units / 2) / units);
    } else {
      m.averageWidth = GlyphOf('x').advance;
    }
    m.maxWidth =
        static_cast<std::int32_t>(
            (static_cast<std::int64_t>(face_->max_advance_width) * pixelSize_ + units - 1) /
            units) +
        (bold_ ? 1 : 0);
    auto scaled = [&](std::int64_t v) {
      return static_cast<std::int32_t>((v * pixelSize_ + units / 2) / units);
    };
    underlineOffset_ = std::max(1, scaled(-face_->underline_position));
    underlineThickness_ = std::max(1, scaled(face_->underline_thickness));
    return m;
  }

  // Ascent and descent in font units, as the classic cell uses them.
  static std::pair<std::int64_t, std::int64_t> AscentDescent(FT_Face face) {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      return {os2->usWinAscent, os2->usWinDescent};
    }
    return {face->ascender, -face->descender};
  }

  std::int32_t PixelSize() const { return pixelSize_; }
  bool Bold() const { return bold_; }
  bool Italic() const { return italic_; }
  std::int32_t UnderlineOffset() const { return underlineOffset_; }
  std::int32_t UnderlineThickness() const { return underlineThickness_; }

 private:
  Glyph Render(unsigned char ch) {
    Glyph g;
    FT_UInt index = FT_Get_Char_Index(face_, cp1251::ToUnicode(ch));
    bool mono = rendering_ == TextRendering::Monochrome;
    FT_Int32 flags = FT_LOAD_DEFAULT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face_, index, flags) != 0) return g;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (bold_) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
      if (italic_) {
        FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};  // about 11 degrees
        FT_Outline_Transform(&slot->outline, &shear);
      }
    }
    g.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6) + (bold_ ? 1 : 0);
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<std::int32_t>(bm.width);
    g.rows = static_cast<std::int32_t>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.rows);
    for (std::int32_t y = 0; y < g.rows; ++y) {
      const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
      std::uint8_t* dst = g.coverage.data() + static_cast<std::size_t>(y) * g.width;
      for (std::int32_t x = 0; x < g.width; ++x) {
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
          dst[x] = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        } else {
          dst[x] = src[x];
        }
      }
    }
    return g;
  }

  FT_Face face_;
  std::int32_t pixelSize_;
  bool bold_;
  bool italic_;
  TextRendering rendering_;
  std::int32_t underlineOffset_ = 1;
  std::int32_t underlineThickness_ = 1;
  std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

std::string Key(std::string_view face) {
  return cp1251::ToLower(face);
}

const std::vector<std::pair<std::string_view, std::string_view>> kDefaultMappings = {
    {"Arial Cyr", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"System", "Liberation Sans"},
    {"Small Fonts", "Liberation Sans"},
    {"PragmaticaTVB", "Liberation Sans"},
    {"Pragmatica", "Liberation Sans"},
    {"PragmaticaC", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman Cyr", "Liberation Serif"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"Courier New Cyr", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Tahoma", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},
};

std::map<std::string, std::string>& Mappings() {
  static std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> t;
    for (auto [face, family] : kDefaultMappings) t[Key(face)] = std::string(family);
    return t;
  }();
  return table;
}

TextRendering& Rendering() {
  static TextRendering rendering = TextRendering::Greyscale;
  return rendering;
}

std::int32_t& DpiY() {
  static std::int32_t dpi = 96;
  return dpi;
}

struct MatchedFile {
  std::string file;
  int index = 0;
  std::string family;
  bool boldFile = false;
  bool italicFile = false;
};

bool SameName(std::string_view a, std::string_view b) {
  return cp1251::CompareNoCase(cp1251::FromUtf8(a), cp1251::FromUtf8(b)) == 0;
}

// The installed file of a family and style, or nothing when fontconfig offers only another
// family (it substitutes freely; the substitution is ours to choose).
std::optional<MatchedFile> MatchFamily(const std::string& familyUtf8, bool bold, bool italic) {
  // The library keeps its configuration until told to let it go at exit.
  static bool ready = [] {
    if (FcInit() != FcTrue) return false;
    std::atexit(FcFini);
    return true;
  }();
  if (!ready) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  std::optional<MatchedFile> out;
  FcChar8* family = nullptr;
  bool sameFamily = false;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
    if (SameName(reinterpret_cast<const char*>(family), familyUtf8)) {
      sameFamily = true;
      break;
    }
  }
  FcChar8* file = nullptr;
  if (sameFamily && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    MatchedFile m;
    m.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &m.index);
    m.family = reinterpret_cast<const char*>(family);
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    m.boldFile = weight >= FC_WEIGHT_DEMIBOLD;
    m.italicFile = slant != FC_SLANT_ROMAN;
    out = m;
  }
  FcPatternDestroy(match);
  return out;
}

std::map<std::string, std::shared_ptr<FontFace>>& FaceCache() {
  static std::map<std::string, std::shared_ptr<FontFace>> cache;
  return cache;
}

std::int32_t CellHeight(FT_Face face, std::int64_t pixelSize) {
  auto units = static_cast<std::int64_t>(face->units_per_EM ? face->units_per_EM : 2048);
  auto [ascent, descent] = FontFace::AscentDescent(face);
  return static_cast<std::int32_t>((ascent * pixelSize + units - 1) / units +
                                   (descent * pixelSize + units - 1) / units);
}

}  // namespace

void SetFaceMapping(std::string_view face, std::string_view family) {
  Mappings()[Key(face)] = std::string(family);
}

void ResetFaceMappings() {
  Mappings().clear();
  for (auto [face, family] : kDefaultMappings) Mappings()[Key(face)] = std::string(family);
}

bool LoadFaceMappings(std::string_view path) {
  auto stream = Stream::Open(path, StreamMode::ReadText);
  if (!stream) return false;
  std::string line;
  while (stream->ReadLine(line)) {
    auto trim = [](std::string_view s) {
      while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
      while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
      }
      return s;
    };
    std::string_view text = trim(line);
    if (text.empty() || text.front() == '#' || text.front() == ';') continue;
    auto equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view face = trim(text.substr(0, equals));
    std::string_view family = trim(text.substr(equals + 1));
    if (!face.empty() && !family.empty()) SetFaceMapping(face, family);
  }
  return true;
}

std::string MappedFamily(std::string_view face) {
  auto it = Mappings().find(Key(face));
  return it != Mappings().end() ? it->second : std::string(face);
}

void SetTextRendering(TextRendering rendering) {
  Rendering() = rendering;
}
TextRendering CurrentTextRendering() {
  return Rendering();
}

std::int32_t ScreenDpiY() {
  return DpiY();
}
void SetScreenDpiY(std::int32_t dpi) {
  DpiY() = dpi > 0 ? dpi : 96;
}

std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(a) * b;
  bool negative = (product < 0) != (c < 0);
  std::uint64_t magnitude = static_cast<std::uint64_t>(product < 0 ? -product : product);
  std::uint64_t divisor = static_cast<std::uint64_t>(c < 0 ? -static_cast<std::int64_t>(c) : c);
  std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return -1;
  auto value = static_cast<std::int32_t>(quotient);
  return negative ? -value : value;
}

std::shared_ptr<const Font> Font::Create(const FontDescription& parameters) {
  bool bold = parameters.weight >= 600;
  std::string wanted = cp1251::ToUtf8(MappedFamily(parameters.face));
  std::optional<MatchedFile> matched;
  if (!wanted.empty()) matched = MatchFamily(wanted, bold, parameters.italic);
  if (!matched) matched = MatchFamily(std::string(kFallbackFamily), bold, parameters.italic);
  if (!matched || !Library()) return std::make_shared<Font>(parameters, nullptr, "");

  bool synthBold = bold && !matched->boldFile;
  bool synthItalic = parameters.italic && !matched->italicFile;
  TextRendering rendering = Rendering();

  FT_Face face = nullptr;
  if (FT_New_Face(Library(), matched->file.c_str(), matched->index, &face) != 0) {
    return std::make_shared<Font>(parameters, nullptr, "");
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  std::int64_t pixelSize = 0;
  if (parameters.height < 0) {
    pixelSize = -static_cast<std::int64_t>(parameters.height);
  } else {
    std::int64_t cell = parameters.height == 0 ? 16 : parameters.height;
    auto [ascent, descent] = FontFace::AscentDescent(face);
    std::int64_t units = face->units_per_EM ? face->units_per_EM : 2048;
    pixelSize = std::max<std::int64_t>(
        1, (cell * units + (ascent + descent) / 2) / std::max<std::int64_t>(1, ascent + descent));
    while (pixelSize > 1 && CellHeight(face, pixelSize) > cell) --pixelSize;
  }
  pixelSize = std::clamp<std::int64_t>(pixelSize, 1, 2048);

  std::string key = matched->file + '|' + std::to_string(matched->index) + '|' +
                    std::to_string(pixelSize) + '|' + (synthBold ? 'b' : '-') +
                    (synthItalic ? 'i' : '-') +
                    (rendering == TextRendering::Monochrome ? 'm' : 'g');
  auto& cached = FaceCache()[key];
  if (cached) {
    FT_Done_Face(face);
  } else {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
      FT_Done_Face(face);
      FaceCache().erase(key);
      return std::make_shared<Font>(parameters, nullptr, "");
    }
    cached = std::make_shared<FontFace>(face, static_cast<std::int32_t>(pixelSize), synthBold,
                                        synthItalic, rendering);
  }
  return std::make_shared<Font>(parameters, cached, matched->family);
}

std::shared_ptr<const Font> Font::Default() {
  static std::shared_ptr<const Font> font = Create({.height = 16, .weight = 700, .face = "System"});
  return font;
}

Font::Font(const FontDescription& parameters, std::shared_ptr<FontFace> face, std::string family)
    : description_(parameters), face_(std::move(face)), family_(std::move(family)) {
  if (face_) metrics_ = face_->ComputeMetrics();
}

Font::~Font() = default;

bool Font::SynthesisedBold() const {
  return face_ && face_->Bold();
}
bool Font::SynthesisedItalic() const {
  return face_ && face_->Italic();
}
std::int32_t Font::PixelSize() const {
  return face_ ? face_->PixelSize() : 0;
}

const Glyph& Font::GlyphOf(unsigned char ch) const {
  static const Glyph kNothing;
  return face_ ? face_->GlyphOf(ch) : kNothing;
}

std::int32_t Font::CharWidth(unsigned char ch) const {
  return GlyphOf(ch).advance;
}

Size Font::Extent(std::string_view text) const {
  std::int32_t width = 0;
  for (char ch : text) width += CharWidth(static_cast<unsigned char>(ch));
  return {width, metrics_.height};
}

std::int32_t Font::UnderlineOffset() const {
  return face_ ? face_->UnderlineOffset() : 1;
}
std::int32_t Font::UnderlineThickness() const {
  return face_ ? face_->UnderlineThickness() : 1;
}

}  // namespace plat
