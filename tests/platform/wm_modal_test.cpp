// The layer's message box and menus: modality, answers, the command after the menu, and a
// screenshot of a busy screen.
#include <filesystem>

#include "plat/clipboard.h"
#include "plat/cp1251.h"
#include "plat/menu.h"
#include "plat/message_box.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using namespace plat::cp1251::literals;
using wmtest::Log;
using wmtest::Screen;
using wmtest::Seen;

Point Centre(const Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(Screen, MessageBoxDisablesItsOwnerWhileItRuns) {
  Window owner = Popup({0, 0, 100, 100});
  Window other = Popup({150, 0, 250, 100});
  SetActiveWindow(owner);
  int calls = 0;
  headless::SetModalScript([&](const ModalView& view) {
    ++calls;
    EXPECT_EQ(view.kind, ModalView::Kind::MessageBox);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(ActiveWindow(), view.window);
    return false;  // the default answer: OK
  });
  Log().clear();
  EXPECT_EQ(RunMessageBox(owner, "Text"_cp, "Error", 0), message_box::kAnswerOk);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(ActiveWindow(), owner);
  EXPECT_EQ(Codes(owner, {msg::kCancelMode}).size(), 1u) << "the active window is told first";
}

TEST_F(Screen, SystemModalBoxDisablesEveryWindowAndStaysOnTop) {
  Window a = Popup({0, 0, 100, 100});
  Window b = Popup({150, 0, 250, 100}, {}, true, "Rec", extended_style::kTopmost);
  headless::SetModalScript([&](const ModalView& view) {
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_FALSE(IsWindowEnabled(b));
    EXPECT_TRUE(IsTopmost(view.window));
    return false;
  });
  RunMessageBox(a, "Disk", "Title", message_box::kSystemModal);
  EXPECT_TRUE(IsWindowEnabled(a));
  EXPECT_TRUE(IsWindowEnabled(b));
}

TEST_F(Screen, ClickingOkEndsTheBoxAndEveryBoxIsRecorded) {
  int calls = 0;
  headless::SetModalScript([&](const ModalView& view) {
    if (++calls > 1) return false;
    headless::Click(Centre(view.itemRects.at(0)));
    return true;
  });
  // The statistics library's entry point reaches the same box.
  ShowMessageBox("Can't open file for writing.....", "ERROR", 0);
  EXPECT_EQ(calls, 1) << "the click answered it";
  ASSERT_EQ(headless::ModalRecords().size(), 1u);
  EXPECT_EQ(headless::ModalRecords()[0].caption, "ERROR");
}

TEST_F(Screen, QuitDuringAMessageBoxEndsItAndReachesTheOuterLoop) {
  headless::SetModalScript([](const ModalView&) {
    PostQuit(4);
    return true;
  });
  RunMessageBox({}, "x", "y", 0);
  Message m;
  ASSERT_TRUE(NextMessage(m));
  EXPECT_EQ(m.code, msg::kQuit);
  EXPECT_EQ(m.first, 4u);
}

TEST_F(Screen, TimersKeepFiringInsideAModalLoop) {
  Window w = Popup({0, 0, 100, 100});
  StartTimer(w, 116, 100);
  int calls = 0;
  headless::SetModalScript([&](const ModalView&) {
    if (++calls > 3) return false;
    headless::Advance(100);
    return true;
  });
  Log().clear();
  RunMessageBox(w, "x", "y", 0);
  EXPECT_EQ(Codes(w, {msg::kTimer}).size(), 3u);
}

// ---- menus ----

class Menus : public Screen {
 protected:
  void SetUp() override {
    Screen::SetUp();
    owner_ = Popup({0, 0, 200, 200});
    PopupMenu& menu = SharedPopupMenu();
    menu.Clear();
    menu.AddItem(1300, "Копировать"_cp);
    menu.AddSeparator();
    menu.AddItem(1302, "Печать"_cp, false);
    menu.AddItem(1303, "Свойства"_cp);
    headless::RunPending();
  }
  std::uint32_t Track(std::function<bool(const ModalView&)> script) {
    headless::SetModalScript(std::move(script));
    Log().clear();
    return TrackPopupMenu(SharedPopupMenu(), {20, 20}, owner_);
  }
  Window owner_;
};

TEST_F(Menus, ChosenIdComesBackAsACommandAfterTheMenuClosed) {
  Window menuWindow;
  int calls = 0;
  std::uint32_t chosen = Track([&](const ModalView& view) {
    if (calls++) return false;
    menuWindow = view.window;
    EXPECT_EQ(view.text, "Копировать|-|Печать|Свойства"_cp);
    headless::MovePointer(Centre(view.itemRects[3]));
    headless::Click(Centre(view.itemRects[3]));
    return true;
  });
  EXPECT_EQ(chosen, 1303u);
  EXPECT_FALSE(IsWindow(menuWindow));
  EXPECT_TRUE(Only({msg::kCommand}).empty()) << "posted, not sent";
  headless::RunPending();
  EXPECT_EQ(Only({msg::kCommand}), (std::vector<Seen>{{owner_, msg::kCommand, 1303, 0}}));
}

struct MenuRow {
  const char* name;
  std::function<void(const ModalView&)> act;
  std::uint32_t chosen;
};

class MenuAnswers : public Menus, public ::testing::WithParamInterface<MenuRow> {};

TEST_P(MenuAnswers, EndAsTheUserDid) {
  int calls = 0;
  std::uint32_t chosen = Track([&](const ModalView& view) {
    if (calls++) return false;  // then the default: cancel
    GetParam().act(view);
    return true;
  });
  EXPECT_EQ(chosen, GetParam().chosen);
  headless::RunPending();
  EXPECT_EQ(Only({msg::kCommand}).size(), chosen ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuAnswers,
    ::testing::Values(
        MenuRow{"Escape", [](const ModalView&) { headless::KeyPress(key::kEscape); }, 0},
        MenuRow{"ClickOutside",
                [](const ModalView&) {
                  headless::Click({190, 190});
                },
                0},
        MenuRow{"GreyItem",
                [](const ModalView& v) {
                  headless::MovePointer(Centre(v.itemRects[2]));
                  headless::Click(Centre(v.itemRects[2]));
                },
                0},
        MenuRow{"Separator",
                [](const ModalView& v) {
                  headless::MovePointer(Centre(v.itemRects[1]));
                  headless::Click(Centre(v.itemRects[1]));
                },
                0},
        MenuRow{"KeysSkipGreyAndSeparator",
                [](const ModalView&) {
                  headless::KeyPress(key::kDown);
                  headless::KeyPress(key::kDown);
                  headless::KeyPress(key::kEnter);
                },
                1303},
        MenuRow{"ReleaseOfTheOpeningPress",
                [](const ModalView& v) { headless::Release(Centre(v.itemRects[0])); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, SystemMenuGreysByStateAndSendsInitMenuFirst) {
  WindowCreateInfo parameters;
  parameters.className = "Rec";
  parameters.style = window_style::kPopup | window_style::kVisible | window_style::kMinimizeBox;
  parameters.frame = {0, 0, 100, 100};
  Window w = CreateWindow(parameters);
  std::vector<bool> states;
  headless::SetModalScript([&](const ModalView& view) {
    if (!states.empty()) return false;
    EXPECT_EQ(Codes(w, {msg::kInitMenu}).size(), 1u);
    for (const MenuItem& item : SystemMenu(w).Items()) states.push_back(item.enabled);
    headless::MovePointer(Centre(view.itemRects.back()));
    headless::Click(Centre(view.itemRects.back()));
    return true;
  });
  EXPECT_EQ(TrackSystemMenu(w, {10, 10}), system_command::kClose);
  // Restore, move, size, minimise, maximise, separator, close.
  EXPECT_EQ(states, (std::vector<bool>{false, true, false, true, false, true, true}));
  headless::RunPending();
  EXPECT_FALSE(IsWindow(w)) << "close arrives as a system command and the default destroys";
}

TEST_F(Screen, ClipboardKeepsTextAndOpaqueFormatsApart) {
  PutClipboardText("Строка\r\nвторая"_cp);
  PutClipboard(ClipboardFormat::Picture, {1, 2, 3});
  EXPECT_EQ(ClipboardText(), std::string("Строка\r\nвторая"_cp));
  EXPECT_TRUE(ClipboardHas(ClipboardFormat::Picture));
  EXPECT_FALSE(ClipboardHas(ClipboardFormat::RichCopy));
  ClearClipboard();
  EXPECT_FALSE(ClipboardText());
}

// ---- the whole picture ----

class Scene : public Screen {
 protected:
  static Answer Painter(Window w, std::uint32_t code, FirstParam a, SecondParam b) {
    if (code != msg::kPaint) return DefaultProcedure(w, code, a, b);
    PaintScope scope(w);
    Canvas& canvas = scope.GetCanvas();
    canvas.SetBackMode(BackgroundMode::Transparent);
    canvas.SetTextColour(0);
    Rect r = ClientRect(w);
    canvas.FrameRect(r, Brush::Black());
    Rect text{4, 4, r.right - 4, r.bottom - 4};
    canvas.DrawText(WindowText(w), text, text_format::kWordBreak);
    return 0;
  }
  void SetUp() override {
    headless::Start({480, 320});
    int index = 0;
    for (Colour c : {0x00E0C8A0u, 0x00A0D8F0u, 0x00C0F0C0u, 0x00F0C0E0u}) {
      WindowClassInfo parameters;
      parameters.name = "Scene" + std::to_string(index++);
      parameters.background = Brush::Solid(c);
      parameters.procedure = &Painter;
      RegisterWindowClass(parameters);
    }
  }
  static Window Make(const char* cls, const char* text, std::uint32_t style, Rect frame,
                     Window parent) {
    WindowCreateInfo parameters;
    parameters.className = cls;
    parameters.text = text;
    parameters.style = style | window_style::kVisible;
    parameters.frame = frame;
    parameters.parent = parent;
    return CreateWindow(parameters);
  }
};

TEST_F(Scene, TwoPopupsWithChildrenAMessageBoxAndAMenu) {
  Window first =
      Make("Scene0", "Первое окно"_cp.data(), window_style::kPopup, {20, 20, 240, 200}, {});
  Make("Scene2", "Дочернее 1"_cp.data(), window_style::kChild, {20, 60, 160, 140}, first);
  Window second =
      Make("Scene1", "Второе окно"_cp.data(), window_style::kPopup, {150, 90, 400, 280}, {});
  Make("Scene3", "Дочернее 2"_cp.data(), window_style::kChild, {-30, 60, 120, 150}, second);
  headless::RunPending();
  // The second window overlaps the first; its child is clipped to it.
  EXPECT_EQ(WindowAtPoint({160, 100}), second);

  std::string folder = ::testing::TempDir();
  std::string boxShot = folder + "wm_scene_box.png";
  std::string menuShot = folder + "wm_scene_menu.png";
  headless::SetModalScript([&](const ModalView& view) {
    headless::Screenshot(view.kind == ModalView::Kind::Menu ? menuShot : boxShot);
    return false;
  });
  RunMessageBox(first,
                "Для продолжения работы энциклопедии необходимо вставить диск 2 и нажать ОК"_cp,
                "Энциклопедия"_cp, message_box::kIconInformation);
  PopupMenu& menu = SharedPopupMenu();
  menu.Clear();
  menu.AddItem(1300, "Копировать"_cp);
  menu.AddSeparator();
  menu.AddItem(1302, "Печать"_cp, false);
  TrackPopupMenu(menu, {300, 40}, second);
  EXPECT_TRUE(std::filesystem::file_size(boxShot) > 0);
  EXPECT_TRUE(std::filesystem::file_size(menuShot) > 0);
  if (const char* keep = std::getenv("LEXO_SCREENSHOT_DIR")) {
    std::filesystem::copy_file(boxShot, std::string(keep) + "/wm_scene_box.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(menuShot, std::string(keep) + "/wm_scene_menu.png",
                               std::filesystem::copy_options::overwrite_existing);
  }
}

// The same script gives the same pixels.
TEST_F(Scene, HeadlessRunsAreDeterministic) {
  auto run = [] {
    Window w = Make("Scene0", "Окно"_cp.data(), window_style::kPopup, {10, 10, 200, 100}, {});
    Make("Scene1", "", window_style::kChild, {5, 5, 50, 50}, w);
    headless::RunPending();
    std::vector<Colour> pixels;
    for (int y = 0; y < 120; y += 3) {
      for (int x = 0; x < 220; x += 3) pixels.push_back(headless::PixelAt({x, y}));
    }
    return pixels;
  };
  std::vector<Colour> once = run();
  headless::Stop();
  SetUp();
  EXPECT_EQ(run(), once);
}

}  // namespace
