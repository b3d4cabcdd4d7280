#include "mv/dump.h"

#include "morph/fold.h"
#include "mv/text_fold.h"
#include "mv/title.h"

namespace mv {
namespace {

// The characters of units [first, first + length) of a topic's plain text.
std::string UnitText(Title& title, TopicNo topic, std::int32_t first, std::int32_t length) {
  auto content = title.content(topic);
  if (!content) return "?";
  std::string plain = text::PlainText(content->heading) + text::PlainText(content->body);
  if (content->heading.empty()) plain = text::PlainText(content->body);
  std::string out;
  std::int32_t index = 0;
  for (std::size_t pos = 0; pos < plain.size() && index < first + length; ++index) {
    char32_t c = morph::NextCharacter(plain, pos);
    if (index >= first) morph::AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

std::string DumpTitle(Title& title) {
  std::string out;
  out += "topics " + std::to_string(title.topicCount()) + "\n";
  for (TopicNo no = 0; no < title.topicCount(); ++no) {
    auto record = title.topic(no);
    auto [first, last] = title.topicRange(no);
    if (!record) continue;
    out += "  " + std::to_string(no) + " " + record->ctx + " [" + std::to_string(ToInt(first)) +
           ".." + std::to_string(ToInt(last)) + "] heading " +
           std::to_string(title.headingUnits(no)) + " '" + record->title + "'";
    if (record->data) out += " data '" + *record->data + "'";
    out += "\n";
  }
  for (const auto& name : title.wordWheelNames()) {
    auto wheel = title.wordWheel(name);
    if (!wheel) continue;
    out += "wordwheel " + ToUtf8(name) + " " + std::to_string(wheel->length()) + "\n";
    for (std::int32_t i = 0; i < wheel->length(); ++i) {
      auto entry = wheel->entry(i).value_or("?");
      out += "  " + std::to_string(i) + " " + ToUtf8(entry) + " ->";
      for (auto addr : wheel->keyAddrs(entry, 0, INT32_MAX))
        out += " " + std::to_string(ToInt(addr));
      out += "\n";
    }
  }
  for (const auto& name : title.storedListNames()) {
    auto list = title.storedList(name);
    out += "list " + ToUtf8(name) + ":";
    if (list) {
      for (auto n : list->items()) out += " " + std::to_string(n);
    }
    out += "\n";
  }
  for (const auto& name : title.baggageNames()) {
    auto bag = title.baggage(name);
    out += "baggage " + ToUtf8(name) + " " + std::to_string(bag ? bag->size() : -1) + "\n";
  }
  return out;
}

std::string DumpQuery(Title& title, const Query& query) {
  QueryError error;
  auto hits = title.query(query, nullptr, true, {}, &error);
  if (!hits) {
    return "no list (code " + std::to_string(error.code) + ", offset " +
           std::to_string(error.offset) + (error.message.empty() ? "" : ", " + error.message) +
           ")\n";
  }
  std::string out = "topics:";
  for (auto n : hits->topics.items()) out += " " + std::to_string(n);
  out += "\n";
  for (const auto& hit : hits->highlights.all().hits) {
    auto [first, last] = title.topicRange(hit.topic);
    std::int32_t unit = ToInt(hit.addr) - ToInt(first);
    out += "  " + std::to_string(hit.topic) + " " + std::to_string(ToInt(hit.addr)) + " " +
           std::to_string(hit.length) + " " + UnitText(title, hit.topic, unit, hit.length) + "\n";
  }
  return out;
}

}  // namespace mv
