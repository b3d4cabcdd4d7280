// The floating item window: one topmost popup, kept by the main window, that shows tooltips
// and list items that do not fit their list, and passes the mouse on to what it stands for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "plat/canvas.h"
#include "plat/font.h"
#include "window/default_window.h"

namespace lexo {

// What a list object offers the floating window that shows one of its items (mode 1).
class FloatingItemSource {
 public:
  virtual ~FloatingItemSource() = default;
  virtual std::string ItemText(int item) = 0;
  virtual plat::Window SourceWindow() = 0;
  virtual void ItemButtonDown(FirstParam flags, SecondParam point) = 0;
  virtual void ItemButtonUp(FirstParam flags, SecondParam point) = 0;
  virtual void ItemDoubleClick(FirstParam flags, SecondParam point) = 0;
  virtual void ItemMouseMove(FirstParam flags, SecondParam point) = 0;
  virtual void RedrawItems() = 0;
};

// A request of a list window (mode 3) or for a text box (modes 4 and 6).
struct FloatingItemRequest {
  std::string text;
  plat::Rect itemRect;  // screen coordinates (mode 3)
  plat::Colour textColour = 0;
  std::int64_t backColour = -1;  // -1: not filled
  int wrapWidth = 200;           // modes 4 and 6
  int padding = 2;
  std::optional<plat::Brush> background;
  plat::Brush frame = plat::Brush::White();
};

class xListItemWindowClass : public DefaultWindowClass {
 public:
  static constexpr plat::Colour kNormalText = 0xFFFFFF;
  static constexpr plat::Colour kNormalBack = 0x5E7028;
  static constexpr plat::Colour kSelectedText = 0xFFFFFF;
  static constexpr plat::Colour kSelectedBack = 0x5E7028;
  static constexpr plat::Colour kUnrollBack = 0xDEF4FC;
  static constexpr int kUnrollDelay = 20;

  xListItemWindowClass();
  ~xListItemWindowClass() override;

  const char* ClassName() const override { return "xListItemWindowClass"; }
  // Created hidden, once, with the main window as its parent.
  bool Create(plat::Window mainWindow, std::shared_ptr<const plat::Font> font);

  // Mode 1: a list object's current item.
  void ShowListItem(FloatingItemSource* source, int item, const plat::Rect& itemScreenRect,
                    const plat::Rect& freeScreenRect, std::shared_ptr<const plat::Font> listFont,
                    bool selected);
  // Modes 2 and 5: a tooltip at the pointer, unrolled downwards.
  void ShowTooltip(int mode, std::string_view text, plat::Window owner);
  // Mode 3: a list window's item; only when that window has the keyboard focus.
  void ShowRequestItem(plat::Window listWindow, const FloatingItemRequest& request,
                       const plat::Rect& freeScreenRect);
  // Modes 4 and 6: a text box at the pointer.
  void ShowTextBox(int mode, plat::Window owner, const FloatingItemRequest& request);
  void HideItem();

  int Mode() const { return mode_; }
  bool Unrolling() const { return unrolling_; }
  int UnrollHeight() const { return unrollHeight_; }

  Answer OnEraseBackground(FirstParam first, SecondParam second) override;
  Answer OnPaint(FirstParam first, SecondParam second) override;
  Answer OnMouseMove(FirstParam first, SecondParam second) override;
  Answer OnLeftDown(FirstParam first, SecondParam second) override;
  Answer OnLeftUp(FirstParam first, SecondParam second) override;
  Answer OnLeftDouble(FirstParam first, SecondParam second) override;
  Answer OnMessage(std::uint32_t code, FirstParam first, SecondParam second) override;

 private:
  void PlaceAndShow(const plat::Rect& screenRect);
  void DrawPicture(plat::Canvas& canvas, bool normalColours);
  void DrawTooltip(plat::Canvas& canvas, int height);
  SecondParam ToOwner(SecondParam point) const;
  plat::Window OwnerWindow() const;

  FloatingItemSource* source_ = nullptr;
  plat::Window ownerWindow_;
  std::shared_ptr<const plat::Font> font_;
  std::shared_ptr<const plat::Font> itemFont_;
  plat::Colour normalText_ = kNormalText;
  plat::Colour normalBack_ = kNormalBack;
  plat::Colour selectedText_ = kSelectedText;
  plat::Colour selectedBack_ = kSelectedBack;
  plat::Brush frameBrush_ = plat::Brush::White();
  plat::Rect freeRect_;  // screen
  int mode_ = 0;
  plat::Point offset_;  // own client + offset = owner's client
  std::string text_;
  int unrollHeight_ = 0;
  bool unrolling_ = false;
  bool selected_ = false;
  FloatingItemRequest request_;
};

}  // namespace lexo
