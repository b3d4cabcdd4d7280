// Messages, the queue and timers. One GUI thread: sends call the procedure at once, posts and
// input wait in one queue in arrival order; paint and timer messages are made when the queue
// has nothing more urgent.
#pragma once

#include <cstdint>

#include "plat/geometry.h"
#include "plat/window.h"

namespace plat {

// Standard messages keep their conventional numbers; 101, 869 and the program's private
// numbers from kUser on are not used by the layer.
namespace msg {
inline constexpr std::uint32_t kCreate = 0x0001;
inline constexpr std::uint32_t kDestroy = 0x0002;
inline constexpr std::uint32_t kMove = 0x0003;
inline constexpr std::uint32_t kSize = 0x0005;
inline constexpr std::uint32_t kActivate = 0x0006;
inline constexpr std::uint32_t kSetFocus = 0x0007;
inline constexpr std::uint32_t kKillFocus = 0x0008;
inline constexpr std::uint32_t kEnable = 0x000A;
inline constexpr std::uint32_t kSetText = 0x000C;
inline constexpr std::uint32_t kPaint = 0x000F;
inline constexpr std::uint32_t kClose = 0x0010;
inline constexpr std::uint32_t kQuit = 0x0012;
inline constexpr std::uint32_t kEraseBackground = 0x0014;
inline constexpr std::uint32_t kShowWindow = 0x0018;
inline constexpr std::uint32_t kSettingChange = 0x001A;
inline constexpr std::uint32_t kCancelMode = 0x001F;
inline constexpr std::uint32_t kSetCursor = 0x0020;
inline constexpr std::uint32_t kGetMinMaxInfo = 0x0024;
inline constexpr std::uint32_t kInputLanguageRequest = 0x0050;
inline constexpr std::uint32_t kHitTest = 0x0084;
inline constexpr std::uint32_t kNonClientActivate = 0x0086;
inline constexpr std::uint32_t kNonClientMouseMove = 0x00A0;
inline constexpr std::uint32_t kNonClientLeftDown = 0x00A1;
inline constexpr std::uint32_t kNonClientLeftUp = 0x00A2;
inline constexpr std::uint32_t kNonClientLeftDouble = 0x00A3;
inline constexpr std::uint32_t kNonClientRightDown = 0x00A4;
inline constexpr std::uint32_t kNonClientRightUp = 0x00A5;
inline constexpr std::uint32_t kKeyDown = 0x0100;
inline constexpr std::uint32_t kKeyUp = 0x0101;
inline constexpr std::uint32_t kChar = 0x0102;
inline constexpr std::uint32_t kSystemKeyDown = 0x0104;
inline constexpr std::uint32_t kSystemKeyUp = 0x0105;
inline constexpr std::uint32_t kSystemChar = 0x0106;
inline constexpr std::uint32_t kCommand = 0x0111;
inline constexpr std::uint32_t kSystemCommand = 0x0112;
inline constexpr std::uint32_t kTimer = 0x0113;
inline constexpr std::uint32_t kHorizontalScroll = 0x0114;
inline constexpr std::uint32_t kVerticalScroll = 0x0115;
inline constexpr std::uint32_t kInitMenu = 0x0116;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLeftDown = 0x0201;
inline constexpr std::uint32_t kLeftUp = 0x0202;
inline constexpr std::uint32_t kLeftDouble = 0x0203;
inline constexpr std::uint32_t kRightDown = 0x0204;
inline constexpr std::uint32_t kRightUp = 0x0205;
inline constexpr std::uint32_t kRightDouble = 0x0206;
inline constexpr std::uint32_t kMiddleDown = 0x0207;
inline constexpr std::uint32_t kMiddleUp = 0x0208;
inline constexpr std::uint32_t kMiddleDouble = 0x0209;
inline constexpr std::uint32_t kMouseWheel = 0x020A;
inline constexpr std::uint32_t kCaptureChanged = 0x0215;
inline constexpr std::uint32_t kDeviceChange = 0x0219;
inline constexpr std::uint32_t kSoundDone = 0x03B9;  // 953
inline constexpr std::uint32_t kUser = 0x0400;
}  // namespace msg

// First parameter of the setting-change message when the work area changed.
inline constexpr FirstParam kWorkAreaChanged = 47;

// System commands (first parameter of the system-command message; the low 4 bits are free).
namespace system_command {
inline constexpr std::uint32_t kSize = 0xF000;
inline constexpr std::uint32_t kMove = 0xF010;
inline constexpr std::uint32_t kMinimize = 0xF020;
inline constexpr std::uint32_t kMaximize = 0xF030;
inline constexpr std::uint32_t kClose = 0xF060;
inline constexpr std::uint32_t kKeyMenu = 0xF100;
inline constexpr std::uint32_t kRestore = 0xF120;
}  // namespace system_command

// First parameter of the size message.
namespace size_kind {
inline constexpr FirstParam kRestored = 0;
inline constexpr FirstParam kMinimized = 1;
inline constexpr FirstParam kMaximized = 2;
}  // namespace size_kind

struct Message {
  Window window;
  std::uint32_t code = 0;
  FirstParam first = 0;
  SecondParam second = 0;
  std::uint32_t time = 0;
  Point pointer;  // screen position of the pointer when the message was queued
};

// Calls the window's procedure now (re-entrantly) and returns its answer; 0 for an invalid
// window.
Answer SendMessage(Window window, std::uint32_t code, FirstParam first = 0, SecondParam second = 0);
// Queues the message; false for an invalid window. A null window queues a message for the
// loop itself.
bool PostMessage(Window window, std::uint32_t code, FirstParam first = 0, SecondParam second = 0);
// The next loop that looks at the queue takes it (message kQuit, first = the code).
void PostQuit(int exitCode);

// Order: posted messages and input in arrival order, then the quit request, then a paint
// message, then a due timer. False when there is nothing.
bool NextMessage(Message& message, bool remove = true);
// Blocks until NextMessage has something.
void WaitForMessage();
// Waits and takes the next message; false for the quit request.
bool TakeMessage(Message& message);
// Key downs make character messages (control characters, Enter, Backspace, Tab, Escape);
// printable characters arrive as text input.
void TranslateKeys(const Message& message);
Answer Dispatch(const Message& message);
// Every default behaviour of the layer.
Answer DefaultProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second);

// Per (window, id): starting a running id restarts it with the new period; stopping an id
// that is not running is harmless. At most one timer message is pending per timer.
bool StartTimer(Window window, std::uint32_t id, std::uint32_t periodMs);
bool StopTimer(Window window, std::uint32_t id);
inline constexpr std::uint32_t kMinimumTimerPeriod = 10;

// One round of a busy wait on the clock: shows what changed on the screen and, under the
// virtual clock, lets a millisecond pass so that the wait ends.
void BusyWaitStep();

// Packing helpers for the 16-bit halves the program reads.
constexpr std::uint16_t LowWord(std::uintptr_t value) {
  return static_cast<std::uint16_t>(value);
}
constexpr std::uint16_t HighWord(std::uintptr_t value) {
  return static_cast<std::uint16_t>(value >> 16);
}
constexpr std::uintptr_t PackWords(std::uint32_t low, std::uint32_t high) {
  return (low & 0xFFFF) | (high & 0xFFFF) << 16;
}
// Client coordinates as two signed 16-bit values.
constexpr SecondParam PackPoint(Point p) {
  return static_cast<SecondParam>(
      PackWords(static_cast<std::uint32_t>(p.x), static_cast<std::uint32_t>(p.y)));
}
constexpr Point UnpackPoint(SecondParam value) {
  auto bits = static_cast<std::uintptr_t>(value);
  return {static_cast<std::int16_t>(LowWord(bits)), static_cast<std::int16_t>(HighWord(bits))};
}

}  // namespace plat
