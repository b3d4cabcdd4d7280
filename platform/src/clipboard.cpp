// The in-process clipboard; the backend mirrors text to the host.
#include "plat/clipboard.h"

#include "window_manager.h"

namespace plat {

void ClearClipboard() {
  wm::Get().clipboard.clear();
}

void PutClipboard(ClipboardFormat format, std::vector<std::uint8_t> data) {
  wm::Manager& m = wm::Get();
  if (format == ClipboardFormat::Text) {
    m.backend->MirrorClipboardText(
        std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  }
  m.clipboard[static_cast<int>(format)] = std::move(data);
}

bool ClipboardHas(ClipboardFormat format) {
  wm::Manager& m = wm::Get();
  if (format == ClipboardFormat::Text && m.backend->HostClipboardText()) return true;
  return m.clipboard.contains(static_cast<int>(format));
}

std::optional<std::vector<std::uint8_t>> ClipboardData(ClipboardFormat format) {
  wm::Manager& m = wm::Get();
  if (format == ClipboardFormat::Text) {
    if (std::optional<std::string> host = m.backend->HostClipboardText()) {
      return std::vector<std::uint8_t>(host->begin(), host->end());
    }
  }
  auto found = m.clipboard.find(static_cast<int>(format));
  if (found == m.clipboard.end()) return std::nullopt;
  return found->second;
}

void PutClipboardText(std::string_view cp1251) {
  PutClipboard(ClipboardFormat::Text, std::vector<std::uint8_t>(cp1251.begin(), cp1251.end()));
}

std::optional<std::string> ClipboardText() {
  std::optional<std::vector<std::uint8_t>> data = ClipboardData(ClipboardFormat::Text);
  if (!data) return std::nullopt;
  return std::string(data->begin(), data->end());
}

}  // namespace plat
