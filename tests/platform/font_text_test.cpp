#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "plat/canvas.h"
#include "plat/cp1251.h"
#include "plat/font.h"
#include "plat/image_compare.h"
#include "plat/png_writer.h"
#include "plat/raster_op.h"
#include "plat/stream.h"

namespace plat {
namespace {

using namespace cp1251::literals;

std::string ScreenshotPath(const char* name) {
  const char* dir = std::getenv("LEXO_SCREENSHOT_DIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

struct FaceCase {
  const char* face;
  const char* family;
};

class FaceMapping : public ::testing::TestWithParam<FaceCase> {};

TEST_P(FaceMapping, DataFaceNamesLeadToCyrillicFamilies) {
  auto font = Font::Create({.height = -11, .face = GetParam().face});
  EXPECT_EQ(font->Family(), GetParam().family);
  EXPECT_GT(font->CharWidth(0xC6), 0);  // Ж has a glyph
}

INSTANTIATE_TEST_SUITE_P(Table, FaceMapping,
                         ::testing::Values(FaceCase{"Arial Cyr", "Liberation Sans"},
                                           FaceCase{"arial cyr", "Liberation Sans"},
                                           FaceCase{"Times New Roman Cyr", "Liberation Serif"},
                                           FaceCase{"Courier New", "Liberation Mono"},
                                           FaceCase{"PragmaticaTVB", "Liberation Sans"},
                                           FaceCase{"No Such Face 123", "DejaVu Sans"},
                                           FaceCase{"", "DejaVu Sans"}));

TEST(FaceMappingTable, FileEntriesOverrideAndResetRestores) {
  std::string path = ScreenshotPath("lexo_face_map.txt");
  ASSERT_TRUE(WriteWholeFile(path, "# comment\nArial Cyr = DejaVu Serif\nbroken line\n"));
  ASSERT_TRUE(LoadFaceMappings(path));
  EXPECT_EQ(MappedFamily("ARIAL CYR"), "DejaVu Serif");
  EXPECT_EQ(Font::Create({.height = -11, .face = "Arial Cyr"})->Family(), "DejaVu Serif");
  ResetFaceMappings();
  EXPECT_EQ(MappedFamily("Arial Cyr"), "Liberation Sans");
  EXPECT_FALSE(LoadFaceMappings(ScreenshotPath("no_such_map_file.txt")));
}

TEST(FontSize, NegativeHeightIsTheEmAndPositiveTheCell) {
  for (int pixels : {9, 11, 13, 16, 24}) {
    auto em = Font::Create({.height = -pixels, .face = "Arial Cyr"});
    EXPECT_EQ(em->PixelSize(), pixels);
    EXPECT_GT(em->Metrics().height, pixels);  // the cell is taller than the em
    auto cell = Font::Create({.height = pixels, .face = "Arial Cyr"});
    EXPECT_LE(cell->Metrics().height, pixels);
    EXPECT_GE(cell->Metrics().height, pixels - 1);
    EXPECT_EQ(cell->Metrics().ascent + cell->Metrics().descent, cell->Metrics().height);
  }
}

TEST(FontSize, ArialCyrElevenPixelsHasTheClassicCell) {
  auto font = Font::Create({.height = -11, .face = "Arial Cyr"});
  EXPECT_EQ(font->Metrics().ascent, 10);
  EXPECT_EQ(font->Metrics().descent, 3);
  EXPECT_EQ(font->Metrics().height, 13);
  EXPECT_GT(font->Metrics().averageWidth, 3);
  EXPECT_LT(font->Metrics().averageWidth, 8);
}

TEST(FontStyle, MissingStyleFilesAreSynthesised) {
  // Liberation has bold and italic files; a face without them gets both made up.
  auto bold = Font::Create({.height = -13, .weight = 700, .face = "Arial Cyr"});
  EXPECT_FALSE(bold->SynthesisedBold());
  auto regular = Font::Create({.height = -13, .face = "Arial Cyr"});
  EXPECT_GE(bold->Extent("Bold text").width, regular->Extent("Bold text").width);
  SetFaceMapping("Only Book", "DejaVu Sans Mono");
  auto madeUp = Font::Create({.height = -13, .weight = 700, .italic = true, .face = "Only Book"});
  EXPECT_EQ(madeUp->Family(), "DejaVu Sans Mono");
  // DejaVu Sans Mono ships bold and oblique in dejavu-core; the flags must follow the files.
  EXPECT_EQ(madeUp->SynthesisedBold(), false);
  ResetFaceMappings();
}

TEST(TextExtent, IsTheSumOfTheAdvancesAndTheCellHeight) {
  auto font = Font::Create({.height = -11, .face = "Arial Cyr"});
  std::string_view text = "Привет, мир"_cp;
  Size extent = font->Extent(text);
  int sum = 0;
  for (char ch : text) sum += font->CharWidth(static_cast<unsigned char>(ch));
  EXPECT_EQ(extent.width, sum);
  EXPECT_EQ(extent.height, font->Metrics().height);
  EXPECT_EQ(font->Extent("").width, 0);
}

class TextDrawing : public ::testing::Test {
 protected:
  TextDrawing() : bitmap_(200, 60), canvas_(Canvas::ForBitmap(bitmap_)) {
    bitmap_.Fill(0xFFFFFF);
    canvas_.SelectFont(Font::Create({.height = -11, .face = "Arial Cyr"}));
  }
  Bitmap bitmap_;
  Canvas canvas_;
};

TEST_F(TextDrawing, TransparentLeavesTheBackgroundAndOpaqueFillsTheCell) {
  canvas_.SetBackMode(BackgroundMode::Transparent);
  canvas_.TextOut({10, 10}, "Ширь"_cp);
  Size extent = canvas_.TextExtent("Ширь"_cp);
  Rect cell{10, 10, 10 + extent.width, 10 + extent.height};
  EXPECT_GT(CountPixelsNot(bitmap_.Surface(), cell, 0xFFFFFF), 10);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 200, 10}, 0xFFFFFF), 0);

  canvas_.SetBackMode(BackgroundMode::Opaque);
  canvas_.SetBackColour(0x5E7028);
  canvas_.SetTextColour(0xFFFFFF);
  canvas_.TextOut({10, 30}, "Ширь"_cp);
  Rect second{10, 30, 10 + extent.width, 30 + extent.height};
  std::int64_t notBack = CountPixelsNot(bitmap_.Surface(), second, 0x5E7028);
  EXPECT_GT(notBack, 10);
  EXPECT_LT(notBack, extent.width * extent.height / 2);
  // Nothing outside the cell changes.
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {10 + extent.width, 30, 200, 60}, 0xFFFFFF), 0);
}

TEST_F(TextDrawing, SameTextGivesTheSamePixels) {
  Bitmap other(200, 60);
  other.Fill(0xFFFFFF);
  Canvas second = Canvas::ForBitmap(other);
  second.SelectFont(Font::Create({.height = -11, .face = "Arial Cyr"}));
  canvas_.TextOut({3, 4}, "Энциклопедия 1998"_cp);
  second.TextOut({3, 4}, "Энциклопедия 1998"_cp);
  EXPECT_TRUE(CompareImages(bitmap_.Surface(), other.Surface(), {0, 0, 200, 60}).Same());
}

TEST_F(TextDrawing, ClipCutsGlyphs) {
  canvas_.IntersectClip({0, 0, 15, 60});
  canvas_.TextOut({10, 10}, "ЖЖЖЖ"_cp);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {15, 0, 200, 60}, 0xFFFFFF), 0);
  EXPECT_GT(CountPixelsNot(bitmap_.Surface(), {10, 0, 15, 60}, 0xFFFFFF), 0);
}

TEST_F(TextDrawing, MonochromeRenderingUsesOnlyTwoColours) {
  SetTextRendering(TextRendering::Monochrome);
  canvas_.SelectFont(Font::Create({.height = -13, .face = "Times New Roman Cyr"}));
  SetTextRendering(TextRendering::Greyscale);
  canvas_.TextOut({2, 2}, "Съешь же ещё"_cp);
  std::int64_t ink = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      Colour c = bitmap_.ColourAt(x, y);
      ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;
      ink += c == 0;
    }
  }
  EXPECT_GT(ink, 30);
}

using namespace text_format;

struct FormatCase {
  const char* name;
  std::string_view text;
  std::uint32_t flags;
  int width;
  int lines;    // of the font's cell height
  bool widest;  // right edge = left + widest line (calculate) or kept
};

class FormattedText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormattedText, CalculateRectGivesTheHeightAndWidestLine) {
  const FormatCase& c = GetParam();
  Bitmap bitmap(300, 200);
  Canvas canvas = Canvas::ForBitmap(bitmap);
  auto font = Font::Create({.height = -11, .face = "Arial Cyr"});
  canvas.SelectFont(font);
  Rect rect{5, 5, 5 + c.width, 15};
  int height = canvas.DrawText(c.text, rect, c.flags | kCalculateRect);
  EXPECT_EQ(height, c.lines * font->Metrics().height);
  EXPECT_EQ(rect.Height(), height);
  bool wraps = (c.flags & kWordBreak) && !(c.flags & kSingleLine);
  EXPECT_LE(rect.Width(), wraps ? c.width : 1000);
  EXPECT_GT(rect.Width(), 0);
  // Nothing is drawn while calculating.
  EXPECT_EQ(CountPixelsNot(bitmap.Surface(), {0, 0, 300, 200}, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormattedText,
    ::testing::Values(FormatCase{"OneLine", "Слово"_cp, kSingleLine, 240, 1, true},
                      FormatCase{"WrapsAtBlanks", "раз два три четыре пять шесть семь восемь"_cp,
                                 kWordBreak, 80, 4, true},
                      FormatCase{"WideEnoughStaysOne", "раз два"_cp, kWordBreak, 240, 1, true},
                      FormatCase{"LineBreaks", "раз\r\nдва\nтри"_cp, 0, 240, 3, true},
                      FormatCase{"SingleLineIgnoresWordBreak", "раз два три четыре пять"_cp,
                                 kWordBreak | kSingleLine, 30, 1, true},
                      FormatCase{"LongWordIsCut", "Превысокомногорассмотрительствующий"_cp,
                                 kWordBreak, 60, 4, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(TextDrawing, VerticalCentreActsOnlyWithSingleLine) {
  auto font = canvas_.CurrentFont();
  int cell = font->Metrics().height;
  Rect box{0, 0, 200, 60};
  EXPECT_EQ(canvas_.DrawText("Текст"_cp, box, kVerticalCentre | kSingleLine),
            (60 - cell) / 2 + cell);
  bitmap_.Fill(0xFFFFFF);
  // Format 21 (word break, vertical centre, centre) stays at the top.
  Rect top{0, 0, 200, 60};
  EXPECT_EQ(canvas_.DrawText("Текст"_cp, top, 21), cell);
  EXPECT_GT(CountPixelsNot(bitmap_.Surface(), {0, 0, 200, cell}, 0xFFFFFF), 0);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, cell, 200, 60}, 0xFFFFFF), 0);
  // Centred horizontally: ink on both sides of the middle, none near the edges.
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 70, 60}, 0xFFFFFF), 0);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {130, 0, 200, 60}, 0xFFFFFF), 0);
}

TEST_F(TextDrawing, AmpersandMarksAPrefixUnlessNoPrefix) {
  Rect a{0, 0, 200, 30};
  canvas_.DrawText("&Файл"_cp, a, kCalculateRect | kSingleLine);
  Rect b{0, 0, 200, 30};
  canvas_.DrawText("&Файл"_cp, b, kCalculateRect | kSingleLine | kNoPrefix);
  EXPECT_EQ(a.Width(), canvas_.TextExtent("Файл"_cp).width);
  EXPECT_EQ(b.Width(), canvas_.TextExtent("&Файл"_cp).width);
  Rect c{0, 0, 200, 30};
  canvas_.DrawText("A&&B"_cp, c, kCalculateRect | kSingleLine);
  EXPECT_EQ(c.Width(), canvas_.TextExtent("A&B").width);
}

TEST_F(TextDrawing, RightAlignmentEndsAtTheRightEdge) {
  Rect box{0, 0, 150, 20};
  canvas_.DrawText("Текст"_cp, box, kRight | kSingleLine);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 100, 20}, 0xFFFFFF), 0);
  EXPECT_GT(CountPixelsNot(bitmap_.Surface(), {140, 0, 150, 20}, 0xFFFFFF), 0);
}

TEST_F(TextDrawing, ClippedToTheRectangleUnlessNoClip) {
  Rect box{0, 0, 30, 10};
  canvas_.DrawText("ЖЖЖЖЖЖЖЖ"_cp, box, kSingleLine);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {30, 0, 200, 60}, 0xFFFFFF), 0);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 10, 200, 60}, 0xFFFFFF), 0);
  canvas_.DrawText("ЖЖЖЖЖЖЖЖ"_cp, box, kSingleLine | kNoClip);
  EXPECT_GT(CountPixelsNot(bitmap_.Surface(), {30, 0, 200, 60}, 0xFFFFFF), 0);
}

TEST(DotsPerInch, MultiplyDivideRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDivRound(9, 96, 72), 12);
  EXPECT_EQ(MulDivRound(7, 96, 72), 9);  // 9.33
  EXPECT_EQ(MulDivRound(5, 3, 2), 8);    // 7.5
  EXPECT_EQ(MulDivRound(-5, 3, 2), -8);  // -7.5
  EXPECT_EQ(MulDivRound(1, 1, 0), -1);
  EXPECT_EQ(ScreenDpiY(), 96);
}

// A scene to look at: Russian text in several faces and sizes, styles, opaque and
// transparent, and a strip of raster operations.
TEST(Screenshot, TextInFacesAndSizesAndRasterOperations) {
  Bitmap scene(640, 400);
  scene.Fill(0xF0F0F0);
  Canvas canvas = Canvas::ForBitmap(scene);
  canvas.SetBackMode(BackgroundMode::Transparent);
  int y = 6;
  struct Line {
    const char* face;
    int height;
    int weight;
    bool italic;
    bool underline;
  };
  const Line lines[] = {
      {"Arial Cyr", -11, 400, false, false},
      {"Arial Cyr", -13, 700, false, false},
      {"Times New Roman Cyr", -13, 400, false, false},
      {"Times New Roman Cyr", -16, 400, true, false},
      {"Courier New Cyr", -13, 400, false, false},
      {"PragmaticaTVB", -11, 700, false, false},
      {"Arial Cyr", -24, 400, false, true},
      {"Times New Roman Cyr", 20, 700, true, false},
  };
  for (const Line& line : lines) {
    canvas.SelectFont(Font::Create({.height = line.height,
                                    .weight = line.weight,
                                    .italic = line.italic,
                                    .underline = line.underline,
                                    .face = line.face}));
    canvas.SetTextColour(0x000000);
    canvas.TextOut({8, y}, "Съешь же ещё этих мягких французских булок, да выпей чаю. ЁЖ №1"_cp);
    y += canvas.GetFontMetrics().height + 4;
  }
  canvas.SelectFont(Font::Create({.height = -11, .face = "Arial Cyr"}));
  canvas.SetBackMode(BackgroundMode::Opaque);
  canvas.SetBackColour(0x5E7028);
  canvas.SetTextColour(0xFFFFFF);
  canvas.TextOut({8, y}, "Выделение: белым на зелёном"_cp);
  Rect box{300, y, 630, y + 60};
  canvas.FrameRect(box, Brush::Solid(0x0000FF));
  canvas.SetBackMode(BackgroundMode::Transparent);
  canvas.SetTextColour(0x800000);
  canvas.DrawText(
      "Длинный текст переносится по словам и выравнивается по центру прямоугольника."_cp, box,
      kWordBreak | kCentre);
  y += 70;

  // Raster operations: a source of vertical stripes over a destination of horizontal ones.
  Bitmap source(32, 32);
  for (int j = 0; j < 32; ++j) {
    for (int i = 0; i < 32; ++i) source.Row(j)[i] = ToPixel(i < 16 ? 0xFFFFFF : 0x00C0FF);
  }
  const std::uint32_t codes[] = {rop::kSourceCopy,
                                 rop::kSourceAnd,
                                 rop::kSourcePaint,
                                 rop::kSourceInvert,
                                 rop::kDestinationAndNotSource,
                                 rop::kPatternCopy,
                                 rop::kPatternInvert,
                                 rop::kNotSourceCopy,
                                 rop::kMergeCopy,
                                 0x00B8074A};
  canvas.SelectBrush(Brush::Solid(0xA00000));
  canvas.SelectFont(Font::Create({.height = -9, .face = "Arial Cyr"}));
  canvas.SetTextColour(0);
  int x = 8;
  for (std::uint32_t code : codes) {
    for (int j = 0; j < 32; ++j) {
      canvas.FillRect({x, y + j, x + 32, y + j + 1}, Brush::Solid(j < 16 ? 0x000000 : 0x30A030));
    }
    canvas.Blit({x, y, x + 32, y + 32}, source, {0, 0}, code);
    char label[16];
    std::snprintf(label, sizeof label, "%02X", static_cast<unsigned>(code >> 16 & 0xFF));
    canvas.TextOut({x + 8, y + 34}, label);
    x += 40;
  }
  canvas.SetPenMix(PenMix::Invert);
  canvas.MoveTo({420, y});
  canvas.LineTo({620, y + 40});
  canvas.SetPenMix(PenMix::Copy);
  canvas.FocusRect({420, y - 4, 630, y + 46});
  ASSERT_TRUE(WritePng(ScreenshotPath("lexo_text_and_rops.png"), scene));
}

}  // namespace
}  // namespace plat
