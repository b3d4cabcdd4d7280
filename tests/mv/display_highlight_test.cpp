// Search hits: painted over the right characters, counted per topic and region, and scrolled to.
#include <gtest/gtest.h>

#include "display_fixture.h"
#include "mv/display.h"
#include "mv/highlights.h"
#include "mv/title.h"
#include "plat/cp1251.h"

namespace {

using namespace displaytest;
using namespace plat::cp1251::literals;

// Hits of `words` (cp1251) in one topic, made the way a query reports them.
MVHGLOBAL HitsOf(const char* ctx, std::initializer_list<std::string_view> words, int region) {
  Shown shown(ctx, {0, 0, 400, 400}, region);
  const auto& layout = LayoutOf(shown);
  mv::Highlights hits;
  hits.titleId = mv::TitleOfHandle(Articles())->id();
  std::int32_t first = MVGetAddress(shown, nullptr);
  for (auto word : words) {
    auto at = layout.text.find(word);
    if (at == std::string::npos) continue;
    hits.hits.push_back({lMVTopicNumber(shown),
                         static_cast<mv::Addr>(first + static_cast<std::int32_t>(at)),
                         static_cast<std::int32_t>(word.size())});
  }
  return hits.toBlock();
}

bool HasColour(const plat::Bitmap& bitmap, const plat::Rect& box, plat::Colour colour) {
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (bitmap.ColourAt(x, y) == colour) return true;
  return false;
}

TEST(DisplayHighlights, PaintedOverTheHitCharactersOnly) {
  constexpr plat::Size kSize{400, 400};
  Shown shown("moscow", {0, 0, 400, 400}, kMVRegionBody);
  MVHGLOBAL hits = HitsOf("moscow", {"столица"_cp, "Волги"_cp}, kMVRegionBody);
  MVHGLOBAL own = hMVSetHighlights(shown, hits);
  MVGlobalFree(hits);  // the display keeps its own copy
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(hMVGetHighlights(shown), own);
  EXPECT_EQ(lMVTopicHighlightCount(own), 2);
  plat::Bitmap page = Render(shown, kSize);

  auto boxOf = [&](std::string_view word) {
    plat::Point p = PointOfText(shown, word);
    const auto& layout = LayoutOf(shown);
    const auto& line = layout.lines[static_cast<std::size_t>(
        layout.LineOfUnit(static_cast<std::int32_t>(layout.text.find(word))))];
    return plat::Rect{p.x, line.top, p.x + 8, line.Bottom()};
  };
  EXPECT_TRUE(HasColour(page, boxOf("столица"_cp), mv::kHighlightColour));
  EXPECT_TRUE(HasColour(page, boxOf("Волги"_cp), mv::kHighlightColour));
  EXPECT_FALSE(HasColour(page, boxOf("Москва"_cp), mv::kHighlightColour));
  EXPECT_FALSE(HasColour(page, boxOf("Оки"_cp), mv::kHighlightColour));
  // The blank after a hit stays plain.
  plat::Point after = PointOfText(shown, " Российской"_cp);
  EXPECT_FALSE(
      HasColour(page, {after.x, after.y - 2, after.x + 2, after.y + 2}, mv::kHighlightColour));

  // Cleared, nothing is painted.
  EXPECT_EQ(hMVSetHighlights(shown, nullptr), nullptr);
  EXPECT_EQ(hMVGetHighlights(shown), nullptr);
  EXPECT_FALSE(HasColour(Render(shown, kSize), {0, 0, 400, 400}, mv::kHighlightColour));
}

TEST(DisplayHighlights, ScrollToHitAndKeepTheSetAcrossAddresses) {
  Shown shown("moscow", {0, 0, 360, 60}, kMVRegionBody);
  MVHGLOBAL hits = HitsOf("moscow", {"Москва"_cp, "объединения"_cp, "Данные"_cp}, kMVRegionBody);
  hMVSetHighlights(shown, hits);
  MVGlobalFree(hits);
  const auto& layout = LayoutOf(shown);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(fMVScrollToHighlight(shown, i)) << i;
    std::int32_t y = yMVGetYScrollPos(shown);
    std::int32_t unit = static_cast<std::int32_t>(layout.text.find(i == 0 ? "Москва"_cp
                                                                   : i == 1 ? "объединения"_cp
                                                                            : "Данные"_cp));
    const auto& line = layout.lines[static_cast<std::size_t>(layout.LineOfUnit(unit))];
    EXPECT_EQ(y, std::min(line.top, ptMVGetScrollSizes(shown).y)) << i;
  }
  EXPECT_FALSE(fMVScrollToHighlight(shown, 3));
  EXPECT_FALSE(fMVScrollToHighlight(shown, -1));

  // Another topic has none of these hits; coming back finds them again.
  ASSERT_TRUE(fMVSetAddress(shown, VaOf("kremlin"), 1));
  plat::Rect view{0, 0, 360, 60};
  fMVRealize(shown, &view);
  EXPECT_FALSE(fMVScrollToHighlight(shown, 0));
  EXPECT_NE(hMVGetHighlights(shown), nullptr);
  ASSERT_TRUE(fMVSetAddress(shown, VaOf("moscow"), 1));
  fMVRealize(shown, &view);
  EXPECT_TRUE(fMVScrollToHighlight(shown, 2));
}

TEST(DisplayHighlights, HeadingHitsBelongToTheHeadingDisplay) {
  MVHGLOBAL hits = HitsOf("moscow", {"Москва"_cp}, kMVRegionHeading);
  Shown heading("moscow", {0, 0, 300, 40}, kMVRegionHeading);
  Shown body("moscow", {0, 0, 300, 40}, kMVRegionBody);
  hMVSetHighlights(heading, hits);
  hMVSetHighlights(body, hits);
  MVGlobalFree(hits);
  EXPECT_TRUE(fMVScrollToHighlight(heading, 0));
  EXPECT_FALSE(fMVScrollToHighlight(body, 0));
}

TEST(DisplayHighlights, QueryHitsLandOnTheWord) {
  Shown shown("moscow", {0, 0, 400, 400}, kMVRegionBody);
  MVHGLOBAL hits = nullptr;
  MVERR error{};
  HMVTL list = hMVTopicListFromQuery(Articles(), 0, "объединения"_cp.data(), 0, 0, &hits, &error);
  ASSERT_NE(list, 0u);
  MVTopicListDestroy(list);
  hMVSetHighlights(shown, hits);
  MVGlobalFree(hits);
  plat::Bitmap page = Render(shown, {400, 400});
  plat::Point p = PointOfText(shown, "объединения"_cp);
  EXPECT_TRUE(HasColour(page, {p.x, p.y - 3, p.x + 30, p.y + 3}, mv::kHighlightColour));
  plat::Point before = PointOfText(shown, "центром"_cp);
  EXPECT_FALSE(
      HasColour(page, {before.x, before.y - 3, before.x + 30, before.y + 3}, mv::kHighlightColour));
}

}  // namespace
