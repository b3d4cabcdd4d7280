// The layer's file and folder choosers: one window that paints itself in its erase step, with
// a standard scroll bar beside its list, running a nested loop like the message box.
#include "plat/file_chooser.h"

#include <algorithm>
#include <filesystem>

#include "plat/clipboard.h"
#include "plat/cp1251.h"
#include "plat/font.h"
#include "plat/input.h"
#include "plat/menu.h"
#include "plat/message_box.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/path.h"
#include "plat/scroll_bar.h"
#include "plat/system.h"
#include "window_manager.h"

namespace plat {

using namespace cp1251::literals;

namespace {

constexpr std::string_view kChooserClass = "#FileChooser";

constexpr Colour kFace = 0x00F0F0F0;
constexpr Colour kEdge = 0x00606060;
constexpr Colour kCaptionBar = 0x00804A1E;
constexpr Colour kHighlight = 0x00D77800;
constexpr Colour kQuietHighlight = 0x00D8D8D8;
constexpr Colour kFolderGlyph = 0x0040C8F0;
constexpr int kCaptionHeight = 22;
constexpr int kWidth = 460;
constexpr int kRowHeight = 18;
constexpr int kVisibleRows = 11;
constexpr int kWheelRows = 3;

enum class Mode { SaveFile, Folder };
enum class Focus { Field, List, Filter };

struct Entry {
  std::string name;  // ".." for the parent
  bool folder = false;
};

struct Chooser {
  Mode mode = Mode::SaveFile;
  SaveFileRequest request;
  std::string folder;  // program form, trailing backslash
  std::vector<Entry> entries;
  int selected = -1;
  int top = 0;
  std::string field;
  bool fieldSelected = true;  // the whole text is selected: typing replaces it
  std::size_t caret = 0;
  std::size_t filter = 0;
  Focus focus = Focus::Field;
  Window window;
  Window scrollBar;
  Rect folderRect, listRect, fieldRect, filterRect, okRect, cancelRect;
  int pressed = -1;  // 0 OK, 1 Cancel
  bool done = false;
  std::optional<std::string> result;

  int RowCount() const { return static_cast<int>(entries.size()); }
  int LastTop() const { return std::max(0, RowCount() - kVisibleRows); }
};

Chooser* ChooserOf(Window window) {
  return reinterpret_cast<Chooser*>(WindowSlot(window));
}

// ---- names and folders ----

bool WildMatch(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  auto same = [](char a, char b) {
    return cp1251::ToUpper(static_cast<unsigned char>(a)) ==
           cp1251::ToUpper(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string WithBackslash(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

bool IsAbsolute(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
         (path.size() >= 2 && path[1] == ':');
}

std::string Trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// Parent of a folder with a trailing backslash; nothing for the root.
std::optional<std::string> ParentOf(const std::string& folder) {
  if (folder.size() <= 1) return std::nullopt;
  std::size_t cut = folder.rfind('\\', folder.size() - 2);
  if (cut == std::string::npos) return std::nullopt;
  return folder.substr(0, cut + 1);
}

std::string CurrentPattern(const Chooser& c) {
  if (c.mode == Mode::Folder || c.request.filters.empty()) return "*";
  return c.request.filters[std::min(c.filter, c.request.filters.size() - 1)].pattern;
}

void Load(Chooser& c) {
  c.entries.clear();
  if (ParentOf(c.folder)) c.entries.push_back({"..", true});
  std::vector<Entry> folders, files;
  if (std::optional<std::string> host = ResolvePath(c.folder)) {
    std::error_code error;
    std::string pattern = CurrentPattern(c);
    for (std::filesystem::directory_iterator it(*host, error), end; !error && it != end;
         it.increment(error)) {
      std::string hostName = it->path().filename().string();
      if (hostName.empty() || hostName[0] == '.') continue;
      std::string name = cp1251::FromUtf8(hostName);
      // Names the code page cannot hold could not be opened again by the program.
      if (cp1251::ToUtf8(name) != hostName) continue;
      std::error_code kindError;
      bool folder = std::filesystem::is_directory(it->path(), kindError);
      if (folder) {
        folders.push_back({name, true});
      } else if (c.mode == Mode::SaveFile && MatchesPattern(name, pattern)) {
        files.push_back({name, false});
      }
    }
  }
  auto byName = [](const Entry& a, const Entry& b) {
    return cp1251::CompareNoCase(a.name, b.name) < 0;
  };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  c.entries.insert(c.entries.end(), folders.begin(), folders.end());
  c.entries.insert(c.entries.end(), files.begin(), files.end());
}

void SyncScrollBar(Chooser& c) {
  if (!IsWindow(c.scrollBar)) return;
  SetScrollRange(c.scrollBar, 0, std::max(0, c.RowCount() - 1), false);
  SetScrollPage(c.scrollBar, kVisibleRows, false);
  SetScrollPosition(c.scrollBar, c.top, false);
  Invalidate(c.scrollBar, nullptr, false);
}

void Changed(Chooser& c) {
  if (IsWindow(c.window)) Invalidate(c.window, nullptr, true);
}

void SetField(Chooser& c, std::string text, bool selected) {
  c.field = std::move(text);
  c.caret = c.field.size();
  c.fieldSelected = selected;
}

std::string FolderAnswer(const std::string& folder) {
  return folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
}

void Navigate(Chooser& c, const std::string& folder) {
  c.folder = WithBackslash(folder);
  Load(c);
  c.selected = -1;
  c.top = 0;
  if (c.mode == Mode::Folder) SetField(c, FolderAnswer(c.folder), true);
  SyncScrollBar(c);
  Changed(c);
}

void ScrollTo(Chooser& c, int top) {
  top = std::clamp(top, 0, c.LastTop());
  if (top == c.top) return;
  c.top = top;
  SyncScrollBar(c);
  Changed(c);
}

void Select(Chooser& c, int index) {
  if (c.entries.empty()) return;
  index = std::clamp(index, 0, c.RowCount() - 1);
  c.selected = index;
  if (index < c.top) ScrollTo(c, index);
  if (index >= c.top + kVisibleRows) ScrollTo(c, index - kVisibleRows + 1);
  const Entry& entry = c.entries[static_cast<std::size_t>(index)];
  if (c.mode == Mode::SaveFile && !entry.folder) SetField(c, entry.name, true);
  Changed(c);
}

void Warn(Chooser& c, std::string_view text) {
  RunMessageBox(c.window, text, c.request.title, message_box::kIconWarning);
}

// Enters a folder entry; true when the entry was one.
bool OpenEntry(Chooser& c, int index) {
  if (index < 0 || index >= c.RowCount()) return false;
  const Entry& entry = c.entries[static_cast<std::size_t>(index)];
  if (!entry.folder) return false;
  if (entry.name == "..") {
    if (std::optional<std::string> parent = ParentOf(c.folder)) Navigate(c, *parent);
  } else {
    Navigate(c, c.folder + entry.name);
  }
  return true;
}

void Accept(Chooser& c) {
  std::string name = Trimmed(c.field);
  if (name.empty()) {
    if (c.mode == Mode::Folder) {
      c.result = FolderAnswer(c.folder);
      c.done = true;
    } else {
      Beep();
    }
    return;
  }
  for (char& ch : name) {
    if (ch == '/') ch = '\\';
  }
  std::string full = IsAbsolute(name) ? name : c.folder + name;
  if (name == "..") {
    if (std::optional<std::string> parent = ParentOf(c.folder)) Navigate(c, *parent);
    if (c.mode == Mode::SaveFile) SetField(c, "", false);
    return;
  }
  if (c.mode == Mode::Folder) {
    if (!FolderExists(full)) {
      Warn(c, std::string("Папка не найдена: "_cp) + name);
      return;
    }
    c.result = FolderAnswer(WithBackslash(full));
    c.done = true;
    return;
  }
  if (FolderExists(full)) {
    Navigate(c, full);
    SetField(c, "", false);
    return;
  }
  std::string fileName(FileNameOf(full));
  if (fileName.empty() || fileName.find_first_of("*?") != std::string::npos) {
    Beep();
    return;
  }
  if (fileName.find('.') == std::string::npos && !c.request.defaultExtension.empty()) {
    full += "." + c.request.defaultExtension;
  }
  if (!FolderExists(FolderOf(full))) {
    Warn(c, std::string("Папка не найдена: "_cp) + std::string(FolderOf(full)));
    return;
  }
  if (c.request.confirmOverwrite && FileExists(full)) {
    std::string question = full + "\r\n" + std::string("Такой файл уже есть. Заменить его?"_cp);
    int answer = RunMessageBox(
        c.window, question, c.request.title,
        message_box::kYesNo | message_box::kIconWarning | message_box::kDefaultSecond);
    if (answer != message_box::kAnswerYes) return;
  }
  c.result = full;
  c.done = true;
}

void Cancel(Chooser& c) {
  c.result.reset();
  c.done = true;
}

// ---- layout and painting ----

void Lay(Chooser& c, int& height) {
  c.folderRect = {80, kCaptionHeight + 8, kWidth - 12, kCaptionHeight + 26};
  int listTop = c.folderRect.bottom + 6;
  c.listRect = {12, listTop, kWidth - 12, listTop + kVisibleRows * kRowHeight + 4};
  int row1 = c.listRect.bottom + 12;
  c.fieldRect = {100, row1, kWidth - 122, row1 + 22};
  c.okRect = {kWidth - 110, row1 - 1, kWidth - 12, row1 + 23};
  int row2 = row1 + 32;
  c.filterRect = {100, row2, kWidth - 122, row2 + 22};
  c.cancelRect = {kWidth - 110, row2 - 1, kWidth - 12, row2 + 23};
  height = row2 + 36;
}

void Box(Canvas& canvas, const Rect& r, Colour fill, Colour edge) {
  canvas.FillRect(r, Brush::Solid(fill));
  canvas.FrameRect(r, Brush::Solid(edge));
}

constexpr std::uint32_t kLine =
    text_format::kSingleLine | text_format::kVerticalCentre | text_format::kNoPrefix;

// The tail of a long path, led by an ellipsis.
std::string FitPath(const Canvas& canvas, const std::string& path, int width) {
  if (canvas.TextExtent(path).width <= width) return path;
  for (std::size_t cut = 1; cut < path.size(); ++cut) {
    std::string tail = "..." + path.substr(cut);
    if (canvas.TextExtent(tail).width <= width) return tail;
  }
  return "...";
}

void Glyph(Canvas& canvas, const Rect& row, bool folder) {
  int top = row.top + 4;
  if (folder) {
    canvas.FillRect({row.left + 4, top, row.left + 9, top + 2}, Brush::Solid(kFolderGlyph));
    Box(canvas, {row.left + 4, top + 2, row.left + 16, top + 11}, kFolderGlyph, 0x00207090);
  } else {
    Box(canvas, {row.left + 6, top - 1, row.left + 15, top + 11}, 0x00FFFFFF, 0x00808080);
    for (int y = top + 2; y < top + 9; y += 2) {
      canvas.FillRect({row.left + 8, y, row.left + 13, y + 1}, Brush::Solid(0x00B0B0B0));
    }
  }
}

void Button(Canvas& canvas, const Rect& r, std::string_view label, bool down, bool isDefault) {
  Box(canvas, r, down ? 0x00D8D8D8 : 0x00FAFAFA, kEdge);
  if (isDefault) {
    canvas.FrameRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, Brush::Solid(kEdge));
  }
  Rect text = down ? r.Offset(1, 1) : r;
  canvas.DrawText(label, text, kLine | text_format::kCentre);
}

void PaintChooser(Chooser& c, Canvas& canvas) {
  Rect client = ClientRect(c.window);
  canvas.SelectFont(wm::LayerFont());
  canvas.SetBackMode(BackgroundMode::Transparent);
  Box(canvas, client, kFace, kEdge);
  canvas.FillRect({1, 1, client.right - 1, kCaptionHeight}, Brush::Solid(kCaptionBar));
  canvas.SetTextColour(0x00FFFFFF);
  Rect caption{8, 1, client.right - 8, kCaptionHeight};
  canvas.DrawText(c.request.title, caption, kLine);

  canvas.SetTextColour(0);
  Rect label{12, c.folderRect.top, c.folderRect.left, c.folderRect.bottom};
  canvas.DrawText("Папка:"_cp, label, kLine);
  Rect path = c.folderRect;
  canvas.DrawText(FitPath(canvas, c.folder, path.Width()), path, kLine);

  // The list, less the scroll bar child at its right.
  Rect list = c.listRect;
  Box(canvas, list, 0x00FFFFFF, kEdge);
  int rowsRight = list.right - 1 - kScrollBarWidth;
  for (int i = 0; i < kVisibleRows && c.top + i < c.RowCount(); ++i) {
    int index = c.top + i;
    const Entry& entry = c.entries[static_cast<std::size_t>(index)];
    Rect row{list.left + 2, list.top + 2 + i * kRowHeight, rowsRight - 1,
             list.top + 2 + (i + 1) * kRowHeight};
    bool chosen = index == c.selected;
    if (chosen) {
      canvas.FillRect(row, Brush::Solid(c.focus == Focus::List ? kHighlight : kQuietHighlight));
    }
    Glyph(canvas, row, entry.folder);
    canvas.SetTextColour(chosen && c.focus == Focus::List ? 0x00FFFFFF : 0);
    Rect text{row.left + 22, row.top, row.right - 2, row.bottom};
    canvas.DrawText(entry.name, text, kLine);
  }
  canvas.SetTextColour(0);

  // The name (or folder) field with its caret or selection.
  Rect fieldLabel{12, c.fieldRect.top, c.fieldRect.left, c.fieldRect.bottom};
  canvas.DrawText(c.mode == Mode::Folder ? "Путь:"_cp : "Имя файла:"_cp, fieldLabel, kLine);
  Box(canvas, c.fieldRect, 0x00FFFFFF, kEdge);
  int inner = c.fieldRect.Width() - 8;
  int caretX = canvas.TextExtent(std::string_view(c.field).substr(0, c.caret)).width;
  int shift = std::max(0, caretX - inner + 2);
  canvas.Save();
  canvas.IntersectClip(
      {c.fieldRect.left + 1, c.fieldRect.top + 1, c.fieldRect.right - 1, c.fieldRect.bottom - 1});
  Rect text{c.fieldRect.left + 4 - shift, c.fieldRect.top, c.fieldRect.right + 2000,
            c.fieldRect.bottom};
  bool focused = c.focus == Focus::Field;
  if (c.fieldSelected && focused && !c.field.empty()) {
    int width = canvas.TextExtent(c.field).width;
    canvas.FillRect({text.left, text.top + 3, text.left + width, text.bottom - 3},
                    Brush::Solid(kHighlight));
    canvas.SetTextColour(0x00FFFFFF);
  }
  canvas.DrawText(c.field, text, kLine);
  canvas.SetTextColour(0);
  if (focused && !c.fieldSelected) {
    int x = text.left + caretX;
    canvas.FillRect({x, c.fieldRect.top + 4, x + 1, c.fieldRect.bottom - 4}, Brush::Black());
  }
  canvas.Restore();

  if (c.mode == Mode::SaveFile) {
    Rect filterLabel{12, c.filterRect.top, c.filterRect.left, c.filterRect.bottom};
    canvas.DrawText("Тип файла:"_cp, filterLabel, kLine);
    Box(canvas, c.filterRect, 0x00FFFFFF, kEdge);
    std::string description;
    if (!c.request.filters.empty()) {
      description = c.request.filters[std::min(c.filter, c.request.filters.size() - 1)].description;
    }
    Rect value{c.filterRect.left + 4, c.filterRect.top, c.filterRect.right - 20,
               c.filterRect.bottom};
    canvas.DrawText(description, value, kLine);
    // The drop-down mark.
    int cx = c.filterRect.right - 10;
    int cy = (c.filterRect.top + c.filterRect.bottom) / 2 - 1;
    for (int i = 0; i < 4; ++i) {
      canvas.FillRect({cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, Brush::Solid(0x00404040));
    }
    if (c.focus == Focus::Filter) {
      canvas.FocusRect({c.filterRect.left + 2, c.filterRect.top + 2, c.filterRect.right - 18,
                        c.filterRect.bottom - 2});
    }
  }
  Button(canvas, c.okRect, c.mode == Mode::Folder ? "Выбрать"_cp : "Сохранить"_cp, c.pressed == 0,
         true);
  Button(canvas, c.cancelRect, "Отмена"_cp, c.pressed == 1, false);
}

// ---- input ----

int RowAt(const Chooser& c, Point p) {
  Rect rows{c.listRect.left + 2, c.listRect.top + 2, c.listRect.right - 1 - kScrollBarWidth,
            c.listRect.bottom - 2};
  if (!rows.Contains(p)) return -1;
  int index = c.top + (p.y - rows.top) / kRowHeight;
  return index < c.RowCount() ? index : -1;
}

void NextFocus(Chooser& c, bool backwards) {
  std::vector<Focus> order{Focus::Field, Focus::List};
  if (c.mode == Mode::SaveFile) order.push_back(Focus::Filter);
  auto at = std::find(order.begin(), order.end(), c.focus) - order.begin();
  auto count = static_cast<std::ptrdiff_t>(order.size());
  at = (at + (backwards ? count - 1 : 1)) % count;
  c.focus = order[static_cast<std::size_t>(at)];
  if (c.focus == Focus::List && c.selected < 0 && !c.entries.empty()) Select(c, 0);
  Changed(c);
}

void ChooseFilter(Chooser& c, std::size_t index) {
  if (index >= c.request.filters.size() || index == c.filter) return;
  c.filter = index;
  Load(c);
  c.selected = -1;
  c.top = 0;
  SyncScrollBar(c);
  Changed(c);
}

void OpenFilterMenu(Chooser& c) {
  if (c.request.filters.empty()) return;
  PopupMenu menu;
  for (std::size_t i = 0; i < c.request.filters.size(); ++i) {
    menu.AddItem(static_cast<std::uint32_t>(i + 1), c.request.filters[i].description);
  }
  Point at = ClientToScreen(c.window, {c.filterRect.left, c.filterRect.bottom});
  std::uint32_t chosen = TrackPopupMenu(menu, at, Window());
  if (chosen) ChooseFilter(c, chosen - 1);
}

void TypeCharacter(Chooser& c, unsigned char ch) {
  if (c.fieldSelected) SetField(c, "", false);
  c.field.insert(c.caret, 1, static_cast<char>(ch));
  ++c.caret;
  c.focus = Focus::Field;
  Changed(c);
}

void FieldKey(Chooser& c, int code) {
  if (c.fieldSelected &&
      (code == key::kLeft || code == key::kRight || code == key::kHome || code == key::kEnd)) {
    c.fieldSelected = false;
  }
  switch (code) {
    case key::kLeft:
      if (c.caret > 0) --c.caret;
      break;
    case key::kRight:
      if (c.caret < c.field.size()) ++c.caret;
      break;
    case key::kHome:
      c.caret = 0;
      break;
    case key::kEnd:
      c.caret = c.field.size();
      break;
    case key::kDelete:
      if (c.fieldSelected) {
        SetField(c, "", false);
      } else if (c.caret < c.field.size()) {
        c.field.erase(c.caret, 1);
      }
      break;
    case key::kUp:
      Select(c, c.selected < 0 ? 0 : c.selected - 1);
      break;
    case key::kDown:
      Select(c, c.selected + 1);
      break;
    default:
      return;
  }
  Changed(c);
}

void ListKey(Chooser& c, int code) {
  switch (code) {
    case key::kUp:
      Select(c, c.selected - 1);
      break;
    case key::kDown:
      Select(c, c.selected + 1);
      break;
    case key::kPageUp:
      Select(c, c.selected - (kVisibleRows - 1));
      break;
    case key::kPageDown:
      Select(c, std::max(0, c.selected) + (kVisibleRows - 1));
      break;
    case key::kHome:
      Select(c, 0);
      break;
    case key::kEnd:
      Select(c, c.RowCount() - 1);
      break;
    default:
      break;
  }
}

void KeyDown(Chooser& c, int code) {
  if (code == key::kEscape) {
    Cancel(c);
    return;
  }
  if (code == key::kTab) {
    NextFocus(c, IsKeyDown(key::kShift));
    return;
  }
  if (code == key::kEnter) {
    if (c.focus == Focus::List && OpenEntry(c, c.selected)) return;
    Accept(c);
    return;
  }
  switch (c.focus) {
    case Focus::Field:
      FieldKey(c, code);
      break;
    case Focus::List:
      ListKey(c, code);
      break;
    case Focus::Filter:
      if (code == key::kUp && c.filter > 0) ChooseFilter(c, c.filter - 1);
      if (code == key::kDown) ChooseFilter(c, c.filter + 1);
      break;
  }
}

void Character(Chooser& c, unsigned ch) {
  switch (ch) {
    case 8:  // Backspace
      if (c.focus == Focus::List) {
        if (std::optional<std::string> parent = ParentOf(c.folder)) Navigate(c, *parent);
      } else if (c.fieldSelected) {
        SetField(c, "", false);
        Changed(c);
      } else if (c.caret > 0) {
        c.field.erase(--c.caret, 1);
        Changed(c);
      }
      return;
    case 1:  // Ctrl+A
      c.focus = Focus::Field;
      c.fieldSelected = true;
      Changed(c);
      return;
    case 22:  // Ctrl+V: the first line of the clipboard text
      if (std::optional<std::string> text = ClipboardText()) {
        std::string line = text->substr(0, text->find_first_of("\r\n"));
        for (unsigned char ch2 : line) {
          if (ch2 >= 32) TypeCharacter(c, ch2);
        }
      }
      return;
    default:
      if (ch >= 32 && ch < 256) TypeCharacter(c, static_cast<unsigned char>(ch));
      return;
  }
}

void Scrolled(Chooser& c, std::uint32_t code, int position) {
  switch (code) {
    case scroll_code::kLineUp:
      ScrollTo(c, c.top - 1);
      break;
    case scroll_code::kLineDown:
      ScrollTo(c, c.top + 1);
      break;
    case scroll_code::kPageUp:
      ScrollTo(c, c.top - kVisibleRows);
      break;
    case scroll_code::kPageDown:
      ScrollTo(c, c.top + kVisibleRows);
      break;
    case scroll_code::kThumbTrack:
    case scroll_code::kThumbPosition:
      ScrollTo(c, position);
      break;
    case scroll_code::kTop:
      ScrollTo(c, 0);
      break;
    case scroll_code::kBottom:
      ScrollTo(c, c.LastTop());
      break;
    default:
      break;
  }
}

Answer ChooserProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  Chooser* c = ChooserOf(window);
  if (!c) return DefaultProcedure(window, code, first, second);
  switch (code) {
    case msg::kEraseBackground:
      PaintChooser(*c, *reinterpret_cast<Canvas*>(first));
      return 1;
    case msg::kHitTest: {
      Point p = ScreenToClient(window, UnpackPoint(second));
      return static_cast<Answer>(p.y < kCaptionHeight ? HitArea::Caption : HitArea::Client);
    }
    case msg::kLeftDown:
    case msg::kLeftDouble: {
      Point p = UnpackPoint(second);
      if (c->okRect.Contains(p) || c->cancelRect.Contains(p)) {
        c->pressed = c->okRect.Contains(p) ? 0 : 1;
        SetCapture(window);
        Changed(*c);
      } else if (c->fieldRect.Contains(p)) {
        c->focus = Focus::Field;
        c->fieldSelected = false;
        c->caret = c->field.size();
        Changed(*c);
      } else if (c->mode == Mode::SaveFile && c->filterRect.Contains(p)) {
        c->focus = Focus::Filter;
        Changed(*c);
        OpenFilterMenu(*c);
      } else if (int row = RowAt(*c, p); row >= 0) {
        c->focus = Focus::List;
        Select(*c, row);
        if (code == msg::kLeftDouble && !OpenEntry(*c, row)) Accept(*c);
      }
      return 0;
    }
    case msg::kLeftUp:
      if (c->pressed >= 0) {
        int button = c->pressed;
        c->pressed = -1;
        ReleaseCapture();
        Changed(*c);
        Rect r = button == 0 ? c->okRect : c->cancelRect;
        if (r.Contains(UnpackPoint(second))) {
          if (button == 0) {
            Accept(*c);
          } else {
            Cancel(*c);
          }
        }
      }
      return 0;
    case msg::kMouseWheel: {
      auto delta = static_cast<std::int16_t>(HighWord(first));
      ScrollTo(*c, c->top - delta / kWheelNotch * kWheelRows);
      return 0;
    }
    case msg::kVerticalScroll:
      Scrolled(*c, LowWord(first), HighWord(first));
      return 0;
    case msg::kKeyDown:
      KeyDown(*c, static_cast<int>(first));
      return 0;
    case msg::kChar:
      Character(*c, static_cast<unsigned>(first & 0xFF));
      return 0;
    case msg::kClose:
      Cancel(*c);
      return 0;
    default:
      return DefaultProcedure(window, code, first, second);
  }
}

std::optional<std::string> Run(Chooser& c) {
  wm::Manager& m = wm::Get();
  Window owner = IsWindow(c.request.owner) ? c.request.owner : Window();
  if (Window active = ActiveWindow()) SendMessage(active, msg::kCancelMode);
  std::string start = c.request.initialFolder.empty() ? CurrentFolder() : c.request.initialFolder;
  if (!FolderExists(start)) start = CurrentFolder();
  c.filter =
      c.request.filters.empty() ? 0 : std::min(c.request.filterIndex, c.request.filters.size() - 1);
  c.folder = WithBackslash(start);
  Load(c);
  if (c.mode == Mode::Folder) {
    SetField(c, FolderAnswer(c.folder), true);
  } else {
    SetField(c, c.request.suggestedName, true);
  }
  int height = 0;
  Lay(c, height);
  Rect work = WorkArea();
  int left = work.left + std::max(0, (work.Width() - kWidth) / 2);
  int top = work.top + std::max(0, (work.Height() - height) / 2);

  std::vector<Window> disabled;
  if (owner) {
    Window ownerTop = TopLevelOf(owner);
    if (IsWindowEnabled(ownerTop)) {
      EnableWindow(ownerTop, false);
      disabled.push_back(ownerTop);
    }
  }
  c.window = CreateWindow({std::string(kChooserClass),
                           c.request.title,
                           window_style::kPopup | window_style::kClipChildren,
                           0,
                           {left, top, left + kWidth, top + height},
                           owner,
                           0,
                           nullptr});
  if (c.window) {
    SetWindowSlot(c.window, reinterpret_cast<std::uintptr_t>(&c));
    WindowCreateInfo bar;
    bar.className = std::string(kScrollBarClassName);
    bar.style = window_style::kChild | window_style::kVisible | scroll_bar_style::kVertical;
    bar.frame = {c.listRect.right - 1 - kScrollBarWidth, c.listRect.top + 1, c.listRect.right - 1,
                 c.listRect.bottom - 1};
    bar.parent = c.window;
    c.scrollBar = CreateWindow(bar);
    SyncScrollBar(c);
    ShowWindow(c.window, ShowMode::Show);
    SetFocus(c.window);

    wm::ModalFrame modal;
    modal.view.kind = c.mode == Mode::Folder ? ModalView::Kind::Folder : ModalView::Kind::SaveFile;
    modal.view.text = c.folder;
    modal.view.caption = c.request.title;
    modal.view.window = c.window;
    for (const Rect& r : {c.okRect, c.cancelRect, c.fieldRect, c.listRect}) {
      modal.view.itemRects.push_back(r.Offset(left, top));
    }
    wm::RunNestedLoop(modal, [&] { return c.done || !IsWindow(c.window); }, {});
  }
  for (Window w : disabled) EnableWindow(w, true);
  if (c.window && IsWindow(c.window)) {
    SetWindowSlot(c.window, 0);
    DestroyWindow(c.window);
  }
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  m.modalRecords.push_back(
      {c.mode == Mode::Folder ? ModalView::Kind::Folder : ModalView::Kind::SaveFile,
       c.result.value_or(""), c.request.title, 0, c.result ? 1u : 0u});
  return c.result;
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view patterns) {
  while (true) {
    std::size_t cut = patterns.find(';');
    std::string pattern = Trimmed(patterns.substr(0, cut));
    if (!pattern.empty() && (WildMatch(name, pattern) ||
                             (pattern == "*.*" && name.find('.') == std::string_view::npos))) {
      return true;
    }
    if (cut == std::string_view::npos) return false;
    patterns.remove_prefix(cut + 1);
  }
}

std::optional<std::string> AskSaveFile(const SaveFileRequest& request) {
  Chooser chooser;
  chooser.mode = Mode::SaveFile;
  chooser.request = request;
  return Run(chooser);
}

std::optional<std::string> AskFolder(Window owner, std::string_view title,
                                     std::string_view initialFolder) {
  Chooser chooser;
  chooser.mode = Mode::Folder;
  chooser.request.owner = owner;
  chooser.request.title = std::string(title);
  chooser.request.initialFolder = std::string(initialFolder);
  return Run(chooser);
}

namespace wm {

void RegisterChooserClass() {
  RegisterWindowClass({std::string(kChooserClass), class_style::kDoubleClicks, CursorShape::Arrow,
                       Brush::Null(), &ChooserProcedure});
}

bool AnswerChooser(Window window, const std::string& text) {
  Chooser* c = ChooserOf(window);
  if (!c || cp1251::CompareNoCase(ClassNameOf(window), kChooserClass) != 0) return false;
  SetField(*c, text, false);
  c->focus = Focus::Field;
  Changed(*c);
  InputEvent enter;
  enter.kind = InputEvent::Kind::KeyDown;
  enter.key = key::kEnter;
  DeliverInput(enter);
  enter.kind = InputEvent::Kind::KeyUp;
  DeliverInput(enter);
  return true;
}

}  // namespace wm
}  // namespace plat
