// The headless backend: a screen in memory, the virtual clock, scripted input and
// screenshots. The same script gives the same pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/backend.h"
#include "plat/colour.h"
#include "plat/geometry.h"
#include "plat/window.h"

namespace plat::headless {

// Starts a headless session with a screen of that size and switches to the virtual clock.
void Start(Size screen);
void Stop();

void MovePointer(Point screen);
void Press(Point screen, MouseButton button = MouseButton::Left);
void Release(Point screen, MouseButton button = MouseButton::Left);
void Click(Point screen, MouseButton button = MouseButton::Left);
void Wheel(int delta);
void KeyDown(int virtualKey, bool repeat = false);
void KeyUp(int virtualKey);
void KeyPress(int virtualKey);  // down and up
void Type(std::string_view cp1251);
void HostFocus(bool focused);
void ResizeScreen(Size size);
// Device changes as the mount watch would report them.
void DeviceRemoved();
void DeviceArrived();
// Whether the main window's minimising sent the host window away, and bringing it back.
bool HostMinimized();
void RestoreHost();

// Moves the virtual clock.
void Advance(std::uint32_t milliseconds);
// Dispatches until nothing is left: input, posted messages, paint and due timers.
void RunPending();

Colour PixelAt(Point screen);
bool Screenshot(const std::string& hostPath);
bool ScreenshotWindow(Window window, const std::string& hostPath);

// Called whenever a message box, menu or chooser of the layer waits for input. Return true
// after queueing input or moving the clock; false takes the default answer: OK for a box
// (its default button), cancel for a menu, and for a chooser the next queued chooser answer
// or cancel.
using ModalScript = std::function<bool(const ModalView&)>;
void SetModalScript(ModalScript script);

struct ModalRecord {
  ModalView::Kind kind;
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
  // The button pressed, the chosen menu id (0 when cancelled), or 1 for a chosen path (in
  // `text`) and 0 for a cancelled chooser.
  std::uint32_t answer = 0;
};
// A path (typed into the chooser's field, then Enter) or nothing (Escape) for the next
// chooser that waits without a script answer.
void AnswerNextChooser(std::optional<std::string> answer);
const std::vector<ModalRecord>& ModalRecords();
void ClearModalRecords();

// Loops that would wait with nothing able to arrive get a quit request with this code.
inline constexpr int kStarvedExitCode = -0x5747;
int StarvedWaits();

}  // namespace plat::headless
