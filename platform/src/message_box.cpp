#include "plat/message_box.h"

namespace plat {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

std::vector<RecordedMessage>& Records() {
  static std::vector<RecordedMessage> records;
  return records;
}

}  // namespace

int ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t flags) {
  if (Handler()) return Handler()(text, caption, flags);
  Records().push_back({std::string(text), std::string(caption), flags});
  return message_box::kAnswerOk;
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
  Handler() = std::move(handler);
}

const std::vector<RecordedMessage>& RecordedMessages() {
  return Records();
}

void ClearRecordedMessages() {
  Records().clear();
}

}  // namespace plat
