// The message box entry point. Until the window layer installs a handler that shows real
// boxes, every message is recorded (and answered with OK) so that tests can read it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

namespace message_box {
inline constexpr std::uint32_t kOk = 0;
inline constexpr std::uint32_t kYesNo = 0x4;
inline constexpr std::uint32_t kDefaultSecond = 0x100;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kSystemModal = 0x1000;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace message_box

// Texts are code page 1251. Returns the button pressed.
int ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t flags);

using MessageBoxHandler =
    std::function<int(std::string_view text, std::string_view caption, std::uint32_t flags)>;
// Replaces the recording handler; an empty handler restores it.
void SetMessageBoxHandler(MessageBoxHandler handler);

struct RecordedMessage {
  std::string text;
  std::string caption;
  std::uint32_t flags = 0;
};
const std::vector<RecordedMessage>& RecordedMessages();
void ClearRecordedMessages();

}  // namespace plat
