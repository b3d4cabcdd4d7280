// The base class of every window of the program. It owns the window handle, registers the
// window class on first use, binds itself to its window through the window's slot and turns
// each message into a call of one virtual operation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plat/canvas.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/window.h"
#include "window/private_messages.h"

namespace lexo {

using plat::Answer;
using plat::FirstParam;
using plat::SecondParam;

inline constexpr int kDefaultKind = 200;

class DefaultWindowClass {
 public:
  // Form 1: registers the class (the given name, else ClassName() as this base answers it)
  // unless a class of that name exists. A null brush pointer means the white brush.
  DefaultWindowClass(const char* className, const plat::Brush* background,
                     std::optional<plat::CursorShape> cursor, int icon, std::uint32_t classStyle);
  // Form 2: an object built from a parent object takes over its kind and parent window and
  // registers nothing. A null parent object leaves the defaults.
  explicit DefaultWindowClass(const DefaultWindowClass* parentObject);
  DefaultWindowClass(const DefaultWindowClass&) = delete;
  DefaultWindowClass& operator=(const DefaultWindowClass&) = delete;

  // 0: ends in the base behaviour of Destroy, so a window never calls into a deleted object.
  virtual ~DefaultWindowClass();
  virtual const char* ClassName() const;                                 // 1
  virtual void SetActive(int flag);                                      // 2
  virtual int IsActive() const;                                          // 3
  virtual int Kind() const;                                              // 4
  virtual int Tag() const;                                               // 5
  virtual int Show(int mode);                                            // 6
  virtual int Enable(int flag);                                          // 7
  virtual int MoveTo(int x, int y, int width, int height, int repaint);  // 8
  // The rectangle holds left, top, width and height, as descriptions give it.
  virtual int MoveToRect(const plat::Rect& rect, int repaint);             // 9
  virtual void Destroy();                                                  // 10
  virtual plat::Window Focus();                                            // 11
  virtual void SetParentWindow(plat::Window window);                       // 12
  virtual Answer OnCreate(plat::Window window);                            // 13
  virtual Answer OnDestroy(FirstParam first, SecondParam second);          // 14
  virtual Answer OnClose(FirstParam first, SecondParam second);            // 15
  virtual Answer OnPaint(FirstParam first, SecondParam second);            // 16
  virtual Answer OnEraseBackground(FirstParam first, SecondParam second);  // 17
  virtual Answer OnHitTest(FirstParam first, SecondParam second);          // 18
  virtual Answer OnSize(FirstParam first, SecondParam second);             // 19
  virtual Answer OnTimer(FirstParam first, SecondParam second);            // 20
  virtual Answer OnCommand(FirstParam first, SecondParam second);          // 21
  virtual Answer OnMouseMove(FirstParam first, SecondParam second);        // 22
  virtual Answer OnLeftDown(FirstParam first, SecondParam second);         // 23
  virtual Answer OnLeftUp(FirstParam first, SecondParam second);           // 24
  virtual Answer OnLeftDouble(FirstParam first, SecondParam second);       // 25
  virtual Answer OnRightDown(FirstParam first, SecondParam second);        // 26
  virtual Answer OnRightUp(FirstParam first, SecondParam second);          // 27
  virtual Answer OnRightDouble(FirstParam first, SecondParam second);      // 28
  virtual Answer OnKeyDown(FirstParam first, SecondParam second);          // 29
  virtual Answer OnKeyUp(FirstParam first, SecondParam second);            // 30
  // 31 and 32 are never routed to: derived classes call them themselves.
  virtual Answer OnSysKeyDown(FirstParam first, SecondParam second);                   // 31
  virtual Answer OnSysKeyUp(FirstParam first, SecondParam second);                     // 32
  virtual Answer OnMessage(std::uint32_t code, FirstParam first, SecondParam second);  // 33
  virtual Answer OnWorkAreaChanged(FirstParam first, SecondParam second);              // 34

  // The one procedure of every class registered here.
  static Answer SharedWindowProcedure(plat::Window window, std::uint32_t code, FirstParam first,
                                      SecondParam second);

  void Update();
  void Invalidate(const plat::Rect* rect, bool erase);
  Answer Send(std::uint32_t code, FirstParam first = 0, SecondParam second = 0);
  bool Post(std::uint32_t code, FirstParam first = 0, SecondParam second = 0);
  plat::Window Handle() const { return window_; }
  plat::Window ParentWindow() const { return parentWindow_; }
  void SetKind(int kind) { kind_ = kind; }
  void SetTag(int tag) { tag_ = tag; }
  int EnabledFlag() const { return enabled_; }

 protected:
  // Creates the window with this object as the creation parameter; the create message binds
  // them before this returns.
  plat::Window CreateOwnWindow(const char* className, std::string_view text, std::uint32_t style,
                               std::uint32_t extendedStyle, const plat::Rect& frame,
                               plat::Window parent, int childId = 0);
  Answer Default(std::uint32_t code, FirstParam first, SecondParam second);

  plat::Window window_;
  int active_ = 0;
  plat::Window parentWindow_;
  int kind_ = kDefaultKind;
  int tag_ = 0;
  int enabled_ = 0;
};

// Left, top, width and height of a window of the wanted size, centred in the work area, or
// the work area's origin with at least the minimum size where the wanted size does not fit.
// The result holds width and height in right and bottom.
plat::Rect CentreInWorkArea(int wantedWidth, int wantedHeight, int minimumWidth, int minimumHeight);
// The rectangle holds left, top, width and height. With `pullBack` a rectangle running past
// the work area's right or bottom edge is moved back first; then a left or top outside the
// work area is set to the work area's.
void KeepOnScreen(plat::Rect& rect, bool pullBack);

}  // namespace lexo
