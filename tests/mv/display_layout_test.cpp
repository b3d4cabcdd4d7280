// Layout: content sizes, word wrap, magnifier, hidden partial lines, painting only the update
// rectangle, and the picture procedures' life cycle.
#include <gtest/gtest.h>

#include "display_fixture.h"
#include "plat/cp1251.h"

namespace {

using namespace displaytest;
using namespace plat::cp1251::literals;

struct SizeCase {
  const char* ctx;
  int region;
  plat::Rect rect;
  int minWidth, maxWidth;  // expected used width
  int minHeight, maxHeight;
};

class ContentSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ContentSize, IsTheUsedExtent) {
  InstallPictures();
  const SizeCase& c = GetParam();
  Shown shown(c.ctx, c.rect, c.region);
  plat::Point size = ptMVGetSize(shown);
  EXPECT_GE(size.x, c.minWidth);
  EXPECT_LE(size.x, c.maxWidth);
  EXPECT_GE(size.y, c.minHeight);
  EXPECT_LE(size.y, c.maxHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Topics, ContentSize,
    ::testing::Values(
        // A picture heading measured at 1 x 1 is the picture.
        SizeCase{"pic_only", kMVRegionHeading, {0, 0, 1, 1}, 237, 237, 180, 180},
        // The same picture centred in a wide view still uses its own width.
        SizeCase{"pic_only", kMVRegionHeading, {0, 0, 600, 400}, 237 + 181, 237 + 182, 180, 180},
        // Text wraps inside the width; at 1 x 1 every word stands alone and it gets tall.
        SizeCase{"moscow", kMVRegionBody, {0, 0, 480, 300}, 400, 480, 250, 600},
        SizeCase{"moscow", kMVRegionBody, {0, 0, 1, 1}, 40, 400, 2000, 20000},
        // A table keeps its fixed cells however narrow the view.
        SizeCase{"kremlin", kMVRegionBody, {0, 0, 100, 100}, 351, 351, 300, 3000},
        // Realized off-screen the width is the rectangle's.
        SizeCase{"moscow", kMVRegionBody, {-1000, -1000, -100, -100}, 700, 900, 150, 400},
        // A no-wrap paragraph keeps its natural width in a narrow view.
        SizeCase{"hyphen", kMVRegionBody, {0, 0, 60, 100}, 250, 400, 50, 100},
        // An empty region is (0, 0).
        SizeCase{"empty_one", kMVRegionBoth, {0, 0, 300, 300}, 0, 0, 0, 0},
        SizeCase{"hyphen", kMVRegionHeading, {0, 0, 300, 300}, 0, 0, 0, 0}));

TEST(DisplayLayout, WordsBreakAfterHyphensAndAtBlanks) {
  Shown wide("hyphen", {0, 0, 1000, 100}, kMVRegionBody);
  ASSERT_EQ(LayoutOf(wide).lines.size(), 2u);
  Shown narrow("hyphen", {0, 0, 60, 100}, kMVRegionBody);
  const auto& layout = LayoutOf(narrow);
  ASSERT_EQ(layout.lines.size(), 4u);
  auto lineText = [&](std::size_t i) {
    const auto& line = layout.lines[i];
    std::string text = layout.text.substr(static_cast<std::size_t>(line.unitBegin),
                                          static_cast<std::size_t>(line.unitEnd - line.unitBegin));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
    return text;
  };
  EXPECT_EQ(lineText(0), "Северо-"_cp);
  EXPECT_EQ(lineText(1), "западная"_cp);
  EXPECT_EQ(lineText(2), "сторона"_cp);
  EXPECT_EQ(lineText(3), "Строка без переносов держит свою ширину"_cp);
  // Lines follow one another without gaps or overlaps.
  for (std::size_t i = 1; i < layout.lines.size(); ++i)
    EXPECT_EQ(layout.lines[i].top, layout.lines[i - 1].Bottom());
}

TEST(DisplayLayout, JustifiedLinesEndAtTheRightEdgeExceptTheLast) {
  Shown shown("moscow", {0, 0, 400, 400}, kMVRegionBody);
  const auto& layout = LayoutOf(shown);
  const auto& first = layout.lines[0];
  EXPECT_EQ(first.inkRight, 400);
  // The paragraph's last line is set ragged.
  std::size_t last = 0;
  while (layout.lines[last + 1].paragraph == 0) ++last;
  EXPECT_LT(layout.lines[last].inkRight, 400);
}

TEST(DisplayLayout, MagnifierScalesTextButNotPictures) {
  InstallPictures();
  std::int32_t heights[3];
  const int magnifiers[3] = {80, 100, 120};
  for (int i = 0; i < 3; ++i) {
    Shown text("moscow", {0, 0, 500, 400}, kMVRegionBody, magnifiers[i]);
    EXPECT_EQ(iMVGetMagnifier(text), magnifiers[i]);
    heights[i] = ptMVGetSize(text).y;
    Shown picture("pic_only", {0, 0, 1, 1}, kMVRegionHeading, magnifiers[i]);
    EXPECT_EQ(ptMVGetSize(picture).x, 237) << magnifiers[i];
    EXPECT_EQ(ptMVGetSize(picture).y, 180) << magnifiers[i];
  }
  EXPECT_LT(heights[0], heights[1]);
  EXPECT_LT(heights[1], heights[2]);
  LPMV display = lpMVNew(Articles(), kMVRegionBoth);
  EXPECT_FALSE(fMVSetMagnifier(display, 0));
  EXPECT_EQ(iMVGetMagnifier(display), 100);
  MVDelete(display);
}

bool RowIsBlank(const plat::Bitmap& bitmap, int y) {
  for (int x = 0; x < bitmap.Width(); ++x)
    if (bitmap.ColourAt(x, y) != 0xFFFFFF) return false;
  return true;
}

TEST(DisplayLayout, HiddenPartialLinesAreNotPainted) {
  constexpr plat::Rect kView{0, 0, 400, 100};
  Shown shown("moscow", kView, kMVRegionBody);
  const auto& layout = LayoutOf(shown);
  std::int32_t lastWhole = 0;
  for (const auto& line : layout.lines)
    if (line.Bottom() <= kView.bottom) lastWhole = line.Bottom();
  ASSERT_LT(lastWhole, kView.bottom - 2);  // a line is cut by the bottom edge

  plat::Bitmap shown_all = Render(shown, {400, 100});
  MVHidePartialLines(shown, 1);
  plat::Bitmap hidden = Render(shown, {400, 100});
  bool cutLineInk = false;
  for (int y = lastWhole; y < kView.bottom; ++y) {
    EXPECT_TRUE(RowIsBlank(hidden, y)) << y;
    cutLineInk |= !RowIsBlank(shown_all, y);
  }
  EXPECT_TRUE(cutLineInk);
}

bool SamePixels(const plat::Bitmap& a, const plat::Bitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
  return true;
}

TEST(DisplayLayout, PaintsOnlyTheUpdateRectangle) {
  InstallPictures();
  constexpr plat::Size kSize{420, 300};
  Shown shown("kremlin", {10, 10, 410, 290}, kMVRegionBoth);
  plat::Bitmap whole = Render(shown, kSize);

  // Strips painted one by one give the same page; nothing lands outside a strip.
  plat::Bitmap strips(kSize.width, kSize.height);
  strips.Fill(0xFFFFFF);
  plat::Canvas canvas = plat::Canvas::ForBitmap(strips);
  for (int top = 0; top < kSize.height; top += 37) {
    plat::Rect strip{0, top, kSize.width, std::min(top + 37, kSize.height)};
    fMVApplyToDC(shown, &canvas, &strip);
    for (int y = strip.bottom; y < kSize.height; ++y) ASSERT_TRUE(RowIsBlank(strips, y)) << y;
  }
  EXPECT_TRUE(SamePixels(whole, strips));
  // Nothing outside the display's own rectangle.
  for (int x = 0; x < kSize.width; ++x) EXPECT_EQ(whole.ColourAt(x, 295), 0xFFFFFFu);
}

TEST(DisplayLayout, ScrollRepaintMatchesAFullPaint) {
  constexpr plat::Size kSize{400, 160};
  Shown shown("moscow", {0, 0, 400, 160}, kMVRegionBody);
  plat::Bitmap before = Render(shown, kSize);
  std::int32_t dy = yMVScrollY(shown, 1, 0);
  ASSERT_GT(dy, 0);
  // Move the pixels up as the pane does, then paint the strip they uncovered.
  plat::Bitmap moved(kSize.width, kSize.height);
  moved.Fill(0xFFFFFF);
  plat::Canvas canvas = plat::Canvas::ForBitmap(moved);
  canvas.Blit({0, 0, kSize.width, kSize.height - dy}, before, {0, dy}, plat::rop::kSourceCopy);
  plat::Rect strip{0, kSize.height - dy, kSize.width, kSize.height};
  fMVApplyToDC(shown, &canvas, &strip);
  EXPECT_TRUE(SamePixels(moved, Render(shown, kSize)));
}

TEST(DisplayPictures, LoadedOnceWithFlagOneAndFreedWithTheDisplay) {
  InstallPictures(1);
  int loads = g_loads, frees = g_frees;
  {
    Shown shown("kremlin", {0, 0, 400, 300}, kMVRegionBody);
    EXPECT_EQ(g_loads - loads, 3);  // three pictures in the body
    plat::Rect wider{0, 0, 500, 300};
    fMVRealize(shown, &wider);
    fMVSetMagnifier(shown, 120);
    fMVRealize(shown, &wider);
    EXPECT_EQ(g_loads - loads, 3);
    EXPECT_EQ(g_frees, frees);
  }
  EXPECT_EQ(g_frees - frees, 3);
}

TEST(DisplayPictures, LoadedPerLayoutWithoutTheFlag) {
  InstallPictures(0);
  int loads = g_loads, frees = g_frees;
  {
    Shown shown("kremlin", {0, 0, 400, 300}, kMVRegionBody);
    plat::Rect wider{0, 0, 500, 300};
    fMVRealize(shown, &wider);
    EXPECT_EQ(g_loads - loads, 6);
    EXPECT_EQ(g_frees - frees, 3);
    MVUnrealize(shown);
    EXPECT_EQ(g_frees - frees, 6);
  }
  EXPECT_EQ(g_frees - frees, 6);
  InstallPictures(1);
}

TEST(DisplayPictures, WithoutProceduresPicturesTakeNoRoom) {
  MVIMAGEInstallImageProcs("PICT", nullptr, nullptr, nullptr, 0);
  Shown shown("pic_only", {0, 0, 1, 1}, kMVRegionHeading);
  EXPECT_EQ(ptMVGetSize(shown).x, 0);
  InstallPictures(1);
}

}  // namespace
