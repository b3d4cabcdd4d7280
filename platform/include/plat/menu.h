// Pop-up menus drawn by the layer: the shared context menu and the system menu of a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plat/geometry.h"
#include "plat/window.h"

namespace plat {

struct MenuItem {
  std::uint32_t id = 0;
  std::string text;  // code page 1251; empty for a separator
  bool separator = false;
  bool enabled = true;
};

class PopupMenu {
 public:
  void Clear() { items_.clear(); }
  void AddItem(std::uint32_t id, std::string_view text, bool enabled = true);
  void AddSeparator();
  void InsertItem(std::size_t position, std::uint32_t id, std::string_view text);
  bool RemoveItem(std::uint32_t id);
  bool SetEnabled(std::uint32_t id, bool enabled);
  const std::vector<MenuItem>& Items() const { return items_; }

 private:
  std::vector<MenuItem> items_;
};

PopupMenu& SharedPopupMenu();
// Made on first use with restore, move, size, minimise, maximise, a separator and close.
PopupMenu& SystemMenu(Window window);
void ResetSystemMenu(Window window);

// Runs the menu at a screen point until a choice, a click outside or Escape. The chosen id is
// posted to the owner as a command message after the menu closed; returns the id, 0 when
// cancelled.
std::uint32_t TrackPopupMenu(const PopupMenu& menu, Point screen, Window owner);
// Sends init-menu, enables the items by the window's state and tracks its system menu; the
// choice is posted as a system command.
std::uint32_t TrackSystemMenu(Window window, Point screen);

// The modal message box drawn by the layer (only an OK button). The owner is disabled while
// it runs; system-modal boxes disable every top-level window.
int RunMessageBox(Window owner, std::string_view text, std::string_view caption,
                  std::uint32_t flags);

}  // namespace plat
