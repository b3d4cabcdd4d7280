// Screenshots of articles as a pane shows them: heading display above the body display, at
// magnifier 100 and 120, written as PNG for people to look at.
#include <gtest/gtest.h>

#include <filesystem>

#include "display_fixture.h"
#include "plat/cp1251.h"

namespace {

using namespace displaytest;
using namespace plat::cp1251::literals;

struct ShotCase {
  const char* name;
  const char* ctx;
  int magnifier;
  const char* query;               // search hits to highlight, or null
  bool selectWord;                 // double click in the body
  std::string_view dragFrom = {};  // a drag selection between two texts (cp1251)
  std::string_view dragTo = {};
};

class ArticleShot : public ::testing::TestWithParam<ShotCase> {};

TEST_P(ArticleShot, ReadsLikeASetPage) {
  const ShotCase& c = GetParam();
  InstallPictures();
  constexpr plat::Size kPage{520, 520};
  constexpr std::int32_t kMargin = 12;
  plat::Bitmap page(kPage.width, kPage.height);
  page.Fill(0xFFFFFF);
  plat::Canvas canvas = plat::Canvas::ForBitmap(page);

  LPMV heading = lpMVNew(Articles(), kMVRegionHeading);
  LPMV body = lpMVNew(Articles(), kMVRegionBody);
  for (LPMV d : {heading, body}) {
    fMVSetMagnifier(d, c.magnifier);
    ASSERT_TRUE(fMVSetAddress(d, VaOf(c.ctx), 1));
  }
  plat::Rect headingRect{kMargin, kMargin, kPage.width - kMargin, kMargin + 1};
  ASSERT_TRUE(fMVRealize(heading, &headingRect));
  headingRect.bottom = headingRect.top + ptMVGetSize(heading).y;
  fMVRealize(heading, &headingRect);
  plat::Rect bodyRect{kMargin, headingRect.bottom + 6, kPage.width - kMargin,
                      kPage.height - kMargin};
  ASSERT_TRUE(fMVRealize(body, &bodyRect));
  MVHidePartialLines(body, 1);

  MVHGLOBAL hits = nullptr;
  if (c.query) {
    MVERR error{};
    HMVTL list = hMVTopicListFromQuery(Articles(), 0, c.query, 0, 0, &hits, &error);
    ASSERT_NE(list, 0u);
    MVTopicListDestroy(list);
    ASSERT_NE(hits, nullptr);
    hMVSetHighlights(body, hits);
    MVGlobalFree(hits);
    EXPECT_TRUE(fMVScrollToHighlight(body, 0));
  }
  if (c.selectWord) {
    MVSelectPoint(body, {bodyRect.left + 30, bodyRect.top + 5}, 2);
    EXPECT_TRUE(fMVIsSelected(body));
  }

  if (!c.dragFrom.empty()) {
    MVSelectPoint(body, PointOfText(body, c.dragFrom), 0);
    MVSelectPoint(body, PointOfText(body, c.dragTo), 1);
    EXPECT_TRUE(fMVIsSelected(body));
  }

  canvas.FrameRect(
      {headingRect.left - 1, headingRect.top - 1, headingRect.right + 1, bodyRect.bottom + 1},
      plat::Brush::Solid(0xE0E0E0));
  ASSERT_TRUE(fMVApplyToDC(heading, &canvas, &headingRect));
  ASSERT_TRUE(fMVApplyToDC(body, &canvas, &bodyRect));
  std::string path = ShotPath(std::string("display_") + c.name + ".png");
  ASSERT_TRUE(plat::WritePng(path, page));
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  MVDelete(heading);
  MVDelete(body);
}

INSTANTIATE_TEST_SUITE_P(
    Articles, ArticleShot,
    ::testing::Values(ShotCase{"text_100", "moscow", 100, nullptr, false},
                      ShotCase{"text_120", "moscow", 120, nullptr, false},
                      ShotCase{"pictures_100", "kremlin", 100, nullptr, false},
                      ShotCase{"pictures_120", "kremlin", 120, nullptr, false},
                      ShotCase{"hits_100", "moscow", 100, "города"_cp.data(), true},
                      ShotCase{"hits_120", "moscow", 120, "города"_cp.data(), true},
                      ShotCase{"selection_100", "kremlin", 100, nullptr, false, "схема"_cp,
                               "Троицкая"_cp}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
