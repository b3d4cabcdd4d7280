#include "window/floating_item_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "plat/cp1251.h"
#include "plat/headless.h"
#include "plat/input.h"
#include "plat/runtime.h"

namespace {

using namespace lexo;
using namespace plat::cp1251::literals;
namespace msg = plat::msg;

// Keeps what the floating window's own window went through.
class Watched : public xListItemWindowClass {
 public:
  std::vector<plat::Rect> frames;
  Answer OnSize(FirstParam a, SecondParam b) override {
    frames.push_back(plat::WindowRect(Handle()));
    return xListItemWindowClass::OnSize(a, b);
  }
};

class Owner : public DefaultWindowClass {
 public:
  Owner() : DefaultWindowClass("FloatOwner", nullptr, plat::CursorShape::Arrow, 0, 0) {}
  const char* ClassName() const override { return "FloatOwner"; }
  plat::Window Make(plat::Rect frame) {
    return CreateOwnWindow(nullptr, "", plat::window_style::kPopup | plat::window_style::kVisible,
                           0, frame, {});
  }
  std::vector<std::pair<std::uint32_t, plat::Point>> seen;
  Answer OnLeftDown(FirstParam, SecondParam b) override {
    seen.push_back({msg::kLeftDown, plat::UnpackPoint(b)});
    return 0;
  }
  Answer OnLeftUp(FirstParam, SecondParam b) override {
    seen.push_back({msg::kLeftUp, plat::UnpackPoint(b)});
    return 0;
  }
  Answer OnMouseMove(FirstParam, SecondParam b) override {
    seen.push_back({msg::kMouseMove, plat::UnpackPoint(b)});
    return 0;
  }
};

class Floating : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::headless::Start({320, 240});
    // Classes register when their first object is made: after the screen started.
    owner = std::make_unique<Owner>();
    floating = std::make_unique<Watched>();
    main_ = owner->Make({0, 0, 320, 240});
    ASSERT_TRUE(main_);
    plat::FontDescription parameters;
    parameters.height = -11;
    parameters.face = "Arial Cyr";
    ASSERT_TRUE(floating->Create(main_, plat::Font::Create(parameters)));
    plat::headless::RunPending();
  }
  void TearDown() override {
    floating.reset();
    owner.reset();
    plat::headless::Stop();
  }
  std::unique_ptr<Owner> owner;
  std::unique_ptr<Watched> floating;
  plat::Window main_;
};

TEST_F(Floating, TooltipNearTheCornerIsMovedInsideBeforeItUnrolls) {
  plat::headless::MovePointer({310, 230});
  plat::headless::RunPending();
  std::uint32_t start = plat::TickCount();
  floating->frames.clear();
  floating->ShowTooltip(5, "Подсказка"_cp, main_);
  EXPECT_GE(plat::TickCount() - start, 20u) << "the unroll waits on the clock";
  plat::Rect final = plat::WindowRect(floating->Handle());
  EXPECT_LE(final.right, 320);
  EXPECT_LE(final.bottom, 240);
  ASSERT_GE(floating->frames.size(), 3u);
  // Every step is at the final place; only the height grows, one pixel a step from one.
  EXPECT_EQ(floating->frames.front().Height(), 1);
  for (std::size_t i = 0; i < floating->frames.size(); ++i) {
    EXPECT_EQ(floating->frames[i].left, final.left);
    EXPECT_EQ(floating->frames[i].top, final.top);
    if (i > 0 && floating->frames[i].Height() != final.Height()) {
      EXPECT_EQ(floating->frames[i].Height(), floating->frames[i - 1].Height() + 1);
    }
  }
  EXPECT_FALSE(floating->Unrolling());
  EXPECT_TRUE(plat::IsTopmost(floating->Handle()));
  EXPECT_EQ(plat::ActiveWindow(), main_) << "shown without taking the activation";
  EXPECT_FALSE(plat::CaptureWindow()) << "tooltips let the mouse through";
  plat::headless::RunPending();
  EXPECT_EQ(plat::headless::PixelAt({final.left + 1, final.bottom - 2}),
            xListItemWindowClass::kUnrollBack);
  EXPECT_EQ(plat::headless::PixelAt({final.left, final.top}), 0u) << "black frame";
  if (const char* folder = std::getenv("LEXO_SCREENSHOT_DIR")) {
    plat::headless::Screenshot(std::string(folder) + "/wm_tooltip.png");
  }
}

TEST_F(Floating, RequestItemShowsOnlyForTheFocusedListAndForwardsTheMouse) {
  FloatingItemRequest request;
  request.text = "Длинная строка списка"_cp;
  request.itemRect = {40, 50, 200, 66};
  request.backColour = 0x00FF0000;
  plat::Window list = main_;
  EXPECT_FALSE(plat::IsWindowVisible(floating->Handle()));
  plat::SetFocus({});
  floating->ShowRequestItem(list, request, {0, 40, 320, 80});
  EXPECT_FALSE(plat::IsWindowVisible(floating->Handle())) << "the list has no focus";
  plat::SetFocus(list);
  floating->ShowRequestItem(list, request, {0, 40, 320, 80});
  ASSERT_TRUE(plat::IsWindowVisible(floating->Handle()));
  EXPECT_EQ(plat::CaptureWindow(), floating->Handle());
  owner->seen.clear();
  plat::headless::Click({45, 55});
  plat::headless::RunPending();
  ASSERT_EQ(owner->seen.size(), 2u);
  EXPECT_EQ(owner->seen[0], (std::pair{msg::kLeftDown, plat::Point{45, 55}}));
  EXPECT_EQ(owner->seen[1].first, msg::kLeftUp);
  // Leaving the free rectangle hides it, releases the mouse and passes the move on.
  plat::headless::MovePointer({100, 150});
  plat::headless::RunPending();
  EXPECT_FALSE(plat::IsWindowVisible(floating->Handle()));
  EXPECT_FALSE(plat::CaptureWindow());
  EXPECT_EQ(owner->seen.back(), (std::pair{msg::kMouseMove, plat::Point{100, 150}}));
}

TEST_F(Floating, CancelModeHidesIt) {
  plat::headless::MovePointer({10, 10});
  plat::headless::RunPending();
  FloatingItemRequest request;
  request.text = "Текст"_cp;
  floating->ShowTextBox(4, main_, request);
  EXPECT_TRUE(plat::IsWindowVisible(floating->Handle()));
  EXPECT_EQ(plat::WindowRect(floating->Handle()).left, 26);
  plat::SendMessage(floating->Handle(), msg::kCancelMode);
  EXPECT_FALSE(plat::IsWindowVisible(floating->Handle()));
}

}  // namespace
