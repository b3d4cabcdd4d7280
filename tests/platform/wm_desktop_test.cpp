// Desktop behaviour around the windows: placeholders for minimised popups, the main window and
// the host, device changes, the Russian key map, and clicks on a window disabled by its popup.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "plat/cp1251.h"
#include "plat/system.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using namespace plat::cp1251::literals;
using wmtest::Hook;
using wmtest::Log;
using wmtest::Screen;
using wmtest::Seen;

Point Centre(const Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

Window Titled(const char* text, Rect frame, Window owner = {}) {
  WindowCreateInfo parameters;
  parameters.className = "Rec";
  parameters.text = text;
  parameters.style = window_style::kPopup | window_style::kVisible | window_style::kMinimizeBox;
  parameters.frame = frame;
  parameters.parent = owner;
  return CreateWindow(parameters);
}

TEST_F(Screen, MinimisedPopupsLeaveAPlaceholderThatRestoresThem) {
  Window first = Titled("First", {10, 10, 110, 110});
  Window second = Titled("Second", {120, 10, 220, 110});
  Window owned = Titled("Owned", {30, 30, 60, 60}, first);
  ShowWindow(first, ShowMode::Minimize);
  ShowWindow(second, ShowMode::Minimize);
  headless::RunPending();
  Window one = PlaceholderOf(first);
  Window two = PlaceholderOf(second);
  ASSERT_TRUE(one);
  ASSERT_TRUE(two);
  Rect work = WorkArea();
  EXPECT_EQ(WindowRect(one).bottom, work.bottom - 2) << "a strip at the bottom of the work area";
  EXPECT_EQ(WindowRect(two).left, WindowRect(one).right + 2);
  EXPECT_FALSE(IsWindowVisible(owned) && WindowAtPoint({40, 40}) == owned)
      << "owned windows go with their owner";

  if (const char* keep = std::getenv("LEXO_SCREENSHOT_DIR")) {
    headless::Screenshot(std::string(keep) + "/wm_placeholders.png");
  }
  Log().clear();
  headless::Click(Centre(WindowRect(one)));
  headless::RunPending();
  EXPECT_EQ(Codes(first, {msg::kSystemCommand}), (std::vector<std::uint32_t>{msg::kSystemCommand}));
  EXPECT_FALSE(IsMinimized(first)) << "the default restores";
  EXPECT_FALSE(IsWindow(one));
  EXPECT_EQ(WindowRect(two).left, work.left + 2) << "the strip closes up";
  EXPECT_EQ(WindowAtPoint({40, 40}), owned);
  DestroyWindow(second);
  EXPECT_FALSE(IsWindow(two));
}

TEST_F(Screen, MinimisingTheMainWindowSendsTheHostAwayAndItsReturnRestoresIt) {
  Window main = Titled("Main", {0, 0, 200, 200});
  SetMainWindow(main);
  ShowWindow(main, ShowMode::Minimize);
  EXPECT_TRUE(headless::HostMinimized());
  EXPECT_FALSE(PlaceholderOf(main));
  Log().clear();
  headless::RestoreHost();
  headless::RunPending();
  EXPECT_EQ(Only({msg::kSystemCommand}),
            (std::vector<Seen>{{main, msg::kSystemCommand, system_command::kRestore, 0}}));
  EXPECT_FALSE(IsMinimized(main));
}

TEST_F(Screen, DeviceChangesArePostedToTopLevelWindows) {
  Window a = Popup({0, 0, 50, 50});
  Window b = Popup({60, 0, 110, 50}, {}, false);
  std::vector<std::pair<Window, FirstParam>> seen;
  Hook() = [&](Window w, std::uint32_t code, FirstParam first, SecondParam, bool&) {
    if (code == msg::kDeviceChange) seen.emplace_back(w, first);
    return Answer{0};
  };
  headless::DeviceRemoved();
  EXPECT_TRUE(seen.empty()) << "posted, not sent";
  headless::RunPending();
  std::vector<std::pair<Window, FirstParam>> expected{{b, device_event::kRemovalComplete},
                                                      {a, device_event::kRemovalComplete}};
  std::sort(seen.begin(), seen.end(),
            [](const auto& x, const auto& y) { return x.first.Value() > y.first.Value(); });
  EXPECT_EQ(seen, expected);
}

TEST_F(Screen, MountTableWatchPostsRemovalAndArrival) {
  Window w = Popup({0, 0, 50, 50});
  std::filesystem::path table =
      std::filesystem::path(::testing::TempDir()) / ("mounts_" + std::to_string(::getpid()));
  auto write = [&](const char* text) { std::ofstream(table) << text; };
  write("/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cdrom iso9660 ro 0 0\n");
  MountTableWatch watch(table.string());
  EXPECT_TRUE(watch.MountPoints().contains("/media/cdrom"));
  std::vector<FirstParam> events;
  Hook() = [&](Window target, std::uint32_t code, FirstParam first, SecondParam, bool&) {
    if (target == w && code == msg::kDeviceChange) events.push_back(first);
    return Answer{0};
  };
  EXPECT_FALSE(watch.Check());
  write("/dev/sda1 / ext4 rw 0 0\n");
  EXPECT_TRUE(watch.Check());
  write("/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cdrom iso9660 ro 0 0\n");
  EXPECT_TRUE(watch.Check());
  headless::RunPending();
  EXPECT_EQ(events,
            (std::vector<FirstParam>{device_event::kRemovalComplete, device_event::kArrival}));
  std::filesystem::remove(table);
}

struct KeyMapRow {
  char latin;
  std::string_view russian;
};

class RussianKeys : public ::testing::TestWithParam<KeyMapRow> {};

TEST_P(RussianKeys, FollowTheRussianLayout) {
  EXPECT_EQ(RussianCharacterFor(GetParam().latin), GetParam().russian.at(0));
}

INSTANTIATE_TEST_SUITE_P(Table, RussianKeys,
                         ::testing::Values(KeyMapRow{'q', "й"_cp}, KeyMapRow{'Q', "Й"_cp},
                                           KeyMapRow{'[', "х"_cp}, KeyMapRow{'\'', "э"_cp},
                                           KeyMapRow{'`', "ё"_cp}, KeyMapRow{'~', "Ё"_cp},
                                           KeyMapRow{'.', "ю"_cp}, KeyMapRow{'/', "."},
                                           KeyMapRow{'?', ","}, KeyMapRow{'#', "№"_cp},
                                           KeyMapRow{'1', "1"}, KeyMapRow{'\xE9', "\xE9"}));

TEST_F(Screen, TheLanguageRequestSwitchesTheKeyMapAndAltShiftTogglesIt) {
  Window w = Popup({0, 0, 50, 50});
  SetFocus(w);
  auto typed = [&](std::string_view text) {
    Log().clear();
    headless::Type(text);
    headless::RunPending();
    std::string out;
    for (const Seen& s : Only({msg::kChar})) out += static_cast<char>(s.first);
    return out;
  };
  EXPECT_EQ(typed("ghbdtn"), "ghbdtn");
  SendMessage(w, msg::kInputLanguageRequest, 1, kRussianLayout);  // the default procedure
  EXPECT_TRUE(RussianKeyMap());
  EXPECT_EQ(typed("ghbdtn"), std::string("привет"_cp));
  EXPECT_EQ(typed("привет"_cp), std::string("привет"_cp)) << "Cyrillic from the host passes";
  headless::KeyDown(key::kAlt);
  headless::KeyDown(key::kShift);
  headless::KeyUp(key::kShift);
  headless::KeyUp(key::kAlt);
  EXPECT_EQ(typed("ok"), "ok");
}

TEST_F(Screen, AClickOnAWindowDisabledByItsPopupActivatesThePopup) {
  Window owner = Popup({0, 0, 200, 200});
  Window box = Popup({50, 50, 100, 100}, owner);
  Window other = Popup({210, 0, 300, 100});
  EnableWindow(owner, false);
  SetActiveWindow(other);
  Log().clear();
  headless::Click({10, 10});
  headless::RunPending();
  EXPECT_EQ(ActiveWindow(), box);
  EXPECT_TRUE(Codes(owner, {msg::kLeftDown}).empty()) << "the disabled window gets no press";
}

}  // namespace
