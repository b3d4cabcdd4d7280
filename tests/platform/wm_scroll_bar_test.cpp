// The standard scroll bar control: what each part of it reports, auto-repeat, thumb tracking,
// the state rules, and its look.
#include <cstdlib>
#include <filesystem>

#include "plat/scroll_bar.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using wmtest::Hook;
using wmtest::Screen;

struct Report {
  std::uint32_t message;
  std::uint32_t code;
  int position;
  friend bool operator==(const Report&, const Report&) = default;
};

// A parent that follows its bar the way a list does: line and page codes move the position,
// thumb codes take the reported one.
class ScrollBars : public Screen {
 protected:
  void SetUp() override {
    Screen::SetUp();
    parent_ = Popup({0, 0, 200, 220});
    bar_ = MakeBar(scroll_bar_style::kVertical, {100, 10, 100 + kScrollBarWidth, 210});
    SetScrollRange(bar_, 0, 100);
    SetScrollPage(bar_, 10);
    Hook() = [this](Window w, std::uint32_t code, FirstParam a, SecondParam b, bool& handled) {
      if (w != parent_ || (code != msg::kVerticalScroll && code != msg::kHorizontalScroll)) {
        return Answer{0};
      }
      handled = true;
      EXPECT_EQ(static_cast<std::uintptr_t>(b), bar_.Value());
      reports_.push_back({code, LowWord(a), HighWord(a)});
      if (follow_) Follow(LowWord(a), HighWord(a));
      return Answer{0};
    };
    headless::RunPending();
  }
  Window MakeBar(std::uint32_t orientation, Rect frame) {
    WindowCreateInfo parameters;
    parameters.className = "scrollbar";  // class names match in any case
    parameters.style = window_style::kChild | window_style::kVisible | orientation;
    parameters.frame = frame;
    parameters.parent = parent_;
    parameters.childId = 100;
    return CreateWindow(parameters);
  }
  void Follow(std::uint32_t code, int position) {
    int now = ScrollPosition(bar_);
    switch (code) {
      case scroll_code::kLineUp:
        SetScrollPosition(bar_, now - 1);
        break;
      case scroll_code::kLineDown:
        SetScrollPosition(bar_, now + 1);
        break;
      case scroll_code::kPageUp:
        SetScrollPosition(bar_, now - 10);
        break;
      case scroll_code::kPageDown:
        SetScrollPosition(bar_, now + 10);
        break;
      case scroll_code::kThumbTrack:
      case scroll_code::kThumbPosition:
        SetScrollPosition(bar_, position);
        break;
      default:
        break;
    }
  }
  Point At(int y) const { return ClientToScreen(bar_, {8, y}); }
  std::vector<std::uint32_t> Codes() const {
    std::vector<std::uint32_t> out;
    for (const Report& r : reports_) out.push_back(r.code);
    return out;
  }
  Window parent_, bar_;
  std::vector<Report> reports_;
  bool follow_ = true;
};

struct PartRow {
  const char* name;
  int startPosition;
  int pressY;  // bar client coordinates; the bar is 200 long with 16-pixel arrows
  std::uint32_t code;
};

class ScrollBarParts : public ScrollBars, public ::testing::WithParamInterface<PartRow> {};

TEST_P(ScrollBarParts, APressReportsItsCodeThenEndScrollOnRelease) {
  SetScrollPosition(bar_, GetParam().startPosition);
  follow_ = false;
  headless::Click(At(GetParam().pressY));
  headless::RunPending();
  EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{GetParam().code, scroll_code::kEndScroll}));
  EXPECT_EQ(reports_.at(0).message, msg::kVerticalScroll);
  EXPECT_EQ(ScrollPosition(bar_), GetParam().startPosition) << "the bar never moves itself";
  EXPECT_FALSE(CaptureWindow());
}

INSTANTIATE_TEST_SUITE_P(Table, ScrollBarParts,
                         ::testing::Values(PartRow{"UpArrow", 50, 5, scroll_code::kLineUp},
                                           PartRow{"DownArrow", 50, 195, scroll_code::kLineDown},
                                           PartRow{"TrackAboveThumb", 50, 20, scroll_code::kPageUp},
                                           PartRow{"TrackBelowThumb", 0, 150,
                                                   scroll_code::kPageDown}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScrollBars, AHeldArrowRepeatsAfterTheDelayAndPausesOutsideIt) {
  headless::Press(At(195));
  headless::RunPending();
  ASSERT_EQ(reports_.size(), 1u);
  headless::Advance(kScrollRepeatDelay - 1);
  headless::RunPending();
  EXPECT_EQ(reports_.size(), 1u) << "nothing before the delay";
  headless::Advance(1);
  headless::RunPending();
  for (int i = 0; i < 3; ++i) {
    headless::Advance(kScrollRepeatInterval);
    headless::RunPending();
  }
  EXPECT_EQ(reports_.size(), 5u);
  headless::MovePointer(At(100));  // off the arrow, still captured
  headless::Advance(kScrollRepeatInterval * 3);
  headless::RunPending();
  EXPECT_EQ(reports_.size(), 5u) << "repeat pauses while the pointer is off the arrow";
  headless::MovePointer(At(195));
  headless::Advance(kScrollRepeatInterval);
  headless::RunPending();
  EXPECT_EQ(reports_.size(), 6u);
  headless::Release(At(195));
  headless::RunPending();
  EXPECT_EQ(reports_.back().code, scroll_code::kEndScroll);
  EXPECT_EQ(ScrollPosition(bar_), 6);
}

TEST_F(ScrollBars, TrackRepeatStopsWhenTheThumbReachesThePointer) {
  headless::Press(At(150));
  for (int i = 0; i < 30; ++i) {
    headless::Advance(kScrollRepeatInterval);
    headless::RunPending();
  }
  headless::Release(At(150));
  headless::RunPending();
  // Thumb: 168 * 10 / 101 = 16 pixels travelling 152 over positions 0..91.
  int position = ScrollPosition(bar_);
  int thumbTop = 16 + (position * 152 + 45) / 91;
  EXPECT_LE(thumbTop, 150);
  EXPECT_GT(thumbTop + 16, 150 - 10) << "stopped near the pointer, at " << position;
  EXPECT_LT(position, 91) << "did not run to the end";
}

TEST_F(ScrollBars, DraggingTheThumbTracksThenReportsWhereItWasLetGo) {
  follow_ = false;
  headless::Press(At(20));  // the thumb at position 0 covers 16..32
  headless::MovePointer(At(96));
  headless::MovePointer(At(172));
  headless::Release(At(172));
  headless::RunPending();
  std::vector<Report> expected{{msg::kVerticalScroll, scroll_code::kThumbTrack, 46},
                               {msg::kVerticalScroll, scroll_code::kThumbTrack, 91},
                               {msg::kVerticalScroll, scroll_code::kThumbPosition, 91},
                               {msg::kVerticalScroll, scroll_code::kEndScroll, 0}};
  EXPECT_EQ(reports_, expected);
  EXPECT_EQ(ScrollPosition(bar_), 0) << "the parent decides the position";
}

TEST_F(ScrollBars, LosingTheCaptureEndsTheDragWithoutAPosition) {
  follow_ = false;
  headless::Press(At(20));
  headless::MovePointer(At(96));
  headless::RunPending();
  SetCapture(parent_);
  EXPECT_EQ(Codes(),
            (std::vector<std::uint32_t>{scroll_code::kThumbTrack, scroll_code::kEndScroll}));
}

struct StateRow {
  const char* name;
  int minimum, maximum, page, position;
  ScrollBarState expected;
};

class ScrollBarStates : public ScrollBars, public ::testing::WithParamInterface<StateRow> {};

TEST_P(ScrollBarStates, PositionStaysInsideTheRange) {
  const StateRow& row = GetParam();
  SetScrollRange(bar_, row.minimum, row.maximum);
  SetScrollPage(bar_, row.page);
  SetScrollPosition(bar_, row.position);
  EXPECT_EQ(ScrollBarStateOf(bar_), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollBarStates,
    ::testing::Values(StateRow{"Inside", 0, 10, 0, 4, {0, 10, 0, 4}},
                      StateRow{"PastTheEnd", 0, 10, 0, 20, {0, 10, 0, 10}},
                      StateRow{"PageShortensTheTravel", 0, 10, 5, 20, {0, 10, 5, 6}},
                      StateRow{"BelowTheStart", 5, 10, 0, -3, {5, 10, 0, 5}},
                      StateRow{"ReversedRangeIsEmpty", 10, 3, 0, 7, {10, 10, 0, 10}},
                      StateRow{"PageLargerThanRange", 0, 3, 50, 2, {0, 3, 50, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScrollBars, AnEmptyRangeOrADisabledBarIgnoresPresses) {
  SetScrollRange(bar_, 0, 0);
  headless::Click(At(195));
  EnableWindow(bar_, false);
  SetScrollRange(bar_, 0, 100);
  headless::Click(At(195));
  headless::RunPending();
  EXPECT_TRUE(reports_.empty());
}

TEST_F(ScrollBars, KeysReportWhileTheBarHasTheFocus) {
  SetFocus(bar_);
  for (int key : {key::kDown, key::kPageUp, key::kHome, key::kEnd}) headless::KeyPress(key);
  headless::RunPending();
  using namespace scroll_code;
  EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{kLineDown, kEndScroll, kPageUp, kEndScroll, kTop,
                                                 kEndScroll, kBottom, kEndScroll}));
}

TEST_F(ScrollBars, AHorizontalBarReportsHorizontalScroll) {
  DestroyWindow(bar_);
  bar_ = MakeBar(scroll_bar_style::kHorizontal, {0, 0, 200, kScrollBarWidth});
  SetScrollRange(bar_, 0, 100);
  headless::Click(ClientToScreen(bar_, {195, 8}));
  headless::RunPending();
  ASSERT_FALSE(reports_.empty());
  EXPECT_EQ(reports_[0], (Report{msg::kHorizontalScroll, scroll_code::kLineDown, 0}));
}

TEST_F(ScrollBars, Screenshot) {
  follow_ = false;
  SetScrollPosition(bar_, 30);
  Window wide = MakeBar(scroll_bar_style::kHorizontal, {0, 200, 96, 200 + kScrollBarWidth});
  SetScrollRange(wide, 0, 4);
  SetScrollPosition(wide, 3);
  Window empty = MakeBar(scroll_bar_style::kVertical, {140, 10, 140 + kScrollBarWidth, 120});
  (void)empty;
  headless::Press(At(195));  // the lower arrow shown pressed
  headless::RunPending();
  std::string shot = ::testing::TempDir() + "wm_scroll_bar.png";
  ASSERT_TRUE(headless::ScreenshotWindow(parent_, shot));
  // Arrow glyph dark, track light, thumb between.
  EXPECT_EQ(headless::PixelAt(At(100)), 0x00E8E8E8u);
  if (const char* keep = std::getenv("LEXO_SCREENSHOT_DIR")) {
    std::filesystem::copy_file(shot, std::string(keep) + "/wm_scroll_bar.png",
                               std::filesystem::copy_options::overwrite_existing);
  }
  headless::Release(At(195));
  headless::RunPending();
}

}  // namespace
