#include "plat/system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "plat/cp1251.h"
#include "plat/effects.h"
#include "plat/input.h"
#include "plat/scroll_bar.h"
#include "window_manager.h"

namespace plat {

using namespace cp1251::literals;

Colour SystemColour(SystemColourRole role) {
  switch (role) {
    case SystemColourRole::WindowBackground:
      return 0x00FFFFFF;
    case SystemColourRole::WindowText:
      return 0x00000000;
    case SystemColourRole::Highlight:
      return 0x00D77800;
    case SystemColourRole::HighlightText:
      return 0x00FFFFFF;
    case SystemColourRole::GreyText:
      return 0x00A0A0A0;
  }
  return 0;
}

int SystemMetric(SystemMeasure measure) {
  switch (measure) {
    case SystemMeasure::VerticalScrollWidth:
    case SystemMeasure::HorizontalScrollHeight:
      return kScrollBarWidth;
    case SystemMeasure::DoubleClickTime:
      return static_cast<int>(kDoubleClickTime);
    case SystemMeasure::DoubleClickWidth:
    case SystemMeasure::DoubleClickHeight:
      return kDoubleClickDistance;
    case SystemMeasure::ScreenWidth:
      return ScreenSize().width;
    case SystemMeasure::ScreenHeight:
      return ScreenSize().height;
  }
  return 0;
}

void Beep() {
  RecordEffect({EffectKind::Beep, "", 0, 0});
  if (wm::Manager* m = wm::Current()) m->backend->Beep();
}

std::string LastErrorText() {
  int error = errno;
  char buffer[256];
  const char* text = ::strerror_r(error, buffer, sizeof buffer);
  return cp1251::FromUtf8(text ? text : "");
}

void PostDeviceChange(FirstParam event) {
  for (Window t : TopLevelWindows()) PostMessage(t, msg::kDeviceChange, event, 0);
}

MountTableWatch::MountTableWatch(std::string mountTable) : table_(std::move(mountTable)) {
  descriptor_ = ::open(table_.c_str(), O_RDONLY | O_CLOEXEC);
  mounts_ = Read();
}

MountTableWatch::~MountTableWatch() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

std::set<std::string> MountTableWatch::Read() const {
  std::set<std::string> mounts;
  std::ifstream in(table_);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, point;
    if (fields >> device >> point) mounts.insert(point);
  }
  return mounts;
}

bool MountTableWatch::Check() {
  std::set<std::string> now = Read();
  if (now == mounts_) return false;
  bool removed = false;
  bool added = false;
  for (const std::string& point : mounts_) removed |= !now.contains(point);
  for (const std::string& point : now) added |= !mounts_.contains(point);
  mounts_ = std::move(now);
  if (removed) PostDeviceChange(device_event::kRemovalComplete);
  if (added) PostDeviceChange(device_event::kArrival);
  return true;
}

void RequestInputLanguage(std::uint32_t layout) {
  SetRussianKeyMap(layout == kRussianLayout);
}

bool RussianKeyMap() {
  wm::Manager* m = wm::Current();
  return m && m->russianKeys;
}

void SetRussianKeyMap(bool on) {
  wm::Get().russianKeys = on;
}

char RussianCharacterFor(char latin) {
  static constexpr std::string_view kLatin =
      "qwertyuiop[]asdfghjkl;'zxcvbnm,./`QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?~@#$^&|";
  static constexpr std::string_view kRussian =
      "йцукенгшщзхъфывапролджэячсмитьбю.ёЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,Ё\"№;:?/"_cp;
  static_assert(kLatin.size() == kRussian.size());
  std::size_t at = kLatin.find(latin);
  return at == std::string_view::npos ? latin : kRussian[at];
}

}  // namespace plat
