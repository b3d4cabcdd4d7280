// The paint and erase protocol, exposure, clipping between windows and pixel scrolling.
#include "wm_fixture.h"

namespace {

using namespace plat;
using wmtest::Log;
using wmtest::Screen;
using wmtest::Seen;

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kBlue = 0x00FF0000;

class Paint : public Screen {
 protected:
  void SetUp() override {
    Screen::SetUp();
    for (auto [name, colour, clip] : {std::tuple{"Red", kRed, false}, {"Blue", kBlue, false}}) {
      (void)clip;
      WindowClassInfo parameters;
      parameters.name = name;
      parameters.background = Brush::Solid(colour);
      parameters.procedure = &wmtest::Recorder;
      RegisterWindowClass(parameters);
    }
  }
  static int Count(Window w, std::uint32_t code) {
    return static_cast<int>(Codes(w, {code}).size());
  }
};

struct EraseRow {
  bool first;
  bool second;
  int erases;
};

class EraseAccumulates : public Paint, public ::testing::WithParamInterface<EraseRow> {};

TEST_P(EraseAccumulates, AnyErasingRequestMakesTheOnePaintErase) {
  Window w = Popup({0, 0, 100, 100});
  headless::RunPending();
  Log().clear();
  Rect a{0, 0, 10, 10}, b{50, 50, 60, 60};
  Invalidate(w, &a, GetParam().first);
  Invalidate(w, &b, GetParam().second);
  headless::RunPending();
  EXPECT_EQ(Count(w, msg::kPaint), 1);
  EXPECT_EQ(Count(w, msg::kEraseBackground), GetParam().erases);
}

INSTANTIATE_TEST_SUITE_P(Table, EraseAccumulates,
                         ::testing::Values(EraseRow{false, false, 0}, EraseRow{false, true, 1},
                                           EraseRow{true, false, 1}, EraseRow{true, true, 1}));

TEST_F(Paint, DefaultEraseFillsOnlyTheUpdateAreaWithTheClassBrush) {
  Window w = Popup({0, 0, 100, 100}, {}, true, "Red");
  headless::RunPending();
  {
    WindowCanvas canvas(w);
    canvas->FillRect({0, 0, 100, 100}, Brush::Solid(kBlue));
  }
  Rect part{10, 10, 20, 20};
  Invalidate(w, &part, true);
  headless::RunPending();
  EXPECT_EQ(headless::PixelAt({15, 15}), kRed);
  EXPECT_EQ(headless::PixelAt({25, 25}), kBlue);
}

TEST_F(Paint, HandlerThatLeavesItsAreaInvalidIsNotPaintedForever) {
  Window w = Popup({0, 0, 100, 100});
  wmtest::Hook() = [](Window, std::uint32_t code, FirstParam, SecondParam, bool& handled) {
    handled = code == msg::kPaint;  // never begins painting
    return Answer{0};
  };
  headless::RunPending();
  EXPECT_EQ(Count(w, msg::kPaint), 1);
  EXPECT_FALSE(HasUpdate(w));
}

TEST_F(Paint, UpdateNowPaintsAtOnceWithoutChildren) {
  Window top = Popup({0, 0, 100, 100});
  Window child = Child(top, {0, 0, 50, 50}, 1);
  headless::RunPending();
  Invalidate(top, nullptr, true);
  Log().clear();
  UpdateNow(top);
  EXPECT_EQ(Count(top, msg::kPaint), 1);
  EXPECT_EQ(Count(child, msg::kPaint), 0);
  EXPECT_TRUE(HasUpdate(child)) << "a parent without clip-children invalidates its children";
}

TEST_F(Paint, ClipChildrenParentNeitherInvalidatesNorPaintsOverItsChild) {
  WindowCreateInfo parameters;
  parameters.className = "Red";
  parameters.style = window_style::kPopup | window_style::kVisible | window_style::kClipChildren;
  parameters.frame = {0, 0, 100, 100};
  Window parent = CreateWindow(parameters);
  Window child = Child(parent, {10, 10, 40, 40}, 1, "Blue");
  headless::RunPending();
  Log().clear();
  Invalidate(parent, nullptr, true);
  {
    WindowCanvas canvas(parent);
    canvas->FillRect({0, 0, 100, 100}, Brush::Solid(kWhite));
  }
  headless::RunPending();
  EXPECT_EQ(Count(child, msg::kPaint), 0);
  EXPECT_EQ(headless::PixelAt({20, 20}), kBlue);
  EXPECT_EQ(headless::PixelAt({60, 60}), kRed);
}

struct ExposureRow {
  const char* name;
  std::function<void(Window top)> change;
};

class Exposure : public Paint, public ::testing::WithParamInterface<ExposureRow> {};

TEST_P(Exposure, WindowBelowIsErasedWhereTheUpperOneWas) {
  Window below = Popup({0, 0, 200, 200}, {}, true, "Red");
  Window top = Popup({50, 50, 150, 150}, {}, true, "Blue");
  headless::RunPending();
  ASSERT_EQ(headless::PixelAt({100, 100}), kBlue);
  Log().clear();
  GetParam().change(top);
  headless::RunPending();
  EXPECT_GE(Count(below, msg::kEraseBackground), 1);
  EXPECT_EQ(headless::PixelAt({60, 60}), kRed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Exposure,
    ::testing::Values(ExposureRow{"Hide", [](Window w) { ShowWindow(w, ShowMode::Hide); }},
                      ExposureRow{"Destroy", [](Window w) { DestroyWindow(w); }},
                      ExposureRow{"Move",
                                  [](Window w) {
                                    MoveWindow(w, {150, 150, 250, 250}, true);
                                  }},
                      ExposureRow{"Shrink",
                                  [](Window w) {
                                    MoveWindow(w, {100, 100, 150, 150}, false);
                                  }},
                      ExposureRow{"Minimise", [](Window w) { ShowWindow(w, ShowMode::Minimize); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Paint, DrawingIntoALowerWindowSparesTheWindowAboveAndTheScreenCanvasDoesNot) {
  Window below = Popup({0, 0, 100, 100}, {}, true, "Red");
  Popup({50, 50, 150, 150}, {}, true, "Blue");
  Window child = Child(below, {-20, -20, 30, 30}, 1, "Blue");
  headless::RunPending();
  {
    WindowCanvas canvas(below);
    canvas->FillRect({0, 0, 100, 100}, Brush::Solid(kWhite));
  }
  EXPECT_EQ(headless::PixelAt({40, 40}), kWhite);
  EXPECT_EQ(headless::PixelAt({60, 60}), kBlue) << "covered by the window above";
  EXPECT_EQ(headless::PixelAt({20, 20}), kWhite) << "the child is drawn over without clip-children";
  {
    WindowCanvas canvas(child);
    canvas->FillRect({0, 0, 100, 100}, Brush::Solid(kRed));
  }
  EXPECT_EQ(headless::PixelAt({5, 5}), kRed);
  EXPECT_EQ(headless::PixelAt({35, 35}), kWhite) << "a child is clipped to its own rectangle";
  {
    ScreenCanvas screen;
    screen->FocusRect({40, 40, 80, 80});
  }
  EXPECT_TRUE(headless::PixelAt({60, 40}) != kWhite || headless::PixelAt({61, 40}) != kWhite);
  {
    ScreenCanvas screen;
    screen->FocusRect({40, 40, 80, 80});
  }
  EXPECT_EQ(headless::PixelAt({60, 40}), kWhite) << "drawing the focus rectangle twice restores";
  EXPECT_EQ(headless::PixelAt({61, 40}), kWhite);
}

TEST_F(Paint, ScrollingMovesPixelsInsideTheAreaAndInvalidatesTheStrip) {
  Window w = Popup({0, 0, 100, 100}, {}, true, "Red");
  Window child = Child(w, {80, 80, 90, 90}, 1, "Blue");
  headless::RunPending();
  {
    WindowCanvas canvas(w);
    canvas->FillRect({0, 0, 50, 50}, Brush::Solid(kWhite));
  }
  Log().clear();
  Rect area{0, 0, 50, 50};
  ScrollWindowPixels(w, 0, -10, area);
  EXPECT_EQ(headless::PixelAt({10, 5}), kWhite);
  EXPECT_EQ(UpdateRegion(w).Bounds(), (Rect{0, 40, 50, 50}));
  EXPECT_EQ(WindowRect(child), (Rect{80, 80, 90, 90})) << "children stay in place";
  EXPECT_EQ(headless::PixelAt({60, 60}), kRed) << "outside the area nothing moves";
  headless::RunPending();
  EXPECT_EQ(headless::PixelAt({10, 45}), kRed);
}

TEST_F(Paint, ShowingAWindowPaintsItWholeWithErasing) {
  Window w = Popup({0, 0, 60, 60}, {}, false, "Blue");
  headless::RunPending();
  EXPECT_NE(headless::PixelAt({30, 30}), kBlue);
  ShowWindow(w, ShowMode::ShowNoActivate);
  headless::RunPending();
  EXPECT_EQ(headless::PixelAt({30, 30}), kBlue);
  EXPECT_EQ(Count(w, msg::kEraseBackground), 1);
}

}  // namespace
