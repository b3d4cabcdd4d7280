// The clipboard: text in code page 1251 (CR LF line ends) and opaque formats, kept in the
// process; the host backend may mirror the text to the host's clipboard.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class ClipboardFormat { Text, Picture, RichCopy };

void ClearClipboard();
void PutClipboard(ClipboardFormat format, std::vector<std::uint8_t> data);
bool ClipboardHas(ClipboardFormat format);
std::optional<std::vector<std::uint8_t>> ClipboardData(ClipboardFormat format);

// Text without its terminating zero.
void PutClipboardText(std::string_view cp1251);
std::optional<std::string> ClipboardText();

}  // namespace plat
