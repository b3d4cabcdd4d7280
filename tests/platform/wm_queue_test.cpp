// Send and post, the order of the queue, quit requests in nested loops, timers, and the
// window life cycle.
#include "wm_fixture.h"

namespace {

using namespace plat;
using wmtest::Log;
using wmtest::Screen;
using wmtest::Seen;

constexpr std::uint32_t kPing = msg::kUser + 1;
constexpr std::uint32_t kPong = msg::kUser + 2;

// A loop as the program's modal dialogs run it: until a quit request.
int RunLoop() {
  Message m;
  while (TakeMessage(m)) {
    TranslateKeys(m);
    Dispatch(m);
  }
  return static_cast<int>(m.first);
}

TEST_F(Screen, QuitInsideANestedLoopEndsItAndTheOuterLoopGoesOn) {
  Window w = Popup({0, 0, 50, 50});
  int innerCode = 0;
  wmtest::Hook() = [&](Window, std::uint32_t code, FirstParam, SecondParam, bool& handled) {
    if (code == kPing) {
      handled = true;
      PostQuit(7);
      innerCode = RunLoop();
      PostMessage(w, kPong);
      PostQuit(0);
    }
    return Answer{0};
  };
  PostMessage(w, kPing);
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_EQ(innerCode, 7);
  EXPECT_EQ(Codes(w, {kPing, kPong}), (std::vector<std::uint32_t>{kPing, kPong}));
}

struct OrderRow {
  const char* name;
  bool posted;
  bool quit;
  bool paint;
  bool timer;
  std::uint32_t first;
};

class QueueOrder : public Screen, public ::testing::WithParamInterface<OrderRow> {};

TEST_P(QueueOrder, PostedThenQuitThenPaintThenTimers) {
  const OrderRow& row = GetParam();
  Window w = Popup({0, 0, 50, 50});
  headless::RunPending();
  if (row.timer) StartTimer(w, 113, 1);
  headless::Advance(50);
  if (row.paint) Invalidate(w, nullptr, false);
  if (row.quit) PostQuit(3);
  if (row.posted) PostMessage(w, kPing);
  Message m;
  ASSERT_TRUE(NextMessage(m));
  EXPECT_EQ(m.code, row.first);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QueueOrder,
    ::testing::Values(OrderRow{"PostedBeforeQuit", true, true, true, true, kPing},
                      OrderRow{"QuitBeforePaint", false, true, true, true, msg::kQuit},
                      OrderRow{"QuitBeforeATimer", false, true, false, true, msg::kQuit},
                      OrderRow{"PaintBeforeATimer", false, false, true, true, msg::kPaint},
                      OrderRow{"TimerLast", false, false, false, true, msg::kTimer}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, MessagesPostedToADestroyedWindowAreDropped) {
  Window a = Popup({0, 0, 50, 50});
  Window b = Popup({0, 0, 50, 50});
  PostMessage(a, kPing);
  PostMessage(b, kPong);
  DestroyWindow(a);
  EXPECT_FALSE(PostMessage(a, kPing));
  EXPECT_EQ(SendMessage(a, kPing), 0);
  Log().clear();
  headless::RunPending();
  EXPECT_EQ(Only({kPing, kPong}), (std::vector<Seen>{{b, kPong, 0, 0}}));
}

TEST_F(Screen, SendIsSynchronousAndReturnsTheAnswer) {
  Window w = Popup({0, 0, 50, 50});
  wmtest::Hook() = [](Window, std::uint32_t code, FirstParam a, SecondParam, bool& handled) {
    handled = code == kPing;
    return static_cast<Answer>(a * 2);
  };
  EXPECT_EQ(SendMessage(w, kPing, 21), 42);
}

// ---- timers ----

struct TimerRow {
  const char* name;
  std::uint32_t period;
  std::vector<std::uint32_t> steps;  // clock advances, each followed by running the queue
  int expected;
};

class Timers : public Screen, public ::testing::WithParamInterface<TimerRow> {};

TEST_P(Timers, FireCoalescedOncePerDuePeriod) {
  Window w = Popup({0, 0, 50, 50});
  headless::RunPending();
  StartTimer(w, 113, GetParam().period);
  for (std::uint32_t step : GetParam().steps) {
    headless::Advance(step);
    headless::RunPending();
  }
  EXPECT_EQ(static_cast<int>(Codes(w, {msg::kTimer}).size()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Timers,
    ::testing::Values(TimerRow{"OneMillisecondTimerDoesNotFlood", 1, {1000}, 1},
                      TimerRow{"NotYetDue", 100, {99}, 0},
                      TimerRow{"EachPeriod", 100, {100, 100, 100}, 3},
                      TimerRow{"ClampedToTheTick", 1, {5, 5, 5}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, RestartingATimerTakesTheNewPeriodFromNow) {
  Window w = Popup({0, 0, 50, 50});
  StartTimer(w, 114, 100);
  headless::Advance(50);
  StartTimer(w, 114, 300);
  headless::Advance(100);
  headless::RunPending();
  EXPECT_TRUE(Codes(w, {msg::kTimer}).empty());
  headless::Advance(200);
  headless::RunPending();
  EXPECT_EQ(Codes(w, {msg::kTimer}).size(), 1u);
}

TEST_F(Screen, TimersDieWithTheirWindowAndStoppingIsHarmless) {
  Window w = Popup({0, 0, 50, 50});
  Window other = Popup({0, 0, 50, 50});
  StartTimer(w, 116, 10);
  EXPECT_FALSE(StopTimer(other, 116));
  DestroyWindow(w);
  EXPECT_FALSE(StopTimer(w, 116));
  headless::Advance(100);
  Log().clear();
  headless::RunPending();
  EXPECT_TRUE(Only({msg::kTimer}).empty());
}

TEST_F(Screen, TimerMessageCarriesItsId) {
  Window w = Popup({0, 0, 50, 50});
  StartTimer(w, 0x8000, 10000);
  headless::Advance(10000);
  Log().clear();
  headless::RunPending();
  EXPECT_EQ(Only({msg::kTimer}), (std::vector<Seen>{{w, msg::kTimer, 0x8000, 0}}));
}

// ---- life cycle ----

TEST_F(Screen, FirstRegistrationOfAClassWins) {
  WindowClassInfo parameters;
  parameters.name = "rec";  // names compare without case
  parameters.style = class_style::kDoubleClicks;
  EXPECT_FALSE(RegisterWindowClass(parameters));
  Window w = Popup({0, 0, 100, 100});
  headless::Click({10, 10});
  headless::Click({10, 10});
  headless::RunPending();
  EXPECT_TRUE(Codes(w, {msg::kLeftDouble}).empty());
}

TEST_F(Screen, DestroyTakesOwnedWindowsFirstThenTheWindowThenItsChildren) {
  Window owner = Popup({0, 0, 100, 100});
  Window child = Child(owner, {0, 0, 10, 10}, 1);
  Window owned = Popup({0, 0, 10, 10}, owner);
  SetFocus(child);
  Log().clear();
  EXPECT_TRUE(DestroyWindow(owner));
  std::vector<Window> order;
  for (const Seen& s : Only({msg::kDestroy})) order.push_back(s.window);
  EXPECT_EQ(order, (std::vector<Window>{owned, owner, child}));
  for (Window w : {owner, child, owned}) EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(FocusWindow());
  EXPECT_FALSE(DestroyWindow(owner));
}

TEST_F(Screen, DestroyingItselfWhileBeingDestroyedIsHarmless) {
  Window w = Popup({0, 0, 100, 100});
  wmtest::Hook() = [](Window self, std::uint32_t code, FirstParam, SecondParam, bool&) {
    if (code == msg::kDestroy) {
      EXPECT_FALSE(DestroyWindow(self));
    }
    return Answer{0};
  };
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_EQ(Codes(w, {msg::kDestroy}).size(), 1u);
}

TEST_F(Screen, CreateMessageArrivesBeforeCreateReturnsAndMinusOneFails) {
  int parameter = 5;
  void* seen = nullptr;
  wmtest::Hook() = [&](Window, std::uint32_t code, FirstParam, SecondParam b, bool& handled) {
    if (code != msg::kCreate) return Answer{0};
    auto* record = reinterpret_cast<const CreateRecord*>(b);
    seen = record->parameter;
    handled = true;
    return Answer{seen == nullptr ? -1 : 0};
  };
  WindowCreateInfo parameters;
  parameters.className = "Rec";
  parameters.style = window_style::kPopup;
  parameters.parameter = &parameter;
  EXPECT_TRUE(CreateWindow(parameters));
  EXPECT_EQ(seen, &parameter);
  parameters.parameter = nullptr;
  EXPECT_FALSE(CreateWindow(parameters));
  parameters.className = "NoSuchClass";
  EXPECT_FALSE(CreateWindow(parameters));
}

TEST_F(Screen, MoveSendsMoveAndSizeWithPackedValues) {
  Window top = Popup({0, 0, 200, 200});
  Window child = Child(top, {0, 0, 10, 10}, 1);
  Log().clear();
  MoveWindow(child, {-5, 7, 295, 107}, true);
  std::vector<Seen> expected = {
      {child, msg::kMove, 0, PackPoint({-5, 7})},
      {child, msg::kSize, 0, static_cast<SecondParam>(PackWords(300, 100))},
  };
  EXPECT_EQ(Only({msg::kMove, msg::kSize}), expected);
  EXPECT_EQ(WindowRect(child), (Rect{-5, 7, 295, 107}));
  EXPECT_EQ(ClientToScreen(child, {1, 1}), (Point{-4, 8}));
  Log().clear();
  MoveWindow(child, {-5, 7, 295, 107}, true);
  EXPECT_TRUE(Only({msg::kMove, msg::kSize}).empty()) << "nothing changed";
}

TEST_F(Screen, MaximiseUsesTheMinMaxAnswerAndRestoreGoesBack) {
  SetReservedStrip(40);
  Window w = Popup({10, 10, 60, 60});
  EXPECT_EQ(WorkArea(), (Rect{0, 0, 320, 200}));
  ShowWindow(w, ShowMode::Maximized);
  EXPECT_TRUE(IsMaximized(w));
  EXPECT_EQ(WindowRect(w), (Rect{0, 0, 320, 200}));
  ShowWindow(w, ShowMode::Restore);
  EXPECT_FALSE(IsMaximized(w));
  EXPECT_EQ(WindowRect(w), (Rect{10, 10, 60, 60}));
  ShowWindow(w, ShowMode::Minimize);
  EXPECT_TRUE(IsMinimized(w));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_NE(WindowAtPoint({20, 20}), w);
}

TEST_F(Screen, CaptionDragMovesTheWindowWithMoveMessages) {
  Window w = Popup({50, 50, 150, 150});
  wmtest::Hook() = [](Window, std::uint32_t code, FirstParam, SecondParam, bool& handled) {
    if (code != msg::kHitTest) return Answer{0};
    handled = true;
    return static_cast<Answer>(HitArea::Caption);
  };
  headless::RunPending();
  Log().clear();
  headless::Press({60, 60});
  headless::MovePointer({70, 65});
  headless::MovePointer({90, 80});
  headless::Release({90, 80});
  headless::RunPending();
  EXPECT_EQ(WindowRect(w), (Rect{80, 70, 180, 170}));
  EXPECT_EQ(Codes(w, {msg::kMove}).size(), 2u);
  EXPECT_FALSE(CaptureWindow());
}

}  // namespace
