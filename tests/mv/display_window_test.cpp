// Displays bound to windows: embedded windows made, moved, hidden and destroyed; handles used
// after deletion answer nothing.
#include <gtest/gtest.h>

#include "display_fixture.h"
#include "plat/headless.h"
#include "plat/messages.h"
#include "plat/paint.h"

namespace {

using namespace displaytest;

class DisplayWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::headless::Start({800, 600});
    plat::WindowClassInfo parameters;
    parameters.name = "DisplayTestPane";
    parameters.background = plat::Brush::White();
    plat::RegisterWindowClass(parameters);
    plat::WindowCreateInfo create;
    create.className = "DisplayTestPane";
    create.style = plat::window_style::kPopup | plat::window_style::kVisible;
    create.frame = {0, 0, 400, 300};
    pane_ = plat::CreateWindow(create);
    ASSERT_TRUE(pane_);
  }
  void TearDown() override {
    plat::DestroyWindow(pane_);
    plat::headless::Stop();
  }
  plat::Window pane_;
};

TEST_F(DisplayWindow, EmbeddedWindowsFollowTheDisplay) {
  LPMV display = lpMVNew(Articles(), kMVRegionBoth);
  ASSERT_TRUE(fMVSetWindow(display, pane_));
  ASSERT_TRUE(fMVSetAddress(display, VaOf("video"), 1));
  EXPECT_FALSE(hwndMVGetEmbeddedWindow(display, {}));
  plat::Rect view{10, 20, 390, 30};
  ASSERT_TRUE(fMVRealize(display, &view));

  plat::Window child = hwndMVGetEmbeddedWindow(display, {});
  ASSERT_TRUE(child);
  EXPECT_FALSE(hwndMVGetEmbeddedWindow(display, child));
  EXPECT_EQ(plat::ParentOf(child), pane_);
  EXPECT_EQ(plat::ClassNameOf(child), "QRSTMCI");
  EXPECT_EQ(plat::WindowText(child), "video\\kremlin.avi");
  EXPECT_EQ(plat::MapRect(child, pane_, plat::ClientRect(child)), (plat::Rect{10, 20, 330, 140}));
  EXPECT_TRUE(plat::IsWindowVisible(child));
  plat::headless::RunPending();

  // Scrolled part way it moves; scrolled out of view it hides.
  yMVScrollY(display, 4, 30);
  EXPECT_EQ(plat::MapRect(child, pane_, plat::ClientRect(child)).top, -10);
  EXPECT_TRUE(plat::IsWindowVisible(child));
  yMVScrollY(display, 7, 0);
  ASSERT_GE(yMVGetYScrollPos(display), 120);
  EXPECT_FALSE(plat::IsWindowVisible(child));
  yMVScrollY(display, 6, 0);
  EXPECT_TRUE(plat::IsWindowVisible(child));

  // A new layout keeps the window; unrealize and delete destroy it.
  ASSERT_TRUE(fMVRealize(display, &view));
  EXPECT_EQ(hwndMVGetEmbeddedWindow(display, {}), child);
  MVUnrealize(display);
  EXPECT_FALSE(plat::IsWindow(child));
  ASSERT_TRUE(fMVRealize(display, &view));
  child = hwndMVGetEmbeddedWindow(display, {});
  ASSERT_TRUE(plat::IsWindow(child));
  MVDelete(display);
  EXPECT_FALSE(plat::IsWindow(child));
}

TEST_F(DisplayWindow, NewAddressDropsEmbeddedWindows) {
  LPMV display = lpMVNew(Articles(), kMVRegionHeading);
  ASSERT_TRUE(fMVSetWindow(display, pane_));
  fMVSetAddress(display, VaOf("video"), 1);
  plat::Rect view{0, 0, 400, 300};
  fMVRealize(display, &view);
  plat::Window child = hwndMVGetEmbeddedWindow(display, {});
  ASSERT_TRUE(child);
  fMVSetAddress(display, VaOf("moscow"), 1);
  EXPECT_FALSE(plat::IsWindow(child));
  EXPECT_FALSE(fMVSetWindow(display, plat::Window::FromValue(999999)));
  MVDelete(display);
}

TEST_F(DisplayWindow, SelectionRepaintsItsLines) {
  LPMV display = lpMVNew(Articles(), kMVRegionBody);
  ASSERT_TRUE(fMVSetWindow(display, pane_));
  fMVSetAddress(display, VaOf("moscow"), 1);
  plat::Rect view{0, 0, 400, 300};
  fMVRealize(display, &view);
  plat::headless::RunPending();
  EXPECT_FALSE(plat::HasUpdate(pane_));
  MVSelectPoint(display, {40, 5}, 2);
  ASSERT_TRUE(fMVIsSelected(display));
  EXPECT_TRUE(plat::HasUpdate(pane_));
  plat::Rect dirty = plat::UpdateRegion(pane_).Bounds();
  EXPECT_EQ(dirty.top, 0);
  EXPECT_LT(dirty.bottom, 40);
  MVDelete(display);
}

TEST_F(DisplayWindow, HandlesAfterDeleteAnswerNothing) {
  LPMV display = lpMVNew(Articles(), kMVRegionBoth);
  fMVSetWindow(display, pane_);
  fMVSetAddress(display, VaOf("moscow"), 1);
  plat::Rect view{0, 0, 400, 300};
  fMVRealize(display, &view);
  MVDelete(display);
  MVDelete(display);

  plat::Bitmap bitmap(10, 10);
  plat::Canvas canvas = plat::Canvas::ForBitmap(bitmap);
  MVHOTSPOTRECORD hot{};
  MVPOINTRECORD where{};
  where.element = 7;
  char text[256] = "";
  std::int32_t pixels = 5;
  EXPECT_EQ(fMVSetWindow(display, pane_), 0);
  EXPECT_EQ(fMVSetAddress(display, VaOf("moscow"), 0), 0);
  EXPECT_EQ(fMVRealize(display, &view), 0);
  MVUnrealize(display);
  EXPECT_EQ(fMVApplyToDC(display, &canvas, &view), 0);
  EXPECT_EQ(ptMVGetSize(display), plat::Point{});
  EXPECT_EQ(ptMVGetScrollSizes(display), plat::Point{});
  EXPECT_EQ(yMVScrollY(display, 1, 0), 0);
  EXPECT_EQ(xMVScrollX(display, 1, 0), 0);
  EXPECT_EQ(fMVScrollToAddr(display, VaOf("moscow")), 0);
  EXPECT_EQ(fMVGetPointInfo(display, {5, 5}, &hot, text, &where), 0);
  EXPECT_EQ(where.element, 0);
  MVSelectPoint(display, {5, 5}, 3);
  EXPECT_EQ(fMVIsSelected(display), 0);
  EXPECT_EQ(hMVCopySelection(display), nullptr);
  EXPECT_EQ(hMVCopyMedia(display), nullptr);
  EXPECT_EQ(hMVGetData(display), nullptr);
  EXPECT_EQ(hMVGetName(display), nullptr);
  EXPECT_EQ(MVGetAddress(display, &pixels), -1);
  EXPECT_EQ(pixels, 0);
  EXPECT_EQ(lMVTopicNumber(display), -1);
  EXPECT_EQ(iMVGetMagnifier(display), 0);
  EXPECT_EQ(fMVSetMagnifier(display, 120), 0);
  EXPECT_EQ(hMVSetHighlights(display, nullptr), nullptr);
  EXPECT_EQ(fMVScrollToHighlight(display, 0), 0);
  EXPECT_FALSE(hwndMVGetEmbeddedWindow(display, {}));
  EXPECT_EQ(lpMVNew(0, kMVRegionBoth), 0u);

  // A display outlives the title handle it was made on.
  HMVTITLE title = hMVTitleOpen(ArticlesPath().c_str());
  LPMV orphan = lpMVNew(title, kMVRegionBody);
  fMVSetAddress(orphan, vaMVConvertContextString(title, "moscow"), 1);
  MVTitleClose(title);
  EXPECT_TRUE(fMVRealize(orphan, &view));
  EXPECT_TRUE(fMVApplyToDC(orphan, &canvas, &view));
  MVDelete(orphan);
  LPMV fresh = lpMVNew(Articles(), kMVRegionBoth);
  EXPECT_EQ(fMVRealize(fresh, &view), 0);  // no topic yet
  MVDelete(fresh);
}

}  // namespace
