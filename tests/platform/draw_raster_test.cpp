#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "plat/canvas.h"
#include "plat/raster_op.h"

namespace plat {
namespace {

// Every truth table against its definition, on pixels that hold all four bit combinations
// of each pair of operands in every channel.
TEST(RasterOperations, EveryTableMatchesItsDefinitionBitForBit) {
  const Pixel patterns[] = {0x00F0F0F0, 0x00CCAA55, 0x00000000, 0x00FFFFFF};
  const Pixel sources[] = {0x00CCCCCC, 0x0033AAF0, 0x00FF0000, 0x00123456};
  const Pixel destinations[] = {0x00AAAAAA, 0x00F00F5A, 0x0000FF00, 0x00FEDCBA};
  for (int table = 0; table < 256; ++table) {
    for (Pixel p : patterns) {
      std::vector<Pixel> row(std::begin(destinations), std::end(destinations));
      ApplyRasterRow(static_cast<std::uint8_t>(table), row.data(), sources, p, row.size());
      for (std::size_t i = 0; i < row.size(); ++i) {
        // Bit by bit: result bit = table bit (p * 4 + s * 2 + d).
        Pixel expected = 0;
        for (int bit = 0; bit < 24; ++bit) {
          int index =
              ((p >> bit & 1) << 2) | ((sources[i] >> bit & 1) << 1) | (destinations[i] >> bit & 1);
          expected |= static_cast<Pixel>(table >> index & 1) << bit;
        }
        ASSERT_EQ(row[i], expected) << "table " << table << " pixel " << i;
        ASSERT_EQ(ApplyTruthTable(static_cast<std::uint8_t>(table), p, sources[i], destinations[i]),
                  expected);
      }
    }
  }
}

struct NamedOperation {
  const char* name;
  std::uint32_t code;
  Colour source;
  Colour destination;
  Colour brush;
  Colour result;
};

class NamedBlit : public ::testing::TestWithParam<NamedOperation> {};

TEST_P(NamedBlit, CombinesTheChannelsExactly) {
  const NamedOperation& c = GetParam();
  Bitmap source(3, 2);
  source.Fill(c.source);
  Bitmap target(3, 2);
  target.Fill(c.destination);
  Canvas canvas = Canvas::ForBitmap(target);
  canvas.SelectBrush(Brush::Solid(c.brush));
  canvas.Blit({1, 0, 2, 2}, source, {0, 0}, c.code);
  EXPECT_EQ(target.ColourAt(1, 0), c.result);
  EXPECT_EQ(target.ColourAt(1, 1), c.result);
  EXPECT_EQ(target.ColourAt(0, 0), c.destination);  // outside the rectangle
  EXPECT_EQ(target.ColourAt(2, 1), c.destination);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NamedBlit,
    ::testing::Values(
        NamedOperation{"Copy", rop::kSourceCopy, 0x123456, 0xABCDEF, 0, 0x123456},
        NamedOperation{"And", rop::kSourceAnd, 0x0F0FF0, 0x3C3C3C, 0, 0x0C0C30},
        NamedOperation{"Paint", rop::kSourcePaint, 0x0F0FF0, 0x3C3C3C, 0, 0x3F3FFC},
        NamedOperation{"Invert", rop::kSourceInvert, 0x0F0FF0, 0x3C3C3C, 0, 0x3333CC},
        NamedOperation{"DestinationAndNotSource", rop::kDestinationAndNotSource, 0x0F0FF0, 0x3C3C3C,
                       0, 0x30300C},
        NamedOperation{"NotSourceCopy", rop::kNotSourceCopy, 0x0F0FF0, 0, 0, 0xF0F00F},
        NamedOperation{"PatternCopy", rop::kPatternCopy, 0x111111, 0x222222, 0x5E7028, 0x5E7028},
        NamedOperation{"PatternInvert", rop::kPatternInvert, 0, 0x00FF00, 0xFFFFFF, 0xFF00FF},
        NamedOperation{"MergeCopy", rop::kMergeCopy, 0x0F0FF0, 0, 0x3C3C3C, 0x0C0C30},
        NamedOperation{"Blackness", rop::kBlackness, 0x123456, 0xABCDEF, 0xFFFFFF, 0},
        NamedOperation{"Whiteness", rop::kWhiteness, 0x123456, 0xABCDEF, 0, 0xFFFFFF},
        NamedOperation{"DestinationInvert", rop::kDestinationInvert, 0, 0x0F0F0F, 0, 0xF0F0F0},
        // A code as a list description may hold it: only the table byte counts.
        NamedOperation{"FromData", 0x00B8074A, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFF00FF}),
    [](const auto& info) { return info.param.name; });

TEST(Blit, MaskedButtonSequenceLeavesTheBackgroundWhereTheMaskIsWhite) {
  // skin XOR, mask AND, skin XOR: black mask pixels show the skin, white ones the
  // background.
  Bitmap skin(2, 1);
  skin.Row(0)[0] = ToPixel(0x2040A0);
  skin.Row(0)[1] = ToPixel(0x2040A0);
  Bitmap mask(2, 1);
  mask.Row(0)[0] = ToPixel(0x000000);
  mask.Row(0)[1] = ToPixel(0xFFFFFF);
  Bitmap screen(2, 1);
  screen.Fill(0x13579B);
  Canvas canvas = Canvas::ForBitmap(screen);
  canvas.Blit({0, 0, 2, 1}, skin, {0, 0}, rop::kSourceInvert);
  canvas.Blit({0, 0, 2, 1}, mask, {0, 0}, rop::kSourceAnd);
  canvas.Blit({0, 0, 2, 1}, skin, {0, 0}, rop::kSourceInvert);
  EXPECT_EQ(screen.ColourAt(0, 0), 0x2040A0u);
  EXPECT_EQ(screen.ColourAt(1, 0), 0x13579Bu);
}

Bitmap Numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.Row(y)[x] = static_cast<Pixel>(y * 100 + x);
  }
  return b;
}

TEST(Blit, SourceOutsideTheBitmapDrawsOnlyWhatExists) {
  Bitmap source = Numbered(4, 4);
  Bitmap target(6, 6);
  target.Fill(0xFFFFFF);
  Canvas canvas = Canvas::ForBitmap(target);
  canvas.Blit({0, 0, 6, 6}, source, {2, 2}, rop::kSourceCopy);
  EXPECT_EQ(target.PixelAt(0, 0), 202u);
  EXPECT_EQ(target.PixelAt(1, 1), 303u);
  EXPECT_EQ(target.ColourAt(2, 0), 0xFFFFFFu);
  EXPECT_EQ(target.ColourAt(0, 2), 0xFFFFFFu);
}

TEST(Blit, OverlappingCopyWithinOneBitmapScrolls) {
  Bitmap b = Numbered(5, 5);
  Canvas canvas = Canvas::ForBitmap(b);
  canvas.Blit({0, 1, 5, 5}, canvas, {0, 0}, rop::kSourceCopy);  // down by one
  for (int y = 1; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) ASSERT_EQ(b.PixelAt(x, y), static_cast<Pixel>((y - 1) * 100 + x));
  }
  canvas.Blit({0, 0, 4, 5}, canvas, {1, 0}, rop::kSourceCopy);  // left by one
  EXPECT_EQ(b.PixelAt(0, 1), 1u);
  EXPECT_EQ(b.PixelAt(3, 4), 304u);
}

struct StretchCase {
  const char* name;
  int sourceWidth;
  int targetWidth;
  std::vector<int> columns;  // source column of each target column
};

class StretchNearest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchNearest, PicksTheNearestSourceColumn) {
  const StretchCase& c = GetParam();
  Bitmap source = Numbered(c.sourceWidth, 1);
  Bitmap target(c.targetWidth, 2);
  Canvas canvas = Canvas::ForBitmap(target);
  canvas.StretchBlit({0, 0, c.targetWidth, 2}, source, {0, 0, c.sourceWidth, 1}, rop::kSourceCopy);
  for (int x = 0; x < c.targetWidth; ++x) {
    EXPECT_EQ(target.PixelAt(x, 0), static_cast<Pixel>(c.columns[static_cast<std::size_t>(x)]));
    EXPECT_EQ(target.PixelAt(x, 1), target.PixelAt(x, 0));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, StretchNearest,
                         ::testing::Values(StretchCase{"Double", 3, 6, {0, 0, 1, 1, 2, 2}},
                                           StretchCase{"Half", 6, 3, {1, 3, 5}},
                                           StretchCase{"Same", 3, 3, {0, 1, 2}},
                                           StretchCase{"ThreeToFive", 3, 5, {0, 0, 1, 2, 2}}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace plat
