#include <gtest/gtest.h>

#include "plat/canvas.h"
#include "plat/cp1251.h"
#include "window/text_measure.h"

namespace lexo {
namespace {

using namespace plat::cp1251::literals;

class MeasureTextTest : public ::testing::Test {
 protected:
  MeasureTextTest() : bitmap_(10, 10), canvas_(plat::Canvas::ForBitmap(bitmap_)) {
    canvas_.SelectFont(plat::Font::Create({.height = -11, .face = "Arial Cyr"}));
    cell_ = canvas_.GetFontMetrics().height;
  }
  int Width(std::string_view text) const { return canvas_.TextExtent(text).width; }

  plat::Bitmap bitmap_;
  plat::Canvas canvas_;
  int cell_ = 0;
};

TEST_F(MeasureTextTest, WithoutWordBreakGivesTheSingleLineExtent) {
  std::string_view text = "Первая строка"_cp;
  plat::Size size{5, 5};
  EXPECT_EQ(MeasureText(&canvas_, text.data(), static_cast<int>(text.size()), &size, 0), 1);
  EXPECT_EQ(size.width, Width(text));
  EXPECT_EQ(size.height, cell_);
}

TEST_F(MeasureTextTest, MissingArgumentsOrNoLengthGiveZero) {
  plat::Size size;
  EXPECT_EQ(MeasureText(nullptr, "a", 1, &size, 0), 0);
  EXPECT_EQ(MeasureText(&canvas_, nullptr, 1, &size, 0), 0);
  EXPECT_EQ(MeasureText(&canvas_, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(MeasureText(&canvas_, "a", 0, &size, 0), 0);
}

struct WrapCase {
  const char* name;
  std::string_view text;
  // The available width as a sum of piece widths, and the lines expected.
  std::vector<std::string_view> widthOf;
  int extra;  // added to the width
  int lines;
};

class MeasureWordBreak : public MeasureTextTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(MeasureWordBreak, HeightIsOneCellPerLine) {
  const WrapCase& c = GetParam();
  int available = c.extra;
  for (std::string_view piece : c.widthOf) available += Width(piece);
  plat::Size size{available, 0};
  ASSERT_EQ(MeasureText(&canvas_, c.text.data(), static_cast<int>(c.text.size()), &size, 0x10), 1);
  EXPECT_EQ(size.height, c.lines * cell_);
  EXPECT_EQ(size.width, available);
}

// Pieces end after every character that is not a letter or digit ("раз " "раз " ...).
INSTANTIATE_TEST_SUITE_P(
    Table, MeasureWordBreak,
    ::testing::Values(
        WrapCase{"AllFits", "раз два три"_cp, {"раз два три"_cp}, 0, 1},
        WrapCase{"ExactFitStays", "раз раз раз раз"_cp, {"раз "_cp, "раз "_cp}, 0, 2},
        WrapCase{"OnePixelShort", "раз раз раз раз"_cp, {"раз "_cp, "раз "_cp}, -1, 3},
        WrapCase{"PunctuationCuts", "альфа,бета-гамма"_cp, {"альфа,"_cp, "бета-"_cp}, 0, 2},
        WrapCase{"YoIsALetter", "ёжик ёлка"_cp, {"ёжик "_cp}, 0, 2},
        // A piece wider than the whole width stays on its own line instead of opening an
        // empty one.
        WrapCase{"WiderThanTheLine", "Превысокомногорассмотрительствующий"_cp, {}, 10, 1},
        WrapCase{"NoWidth", "раз два"_cp, {}, 0, 2}),
    [](const auto& info) { return info.param.name; });

TEST(PointFont, FixedSizesAndTheScreenDpi) {
  EXPECT_EQ(PointsToPixels(8), 11);
  EXPECT_EQ(PointsToPixels(10), 13);
  EXPECT_EQ(PointsToPixels(12), 16);
  EXPECT_EQ(PointsToPixels(9), 12);
  EXPECT_EQ(PointsToPixels(14), 19);  // 18.67
  plat::SetScreenDpiY(120);
  EXPECT_EQ(PointsToPixels(10), 13);  // whatever the screen
  EXPECT_EQ(PointsToPixels(9), 15);
  plat::SetScreenDpiY(96);
}

TEST(PointFont, SpecCarriesStylePrecisionAndFace) {
  plat::FontDescription parameters =
      PointFontDescription("PragmaticaTVB", 9, font_style::kBold | font_style::kUnderline, 0x305);
  EXPECT_EQ(parameters.height, -12);
  EXPECT_EQ(parameters.weight, 700);
  EXPECT_FALSE(parameters.italic);
  EXPECT_TRUE(parameters.underline);
  EXPECT_EQ(parameters.precision, 5);
  EXPECT_EQ(parameters.charset, 1);
  EXPECT_EQ(parameters.face, "PragmaticaTVB");
  EXPECT_EQ(PointFontDescription("Arial Cyr", 8, font_style::kItalic, 0x100).precision, 6);
  auto font = CreatePointFont("Arial Cyr", 8, font_style::kItalic, 0);
  EXPECT_EQ(font->Description().height, -11);
  EXPECT_TRUE(font->Description().italic);
  EXPECT_EQ(font->PixelSize(), 11);
}

}  // namespace
}  // namespace lexo
