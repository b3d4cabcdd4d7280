// Scrolling in pixels: every code clamps, lines and pages step to line tops, and the place a
// display reports survives a new width or magnifier.
#include <gtest/gtest.h>

#include "display_fixture.h"

namespace {

using namespace displaytest;

constexpr plat::Rect kView{0, 0, 360, 120};

struct ScrollCase {
  const char* name;
  int code;
  std::int32_t position;
  std::int32_t start;   // -1: the bottom
  std::int32_t expect;  // -1: the bottom, -2: unchanged
};

class ScrollCodes : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollCodes, Clamp) {
  const ScrollCase& c = GetParam();
  Shown shown("moscow", kView, kMVRegionBody);
  std::int32_t bottom = ptMVGetScrollSizes(shown).y;
  ASSERT_GT(bottom, 100);
  EXPECT_EQ(bottom, ptMVGetSize(shown).y - kView.Height());
  std::int32_t start = c.start < 0 ? bottom : c.start;
  yMVScrollY(shown, 4, start);
  ASSERT_EQ(yMVGetYScrollPos(shown), start);
  std::int32_t expect = c.expect == -1 ? bottom : c.expect == -2 ? start : c.expect;
  EXPECT_EQ(yMVScrollY(shown, c.code, c.position), expect);
  EXPECT_EQ(yMVGetYScrollPos(shown), expect);
}

INSTANTIATE_TEST_SUITE_P(Vertical, ScrollCodes,
                         ::testing::Values(ScrollCase{"LineUpAtTop", 0, 0, 0, 0},
                                           ScrollCase{"LineDownAtBottom", 1, 0, -1, -1},
                                           ScrollCase{"PageUpAtTop", 2, 0, 0, 0},
                                           ScrollCase{"PageUpNearTop", 2, 0, 5, 0},
                                           ScrollCase{"PageDownAtBottom", 3, 0, -1, -1},
                                           ScrollCase{"PositionBelowZero", 4, -50, 30, 0},
                                           ScrollCase{"PositionPastEnd", 4, 1000000, 0, -1},
                                           ScrollCase{"ThumbTrackPastEnd", 5, 32767, 0, -1},
                                           ScrollCase{"Top", 6, 0, 40, 0},
                                           ScrollCase{"Bottom", 7, 0, 0, -1},
                                           ScrollCase{"UnknownCode", 99, 10, 40, -2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayScroll, LinesAndPagesStepToLineTops) {
  Shown shown("moscow", kView, kMVRegionBody);
  const auto& layout = LayoutOf(shown);
  EXPECT_EQ(yMVScrollY(shown, 1, 0), layout.lines[1].top);
  EXPECT_EQ(yMVScrollY(shown, 1, 0), layout.lines[2].top);
  EXPECT_EQ(yMVScrollY(shown, 0, 0), layout.lines[1].top);
  // Half a line down, then a line up goes back to that line's top.
  yMVScrollY(shown, 4, layout.lines[1].top + 3);
  EXPECT_EQ(yMVScrollY(shown, 0, 0), layout.lines[1].top);

  // With partial lines hidden, a page brings the first line that did not fit to the top.
  MVHidePartialLines(shown, 1);
  yMVScrollY(shown, 6, 0);
  std::int32_t firstCut = 0;
  for (const auto& line : layout.lines) {
    if (line.Bottom() > kView.Height()) {
      firstCut = line.top;
      break;
    }
  }
  EXPECT_EQ(yMVScrollY(shown, 3, 0), firstCut);
  // Without, a page is the view less one line.
  MVHidePartialLines(shown, 0);
  yMVScrollY(shown, 6, 0);
  EXPECT_EQ(yMVScrollY(shown, 3, 0), kView.Height() - layout.lines[0].height);
}

TEST(DisplayScroll, HorizontalCodesClampToTheTableWidth) {
  Shown shown("kremlin", {0, 0, 200, 400}, kMVRegionBody);
  std::int32_t right = ptMVGetScrollSizes(shown).x;
  EXPECT_EQ(right, 351 - 200);
  EXPECT_EQ(xMVScrollX(shown, 0, 0), 0);
  EXPECT_EQ(xMVScrollX(shown, 1, 0), 16);
  EXPECT_EQ(xMVScrollX(shown, 3, 0), right);
  EXPECT_EQ(xMVScrollX(shown, 4, -5), 0);
  EXPECT_EQ(xMVScrollX(shown, 7, 0), right);
  EXPECT_EQ(xMVGetXScrollPos(shown), right);
}

// Where the place lands after relayout: the unit the address names is on the top line.
void ExpectTopLineHolds(LPMV display, std::int32_t va) {
  std::int32_t pixels = -1;
  std::int32_t top = MVGetAddress(display, &pixels);
  const auto& layout = LayoutOf(display);
  auto d = mv::DisplayOfHandle(display);
  std::int32_t topLine = layout.FirstLineBelow(d->scrollPositionY());
  const auto& line = layout.lines[static_cast<std::size_t>(topLine)];
  std::int32_t base = top - line.unitBegin;  // va of unit 0
  EXPECT_GE(va - base, line.unitBegin);
  EXPECT_LT(va - base, line.unitEnd);
  EXPECT_GE(pixels, 0);
  EXPECT_LT(pixels, line.height);
}

struct PlaceCase {
  const char* name;
  plat::Rect before;
  int magnifierBefore;
  plat::Rect after;
  int magnifierAfter;
};

class PlaceRoundTrip : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceRoundTrip, KeepsTheTopLine) {
  const PlaceCase& c = GetParam();
  Shown first("moscow", c.before, kMVRegionBody, c.magnifierBefore);
  const auto& layout = LayoutOf(first);
  std::int32_t target = layout.lines[6].top + 4;  // partly scrolled out
  yMVScrollY(first, 4, target);
  std::int32_t pixels = -1;
  std::int32_t va = MVGetAddress(first, &pixels);
  EXPECT_EQ(pixels, 4);

  LPMV second = lpMVNew(Articles(), kMVRegionBody);
  fMVSetMagnifier(second, c.magnifierAfter);
  ASSERT_TRUE(fMVSetPlace(second, va, pixels));
  ASSERT_TRUE(fMVRealize(second, &c.after));
  ExpectTopLineHolds(second, va);
  if (c.before == c.after && c.magnifierBefore == c.magnifierAfter) {
    EXPECT_EQ(yMVGetYScrollPos(second), target);
  }
  // The same display laid out again keeps its place too.
  ASSERT_TRUE(fMVRealize(first, &c.after));
  ExpectTopLineHolds(first, va);
  MVDelete(second);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PlaceRoundTrip,
    ::testing::Values(PlaceCase{"Same", {0, 0, 360, 120}, 100, {0, 0, 360, 120}, 100},
                      PlaceCase{"Narrower", {0, 0, 360, 120}, 100, {0, 0, 250, 120}, 100},
                      PlaceCase{"Wider", {0, 0, 360, 120}, 100, {0, 0, 520, 120}, 100},
                      PlaceCase{"Larger", {0, 0, 360, 120}, 100, {0, 0, 360, 120}, 120},
                      PlaceCase{"Smaller", {0, 0, 360, 120}, 120, {0, 0, 360, 120}, 80}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayScroll, AddressModesAndScrollToAddress) {
  LPMV display = lpMVNew(Articles(), kMVRegionBody);
  std::int32_t anchor = VaOf("moscow_hist");
  ASSERT_GE(anchor, 0);
  // Mode 0 brings the anchor's line to the top; mode 1 shows the start.
  ASSERT_TRUE(fMVSetAddress(display, anchor, 0));
  plat::Rect view{0, 0, 360, 80};
  fMVRealize(display, &view);
  EXPECT_GT(yMVGetYScrollPos(display), 0);
  ExpectTopLineHolds(display, anchor);
  ASSERT_TRUE(fMVSetAddress(display, anchor, 1));
  fMVRealize(display, &view);
  EXPECT_EQ(yMVGetYScrollPos(display), 0);
  EXPECT_TRUE(fMVScrollToAddr(display, anchor));
  ExpectTopLineHolds(display, anchor);
  // An address of another topic, or none, is refused.
  EXPECT_FALSE(fMVScrollToAddr(display, VaOf("kremlin")));
  EXPECT_FALSE(fMVSetAddress(display, -1, 0));
  EXPECT_FALSE(fMVSetAddress(display, 5, 1));
  MVDelete(display);
}

}  // namespace
