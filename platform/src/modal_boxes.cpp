// The layer's own modal windows: the message box and the pop-up menus, drawn plainly with a
// Cyrillic interface font, each running a nested message loop.
#include <algorithm>
#include <functional>

#include "plat/cp1251.h"
#include "plat/font.h"
#include "plat/input.h"
#include "plat/menu.h"
#include "plat/message_box.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "window_manager.h"

namespace plat {

using namespace cp1251::literals;
using wm::Manager;

namespace {

constexpr std::string_view kMessageBoxClass = "#MessageBox";
constexpr std::string_view kMenuClass = "#PopupMenu";

constexpr Colour kFace = 0x00F0F0F0;
constexpr Colour kEdge = 0x00606060;
constexpr Colour kCaptionBar = 0x00804A1E;  // 0x00BBGGRR: a dark blue
constexpr Colour kHighlight = 0x00D77800;
constexpr Colour kGreyText = 0x00A0A0A0;
constexpr int kCaptionHeight = 22;
constexpr int kMenuItemHeight = 20;
constexpr int kMenuSeparatorHeight = 8;

}  // namespace

namespace wm {

// ---- nested loop ----

// Runs until `finished`; `filter` may take messages before they are dispatched. A quit
// request ends the loop and is posted again for the loop outside.
void RunNestedLoop(wm::ModalFrame& frame, const std::function<bool()>& finished,
                   const std::function<bool(const Message&)>& filter) {
  Manager& m = wm::Get();
  m.modalStack.push_back(&frame);
  while (!finished()) {
    Message message;
    if (NextMessage(message, true)) {
      if (message.code == msg::kQuit) {
        PostQuit(static_cast<int>(message.first));
        break;
      }
      if (filter && filter(message)) continue;
      TranslateKeys(message);
      Dispatch(message);
      continue;
    }
    if (wm::Get().backend->AnswerModal(frame.view)) continue;
    WaitForMessage();
  }
  wm::Get().modalStack.pop_back();
}

}  // namespace wm

namespace {

using wm::RunNestedLoop;

// ---- message box ----

struct BoxState {
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
  Rect textRect;
  std::vector<Rect> buttons;
  std::vector<std::string> labels;
  std::vector<int> answers;
  int defaultButton = 0;
  int pressed = -1;
  int answer = message_box::kAnswerOk;
  bool done = false;

  void Finish(int index) {
    answer = answers[static_cast<std::size_t>(index)];
    done = true;
  }
  // Escape answers the last button: OK, or No.
  void Dismiss() { Finish(static_cast<int>(answers.size()) - 1); }
  int ButtonAt(Point p) const {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].Contains(p)) return static_cast<int>(i);
    }
    return -1;
  }
};

BoxState* BoxOf(Window window) {
  return reinterpret_cast<BoxState*>(WindowSlot(window));
}

void DrawFrameBox(Canvas& canvas, const Rect& r, Colour fill, Colour edge) {
  canvas.FillRect(r, Brush::Solid(fill));
  canvas.FrameRect(r, Brush::Solid(edge));
}

void PaintBox(Window window, BoxState& box, Canvas& canvas) {
  Rect client = ClientRect(window);
  canvas.SelectFont(wm::LayerFont());
  DrawFrameBox(canvas, client, kFace, kEdge);
  canvas.FillRect({1, 1, client.right - 1, kCaptionHeight}, Brush::Solid(kCaptionBar));
  canvas.SetBackMode(BackgroundMode::Transparent);
  canvas.SetTextColour(0x00FFFFFF);
  Rect caption{8, 1, client.right - 8, kCaptionHeight};
  canvas.DrawText(box.caption, caption,
                  text_format::kSingleLine | text_format::kVerticalCentre | text_format::kNoPrefix);
  if (box.flags & (message_box::kIconWarning | message_box::kIconInformation)) {
    bool warning = (box.flags & 0x70) == message_box::kIconWarning;
    Rect icon{14, box.textRect.top, 14 + 24, box.textRect.top + 24};
    DrawFrameBox(canvas, icon, warning ? 0x0000C0F0 : 0x00C07020, kEdge);
    canvas.SetTextColour(warning ? 0 : 0x00FFFFFF);
    canvas.DrawText(warning ? "!" : "i", icon,
                    text_format::kSingleLine | text_format::kCentre | text_format::kVerticalCentre);
  }
  canvas.SetTextColour(0);
  Rect text = box.textRect;
  canvas.DrawText(box.text, text, text_format::kWordBreak | text_format::kNoPrefix);
  for (std::size_t i = 0; i < box.buttons.size(); ++i) {
    bool down = box.pressed == static_cast<int>(i);
    Rect button = box.buttons[i];
    DrawFrameBox(canvas, button, down ? 0x00D8D8D8 : 0x00FAFAFA, kEdge);
    if (static_cast<int>(i) == box.defaultButton) {
      canvas.FrameRect({button.left + 1, button.top + 1, button.right - 1, button.bottom - 1},
                       Brush::Solid(kEdge));
    }
    Rect label = down ? button.Offset(1, 1) : button;
    canvas.DrawText(box.labels[i], label,
                    text_format::kSingleLine | text_format::kCentre | text_format::kVerticalCentre);
  }
}

Answer BoxProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  BoxState* box = BoxOf(window);
  if (!box) return DefaultProcedure(window, code, first, second);
  switch (code) {
    case msg::kEraseBackground:
      PaintBox(window, *box, *reinterpret_cast<Canvas*>(first));
      return 1;
    case msg::kHitTest: {
      Point p = ScreenToClient(window, UnpackPoint(second));
      return static_cast<Answer>(p.y < kCaptionHeight ? HitArea::Caption : HitArea::Client);
    }
    case msg::kLeftDown: {
      int index = box->ButtonAt(UnpackPoint(second));
      if (index >= 0) {
        box->pressed = index;
        SetCapture(window);
        Invalidate(window, &box->buttons[static_cast<std::size_t>(index)], true);
      }
      return 0;
    }
    case msg::kLeftUp:
      if (box->pressed >= 0) {
        int index = box->pressed;
        box->pressed = -1;
        ReleaseCapture();
        Invalidate(window, &box->buttons[static_cast<std::size_t>(index)], true);
        if (box->ButtonAt(UnpackPoint(second)) == index) box->Finish(index);
      }
      return 0;
    case msg::kKeyDown:
      if (first == static_cast<FirstParam>(key::kEnter) ||
          first == static_cast<FirstParam>(key::kSpace)) {
        box->Finish(box->defaultButton);
      } else if (first == static_cast<FirstParam>(key::kEscape)) {
        box->Dismiss();
      }
      return 0;
    case msg::kClose:
      box->Dismiss();
      return 0;
    default:
      return DefaultProcedure(window, code, first, second);
  }
}

// ---- menus ----

struct MenuState {
  const PopupMenu* menu = nullptr;
  std::vector<Rect> items;  // client coordinates
  int hot = -1;
};

MenuState* MenuOf(Window window) {
  return reinterpret_cast<MenuState*>(WindowSlot(window));
}

bool Selectable(const MenuState& state, int index) {
  if (index < 0 || index >= static_cast<int>(state.items.size())) return false;
  const MenuItem& item = state.menu->Items()[static_cast<std::size_t>(index)];
  return !item.separator && item.enabled;
}

Answer MenuProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  MenuState* state = MenuOf(window);
  if (!state || code != msg::kEraseBackground) return DefaultProcedure(window, code, first, second);
  Canvas& canvas = *reinterpret_cast<Canvas*>(first);
  Rect client = ClientRect(window);
  canvas.SelectFont(wm::LayerFont());
  DrawFrameBox(canvas, client, kFace, kEdge);
  canvas.SetBackMode(BackgroundMode::Transparent);
  for (std::size_t i = 0; i < state->items.size(); ++i) {
    const MenuItem& item = state->menu->Items()[i];
    Rect r = state->items[i];
    if (item.separator) {
      int y = (r.top + r.bottom) / 2;
      canvas.FillRect({r.left + 4, y, r.right - 4, y + 1}, Brush::Solid(kGreyText));
      continue;
    }
    bool hot = static_cast<int>(i) == state->hot;
    if (hot) canvas.FillRect(r, Brush::Solid(kHighlight));
    canvas.SetTextColour(!item.enabled ? kGreyText : hot ? 0x00FFFFFF : 0);
    Rect text{r.left + 20, r.top, r.right - 8, r.bottom};
    canvas.DrawText(
        item.text, text,
        text_format::kSingleLine | text_format::kVerticalCentre | text_format::kNoPrefix);
  }
  return 1;
}

void SetHot(Window window, MenuState& state, int index) {
  if (state.hot == index) return;
  for (int i : {state.hot, index}) {
    if (i >= 0) Invalidate(window, &state.items[static_cast<std::size_t>(i)], true);
  }
  state.hot = index;
}

int ItemAt(const MenuState& state, Point client) {
  for (std::size_t i = 0; i < state.items.size(); ++i) {
    if (state.items[i].Contains(client)) return static_cast<int>(i);
  }
  return -1;
}

std::uint32_t RunMenu(const PopupMenu& menu, Point screen, Window owner,
                      std::uint32_t resultMessage) {
  Manager& m = wm::Get();
  if (menu.Items().empty()) return 0;
  if (Window active = ActiveWindow()) SendMessage(active, msg::kCancelMode);

  MenuState state;
  state.menu = &menu;
  Canvas measure;
  measure.SelectFont(wm::LayerFont());
  int width = 120;
  int y = 2;
  for (const MenuItem& item : menu.Items()) {
    int height = item.separator ? kMenuSeparatorHeight : kMenuItemHeight;
    state.items.push_back({2, y, 0, y + height});
    y += height;
    if (!item.separator) width = std::max(width, measure.TextExtent(item.text).width + 48);
  }
  for (Rect& r : state.items) r.right = width - 2;
  Rect frame{screen.x, screen.y, screen.x + width, screen.y + y + 2};
  Rect work = WorkArea();
  if (frame.right > work.right) frame = frame.Offset(work.right - frame.right, 0);
  if (frame.bottom > work.bottom) frame = frame.Offset(0, work.bottom - frame.bottom);
  if (frame.left < work.left) frame = frame.Offset(work.left - frame.left, 0);
  if (frame.top < work.top) frame = frame.Offset(0, work.top - frame.top);

  Window window = CreateWindow({std::string(kMenuClass), "", window_style::kPopup,
                                extended_style::kTopmost, frame, owner, 0, nullptr});
  if (!window) return 0;
  SetWindowSlot(window, reinterpret_cast<std::uintptr_t>(&state));
  Placement placement;
  placement.order = ZOrder::Topmost;
  placement.noActivate = true;
  placement.show = true;
  PlaceWindow(window, placement);
  SetCapture(window);

  wm::ModalFrame modal;
  modal.view.kind = ModalView::Kind::Menu;
  modal.view.window = window;
  for (const MenuItem& item : menu.Items()) {
    if (!modal.view.text.empty()) modal.view.text += '|';
    modal.view.text += item.separator ? "-" : item.text;
  }
  for (const Rect& r : state.items) modal.view.itemRects.push_back(r.Offset(frame.left, frame.top));

  bool done = false;
  std::uint32_t chosen = 0;
  bool moved = false;
  auto choose = [&](int index) {
    if (!Selectable(state, index)) return;
    chosen = menu.Items()[static_cast<std::size_t>(index)].id;
    done = true;
  };
  auto filter = [&](const Message& message) {
    if (!IsWindow(window)) {
      done = true;
      return false;
    }
    switch (message.code) {
      case msg::kMouseMove:
      case msg::kLeftDown:
      case msg::kLeftUp:
      case msg::kRightDown:
      case msg::kRightUp:
      case msg::kLeftDouble:
      case msg::kRightDouble: {
        if (message.window != window) return false;
        Point p = UnpackPoint(message.second);
        bool inside = ClientRect(window).Contains(p);
        int index = ItemAt(state, p);
        if (message.code == msg::kMouseMove) {
          moved = true;
          SetHot(window, state, Selectable(state, index) ? index : -1);
        } else if (!inside && (message.code == msg::kLeftDown || message.code == msg::kRightDown)) {
          done = true;
        } else if (message.code == msg::kLeftDown || message.code == msg::kLeftDouble) {
          moved = true;
        } else if (message.code == msg::kLeftUp && moved) {
          choose(index);
        }
        return true;
      }
      case msg::kCaptureChanged:
        if (message.window == window) done = true;
        return false;
      case msg::kKeyDown:
      case msg::kSystemKeyDown: {
        int code = static_cast<int>(message.first);
        int count = static_cast<int>(state.items.size());
        if (code == key::kEscape) {
          done = true;
        } else if (code == key::kEnter) {
          choose(state.hot);
        } else if (code == key::kDown || code == key::kUp) {
          int step = code == key::kDown ? 1 : -1;
          int index = state.hot;
          for (int tries = 0; tries < count; ++tries) {
            index = ((index < 0 && step < 0 ? count : index) + step + count) % count;
            if (Selectable(state, index)) break;
          }
          if (Selectable(state, index)) SetHot(window, state, index);
        }
        return true;
      }
      case msg::kChar:
      case msg::kKeyUp:
      case msg::kSystemKeyUp:
      case msg::kSystemChar:
        return true;
      default:
        return false;
    }
  };
  RunNestedLoop(
      modal, [&] { return done || !IsWindow(window); }, filter);

  if (CaptureWindow() == window) {
    m.capture = {};  // the menu ends quietly: nobody else held it
  }
  DestroyWindow(window);
  m.modalRecords.push_back({ModalView::Kind::Menu, modal.view.text, "", 0, chosen});
  if (chosen) PostMessage(owner, resultMessage, chosen, 0);
  return chosen;
}

}  // namespace

// ---- PopupMenu ----

void PopupMenu::AddItem(std::uint32_t id, std::string_view text, bool enabled) {
  items_.push_back({id, std::string(text), false, enabled});
}

void PopupMenu::AddSeparator() {
  items_.push_back({0, "", true, true});
}

void PopupMenu::InsertItem(std::size_t position, std::uint32_t id, std::string_view text) {
  position = std::min(position, items_.size());
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position),
                {id, std::string(text), false, true});
}

bool PopupMenu::RemoveItem(std::uint32_t id) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [id](const MenuItem& item) { return !item.separator && item.id == id; });
  if (it == items_.end()) return false;
  items_.erase(it);
  return true;
}

bool PopupMenu::SetEnabled(std::uint32_t id, bool enabled) {
  bool found = false;
  for (MenuItem& item : items_) {
    if (!item.separator && item.id == id) {
      item.enabled = enabled;
      found = true;
    }
  }
  return found;
}

PopupMenu& SharedPopupMenu() {
  static PopupMenu menu;
  return menu;
}

PopupMenu& SystemMenu(Window window) {
  static PopupMenu none;
  wm::WindowRecord* w = wm::Get().Find(window);
  if (!w) {
    none.Clear();
    return none;
  }
  if (!w->systemMenu) {
    w->systemMenu = std::make_unique<PopupMenu>();
    PopupMenu& menu = *w->systemMenu;
    menu.AddItem(system_command::kRestore, "Восстановить"_cp);
    menu.AddItem(system_command::kMove, "Переместить"_cp);
    menu.AddItem(system_command::kSize, "Размер"_cp);
    menu.AddItem(system_command::kMinimize, "Свернуть"_cp);
    menu.AddItem(system_command::kMaximize, "Развернуть"_cp);
    menu.AddSeparator();
    menu.AddItem(system_command::kClose, "Закрыть"_cp);
  }
  return *w->systemMenu;
}

void ResetSystemMenu(Window window) {
  if (wm::WindowRecord* w = wm::Get().Find(window)) w->systemMenu.reset();
}

std::uint32_t TrackPopupMenu(const PopupMenu& menu, Point screen, Window owner) {
  // The menu may be changed by whoever handles messages meanwhile: track a copy.
  PopupMenu copy = menu;
  return RunMenu(copy, screen, owner, msg::kCommand);
}

std::uint32_t TrackSystemMenu(Window window, Point screen) {
  wm::WindowRecord* w = wm::Get().Find(window);
  if (!w) return 0;
  PopupMenu& menu = SystemMenu(window);
  bool minimized = w->minimized;
  bool maximized = w->maximized;
  menu.SetEnabled(system_command::kRestore, minimized || maximized);
  menu.SetEnabled(system_command::kMove, !maximized);
  menu.SetEnabled(system_command::kSize, false);  // windows have no sizing border of the layer's
  menu.SetEnabled(system_command::kMinimize,
                  (w->style & window_style::kMinimizeBox) != 0 && !minimized);
  menu.SetEnabled(system_command::kMaximize,
                  (w->style & window_style::kMaximizeBox) != 0 && !maximized);
  menu.SetEnabled(system_command::kClose, true);
  SendMessage(window, msg::kInitMenu, reinterpret_cast<FirstParam>(&menu), 0);
  if (!IsWindow(window)) return 0;
  PopupMenu copy = SystemMenu(window);
  return RunMenu(copy, screen, window, msg::kSystemCommand);
}

// ---- message box ----

int RunMessageBox(Window owner, std::string_view text, std::string_view caption,
                  std::uint32_t flags) {
  Manager& m = wm::Get();
  if (owner && !IsWindow(owner)) owner = {};
  if (Window active = ActiveWindow()) SendMessage(active, msg::kCancelMode);

  BoxState box;
  box.text = std::string(text);
  box.caption = std::string(caption);
  box.flags = flags;
  bool withIcon = (flags & (message_box::kIconWarning | message_box::kIconInformation)) != 0;
  Canvas measure;
  measure.SelectFont(wm::LayerFont());
  Rect textSize{0, 0, 360, 0};
  measure.DrawText(box.text, textSize,
                   text_format::kWordBreak | text_format::kCalculateRect | text_format::kNoPrefix);
  int textLeft = withIcon ? 52 : 16;
  int width =
      std::max({textSize.Width() + textLeft + 16, measure.TextExtent(box.caption).width + 32, 180});
  int textTop = kCaptionHeight + 14;
  int textHeight = std::max(textSize.Height(), withIcon ? 24 : 0);
  int height = textTop + textHeight + 14 + 24 + 12;
  box.textRect = {textLeft, textTop, textLeft + textSize.Width() + 1, textTop + textHeight};
  if (flags & message_box::kYesNo) {
    box.labels = {std::string("Да"_cp), std::string("Нет"_cp)};
    box.answers = {message_box::kAnswerYes, message_box::kAnswerNo};
    box.defaultButton = (flags & message_box::kDefaultSecond) ? 1 : 0;
  } else {
    box.labels = {"OK"};
    box.answers = {message_box::kAnswerOk};
  }
  int count = static_cast<int>(box.labels.size());
  int row = count * 76 + (count - 1) * 10;
  width = std::max(width, row + 32);
  for (int i = 0; i < count; ++i) {
    int x = (width - row) / 2 + i * 86;
    box.buttons.push_back({x, height - 12 - 24, x + 76, height - 12});
  }
  Rect work = WorkArea();
  int left = work.left + std::max(0, (work.Width() - width) / 2);
  int top = work.top + std::max(0, (work.Height() - height) / 2);

  // Modal over its owner, or over everything when system-modal.
  std::vector<Window> disabled;
  auto disable = [&](Window w) {
    if (IsWindow(w) && IsWindowEnabled(w)) {
      EnableWindow(w, false);
      disabled.push_back(w);
    }
  };
  if (flags & message_box::kSystemModal) {
    for (Window t : TopLevelWindows()) disable(t);
  } else if (owner) {
    disable(TopLevelOf(owner));
  }
  std::uint32_t exStyle = (flags & message_box::kSystemModal) ? extended_style::kTopmost : 0;
  Window window = CreateWindow({std::string(kMessageBoxClass),
                                box.caption,
                                window_style::kPopup,
                                exStyle,
                                {left, top, left + width, top + height},
                                owner,
                                0,
                                nullptr});
  if (window) {
    SetWindowSlot(window, reinterpret_cast<std::uintptr_t>(&box));
    ShowWindow(window, ShowMode::Show);
    wm::ModalFrame modal;
    modal.view = {ModalView::Kind::MessageBox, box.text, box.caption, window, {}};
    for (const Rect& r : box.buttons) modal.view.itemRects.push_back(r.Offset(left, top));
    RunNestedLoop(modal, [&] { return box.done || !IsWindow(window); }, {});
  }
  for (Window w : disabled) EnableWindow(w, true);
  if (window) {
    SetWindowSlot(window, 0);
    DestroyWindow(window);
  }
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  m.modalRecords.push_back({ModalView::Kind::MessageBox, box.text, box.caption, flags,
                            static_cast<std::uint32_t>(box.answer)});
  return box.answer;
}

namespace wm {

void RegisterInternalClasses() {
  RegisterWindowClass(
      {std::string(kMessageBoxClass), 0, CursorShape::Arrow, Brush::Null(), &BoxProcedure});
  RegisterWindowClass(
      {std::string(kMenuClass), 0, CursorShape::Arrow, Brush::Null(), &MenuProcedure});
  RegisterScrollBarClass();
  RegisterChooserClass();
  RegisterPlaceholderClass();
}

std::shared_ptr<const Font> LayerFont() {
  static std::shared_ptr<const Font> font = [] {
    FontDescription parameters;
    parameters.height = -12;
    parameters.face = "Arial Cyr";
    parameters.charset = 204;
    return Font::Create(parameters);
  }();
  return font;
}

}  // namespace wm
}  // namespace plat
