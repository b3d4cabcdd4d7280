// The seam between the window manager and the host: a backend shows the framebuffer and feeds
// input. The program above the layer never knows which backend runs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/geometry.h"
#include "plat/surface.h"
#include "plat/window.h"

namespace plat {

enum class MouseButton { None, Left, Right, Middle };

struct InputEvent {
  enum class Kind {
    PointerMove,
    ButtonDown,
    ButtonUp,
    Wheel,
    KeyDown,
    KeyUp,
    Text,          // characters in code page 1251
    HostFocus,     // `down` tells whether the host gained the focus
    ScreenResize,  // `size`
    HostRestored,  // the host window came back from being minimised
  };
  Kind kind = Kind::PointerMove;
  Point at;  // screen position for pointer events
  MouseButton button = MouseButton::None;
  int key = 0;
  bool down = false;
  bool repeat = false;
  int wheelDelta = 0;
  std::string text;
  Size size;
};

// What a modal loop of the layer shows, for backends that answer them by script.
struct ModalView {
  enum class Kind { MessageBox, Menu, SaveFile, Folder };
  Kind kind = Kind::MessageBox;
  std::string text;     // the message, the items joined with '|', or a chooser's first folder
  std::string caption;  // message box or chooser caption
  Window window;        // the box or menu window
  // Screen rectangles: the menu items; the box's buttons; a chooser's OK and Cancel buttons,
  // name field and list.
  std::vector<Rect> itemRects;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual Size InitialScreenSize() const = 0;
  // Moves pending host events into the layer through DeliverInput. With `wait`, blocks until
  // one arrives or `timeoutMs` passes (no timeout when empty).
  virtual void Poll(bool wait, std::optional<std::uint32_t> timeoutMs) = 0;
  // Shows a changed part of the framebuffer.
  virtual void Present(const PixelSurface& screen, const Rect& changed) = 0;
  virtual void ShowCursor(CursorShape shape) { (void)shape; }
  virtual void MirrorClipboardText(std::string_view cp1251) { (void)cp1251; }
  virtual std::optional<std::string> HostClipboardText() { return std::nullopt; }
  virtual void Beep() {}
  // The main window was minimised: the host window goes to the host's task bar.
  virtual void MinimizeHost() {}
  // A modal loop of the layer would wait; true when the backend queued input or moved time.
  virtual bool AnswerModal(const ModalView& view) {
    (void)view;
    return false;
  }
};

// Starts the window manager over a backend; a running session is stopped first.
void StartWindowing(std::unique_ptr<Backend> backend);
// Destroys every window and forgets all state.
void StopWindowing();
bool IsWindowingStarted();
// Hands a host event to the layer (backends call this from Poll).
void DeliverInput(const InputEvent& event);

}  // namespace plat
