#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/canvas.h"
#include "plat/image_compare.h"
#include "plat/raster_op.h"

namespace plat {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kInk = 0x102030;

// A small white bitmap with a canvas on it, and a picture of its ink as text rows.
class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() : bitmap_(12, 10), canvas_(Canvas::ForBitmap(bitmap_)) { bitmap_.Fill(kWhite); }

  std::vector<std::string> Picture() const {
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap_.Height(); ++y) {
      std::string row;
      for (int x = 0; x < bitmap_.Width(); ++x) row += bitmap_.ColourAt(x, y) == kWhite ? '.' : '#';
      rows.push_back(row);
    }
    return rows;
  }

  Bitmap bitmap_;
  Canvas canvas_;
};

TEST_F(CanvasTest, LinesLeaveOutTheirLastPixel) {
  canvas_.SelectPen(Pen::Solid(1, kInk));
  canvas_.MoveTo({1, 1});
  canvas_.LineTo({5, 1});
  canvas_.MoveTo({1, 3});
  canvas_.LineTo({1, 6});
  canvas_.MoveTo({4, 4});
  canvas_.LineTo({8, 8});
  EXPECT_EQ(Picture(), (std::vector<std::string>{
                           "............",  //
                           ".####.......",  //
                           "............",  //
                           ".#..........",  //
                           ".#..#.......",  //
                           ".#...#......",  //
                           "......#.....",  //
                           ".......#....",  //
                           "............",  //
                           "............",
                       }));
}

TEST_F(CanvasTest, FillFrameAndRectangleStopBeforeTheRightAndBottomEdges) {
  canvas_.FillRect({1, 1, 4, 3}, Brush::Solid(kInk));
  canvas_.FrameRect({5, 1, 9, 5}, Brush::Solid(kInk));
  canvas_.SelectPen(Pen::Solid(1, kInk));
  canvas_.SelectBrush(Brush::Null());
  canvas_.Rectangle({1, 5, 5, 9});
  EXPECT_EQ(Picture(), (std::vector<std::string>{
                           "............",  //
                           ".###.####...",  //
                           ".###.#..#...",  //
                           ".....#..#...",  //
                           ".....####...",  //
                           ".####.......",  //
                           ".#..#.......",  //
                           ".#..#.......",  //
                           ".####.......",  //
                           "............",
                       }));
}

TEST_F(CanvasTest, RectangleWithANullPenFillsOnePixelLess) {
  canvas_.SelectPen(Pen::Null());
  canvas_.SelectBrush(Brush::Solid(kInk));
  canvas_.Rectangle({1, 1, 4, 4});
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 12, 10}, kWhite), 4);
}

TEST_F(CanvasTest, InvertingPenAndFocusRectangleUndoThemselves) {
  for (int x = 0; x < 12; ++x) bitmap_.Row(x % 10)[x] = ToPixel(0x00FF8040 + x);
  Bitmap before(12, 10);
  Canvas copy = Canvas::ForBitmap(before);
  copy.Blit({0, 0, 12, 10}, canvas_, {0, 0}, rop::kSourceCopy);

  canvas_.SetPenMix(PenMix::Invert);
  canvas_.MoveTo({0, 0});
  canvas_.LineTo({11, 7});
  EXPECT_FALSE(CompareImages(bitmap_.Surface(), before.Surface(), {0, 0, 12, 10}).Same());
  canvas_.MoveTo({0, 0});
  canvas_.LineTo({11, 7});
  EXPECT_TRUE(CompareImages(bitmap_.Surface(), before.Surface(), {0, 0, 12, 10}).Same());

  canvas_.FocusRect({1, 1, 11, 9});
  auto once = CompareImages(bitmap_.Surface(), before.Surface(), {0, 0, 12, 10});
  EXPECT_EQ(once.pixels, 16);  // every other pixel of a 32-pixel outline
  EXPECT_EQ(once.bounds, (Rect{1, 1, 11, 9}));
  canvas_.FocusRect({1, 1, 11, 9});
  EXPECT_TRUE(CompareImages(bitmap_.Surface(), before.Surface(), {0, 0, 12, 10}).Same());
}

TEST_F(CanvasTest, FocusRectangleOneRowHighStillUndoesItself) {
  canvas_.FocusRect({2, 3, 8, 4});
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 12, 10}, kWhite), 3);
  canvas_.FocusRect({2, 3, 8, 4});
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 12, 10}, kWhite), 0);
}

struct ClipCase {
  const char* name;
  std::vector<Rect> excluded;
  std::vector<Rect> intersected;
  std::vector<std::string> picture;  // after filling everything
};

class CanvasClip : public CanvasTest, public ::testing::WithParamInterface<ClipCase> {};

TEST_P(CanvasClip, FillReachesExactlyWhatIsLeft) {
  const ClipCase& c = GetParam();
  for (const Rect& r : c.excluded) canvas_.ExcludeClip(r);
  for (const Rect& r : c.intersected) canvas_.IntersectClip(r);
  canvas_.FillRect({0, 0, 12, 10}, Brush::Solid(kInk));
  EXPECT_EQ(Picture(), c.picture);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasClip,
    ::testing::Values(
        ClipCase{"ExcludeTwoOverlapping",
                 {{0, 0, 4, 3}, {2, 2, 6, 4}},
                 {},
                 {"....########", "....########", "......######", "##....######", "############",
                  "############", "############", "############", "############", "############"}},
        ClipCase{"IntersectThenExclude",
                 {{3, 3, 5, 5}},
                 {{2, 2, 8, 6}},
                 {"............", "............", "..######....", "..#..###....", "..#..###....",
                  "..######....", "............", "............", "............", "............"}},
        ClipCase{"IntersectTwiceNarrows",
                 {},
                 {{0, 0, 6, 6}, {4, 4, 12, 10}},
                 {"............", "............", "............", "............", "....##......",
                  "....##......", "............", "............", "............", "............"}},
        ClipCase{"ExcludeEverything",
                 {{-5, -5, 20, 20}},
                 {},
                 {"............", "............", "............", "............", "............",
                  "............", "............", "............", "............", "............"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(CanvasTest, OriginMovesDrawingAndClipTogether) {
  canvas_.SetOrigin({3, 2});
  canvas_.IntersectClip({0, 0, 2, 2});  // device (3, 2)..(5, 4)
  canvas_.FillRect({-3, -2, 9, 8}, Brush::Solid(kInk));
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {3, 2, 5, 4}, kInk), 0);
  EXPECT_EQ(CountPixelsNot(bitmap_.Surface(), {0, 0, 12, 10}, kWhite), 4);
  EXPECT_EQ(canvas_.ClipBounds(), (Rect{0, 0, 2, 2}));
}

TEST_F(CanvasTest, RestoreBringsBackClipColoursAndObjects) {
  canvas_.SetTextColour(0x0000FF);
  int level = canvas_.Save();
  canvas_.IntersectClip({0, 0, 1, 1});
  canvas_.SetTextColour(0x00FF00);
  canvas_.SelectBrush(Brush::Solid(kInk));
  canvas_.SetOrigin({5, 5});
  canvas_.Save();
  canvas_.SetBackMode(BackgroundMode::Transparent);
  EXPECT_TRUE(canvas_.Restore(level));
  EXPECT_EQ(canvas_.TextColour(), 0x0000FFu);
  EXPECT_FALSE(canvas_.ClipRegion().has_value());
  EXPECT_EQ(canvas_.Origin(), (Point{0, 0}));
  EXPECT_EQ(canvas_.CurrentBrush(), Brush::White());
  EXPECT_EQ(canvas_.BackMode(), BackgroundMode::Opaque);
  EXPECT_FALSE(canvas_.Restore());
}

// A target placed inside a larger surface, as a window is in the screen.
class WindowLikeTarget : public CanvasTarget {
 public:
  WindowLikeTarget(Bitmap& screen, Point at, Region visible)
      : screen_(screen), at_(at), visible_(std::move(visible)) {}
  PixelSurface Surface() override { return screen_.Surface(); }
  Point DeviceOrigin() const override { return at_; }
  const Region* VisibleRegion() const override { return &visible_; }
  void Touched(const Rect& area) override { touched.push_back(area); }
  std::vector<Rect> touched;

 private:
  Bitmap& screen_;
  Point at_;
  Region visible_;
};

TEST(CanvasTarget, DrawsOnlyInTheVisiblePartAtTheDeviceOrigin) {
  Bitmap screen(20, 20);
  screen.Fill(kWhite);
  Region visible(Rect{0, 0, 6, 6});
  visible.Subtract({0, 0, 2, 2});  // covered by a window above
  WindowLikeTarget window(screen, {10, 10}, visible);
  Canvas canvas(window);
  canvas.FillRect({-5, -5, 30, 30}, Brush::Solid(kInk));
  EXPECT_EQ(CountPixelsNot(screen.Surface(), {0, 0, 20, 20}, kWhite), 32);
  EXPECT_EQ(screen.ColourAt(12, 12), kInk);
  EXPECT_EQ(screen.ColourAt(10, 10), kWhite);
  ASSERT_FALSE(window.touched.empty());
  Region touched;
  for (const Rect& r : window.touched) touched.Unite(r);
  EXPECT_EQ(touched.Bounds(), (Rect{10, 10, 16, 16}));
}

}  // namespace
}  // namespace plat
