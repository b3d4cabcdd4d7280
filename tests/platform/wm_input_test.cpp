// Mouse, keyboard, capture, focus and activation on the headless screen.
#include "plat/cp1251.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using wmtest::Log;
using wmtest::Screen;
using wmtest::Seen;
using namespace plat::cp1251::literals;

// ---- double clicks ----

struct DoubleClickRow {
  const char* name;
  const char* windowClass;
  std::uint32_t gapMs;
  int dx;
  std::vector<std::uint32_t> expected;
};

class DoubleClicks : public Screen, public ::testing::WithParamInterface<DoubleClickRow> {};

TEST_P(DoubleClicks, SecondPressBecomesADoubleClickOnlyWhenTheClassAsks) {
  const DoubleClickRow& row = GetParam();
  Window w = Popup({0, 0, 200, 200}, {}, true, row.windowClass);
  headless::RunPending();
  Log().clear();
  headless::Click({50, 50});
  headless::RunPending();
  headless::Advance(row.gapMs);
  headless::Click({50 + row.dx, 50});
  headless::RunPending();
  EXPECT_EQ(Codes(w, {msg::kLeftDown, msg::kLeftUp, msg::kLeftDouble}), row.expected);
}

constexpr std::uint32_t D = msg::kLeftDown, U = msg::kLeftUp, DD = msg::kLeftDouble;
INSTANTIATE_TEST_SUITE_P(
    Table, DoubleClicks,
    ::testing::Values(DoubleClickRow{"PlainClassGetsTwoClicks", "Rec", 100, 0, {D, U, D, U}},
                      DoubleClickRow{"DoubleClassQuick", "RecDouble", 100, 0, {D, U, DD, U}},
                      DoubleClickRow{"DoubleClassSlow", "RecDouble", 800, 0, {D, U, D, U}},
                      DoubleClickRow{"DoubleClassMovedTen", "RecDouble", 100, 10, {D, U, D, U}},
                      DoubleClickRow{"DoubleClassMovedOne", "RecDouble", 100, 1, {D, U, DD, U}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, ThirdQuickClickStartsANewPair) {
  Window w = Popup({0, 0, 200, 200}, {}, true, "RecDouble");
  headless::RunPending();
  Log().clear();
  for (int i = 0; i < 3; ++i) headless::Click({50, 50});
  headless::RunPending();
  EXPECT_EQ(Codes(w, {D, U, DD}), (std::vector<std::uint32_t>{D, U, DD, U, D, U}));
}

TEST_F(Screen, MouseCoordinatesAreClientRelativeAndCarryButtonFlags) {
  Window w = Popup({100, 50, 200, 150});
  headless::RunPending();
  Log().clear();
  headless::Press({110, 70});
  headless::MovePointer({120, 75});
  headless::RunPending();
  auto seen = Only({msg::kLeftDown, msg::kMouseMove});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].window, w);
  EXPECT_EQ(UnpackPoint(seen[0].second), (Point{10, 20}));
  EXPECT_EQ(seen[1].first & mouse_flag::kLeft, mouse_flag::kLeft);
  EXPECT_EQ(UnpackPoint(seen[1].second), (Point{20, 25}));
  EXPECT_EQ(PointerPosition(), (Point{120, 75}));
}

// ---- capture ----

TEST_F(Screen, CaptureChangedGoesToTheLoserEachTime) {
  Window a = Popup({0, 0, 100, 100});
  Window b = Popup({100, 0, 200, 100});
  headless::RunPending();
  Log().clear();
  SetCapture(a);
  SetCapture(b);
  ReleaseCapture();
  SetCapture(a);
  DestroyWindow(a);
  auto seen = Only({msg::kCaptureChanged});
  std::vector<Seen> expected = {
      {a, msg::kCaptureChanged, 0, static_cast<SecondParam>(b.Value())},
      {b, msg::kCaptureChanged, 0, 0},
      {a, msg::kCaptureChanged, 0, 0},
  };
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(CaptureWindow());
}

TEST_F(Screen, CapturedWindowGetsPressesOutsideWithNegativeCoordinates) {
  Window a = Popup({100, 100, 200, 200});
  Popup({0, 0, 50, 50});
  SetActiveWindow(a);
  headless::RunPending();
  SetCapture(a);
  Log().clear();
  headless::Press({10, 10});
  headless::RunPending();
  auto seen = Only({msg::kLeftDown});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].window, a);
  EXPECT_EQ(UnpackPoint(seen[0].second), (Point{-90, -90}));
  EXPECT_EQ(ActiveWindow(), a) << "a captured press does not activate the window beneath";
}

// ---- focus ----

TEST_F(Screen, KillFocusCarriesTheNewWindowBeforeSetFocusCarriesTheOld) {
  Window top = Popup({0, 0, 200, 200});
  Window a = Child(top, {0, 0, 50, 50}, 1);
  Window b = Child(top, {50, 0, 100, 50}, 2);
  SetFocus(a);
  Log().clear();
  EXPECT_EQ(SetFocus(b), a);
  std::vector<Seen> expected = {
      {a, msg::kKillFocus, b.Value(), 0},
      {b, msg::kSetFocus, a.Value(), 0},
  };
  EXPECT_EQ(Only({msg::kKillFocus, msg::kSetFocus}), expected);
  EXPECT_EQ(FocusWindow(), b);
}

TEST_F(Screen, DisabledAndHiddenWindowsRefuseTheFocus) {
  Window top = Popup({0, 0, 200, 200});
  Window a = Child(top, {0, 0, 50, 50}, 1);
  Window b = Child(top, {50, 0, 100, 50}, 2);
  SetFocus(a);
  EnableWindow(b, false);
  EXPECT_FALSE(SetFocus(b));
  EXPECT_EQ(FocusWindow(), a);
  EnableWindow(b, true);
  ShowWindow(b, ShowMode::Hide);
  EXPECT_FALSE(SetFocus(b));
  EXPECT_EQ(FocusWindow(), a);
  // Disabling the focus window drops the focus.
  EnableWindow(a, false);
  EXPECT_FALSE(FocusWindow());
}

struct EnableRow {
  bool startDisabled;
  bool enable;
  bool answer;
};

class EnableAnswers : public Screen, public ::testing::WithParamInterface<EnableRow> {};

TEST_P(EnableAnswers, TellWhetherTheWindowWasDisabledBefore) {
  Window w = Popup({0, 0, 50, 50});
  if (GetParam().startDisabled) EnableWindow(w, false);
  EXPECT_EQ(EnableWindow(w, GetParam().enable), GetParam().answer);
  EXPECT_EQ(IsWindowEnabled(w), GetParam().enable);
}

INSTANTIATE_TEST_SUITE_P(Table, EnableAnswers,
                         ::testing::Values(EnableRow{false, false, false},
                                           EnableRow{false, true, false},
                                           EnableRow{true, true, true},
                                           EnableRow{true, false, true}));

TEST_F(Screen, SettingTheFocusInAnotherTopLevelWindowActivatesItFirst) {
  Window first = Popup({0, 0, 100, 100});
  Window second = Popup({150, 0, 250, 100});
  Window child = Child(first, {0, 0, 20, 20}, 1);
  EXPECT_EQ(ActiveWindow(), second);
  Log().clear();
  SetFocus(child);
  EXPECT_EQ(ActiveWindow(), first);
  EXPECT_EQ(FocusWindow(), child);
  auto seen = Only({msg::kNonClientActivate, msg::kSetFocus});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], (Seen{second, msg::kNonClientActivate, 0, 0}));
  EXPECT_EQ(seen[1], (Seen{first, msg::kNonClientActivate, 1, 0}));
  EXPECT_EQ(seen[2].window, child) << "the top-level window is not focused on the way";
}

// ---- activation and z-order ----

TEST_F(Screen, NewChildGoesBelowItsExistingSiblings) {
  Window top = Popup({0, 0, 200, 200});
  Window menu = Child(top, {0, 0, 100, 100}, 1);
  Window article = Child(top, {50, 50, 150, 150}, 2);
  EXPECT_EQ(ChildrenOf(top), (std::vector<Window>{menu, article}));
  EXPECT_EQ(WindowAtPoint({75, 75}), menu);
  EXPECT_EQ(WindowAtPoint({120, 120}), article);
}

TEST_F(Screen, TopmostStaysAboveANewlyActivatedWindow) {
  Window tip = Popup({0, 0, 100, 100}, {}, true, "Rec", extended_style::kTopmost);
  Window later = Popup({50, 50, 150, 150});
  EXPECT_EQ(ActiveWindow(), later);
  EXPECT_EQ(WindowAtPoint({75, 75}), tip);
  SetActiveWindow(later);
  EXPECT_EQ(TopLevelWindows().front(), tip);
}

TEST_F(Screen, ActivatingAnOwnerRaisesItsOwnedPopupsWithIt) {
  Window owner = Popup({0, 0, 100, 100});
  Window owned = Popup({20, 20, 80, 80}, owner);
  Window other = Popup({0, 0, 150, 150});
  EXPECT_EQ(WindowAtPoint({50, 50}), other);
  SetActiveWindow(owner);
  EXPECT_EQ(TopLevelWindows(), (std::vector<Window>{owned, owner, other}));
  EXPECT_EQ(WindowAtPoint({50, 50}), owned);
  EXPECT_EQ(WindowAtPoint({10, 10}), owner);
}

TEST_F(Screen, PressInAnInactiveWindowDeactivatesTheOldOneFirst) {
  Window left = Popup({0, 0, 100, 100});
  Window right = Popup({100, 0, 200, 100});
  headless::RunPending();
  ASSERT_EQ(ActiveWindow(), right);
  Log().clear();
  headless::Click({50, 50});
  headless::RunPending();
  auto seen = Only({msg::kNonClientActivate, msg::kActivate, msg::kLeftDown});
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0], (Seen{right, msg::kNonClientActivate, 0, 0}));
  EXPECT_EQ(seen[1].window, right);
  EXPECT_EQ(seen[1].code, msg::kActivate);
  EXPECT_EQ(seen[2], (Seen{left, msg::kNonClientActivate, 1, 0}));
  EXPECT_EQ(seen[3].window, left);
  EXPECT_EQ(seen[4].code, msg::kLeftDown);
  EXPECT_EQ(seen[4].window, left);
}

TEST_F(Screen, HidingTheActiveWindowActivatesItsOwner) {
  Window owner = Popup({0, 0, 100, 100});
  Popup({150, 0, 250, 100});
  Window owned = Popup({20, 20, 80, 80}, owner);
  ASSERT_EQ(ActiveWindow(), owned);
  ShowWindow(owned, ShowMode::Hide);
  EXPECT_EQ(ActiveWindow(), owner);
}

TEST_F(Screen, DisabledChildAnswersItsParentAtAPoint) {
  Window top = Popup({0, 0, 100, 100});
  Window child = Child(top, {10, 10, 50, 50}, 1);
  EXPECT_EQ(WindowAtPoint({20, 20}), child);
  EnableWindow(child, false);
  EXPECT_EQ(WindowAtPoint({20, 20}), top);
  ShowWindow(child, ShowMode::Hide);
  EXPECT_EQ(WindowAtPoint({20, 20}), top);
}

TEST_F(Screen, ShowNoActivateLeavesTheActiveWindowAlone) {
  Window a = Popup({0, 0, 100, 100});
  Window b = Popup({0, 0, 50, 50}, {}, false);
  ShowWindow(b, ShowMode::ShowNoActivate);
  EXPECT_EQ(ActiveWindow(), a);
  EXPECT_TRUE(IsWindowVisible(b));
  ShowWindow(b, ShowMode::Show);
  EXPECT_EQ(ActiveWindow(), b);
}

TEST_F(Screen, LosingTheHostFocusDeactivatesAndRegainingReactivates) {
  Window a = Popup({0, 0, 100, 100});
  Log().clear();
  headless::HostFocus(false);
  headless::RunPending();
  EXPECT_FALSE(ActiveWindow());
  headless::HostFocus(true);
  headless::RunPending();
  EXPECT_EQ(ActiveWindow(), a);
  EXPECT_EQ(Codes(a, {msg::kNonClientActivate}),
            (std::vector<std::uint32_t>{msg::kNonClientActivate, msg::kNonClientActivate}));
}

// ---- keyboard ----

struct KeyRow {
  const char* name;
  bool control;
  int key;
  std::vector<FirstParam> characters;
};

class KeyTranslation : public Screen, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(KeyTranslation, KeyDownsMakeTheControlCharacters) {
  Window w = Popup({0, 0, 100, 100});
  SetFocus(w);
  headless::RunPending();
  Log().clear();
  if (GetParam().control) headless::KeyDown(key::kControl);
  headless::KeyPress(GetParam().key);
  if (GetParam().control) headless::KeyUp(key::kControl);
  headless::RunPending();
  std::vector<FirstParam> characters;
  for (const Seen& s : Only({msg::kChar})) characters.push_back(s.first);
  EXPECT_EQ(characters, GetParam().characters);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyTranslation,
                         ::testing::Values(KeyRow{"CtrlA", true, 'A', {1}},
                                           KeyRow{"CtrlC", true, 'C', {3}},
                                           KeyRow{"CtrlV", true, 'V', {22}},
                                           KeyRow{"CtrlX", true, 'X', {24}},
                                           KeyRow{"Enter", false, key::kEnter, {13}},
                                           KeyRow{"Backspace", false, key::kBack, {8}},
                                           KeyRow{"Escape", false, key::kEscape, {27}},
                                           KeyRow{"Tab", false, key::kTab, {9}},
                                           KeyRow{"LetterWithoutText", false, 'A', {}},
                                           KeyRow{"ArrowKey", false, key::kLeft, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, CyrillicTextArrivesAsCodePageBytes) {
  Window w = Popup({0, 0, 100, 100});
  SetFocus(w);
  headless::RunPending();
  Log().clear();
  std::string_view text = "Ёж ы"_cp;
  headless::Type(text);
  headless::RunPending();
  std::string got;
  for (const Seen& s : Only({msg::kChar})) got += static_cast<char>(s.first);
  EXPECT_EQ(got, text);
}

TEST_F(Screen, AltLetterIsASystemKeyWithItsPositionCode) {
  Window w = Popup({0, 0, 100, 100});
  SetFocus(w);
  headless::RunPending();
  Log().clear();
  headless::KeyDown(key::kAlt);
  headless::KeyPress('Q');
  headless::KeyUp(key::kAlt);
  headless::RunPending();
  auto downs = Only({msg::kSystemKeyDown, msg::kKeyDown});
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[1], (Seen{w, msg::kSystemKeyDown, 81, downs[1].second}));
  EXPECT_NE(downs[1].second & (1 << 29), 0) << "context bit for Alt";
  auto chars = Only({msg::kSystemChar, msg::kChar});
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].code, msg::kSystemChar);
}

TEST_F(Screen, AltF4ClosesThroughTheSystemCommand) {
  Window w = Popup({0, 0, 100, 100});
  SetFocus(w);
  headless::RunPending();
  headless::KeyDown(key::kAlt);
  headless::KeyPress(key::kF4);
  headless::KeyUp(key::kAlt);
  headless::RunPending();
  EXPECT_EQ(Codes(w, {msg::kSystemCommand, msg::kClose}),
            (std::vector<std::uint32_t>{msg::kSystemCommand, msg::kClose}));
  EXPECT_FALSE(IsWindow(w)) << "the default close destroys";
}

TEST_F(Screen, WheelGoesToTheFocusWindowAndDefaultPassesItToTheParent) {
  Window top = Popup({0, 0, 200, 200});
  Window child = Child(top, {0, 0, 50, 50}, 1);
  Popup({100, 100, 200, 200}, top);  // under the pointer, but not focused
  SetFocus(child);
  headless::MovePointer({150, 150});
  headless::Wheel(-kWheelNotch);
  headless::RunPending();
  auto seen = Only({msg::kMouseWheel});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].window, child);
  EXPECT_EQ(seen[1].window, top);
  EXPECT_EQ(static_cast<std::int16_t>(HighWord(seen[0].first)), -120);
}

}  // namespace
