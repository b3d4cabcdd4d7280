#include "window/default_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plat/headless.h"
#include "plat/input.h"

namespace {

using namespace lexo;
namespace msg = plat::msg;

// Records which operation each message reached.
class Probe : public DefaultWindowClass {
 public:
  explicit Probe(const char* name = "ProbeWindow", std::uint32_t classStyle = 0)
      : DefaultWindowClass(name, nullptr, plat::CursorShape::Arrow, 0, classStyle), name_(name) {}
  const char* ClassName() const override { return "ProbeWindow"; }
  plat::Window Make(plat::Rect frame = {0, 0, 100, 100}) {
    return CreateOwnWindow(name_, "", plat::window_style::kPopup | plat::window_style::kVisible, 0,
                           frame, {});
  }
  std::vector<std::string> calls;
  const char* name_;

#define LEXO_PROBE(name)                              \
  Answer name(FirstParam a, SecondParam b) override { \
    calls.push_back(#name);                           \
    return DefaultWindowClass::name(a, b);            \
  }
  LEXO_PROBE(OnDestroy)
  LEXO_PROBE(OnClose)
  LEXO_PROBE(OnPaint)
  LEXO_PROBE(OnEraseBackground)
  LEXO_PROBE(OnHitTest)
  LEXO_PROBE(OnSize)
  LEXO_PROBE(OnTimer)
  LEXO_PROBE(OnCommand)
  LEXO_PROBE(OnMouseMove)
  LEXO_PROBE(OnLeftDown)
  LEXO_PROBE(OnLeftUp)
  LEXO_PROBE(OnLeftDouble)
  LEXO_PROBE(OnRightDown)
  LEXO_PROBE(OnRightUp)
  LEXO_PROBE(OnRightDouble)
  LEXO_PROBE(OnKeyDown)
  LEXO_PROBE(OnKeyUp)
  LEXO_PROBE(OnSysKeyDown)
  LEXO_PROBE(OnSysKeyUp)
  LEXO_PROBE(OnWorkAreaChanged)
#undef LEXO_PROBE
  Answer OnMessage(std::uint32_t code, FirstParam a, SecondParam b) override {
    calls.push_back("OnMessage");
    return DefaultWindowClass::OnMessage(code, a, b);
  }
};

class BaseWindow : public ::testing::Test {
 protected:
  void SetUp() override { plat::headless::Start({320, 240}); }
  void TearDown() override { plat::headless::Stop(); }
};

struct RouteRow {
  std::uint32_t code;
  FirstParam first;
  const char* handler;
};

class Routing : public BaseWindow, public ::testing::WithParamInterface<RouteRow> {};

TEST_P(Routing, EachMessageReachesItsOperation) {
  Probe probe;
  plat::Window w = probe.Make();
  ASSERT_TRUE(w);
  probe.calls.clear();
  plat::SendMessage(w, GetParam().code, GetParam().first, 0);
  ASSERT_FALSE(probe.calls.empty());
  EXPECT_EQ(probe.calls.front(), GetParam().handler);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Routing,
    ::testing::Values(
        RouteRow{msg::kSize, 0, "OnSize"}, RouteRow{msg::kPaint, 0, "OnPaint"},
        RouteRow{msg::kClose, 0, "OnClose"},
        RouteRow{msg::kEraseBackground, 0, "OnEraseBackground"},
        RouteRow{msg::kSettingChange, plat::kWorkAreaChanged, "OnWorkAreaChanged"},
        RouteRow{msg::kSettingChange, 5, "OnMessage"}, RouteRow{msg::kHitTest, 0, "OnHitTest"},
        RouteRow{msg::kKeyDown, 13, "OnKeyDown"}, RouteRow{msg::kKeyUp, 13, "OnKeyUp"},
        RouteRow{msg::kCommand, 1300, "OnCommand"}, RouteRow{msg::kTimer, 113, "OnTimer"},
        RouteRow{msg::kMouseMove, 0, "OnMouseMove"}, RouteRow{msg::kLeftDown, 0, "OnLeftDown"},
        RouteRow{msg::kLeftUp, 0, "OnLeftUp"}, RouteRow{msg::kLeftDouble, 0, "OnLeftDouble"},
        RouteRow{msg::kRightDown, 0, "OnRightDown"}, RouteRow{msg::kRightUp, 0, "OnRightUp"},
        RouteRow{msg::kRightDouble, 0, "OnRightDouble"},
        // The system keys are never routed to their operations.
        RouteRow{msg::kSystemKeyDown, 81, "OnMessage"},
        RouteRow{msg::kSystemKeyUp, 81, "OnMessage"}, RouteRow{WM_XNOTIFY, 549, "OnMessage"},
        RouteRow{msg::kDestroy, 0, "OnDestroy"}));

TEST_F(BaseWindow, CreateBindsTheObjectBeforeCreateReturns) {
  Probe probe;
  plat::Window w = probe.Make();
  EXPECT_EQ(probe.Handle(), w);
  EXPECT_EQ(plat::WindowSlot(w), reinterpret_cast<std::uintptr_t>(&probe));
  EXPECT_EQ(probe.Kind(), kDefaultKind);
}

TEST_F(BaseWindow, AWindowWhoseObjectLetGoIsServedByTheDefaultProcedureOnly) {
  Probe probe;
  plat::Window w = probe.Make();
  Probe other;
  other.Make();
  // The slot names an object bound to another window.
  plat::SetWindowSlot(w, reinterpret_cast<std::uintptr_t>(&other));
  probe.calls.clear();
  other.calls.clear();
  plat::SendMessage(w, msg::kCommand, 1, 0);
  EXPECT_TRUE(probe.calls.empty());
  EXPECT_TRUE(other.calls.empty());
  // No object at all: the default close destroys the window, no operation is called.
  plat::SetWindowSlot(w, 0);
  plat::SendMessage(w, msg::kClose);
  EXPECT_TRUE(probe.calls.empty());
  EXPECT_FALSE(plat::IsWindow(w));
}

TEST_F(BaseWindow, AWindowThatWasToldItIsDestroyedNoLongerCallsItsObject) {
  plat::Window w;
  {
    Probe probe;
    w = probe.Make();
    plat::SendMessage(w, msg::kDestroy);
    EXPECT_FALSE(probe.Handle());
  }
  // The object is gone and its window still exists: only the default procedure serves it.
  EXPECT_TRUE(plat::IsWindow(w));
  EXPECT_EQ(plat::WindowSlot(w), 0u);
  plat::SendMessage(w, msg::kCommand, 1, 0);
  EXPECT_TRUE(plat::DestroyWindow(w));
}

TEST_F(BaseWindow, DeletingTheObjectRemovesItsWindowWithoutCallingBack) {
  auto* probe = new Probe;
  plat::Window w = probe->Make();
  delete probe;
  EXPECT_FALSE(plat::IsWindow(w));
}

TEST_F(BaseWindow, DestroyDetachesFirstSoOnDestroyIsNotCalled) {
  Probe probe;
  plat::Window w = probe.Make();
  probe.calls.clear();
  probe.Destroy();
  EXPECT_FALSE(plat::IsWindow(w));
  EXPECT_FALSE(probe.Handle());
  EXPECT_TRUE(probe.calls.empty());
  probe.Destroy();  // twice is harmless
}

TEST_F(BaseWindow, WindowDestroyedFromOutsideClearsTheHandle) {
  Probe probe;
  plat::Window w = probe.Make();
  plat::DestroyWindow(w);
  EXPECT_FALSE(probe.Handle());
  EXPECT_FALSE(probe.Focus());
}

struct MoveRow {
  int x, y, width, height;
  plat::Rect expected;
};

class MoveWraps : public BaseWindow, public ::testing::WithParamInterface<MoveRow> {};

TEST_P(MoveWraps, CoordinatesAreCutToSixteenBits) {
  Probe probe;
  plat::Window w = probe.Make();
  const MoveRow& row = GetParam();
  probe.MoveTo(row.x, row.y, row.width, row.height, 1);
  EXPECT_EQ(plat::WindowRect(w), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, MoveWraps,
                         ::testing::Values(MoveRow{10, 20, 30, 40, {10, 20, 40, 60}},
                                           MoveRow{40000, 10, 50, 50, {-25536, 10, -25486, 60}},
                                           MoveRow{32767, 65546, 70000, 1, {32767, 10, 37231, 11}},
                                           MoveRow{-32769, 0, 5, 5, {32767, 0, 32772, 5}}));

TEST_F(BaseWindow, MoveToRectTakesLeftTopWidthHeight) {
  Probe probe;
  plat::Window w = probe.Make();
  probe.MoveToRect({5, 6, 70, 80}, 0);
  EXPECT_EQ(plat::WindowRect(w), (plat::Rect{5, 6, 75, 86}));
}

TEST_F(BaseWindow, EnableKeepsTheFlagOnlyWhenTheWindowWasDisabled) {
  Probe probe;
  probe.Make();
  EXPECT_EQ(probe.Enable(0), 0);
  EXPECT_EQ(probe.EnabledFlag(), 0);
  EXPECT_EQ(probe.Enable(1), 1);
  EXPECT_EQ(probe.EnabledFlag(), 1);
  EXPECT_EQ(probe.Enable(1), 0);
}

TEST_F(BaseWindow, SecondFormTakesKindAndParentWindowFromItsParentObject) {
  Probe parent;
  parent.SetKind(7);
  parent.SetParentWindow(parent.Make());
  DefaultWindowClass child(&parent);
  EXPECT_EQ(child.Kind(), 7);
  EXPECT_EQ(child.ParentWindow(), parent.Handle());
  EXPECT_FALSE(child.Handle());
  EXPECT_EQ(child.Tag(), 0);
}

TEST_F(BaseWindow, FirstRegistrationOfTheClassNameWins) {
  Probe plain("SharedName", 0);
  Probe wantsDouble("SharedName", plat::class_style::kDoubleClicks);
  plat::Window w = plain.Make();
  plain.calls.clear();
  plat::headless::Click({10, 10});
  plat::headless::Click({10, 10});
  plat::headless::RunPending();
  EXPECT_EQ(std::count(plain.calls.begin(), plain.calls.end(), "OnLeftDouble"), 0);
  EXPECT_EQ(std::count(plain.calls.begin(), plain.calls.end(), "OnLeftDown"), 2);
  (void)w;
}

TEST_F(BaseWindow, SendAndPostGoToTheOwnWindow) {
  Probe probe;
  probe.Make();
  probe.calls.clear();
  probe.Send(msg::kCommand, 1);
  EXPECT_EQ(probe.calls, (std::vector<std::string>{"OnCommand"}));
  probe.Post(msg::kTimer, 5);
  plat::headless::RunPending();
  EXPECT_EQ(std::count(probe.calls.begin(), probe.calls.end(), "OnTimer"), 1);
}

// ---- geometry helpers ----

struct CentreRow {
  plat::Size screen;
  int wantedWidth, wantedHeight, minimumWidth, minimumHeight;
  plat::Rect expected;  // left, top, width, height
};

class Centre : public ::testing::TestWithParam<CentreRow> {
 protected:
  void TearDown() override { plat::headless::Stop(); }
};

TEST_P(Centre, InTheWorkAreaOrAtItsOriginWithTheMinimum) {
  const CentreRow& row = GetParam();
  plat::headless::Start(row.screen);
  EXPECT_EQ(
      CentreInWorkArea(row.wantedWidth, row.wantedHeight, row.minimumWidth, row.minimumHeight),
      row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Centre,
    ::testing::Values(CentreRow{{1024, 768}, 800, 599, 630, 450, {112, 84, 800, 599}},
                      CentreRow{{1025, 769}, 800, 599, 630, 450, {112, 85, 800, 599}},
                      CentreRow{{320, 240}, 800, 599, 630, 450, {0, 0, 630, 450}},
                      CentreRow{{800, 600}, 800, 599, 630, 450, {0, 0, 800, 599}},
                      CentreRow{{900, 300}, 800, 599, 200, 100, {50, 0, 800, 300}}));

struct KeepRow {
  plat::Rect in;  // left, top, width, height
  bool pullBack;
  plat::Rect out;
};

class Keep : public BaseWindow, public ::testing::WithParamInterface<KeepRow> {};

TEST_P(Keep, PullsBackFarEdgesThenNearOnes) {
  plat::Rect r = GetParam().in;
  KeepOnScreen(r, GetParam().pullBack);
  EXPECT_EQ(r, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, Keep,
                         ::testing::Values(KeepRow{{300, 230, 50, 20}, true, {270, 220, 50, 20}},
                                           KeepRow{{300, 230, 50, 20}, false, {300, 230, 50, 20}},
                                           KeepRow{{-10, -5, 50, 20}, false, {0, 0, 50, 20}},
                                           // Larger than the work area: its top-left corner.
                                           KeepRow{{100, 100, 400, 300}, true, {0, 0, 400, 300}},
                                           KeepRow{{10, 10, 50, 20}, true, {10, 10, 50, 20}}));

}  // namespace
