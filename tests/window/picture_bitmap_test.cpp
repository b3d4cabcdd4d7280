#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/canvas.h"
#include "plat/image_compare.h"
#include "window/bitmap.h"
#include "window/picture_files.h"

namespace lexo {
namespace {

constexpr plat::Colour kPaper = 0xFFFFFF;

// A skin whose every pixel says where it came from: red = column, green = row.
Bitmap Skin(int width, int height) {
  plat::Bitmap pixels(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.Row(y)[x] = plat::ToPixel(
          plat::MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0x40));
    }
  }
  Bitmap skin;
  skin.Adopt(std::move(pixels));
  return skin;
}

// Column of the skin that was drawn at each x of a row (-1 where nothing was drawn).
std::vector<int> SourceColumns(const plat::Bitmap& target, int y) {
  std::vector<int> out;
  for (int x = 0; x < target.Width(); ++x) {
    plat::Colour c = target.ColourAt(x, y);
    out.push_back(c == kPaper ? -1 : plat::RedOf(c));
  }
  return out;
}

std::vector<int> SourceRows(const plat::Bitmap& target, int x) {
  std::vector<int> out;
  for (int y = 0; y < target.Height(); ++y) {
    plat::Colour c = target.ColourAt(x, y);
    out.push_back(c == kPaper ? -1 : plat::GreenOf(c));
  }
  return out;
}

class SkinDrawing : public ::testing::Test {
 protected:
  SkinDrawing() : target_(16, 12), canvas_(plat::Canvas::ForBitmap(target_)) {
    target_.Fill(kPaper);
  }
  plat::Bitmap target_;
  plat::Canvas canvas_;
};

TEST_F(SkinDrawing, BlitMinusOneMeansTheWholeBitmap) {
  Bitmap skin = Skin(3, 2);
  skin.Blit(canvas_, 1, 1, -1, -1, 0, 0);
  EXPECT_EQ(SourceColumns(target_, 1),
            (std::vector<int>{-1, 0, 1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(plat::CountPixelsNot(target_.Surface(), {0, 0, 16, 12}, kPaper), 6);
}

TEST_F(SkinDrawing, TileCutsTheLastColumnAndRow) {
  Bitmap skin = Skin(6, 6);
  skin.Tile(canvas_, 1, 1, 10, 7, 2, 1, 3, 2);
  EXPECT_EQ(SourceColumns(target_, 1),
            (std::vector<int>{-1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 2, -1, -1, -1, -1, -1}));
  EXPECT_EQ(SourceRows(target_, 1), (std::vector<int>{-1, 1, 2, 1, 2, 1, 2, 1, -1, -1, -1, -1}));
}

TEST_F(SkinDrawing, TileOfZeroRunsToTheBitmapEdge) {
  Bitmap skin = Skin(6, 6);
  skin.Tile(canvas_, 0, 0, 9, 1, 4, 0, 0, 0);
  EXPECT_EQ(SourceColumns(target_, 0),
            (std::vector<int>{4, 5, 4, 5, 4, 5, 4, 5, 4, -1, -1, -1, -1, -1, -1, -1}));
}

// A capped skin: columns 0-1 left cap, 2-4 middle, 5-6 right cap.
class CappedSkin : public SkinDrawing {
 protected:
  CappedSkin() {
    std::string path = testing::TempPath("lexo_capped_skin.bmp");
    testing::BmpLayout parameters;
    parameters.width = 7;
    parameters.height = 4;
    parameters.colour = [](int x, int y) {
      return plat::MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0x40);
    };
    EXPECT_TRUE(testing::WriteBytes(path, testing::MakeBmp(parameters)));
    skin_ = CappedBitmap(path, false, 2, 3);
    std::remove(path.c_str());
  }
  CappedBitmap skin_;
};

TEST_F(CappedSkin, AcrossRepeatsTheMiddleAndEndsWithTheRightCap) {
  ASSERT_FALSE(skin_.IsEmpty());
  skin_.DrawAcross(canvas_, 1, 0, 13, 0, 0);
  EXPECT_EQ(SourceColumns(target_, 0),
            (std::vector<int>{-1, 0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5, 6, -1, -1}));
  EXPECT_EQ(SourceRows(target_, 3), (std::vector<int>{0, 1, 2, 3, -1, -1, -1, -1, -1, -1, -1, -1}));
}

TEST_F(CappedSkin, AcrossNarrowerThanBothCapsOverlapsThem) {
  skin_.DrawAcross(canvas_, 2, 0, 3, 2, 1);
  // Left cap at 2..3, right cap ending at 5 drawn over it.
  EXPECT_EQ(SourceColumns(target_, 0),
            (std::vector<int>{-1, -1, 0, 5, 6, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
  EXPECT_EQ(plat::GreenOf(target_.ColourAt(2, 0)), 1);  // rows from srcY
  EXPECT_EQ(target_.ColourAt(2, 2), kPaper);            // h rows only
}

TEST_F(CappedSkin, DownRepeatsTheMiddleRows) {
  // Row 0 top cap, rows 1-2 middle, rows 3-5 bottom cap; the last middle copy is cut.
  CappedBitmap tall;
  std::string path = testing::TempPath("lexo_tall_skin.bmp");
  testing::BmpLayout parameters;
  parameters.width = 2;
  parameters.height = 6;
  parameters.colour = [](int x, int y) {
    return plat::MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0x40);
  };
  ASSERT_TRUE(testing::WriteBytes(path, testing::MakeBmp(parameters)));
  tall = CappedBitmap(path, false, 1, 2);
  std::remove(path.c_str());
  tall.DrawDown(canvas_, 0, 1, 0, 9, 0);
  EXPECT_EQ(SourceRows(target_, 0), (std::vector<int>{-1, 0, 1, 2, 1, 2, 1, 3, 4, 5, -1, -1}));
}

// Sizes that come from broken or missing skins and description lines never divide by zero
// or loop; they draw what the rules say or nothing.
struct DegenerateCase {
  const char* name;
  std::function<void(const Bitmap& skin, const CappedBitmap& capped, plat::Canvas&)> draw;
  std::int64_t inked;  // pixels drawn
};

class DegenerateSizes : public SkinDrawing, public ::testing::WithParamInterface<DegenerateCase> {};

TEST_P(DegenerateSizes, ReturnAndDrawWhatTheRuleSays) {
  Bitmap skin = Skin(6, 4);
  CappedBitmap zeroMiddle;  // empty
  GetParam().draw(skin, zeroMiddle, canvas_);
  EXPECT_EQ(plat::CountPixelsNot(target_.Surface(), {0, 0, 16, 12}, kPaper), GetParam().inked);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DegenerateSizes,
    ::testing::Values(DegenerateCase{"EmptyBitmapTile",
                                     [](const Bitmap&, const CappedBitmap&, plat::Canvas& dc) {
                                       Bitmap().Tile(dc, 0, 0, 16, 12, 0, 0, 0, 0);
                                     },
                                     0},
                      DegenerateCase{
                          "EmptyBitmapAcrossAndDown",
                          [](const Bitmap&, const CappedBitmap& empty, plat::Canvas& dc) {
                            empty.DrawAcross(dc, 0, 0, 16, 0, 0);
                            empty.DrawDown(dc, 0, 0, 0, 12, 0);
                          },
                          0},
                      DegenerateCase{"TileZeroWithSourcePastTheEdge",
                                     [](const Bitmap& skin, const CappedBitmap&, plat::Canvas& dc) {
                                       skin.Tile(dc, 0, 0, 16, 12, 6, 0, 0, 0);
                                     },
                                     0},
                      DegenerateCase{"TileNegativeFromAFrameLine",
                                     [](const Bitmap& skin, const CappedBitmap&, plat::Canvas& dc) {
                                       skin.Tile(dc, 0, 0, 16, 12, 0, 0, -5, 4);
                                     },
                                     0},
                      DegenerateCase{"ListWithoutNumbersTilesToTheBottom",
                                     [](const Bitmap& skin, const CappedBitmap&, plat::Canvas& dc) {
                                       skin.Tile(dc, 0, 0, 6, 10, 0, 1, 6,
                                                 0);  // tile height 0: rows 1..3
                                     },
                                     60},
                      DegenerateCase{"ScrollTrackTileZero",
                                     [](const Bitmap& skin, const CappedBitmap&, plat::Canvas& dc) {
                                       skin.Tile(dc, 2, 0, 4, 12, 0, 0, 0, 0);
                                     },
                                     48},
                      DegenerateCase{"ZeroSizedRectangle",
                                     [](const Bitmap& skin, const CappedBitmap&, plat::Canvas& dc) {
                                       skin.Tile(dc, 0, 0, 0, 5, 0, 0, 2, 2);
                                       skin.Blit(dc, 0, 0, 0, 0, 0, 0);
                                     },
                                     0}),
    [](const auto& info) { return info.param.name; });

TEST(SkinCapture, ComposeTakesTheForegroundWhereTheMaskIsWhite) {
  plat::Bitmap back(4, 1), mask(4, 1), front(4, 1);
  back.Fill(0x112233);
  front.Fill(0xA0B0C0);
  mask.Row(0)[1] = plat::ToPixel(0xFFFFFF);
  mask.Row(0)[3] = plat::ToPixel(0xFFFFFF);
  Bitmap b, m, f, result;
  b.Adopt(std::move(back));
  m.Adopt(std::move(mask));
  f.Adopt(std::move(front));
  plat::Canvas screen;
  ASSERT_TRUE(result.Compose(screen, 4, 1, b, 0, 0, m, 0, 0, f, 0, 0));
  const plat::Colour expected[] = {0x112233, 0xA0B0C0, 0x112233, 0xA0B0C0};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(result.Device()->ColourAt(x, 0), expected[x]) << x;
}

TEST(SkinCapture, CapturesCopyAnAreaOfAContextOrABitmap) {
  Bitmap skin = Skin(8, 8);
  Bitmap piece;
  ASSERT_TRUE(piece.CaptureFromBitmap(skin, 2, 3, 4, 2));
  EXPECT_EQ(piece.Width(), 4);
  EXPECT_EQ(piece.Device()->ColourAt(0, 0), plat::MakeColour(2, 3, 0x40));
  plat::Canvas canvas = plat::Canvas::ForBitmap(*skin.Device());
  Bitmap fromDc;
  ASSERT_TRUE(fromDc.CaptureFromDC(canvas, 5, 5, 3, 3));
  EXPECT_EQ(fromDc.Device()->ColourAt(2, 2), plat::MakeColour(7, 7, 0x40));
  EXPECT_FALSE(fromDc.CaptureFromDC(canvas, 0, 0, 0, 3));
  EXPECT_TRUE(fromDc.IsEmpty());
}

TEST(SkinLoading, ResourceNamesAndFilesAndFailures) {
  std::string folder = testing::TempPath("lexo_resources_test");
  std::string command = "mkdir -p " + folder;
  ASSERT_EQ(std::system(command.c_str()), 0);
  testing::BmpLayout parameters;
  parameters.width = 5;
  parameters.height = 2;
  parameters.colour = [](int, int) { return 0x00FF00u; };
  ASSERT_TRUE(testing::WriteBytes(folder + "/MAINBUT.bmp", testing::MakeBmp(parameters)));
  setenv("LEXO_RESOURCE_DIR", folder.c_str(), 1);
  Bitmap bitmap;
  EXPECT_TRUE(bitmap.Load("Interf\\?mainbut"));
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_FALSE(bitmap.Load("?nosuch"));
  EXPECT_TRUE(bitmap.IsEmpty());
  EXPECT_FALSE(bitmap.Load("?mainbut", false));  // not a resource then, and no such file
  EXPECT_TRUE(bitmap.Load(folder + "/MAINBUT.bmp", false));
  EXPECT_EQ(bitmap.Height(), 2);
  unsetenv("LEXO_RESOURCE_DIR");
}

}  // namespace
}  // namespace lexo
