// System colours and metrics, the bell, the text of the last failure, device-change
// notifications and the keyboard layout request.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "plat/colour.h"
#include "plat/messages.h"
#include "plat/window.h"

namespace plat {

enum class SystemColourRole { WindowBackground, WindowText, Highlight, HighlightText, GreyText };
Colour SystemColour(SystemColourRole role);

enum class SystemMeasure {
  VerticalScrollWidth,
  HorizontalScrollHeight,
  DoubleClickTime,
  DoubleClickWidth,
  DoubleClickHeight,
  ScreenWidth,
  ScreenHeight,
};
int SystemMetric(SystemMeasure measure);

// The host bell (recorded).
void Beep();
// The text of the last failing call (errno), in code page 1251.
std::string LastErrorText();

// First parameter of the device-change message.
namespace device_event {
inline constexpr FirstParam kArrival = 0x8000;
inline constexpr FirstParam kRemovalComplete = 0x8004;
}  // namespace device_event

// Posts the device-change message to every top-level window.
void PostDeviceChange(FirstParam event);

// Watches the host's mount table: each Check that finds a mount gone posts removal-complete,
// one that finds a new mount posts arrival. Backends that block may wait on Descriptor().
class MountTableWatch {
 public:
  explicit MountTableWatch(std::string mountTable = "/proc/self/mounts");
  ~MountTableWatch();
  MountTableWatch(const MountTableWatch&) = delete;
  MountTableWatch& operator=(const MountTableWatch&) = delete;
  // True when something changed (and was posted).
  bool Check();
  int Descriptor() const { return descriptor_; }
  const std::set<std::string>& MountPoints() const { return mounts_; }

 private:
  std::set<std::string> Read() const;
  std::string table_;
  int descriptor_ = -1;
  std::set<std::string> mounts_;
};

// The layout request: 0x04190419 switches the built-in Russian key map on (typed Latin letters
// become the letters on the same keys of the Russian layout), any other layout switches it
// off. Alt+Shift toggles it, as the layout switch of the desktop does.
inline constexpr std::uint32_t kRussianLayout = 0x04190419;
void RequestInputLanguage(std::uint32_t layout);
bool RussianKeyMap();
void SetRussianKeyMap(bool on);
// The character the Russian layout puts on the key that gives `latin` on a US layout.
char RussianCharacterFor(char latin);

}  // namespace plat
