#include "mv/compiler.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <unordered_map>

#include "morph/morph.h"
#include "mv/text_fold.h"
#include "mv/title_file.h"
#include "mv/topic_list.h"
#include "plat/cp1251.h"
#include "source.h"

namespace mv::compiler {

std::string Format(const Diagnostic& d) {
  return d.file + ":" + std::to_string(d.line) + ": " + d.message;
}

namespace {

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

bool Representable(std::string_view utf8) {
  return plat::cp1251::ToUtf8(plat::cp1251::FromUtf8(utf8)) == utf8;
}

class Writer {
 public:
  explicit Writer(sqlite3* db) : db_(db) {}
  bool exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      error_ = message ? message : "SQL error";
      sqlite3_free(message);
      return false;
    }
    return true;
  }
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      sqlite3_finalize(s);
      return nullptr;
    }
    statements_.push_back(s);
    return s;
  }
  bool run(sqlite3_stmt* s) {
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (rc != SQLITE_DONE) {
      error_ = sqlite3_errmsg(db_);
      return false;
    }
    return true;
  }
  ~Writer() {
    for (auto* s : statements_) sqlite3_finalize(s);
  }
  const std::string& error() const { return error_; }

 private:
  sqlite3* db_;
  std::vector<sqlite3_stmt*> statements_;
  std::string error_;
};

void BindText(sqlite3_stmt* s, int index, std::string_view text) {
  sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}
void BindBlob(sqlite3_stmt* s, int index, std::string_view bytes) {
  sqlite3_bind_blob(s, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

struct Placed {
  std::int32_t base = 0;
  std::int32_t headingUnits = 0;
  std::int32_t bodyUnits = 0;
};

struct Anchor {
  std::string ctx;
  std::int32_t topic = 0;
  std::int32_t addr = 0;
};

struct Entry {
  std::string text;                                          // UTF-8, first spelling
  std::vector<std::pair<std::int32_t, std::int32_t>> addrs;  // (addr, topic)
};

class Compilation {
 public:
  Compilation(TitleSource& source, const TitleOptions& options,
              std::vector<Diagnostic>& diagnostics)
      : s_(source), options_(options), diagnostics_(diagnostics) {}

  bool build(const std::string& outputPath) {
    if (!checkTopics() || !numberSeeAlsoRows() || !number() || !place() || !resolveLinks() ||
        !buildWheels() || !buildLists()) {
      return false;
    }
    return write(outputPath);
  }

 private:
  void error(const Location& where, std::string message) {
    diagnostics_.push_back({where.file, where.line, std::move(message)});
    ok_ = false;
  }

  bool checkTopics() {
    if (!s_.numberingWheel.empty() &&
        std::none_of(s_.wheels.begin(), s_.wheels.end(),
                     [&](const WheelSource& w) { return w.name == s_.numberingWheel; })) {
      error(s_.numberingWhere, "no @wordwheel named '" + s_.numberingWheel + "'");
    }
    std::map<std::string, const TopicSource*> seen;
    for (const auto& topic : s_.topics) {
      auto [it, fresh] = seen.emplace(AsciiLower(topic.ctx), &topic);
      if (!fresh) error(topic.where, "context string '" + topic.ctx + "' used twice");
      if (!Representable(topic.title))
        error(topic.where, "the title has characters outside code page 1251");
      if (topic.data && !Representable(*topic.data))
        error(topic.where, "the data has characters outside code page 1251");
      for (const auto& key : topic.keys) {
        bool known = std::any_of(s_.wheels.begin(), s_.wheels.end(),
                                 [&](const WheelSource& w) { return w.name == key.wheel; });
        if (!known) error(key.where, "no @wordwheel named '" + key.wheel + "'");
        if (!Representable(key.text))
          error(key.where, "the key has characters outside code page 1251");
      }
    }
    return ok_;
  }

  // The rows of a list text ("{N" or "ID {N" opens a block of N rows) that start with a
  // context string and ':' get the main title's number of that topic instead.
  bool numberSeeAlsoRows() {
    if (!options_.mainTopicNumber) return true;
    for (auto& topic : s_.topics) {
      if (!topic.media || !topic.mediaIsText) continue;
      std::string out;
      std::string_view text = *topic.media;
      long rows = 0;
      std::size_t pos = 0;
      while (pos <= text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        bool cr = !line.empty() && line.back() == '\r';
        if (cr) line.remove_suffix(1);
        std::string rewritten(line);
        std::string_view trimmed =
            line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
        if (rows == 0) {
          if (auto brace = line.find('{'); brace != std::string_view::npos)
            rows = std::strtol(std::string(line.substr(brace + 1)).c_str(), nullptr, 10);
        } else {
          --rows;
          if (!trimmed.empty() && trimmed[0] != ';') rewritten = seeAlsoRow(topic, trimmed);
        }
        out += rewritten;
        if (cr) out += '\r';
        if (end == text.size()) break;
        out += '\n';
        pos = end + 1;
      }
      topic.media = std::move(out);
    }
    return ok_;
  }

  std::string seeAlsoRow(const TopicSource& topic, std::string_view row) {
    if (std::isdigit(static_cast<unsigned char>(row[0]))) {
      long number = std::strtol(std::string(row.substr(0, 10)).c_str(), nullptr, 10);
      if (number < kFirstGroupRow && number >= options_.mainTopicCount) {
        error(topic.where, "see-also row '" + std::string(row) + "' names no main-title topic");
      }
      return std::string(row);
    }
    auto colon = row.find(':');
    if (colon == std::string_view::npos) {
      error(topic.where, "see-also row '" + std::string(row) + "' needs 'ctx: text' or a number");
      return std::string(row);
    }
    std::string ctx(row.substr(0, colon));
    while (!ctx.empty() && (ctx.back() == ' ' || ctx.back() == '\t')) ctx.pop_back();
    std::int32_t number = options_.mainTopicNumber(ctx);
    if (number < 0) {
      error(topic.where, "see-also row '" + ctx + "' names no main-title topic");
      return std::string(row);
    }
    std::string_view rest = row.substr(colon + 1);
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t")));
    return std::to_string(number) + " " + std::string(rest);
  }

  bool hasTraEntry(const TopicSource& topic) const {
    for (const auto& key : topic.keys) {
      for (const auto& wheel : s_.wheels) {
        if (wheel.name == key.wheel && !wheel.tra.empty()) return true;
      }
    }
    return false;
  }

  // Topics with entries in a wheel that has a topic-to-entry table come first (the table is
  // indexed by topic number but only as long as the wheel); `@numbering` orders them by wheel.
  bool number() {
    const std::size_t count = s_.topics.size();
    std::vector<std::size_t> order;
    std::vector<bool> taken(count, false);
    if (!s_.numberingWheel.empty()) {
      std::vector<std::pair<std::string, std::size_t>> keyed;
      for (std::size_t i = 0; i < count; ++i) {
        for (const auto& key : s_.topics[i].keys) {
          if (key.wheel == s_.numberingWheel) {
            keyed.emplace_back(WheelSortKey(plat::cp1251::FromUtf8(key.text)), i);
            break;
          }
        }
      }
      std::stable_sort(keyed.begin(), keyed.end());
      for (auto& [key, i] : keyed) {
        order.push_back(i);
        taken[i] = true;
      }
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (!taken[i] && hasTraEntry(s_.topics[i])) order.push_back(i), taken[i] = true;
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (!taken[i]) order.push_back(i);
    }
    numbers_.assign(count, -1);
    std::vector<bool> used(count, false);
    for (std::size_t i = 0; i < count; ++i) {
      if (auto n = s_.topics[i].number) {
        if (*n >= static_cast<std::int32_t>(count)) {
          error(s_.topics[i].where,
                "topic number " + std::to_string(*n) + " beyond the topic count");
        } else if (used[static_cast<std::size_t>(*n)]) {
          error(s_.topics[i].where, "topic number " + std::to_string(*n) + " given twice");
        } else {
          numbers_[i] = *n;
          used[static_cast<std::size_t>(*n)] = true;
        }
      }
    }
    std::size_t next = 0;
    for (std::size_t i : order) {
      if (numbers_[i] >= 0 || (s_.topics[i].number && !ok_)) continue;
      while (used[next]) ++next;
      numbers_[i] = static_cast<std::int32_t>(next);
      used[next] = true;
    }
    bySource_.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
      if (numbers_[i] >= 0) bySource_[static_cast<std::size_t>(numbers_[i])] = i;
    }
    return ok_;
  }

  const TopicSource& topicAt(std::int32_t no) const {
    return s_.topics[bySource_[static_cast<std::size_t>(no)]];
  }

  bool place() {
    std::int64_t base = options_.addressBase;
    placed_.resize(s_.topics.size());
    std::map<std::uint32_t, std::string> hashes;
    auto claimHash = [&](const std::string& ctx, const Location& where) {
      auto hash = title_file::HashContext(ctx);
      auto [it, fresh] = hashes.emplace(hash, ctx);
      if (!fresh) error(where, "hash of '" + ctx + "' collides with '" + it->second + "'");
    };
    for (std::int32_t no = 0; no < static_cast<std::int32_t>(s_.topics.size()); ++no) {
      const auto& topic = topicAt(no);
      Placed& p = placed_[static_cast<std::size_t>(no)];
      p.headingUnits = text::UnitCount(topic.content.heading);
      p.bodyUnits = text::UnitCount(topic.content.body);
      if (topic.content.heading.empty()) p.headingUnits = 0;
      if (topic.content.body.empty()) p.bodyUnits = 0;
      if (base + p.headingUnits + p.bodyUnits + title_file::kTopicGap > INT32_MAX) {
        error(topic.where, "the title is too large for 32-bit addresses");
        return false;
      }
      p.base = static_cast<std::int32_t>(base);
      claimHash(topic.ctx, topic.where);
      contexts_[AsciiLower(topic.ctx)] = no;
      for (auto [region, offset] :
           {std::pair{&topic.content.heading, 0}, std::pair{&topic.content.body, p.headingUnits}}) {
        for (const auto& anchor : text::Anchors(*region)) {
          std::string lower = AsciiLower(anchor.ctx);
          if (anchors_.count(lower) || contexts_.count(lower)) {
            error(topic.where, "anchor '" + anchor.ctx + "' names a topic or another anchor");
            continue;
          }
          claimHash(anchor.ctx, topic.where);
          anchors_[lower] = {anchor.ctx, no, p.base + offset + anchor.unit};
        }
      }
      base += std::max(p.headingUnits + p.bodyUnits, 1) + title_file::kTopicGap;
    }
    // Anchors collected before a topic of the same name are caught here.
    for (const auto& [lower, anchor] : anchors_) {
      if (contexts_.count(lower))
        error(topicAt(anchor.topic).where, "anchor '" + anchor.ctx + "' names a topic");
    }
    return ok_;
  }

  std::optional<std::pair<std::uint32_t, std::int32_t>> target(const std::string& ref) const {
    auto at = ref.find('@');
    std::string topicPart = at == std::string::npos ? ref : ref.substr(0, at);
    if (at != std::string::npos) {
      auto it = anchors_.find(AsciiLower(ref.substr(at + 1)));
      if (it == anchors_.end()) return std::nullopt;
      if (!topicPart.empty()) {
        auto topic = contexts_.find(AsciiLower(topicPart));
        if (topic == contexts_.end() || topic->second != it->second.topic) return std::nullopt;
      }
      return std::pair{title_file::HashContext(it->second.ctx), it->second.addr};
    }
    auto lower = AsciiLower(topicPart);
    if (auto it = contexts_.find(lower); it != contexts_.end()) {
      return std::pair{title_file::HashContext(topicPart),
                       placed_[static_cast<std::size_t>(it->second)].base};
    }
    if (auto it = anchors_.find(lower); it != anchors_.end()) {
      return std::pair{title_file::HashContext(it->second.ctx), it->second.addr};
    }
    return std::nullopt;
  }

  bool resolveLinks() {
    for (auto& topic : s_.topics) {
      for (auto* region : {&topic.content.heading, &topic.content.body}) {
        for (auto& paragraph : *region) {
          for (auto& item : paragraph.items) {
            if (item.link.kind != text::Link::Kind::jump) continue;
            auto resolved = target(item.link.target);
            if (!resolved) {
              error(topic.where,
                    "jump to '" + item.link.target +
                        "', which is not in this title (use a command link for other titles)");
              continue;
            }
            item.link.hash = resolved->first;
            item.link.addr = resolved->second;
          }
        }
      }
    }
    return ok_;
  }

  bool buildWheels() {
    for (const auto& wheel : s_.wheels) {
      std::map<std::string, Entry> entries;                          // folded key -> entry
      std::map<std::int32_t, std::pair<bool, std::string>> primary;  // topic -> (anchored, key)
      for (const auto& topic : s_.topics) {
        std::int32_t no = numbers_[static_cast<std::size_t>(&topic - s_.topics.data())];
        for (const auto& key : topic.keys) {
          if (key.wheel != wheel.name) continue;
          std::int32_t addr = placed_[static_cast<std::size_t>(no)].base;
          if (!key.anchor.empty()) {
            auto it = anchors_.find(AsciiLower(key.anchor));
            if (it == anchors_.end() || it->second.topic != no) {
              error(key.where, "no anchor '" + key.anchor + "' in this topic");
              continue;
            }
            addr = it->second.addr;
          }
          std::string cp = plat::cp1251::FromUtf8(key.text);
          auto [slot, fresh] = primary.try_emplace(no, !key.anchor.empty(), WheelKey(cp));
          if (!fresh && slot->second.first && key.anchor.empty())
            slot->second = {false, WheelKey(cp)};
          auto& entry = entries[WheelKey(cp)];
          if (entry.text.empty()) entry.text = key.text;
          entry.addrs.emplace_back(addr, no);
        }
      }
      std::vector<std::pair<std::string, Entry>> sorted;
      for (auto& [key, entry] : entries) {
        sorted.emplace_back(WheelSortKey(plat::cp1251::FromUtf8(entry.text)), std::move(entry));
      }
      std::sort(sorted.begin(), sorted.end(),
                [](const auto& a, const auto& b) { return a.first < b.first; });
      std::vector<Entry> list;
      std::map<std::string, std::int32_t> indexOfKey;
      for (auto& [key, entry] : sorted) {
        indexOfKey[WheelKey(plat::cp1251::FromUtf8(entry.text))] =
            static_cast<std::int32_t>(list.size());
        list.push_back(std::move(entry));
      }
      // Topic n marks the entry of its first whole-topic key.
      std::vector<std::int32_t> table(list.size(), -1);
      for (const auto& [no, choice] : primary) {
        if (no < static_cast<std::int32_t>(table.size()))
          table[static_cast<std::size_t>(no)] = indexOfKey[choice.second];
      }
      traTables_.push_back(std::move(table));
      if (!wheel.tra.empty()) {
        for (std::size_t e = 0; e < list.size(); ++e) {
          for (const auto& [addr, no] : list[e].addrs) {
            if (no >= static_cast<std::int32_t>(list.size())) {
              error(wheel.where, "topic '" + topicAt(no).ctx + "' (number " + std::to_string(no) +
                                     ") has an entry in " + wheel.name +
                                     " but its number is not below the entry count " +
                                     std::to_string(list.size()) + " that " + wheel.tra +
                                     " covers");
            }
          }
        }
      }
      wheels_.push_back(std::move(list));
    }
    return ok_;
  }

  std::optional<TopicList> operand(const std::string& word, const Location& where) {
    std::vector<std::int32_t> out;
    if (word == "all") {
      for (std::int32_t no = 0; no < static_cast<std::int32_t>(s_.topics.size()); ++no)
        out.push_back(no);
    } else if (word.rfind("tag:", 0) == 0) {
      std::string tag = word.substr(4);
      for (std::size_t i = 0; i < s_.topics.size(); ++i) {
        const auto& tags = s_.topics[i].tags;
        if (std::find(tags.begin(), tags.end(), tag) != tags.end()) out.push_back(numbers_[i]);
      }
    } else if (word.rfind("ctx:", 0) == 0) {
      auto it = contexts_.find(AsciiLower(word.substr(4)));
      if (it == contexts_.end()) {
        error(where, "list names unknown topic '" + word.substr(4) + "'");
        return std::nullopt;
      }
      out.push_back(it->second);
    } else if (word.rfind("list:", 0) == 0) {
      auto it = lists_.find(AsciiLower(word.substr(5)));
      if (it == lists_.end()) {
        error(where, "list '" + word.substr(5) + "' is not defined above");
        return std::nullopt;
      }
      return it->second.second;
    } else {
      error(where, "bad list term '" + word + "' (all, tag:X, ctx:X, list:X)");
      return std::nullopt;
    }
    return TopicList(std::move(out));
  }

  std::optional<TopicList> evaluate(const std::string& expression, const Location& where) {
    std::optional<TopicList> value;
    char op = 0;
    std::string_view rest = expression;
    while (!rest.empty()) {
      auto start = rest.find_first_not_of(" \t");
      if (start == std::string_view::npos) break;
      rest.remove_prefix(start);
      auto end = rest.find_first_of(" \t");
      std::string word(rest.substr(0, end));
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
      if (word == "+" || word == "-" || word == "&") {
        if (!value || op) {
          error(where, "operator '" + word + "' without a left operand");
          return std::nullopt;
        }
        op = word[0];
        continue;
      }
      auto next = operand(word, where);
      if (!next) return std::nullopt;
      if (!value) {
        value = std::move(next);
      } else if (!op) {
        error(where, "two terms without an operator");
        return std::nullopt;
      } else {
        auto code = op == '+' ? Combine::unite : op == '-' ? Combine::subtract : Combine::intersect;
        value = TopicList::Combine(code, *value, *next);
      }
      op = 0;
    }
    if (!value || op) {
      error(where, "incomplete list expression");
      return std::nullopt;
    }
    return value;
  }

  void defineList(const std::string& name, TopicList list, const Location& where) {
    auto [it, fresh] = lists_.emplace(AsciiLower(name), std::pair{name, std::move(list)});
    if (!fresh) error(where, "list '" + name + "' defined twice");
  }

  bool buildLists() {
    for (const auto& list : s_.lists) {
      if (auto value = evaluate(list.expression, list.where))
        defineList(list.name, std::move(*value), list.where);
    }
    // A rubric's number names its list.
    for (const auto& tree : s_.rubrics) {
      for (const auto& node : tree.nodes) {
        if (node.list.empty()) continue;
        if (auto value = evaluate(node.list, node.where))
          defineList(std::to_string(node.id), std::move(*value), node.where);
      }
    }
    return ok_;
  }

  // A list description (header, "BEGIN:", then one block of rows per parent, parents before
  // their children) in code page 1251 with CR LF line ends.
  bool buildRubricFiles(const std::string& folder) {
    for (const auto& tree : s_.rubrics) {
      std::string text;
      if (!tree.header.empty()) {
        std::ifstream in(tree.header, std::ios::binary);
        if (!in) {
          error(tree.where, "cannot read rubric header '" + tree.header + "'");
          continue;
        }
        std::string header((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t pos = 0;
        while (pos < header.size()) {
          auto end = header.find('\n', pos);
          if (end == std::string::npos) end = header.size();
          std::string line = header.substr(pos, end - pos);
          if (!line.empty() && line.back() == '\r') line.pop_back();
          pos = end + 1;
          auto first = line.find_first_not_of(" \t");
          if (first != std::string::npos && line.compare(first, 6, "BEGIN:") == 0) {
            error(tree.where, "the rubric header has its own BEGIN: line");
            break;
          }
          if (!Representable(line)) {
            error(tree.where, "the rubric header has characters outside code page 1251");
            break;
          }
          text += plat::cp1251::FromUtf8(line) + "\r\n";
        }
      }
      text += "BEGIN:\r\n";
      std::map<std::int32_t, std::vector<const RubricNode*>> children;
      for (const auto& node : tree.nodes) children[node.parent].push_back(&node);
      bool good = true;
      auto block = [&](auto&& self, std::int32_t parent) -> void {
        auto it = children.find(parent);
        if (it == children.end()) return;
        text += (parent ? std::to_string(parent) + " {" : std::string("{")) +
                std::to_string(it->second.size()) + "\r\n";
        for (const RubricNode* node : it->second) {
          if (!Representable(node->text)) {
            error(node->where, "the rubric text has characters outside code page 1251");
            good = false;
          }
          std::string row = std::to_string(node->id) + " \"";
          for (char c : plat::cp1251::FromUtf8(node->text)) {
            if (c == '"') row += '\\';
            row += c;
          }
          row += '"';
          // The list reads at most 511 characters of a line.
          if (row.size() > 511) {
            error(node->where, "the rubric row is longer than 511 characters");
            good = false;
          }
          text += row + "\r\n";
        }
        for (const RubricNode* node : it->second) self(self, node->id);
      };
      block(block, 0);
      if (!good) continue;
      std::string name = tree.file;
      std::replace(name.begin(), name.end(), '\\', '/');
      sideFiles_.emplace_back((std::filesystem::path(folder) / name).string(), std::move(text));
    }
    return ok_;
  }

  bool write(const std::string& outputPath) {
    std::string temporary = outputPath + ".part";
    std::filesystem::remove(temporary);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
      error({outputPath, 0}, "cannot create the title file");
      sqlite3_close(db);
      return false;
    }
    bool written = fill(db, outputPath) && buildRubricFiles(sideFolder(outputPath));
    sqlite3_close(db);
    // Side files are written beside their final names first, so that a failure anywhere leaves
    // neither the title nor any of them half-made.
    std::vector<std::string> parts;
    auto discard = [&] {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      for (const auto& part : parts) std::filesystem::remove(part, ignored);
    };
    if (!written) {
      discard();
      return false;
    }
    for (const auto& [name, bytes] : sideFiles_) {
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(name).parent_path(), ec);
      parts.push_back(name + ".part");
      std::ofstream out(parts.back(), std::ios::binary | std::ios::trunc);
      if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
        error({name, 0}, "cannot write side file");
        discard();
        return false;
      }
    }
    std::error_code ec;
    for (std::size_t i = 0; i < sideFiles_.size() && !ec; ++i)
      std::filesystem::rename(parts[i], sideFiles_[i].first, ec);
    if (!ec) std::filesystem::rename(temporary, outputPath, ec);
    if (ec) {
      discard();
      error({outputPath, 0}, "cannot move the title in place: " + ec.message());
      return false;
    }
    return ok_;
  }

  std::string sideFolder(const std::string& outputPath) const {
    return options_.sideFolder.empty() ? std::filesystem::path(outputPath).parent_path().string()
                                       : options_.sideFolder;
  }

  bool fill(sqlite3* db, const std::string& outputPath) {
    if (!title_file::RegisterExtensions(db)) {
      error({outputPath, 0}, "cannot register the tokenizer");
      return false;
    }
    Writer w(db);
    auto fail = [&](const std::string& what) {
      error({outputPath, 0}, what + ": " + w.error());
      return false;
    };
    if (!w.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;") ||
        !w.exec(title_file::kSchema) || !w.exec("BEGIN")) {
      return fail("schema");
    }
    auto* meta = w.prepare("INSERT INTO meta(key, value) VALUES(?1, ?2)");
    if (!meta) return fail("meta");
    auto metaRows = s_.meta;
    metaRows["addr_base"] = std::to_string(options_.addressBase);
    metaRows["morph_id"] = morph::DataIdentity();
    metaRows["compiler"] = "mvc 1";
    for (const auto& [key, value] : metaRows) {
      BindText(meta, 1, key);
      BindText(meta, 2, value);
      if (!w.run(meta)) return fail("meta");
    }
    auto* style = w.prepare(
        "INSERT INTO style(id, name, face, size_pt, flags, colour, bg) "
        "VALUES(?1,?2,?3,?4,?5,?6,?7)");
    if (!style) return fail("style");
    std::vector<StyleSource> styles{{"default", "", 0, 0, -1, -1}};
    styles.insert(styles.end(), s_.styles.begin(), s_.styles.end());
    for (std::size_t i = 0; i < styles.size(); ++i) {
      sqlite3_bind_int64(style, 1, static_cast<std::int64_t>(i));
      BindText(style, 2, styles[i].name);
      BindText(style, 3, styles[i].face);
      sqlite3_bind_double(style, 4, styles[i].size);
      sqlite3_bind_int64(style, 5, styles[i].flags);
      sqlite3_bind_int64(style, 6, styles[i].colour);
      sqlite3_bind_int64(style, 7, styles[i].background);
      if (!w.run(style)) return fail("style");
    }

    auto* topic = w.prepare(
        "INSERT INTO topic(no, ctx, hash, title, addr_base, nsr_units, sr_units, flags, prev_no, "
        "next_no, data, media, media_is_text, content) "
        "VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14)");
    auto* plain = w.prepare("INSERT INTO topic_text(no, heading, body) VALUES(?1, ?2, ?3)");
    auto* fts = w.prepare("INSERT INTO topic_fts(rowid, heading, body) VALUES(?1, ?2, ?3)");
    if (!topic || !plain || !fts) return fail("topics");
    const auto count = static_cast<std::int32_t>(s_.topics.size());
    std::vector<std::int32_t> previous(static_cast<std::size_t>(count), -1),
        next(static_cast<std::size_t>(count), -1);
    std::int32_t last = -1;
    for (std::int32_t no = 0; no < count; ++no) {
      if (topicAt(no).flags & topic_flag::nobrowse) continue;
      if (last >= 0) {
        next[static_cast<std::size_t>(last)] = no;
        previous[static_cast<std::size_t>(no)] = last;
      }
      last = no;
    }
    for (std::int32_t no = 0; no < count; ++no) {
      const auto& t = topicAt(no);
      const auto& p = placed_[static_cast<std::size_t>(no)];
      sqlite3_bind_int64(topic, 1, no);
      BindText(topic, 2, t.ctx);
      sqlite3_bind_int64(topic, 3, title_file::HashContext(t.ctx));
      BindText(topic, 4, t.title);
      sqlite3_bind_int64(topic, 5, p.base);
      sqlite3_bind_int64(topic, 6, p.headingUnits);
      sqlite3_bind_int64(topic, 7, p.bodyUnits);
      int flags = t.flags;
      if (t.content.heading.empty() && t.content.body.empty()) flags |= topic_flag::dataOnly;
      sqlite3_bind_int64(topic, 8, flags);
      sqlite3_bind_int64(topic, 9, previous[static_cast<std::size_t>(no)]);
      sqlite3_bind_int64(topic, 10, next[static_cast<std::size_t>(no)]);
      if (t.data) BindText(topic, 11, *t.data);
      if (t.media) BindBlob(topic, 12, *t.media);
      sqlite3_bind_int64(topic, 13, t.media && t.mediaIsText ? 1 : 0);
      BindText(topic, 14, text::WriteCanonical(t.content));
      if (!w.run(topic)) return fail("topic '" + t.ctx + "'");
      std::string heading =
          t.content.heading.empty() ? std::string() : text::PlainText(t.content.heading);
      std::string body = t.content.body.empty() ? std::string() : text::PlainText(t.content.body);
      for (auto* s : {plain, fts}) {
        sqlite3_bind_int64(s, 1, no);
        BindText(s, 2, heading);
        BindText(s, 3, body);
        if (!w.run(s)) return fail("text of '" + t.ctx + "'");
      }
    }
    auto* anchor = w.prepare("INSERT INTO anchor(ctx, hash, topic, addr) VALUES(?1, ?2, ?3, ?4)");
    if (!anchor) return fail("anchors");
    for (const auto& [lower, a] : anchors_) {
      BindText(anchor, 1, a.ctx);
      sqlite3_bind_int64(anchor, 2, title_file::HashContext(a.ctx));
      sqlite3_bind_int64(anchor, 3, a.topic);
      sqlite3_bind_int64(anchor, 4, a.addr);
      if (!w.run(anchor)) return fail("anchor '" + a.ctx + "'");
    }

    auto* wheel = w.prepare("INSERT INTO wordwheel(id, name, entries) VALUES(?1, ?2, ?3)");
    auto* entry =
        w.prepare("INSERT INTO ww_entry(id, ww, no, text, sortkey) VALUES(?1, ?2, ?3, ?4, ?5)");
    auto* entryFts = w.prepare("INSERT INTO ww_fts(rowid, text) VALUES(?1, ?2)");
    auto* key = w.prepare("INSERT INTO ww_key(ww, key, seq, addr) VALUES(?1, ?2, ?3, ?4)");
    if (!wheel || !entry || !entryFts || !key) return fail("word wheels");
    std::int64_t entryId = 1;
    for (std::size_t i = 0; i < s_.wheels.size(); ++i) {
      const auto& list = wheels_[i];
      auto wheelId = static_cast<std::int64_t>(i + 1);
      sqlite3_bind_int64(wheel, 1, wheelId);
      BindText(wheel, 2, s_.wheels[i].name);
      sqlite3_bind_int64(wheel, 3, static_cast<std::int64_t>(list.size()));
      if (!w.run(wheel)) return fail("word wheel " + s_.wheels[i].name);
      std::string tra(list.size() * 4, '\0');
      for (std::size_t e = 0; e < list.size(); ++e, ++entryId) {
        std::string cp = plat::cp1251::FromUtf8(list[e].text);
        sqlite3_bind_int64(entry, 1, entryId);
        sqlite3_bind_int64(entry, 2, wheelId);
        sqlite3_bind_int64(entry, 3, static_cast<std::int64_t>(e));
        BindText(entry, 4, list[e].text);
        BindBlob(entry, 5, WheelSortKey(cp));
        if (!w.run(entry)) return fail("entry");
        sqlite3_bind_int64(entryFts, 1, entryId);
        BindText(entryFts, 2, list[e].text);
        if (!w.run(entryFts)) return fail("entry index");
        std::string folded = WheelKey(cp);
        for (std::size_t k = 0; k < list[e].addrs.size(); ++k) {
          sqlite3_bind_int64(key, 1, wheelId);
          BindBlob(key, 2, folded);
          sqlite3_bind_int64(key, 3, static_cast<std::int64_t>(k));
          sqlite3_bind_int64(key, 4, list[e].addrs[k].first);
          if (!w.run(key)) return fail("key");
        }
      }
      for (std::size_t no = 0; no < traTables_[i].size(); ++no) {
        auto value = static_cast<std::uint32_t>(traTables_[i][no]);
        for (std::size_t b = 0; b < 4; ++b)
          tra[no * 4 + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
      }
      if (!s_.wheels[i].tra.empty()) {
        std::string name = s_.wheels[i].tra;
        std::replace(name.begin(), name.end(), '\\', '/');
        sideFiles_.emplace_back((std::filesystem::path(sideFolder(outputPath)) / name).string(),
                                tra);
      }
    }

    auto* list = w.prepare("INSERT INTO stored_list(name, items) VALUES(?1, ?2)");
    if (!list) return fail("lists");
    for (const auto& [lower, named] : lists_) {
      BindText(list, 1, named.first);
      BindBlob(list, 2, named.second.ToBlob());
      if (!w.run(list)) return fail("list " + named.first);
    }

    auto* bag = w.prepare("INSERT INTO baggage(name, data) VALUES(?1, ?2)");
    if (!bag) return fail("baggage");
    for (const auto& b : s_.baggage) {
      std::ifstream in(b.path, std::ios::binary);
      if (!in) {
        error(b.where, "cannot read baggage file '" + b.path + "'");
        continue;
      }
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      BindText(bag, 1, b.name);
      BindBlob(bag, 2, bytes);
      if (!w.run(bag)) {
        error(b.where, "baggage '" + b.name + "': " + w.error());
      }
    }
    if (!ok_) return false;
    if (options_.optimizeIndex && !w.exec("INSERT INTO topic_fts(topic_fts) VALUES('optimize')")) {
      return fail("index");
    }
    if (!w.exec("COMMIT")) return fail("commit");
    std::string ids = "PRAGMA application_id=" + std::to_string(title_file::kApplicationId) +
                      "; PRAGMA user_version=" + std::to_string(title_file::kVersion) + ";";
    if (!w.exec(ids.c_str())) return fail("header");
    return true;
  }

  TitleSource& s_;
  TitleOptions options_;
  std::vector<Diagnostic>& diagnostics_;
  bool ok_ = true;
  std::vector<std::int32_t> numbers_;  // source index -> number
  std::vector<std::size_t> bySource_;  // number -> source index
  std::vector<Placed> placed_;         // by number
  std::unordered_map<std::string, std::int32_t> contexts_;
  std::map<std::string, Anchor> anchors_;
  std::vector<std::vector<Entry>> wheels_;
  std::vector<std::vector<std::int32_t>> traTables_;
  std::map<std::string, std::pair<std::string, TopicList>> lists_;
  std::vector<std::pair<std::string, std::string>> sideFiles_;
};

}  // namespace

bool CompileTitleText(std::string_view source, const std::string& sourceName,
                      const std::string& folder, const std::string& outputPath,
                      const TitleOptions& options, std::vector<Diagnostic>& diagnostics) {
  TitleSource parsed;
  if (!ParseSource(source, sourceName, folder, parsed, diagnostics)) return false;
  Compilation compilation(parsed, options, diagnostics);
  return compilation.build(outputPath);
}

bool CompileTitle(const std::string& sourcePath, const std::string& outputPath,
                  const TitleOptions& options, std::vector<Diagnostic>& diagnostics) {
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    diagnostics.push_back({sourcePath, 0, "cannot read the source"});
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return CompileTitleText(text, sourcePath,
                          std::filesystem::path(sourcePath).parent_path().string(), outputPath,
                          options, diagnostics);
}

}  // namespace mv::compiler
