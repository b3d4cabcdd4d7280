#include "source.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "mv/types.h"
#include "plat/cp1251.h"

namespace mv::compiler {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = lead < 0x80         ? 1
                         : (lead >> 5) == 6  ? 2
                         : (lead >> 4) == 14 ? 3
                         : (lead >> 3) == 30 ? 4
                                             : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// A quoted value ("..." with \" and \\) or the rest of the text.
std::string Unquote(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
      if (value[i] == '\\' && i + 2 < value.size()) ++i;
      out += value[i];
    }
    return out;
  }
  return std::string(value);
}

// key=value words of a directive; values may be quoted (\" inside quotes is a quote).
std::vector<std::pair<std::string, std::string>> Words(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos >= text.size()) break;
    std::string key, value;
    std::string* target = &key;
    bool quoted = false;
    while (pos < text.size() && (quoted || (text[pos] != ' ' && text[pos] != '\t'))) {
      char ch = text[pos++];
      if (quoted && ch == '\\' && pos < text.size() && text[pos] == '"') {
        *target += text[pos++];  // \" inside quotes
      } else if (ch == '"') {
        quoted = !quoted;
      } else if (!quoted && ch == '=' && target == &key) {
        target = &value;
      } else {
        *target += ch;
      }
    }
    if (target == &key) {
      out.emplace_back("", std::move(key));
    } else {
      out.emplace_back(std::move(key), std::move(value));
    }
  }
  return out;
}

std::optional<std::int32_t> Colour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
  if (ec != std::errc() || end != text.data() + 7) return std::nullopt;
  return value;
}

// Wildcard match of a file name: '*' any run, '?' one byte.
bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (Matches(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  if (name.empty() || (pattern[0] != '?' && pattern[0] != name[0])) return false;
  return Matches(pattern.substr(1), name.substr(1));
}

class Reader {
 public:
  Reader(std::string_view text, std::string name, std::string folder, TitleSource& out,
         std::vector<Diagnostic>& diagnostics, int depth)
      : name_(std::move(name)),
        folder_(std::move(folder)),
        out_(out),
        diagnostics_(diagnostics),
        depth_(depth) {
    std::size_t pos = 0;
    while (pos <= text.size()) {
      auto end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      if (end == text.size()) break;
      pos = end + 1;
    }
  }

  bool read() {
    while (index_ < lines_.size()) {
      std::string_view line = Trim(lines_[index_]);
      int number = static_cast<int>(index_) + 1;
      ++index_;
      if (line.empty() || line[0] == '#') continue;
      if (StartsWith(line, "@topic")) {
        readTopic(Trim(line.substr(6)), number);
      } else if (line[0] == '@') {
        directive(line, number);
      } else {
        error(number, "text outside a topic");
      }
    }
    return ok_;
  }

 private:
  void error(int line, std::string message) {
    diagnostics_.push_back({name_, line, std::move(message)});
    ok_ = false;
  }

  std::string host(std::string_view relative) const {
    std::string path(relative);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/') return path;
    return (std::filesystem::path(folder_) / path).string();
  }

  void directive(std::string_view line, int number) {
    auto space = line.find_first_of(" \t");
    std::string_view name = line.substr(0, space);
    std::string_view rest =
        space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
    if (name == "@caption" || name == "@copyright") {
      out_.meta[std::string(name.substr(1))] = Unquote(rest);
    } else if (name == "@style") {
      auto words = Words(rest);
      if (words.empty() || !words[0].first.empty()) return error(number, "@style needs a name");
      StyleSource style;
      style.name = words[0].second;
      for (std::size_t i = 1; i < words.size(); ++i) {
        const auto& [key, value] = words[i];
        if (key.empty() && value == "bold")
          style.flags |= 1;
        else if (key.empty() && value == "italic")
          style.flags |= 2;
        else if (key.empty() && value == "underline")
          style.flags |= 4;
        else if (key == "face")
          style.face = value;
        else if (key == "size") {
          auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), style.size);
          if (ec != std::errc() || end != value.data() + value.size() || style.size <= 0) {
            return error(number, "bad size '" + value + "'");
          }
        } else if (key == "color" || key == "bg") {
          auto colour = Colour(value);
          if (!colour) return error(number, "bad colour '" + value + "'");
          (key == "color" ? style.colour : style.background) = *colour;
        } else {
          return error(number, "unknown style attribute '" + (key.empty() ? value : key) + "'");
        }
      }
      for (const auto& existing : out_.styles) {
        if (existing.name == style.name)
          return error(number, "style '" + style.name + "' defined twice");
      }
      out_.styles.push_back(std::move(style));
    } else if (name == "@wordwheel") {
      auto words = Words(rest);
      if (words.empty() || !words[0].first.empty() || words[0].second.empty()) {
        return error(number, "@wordwheel needs a name");
      }
      WheelSource wheel{words[0].second, "", {name_, number}};
      for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i].first != "tra") return error(number, "unknown word-wheel attribute");
        wheel.tra = words[i].second;
      }
      out_.wheels.push_back(std::move(wheel));
    } else if (name == "@list") {
      auto eq = rest.find('=');
      if (eq == std::string_view::npos) return error(number, "@list needs 'name = expression'");
      std::string listName(Trim(rest.substr(0, eq)));
      if (listName.empty()) return error(number, "@list needs a name");
      out_.lists.push_back({listName, std::string(Trim(rest.substr(eq + 1))), {name_, number}});
    } else if (name == "@baggage") {
      auto eq = rest.find('=');
      if (eq == std::string_view::npos) return error(number, "@baggage needs 'name = file'");
      std::string bagName(Trim(rest.substr(0, eq)));
      bool ascii = !bagName.empty() && std::all_of(bagName.begin(), bagName.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
      });
      if (!ascii) return error(number, "baggage names are ASCII without spaces");
      out_.baggage.push_back({bagName, host(Unquote(rest.substr(eq + 1))), {name_, number}});
    } else if (name == "@numbering") {
      auto words = Words(rest);
      if (words.size() != 1 || words[0].first != "wheel")
        return error(number, "@numbering wheel=NAME");
      out_.numberingWheel = words[0].second;
      out_.numberingWhere = {name_, number};
    } else if (name == "@rubrics") {
      rubrics(rest, number);
    } else if (name == "@include") {
      include(Unquote(rest), number);
    } else {
      error(number, "unknown directive '" + std::string(name) + "'");
    }
  }

  // "@rubrics file=NAME [header=FILE]", then one indented line per row:
  // ID "text" [parent=ID] [list=EXPRESSION]; a parent comes before its children.
  void rubrics(std::string_view rest, int number) {
    RubricTree tree;
    tree.where = {name_, number};
    for (const auto& [key, value] : Words(rest)) {
      if (key == "file") {
        tree.file = value;
      } else if (key == "header") {
        tree.header = host(value);
      } else {
        error(number, "unknown @rubrics attribute '" + (key.empty() ? value : key) + "'");
      }
    }
    if (tree.file.empty()) error(number, "@rubrics needs file=NAME");
    std::set<std::int32_t> ids;
    while (index_ < lines_.size()) {
      std::string_view raw = lines_[index_];
      std::string_view line = Trim(raw);
      if (line.empty() || (raw[0] != ' ' && raw[0] != '\t')) break;
      int at = static_cast<int>(++index_);
      if (line[0] == '#') continue;
      auto words = Words(line);
      RubricNode node;
      node.where = {name_, at};
      bool good = words.size() >= 2 && words[0].first.empty() && words[1].first.empty();
      if (good) {
        const std::string& id = words[0].second;
        auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), node.id);
        good = ec == std::errc() && end == id.data() + id.size() && node.id > 0;
      }
      if (!good) {
        error(at, "a rubric row is: NUMBER \"text\" [parent=NUMBER] [list=EXPRESSION]");
        continue;
      }
      node.text = words[1].second;
      for (std::size_t i = 2; i < words.size(); ++i) {
        const auto& [key, value] = words[i];
        if (key == "parent") {
          auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), node.parent);
          if (ec != std::errc() || end != value.data() + value.size() || !ids.count(node.parent)) {
            error(at, "parent '" + value + "' is not a rubric row above");
            node.parent = 0;
          }
        } else if (key == "list") {
          node.list = value;
        } else {
          error(at, "unknown rubric attribute '" + (key.empty() ? value : key) + "'");
        }
      }
      if (!ids.insert(node.id).second) {
        error(at, "rubric " + std::to_string(node.id) + " given twice");
        continue;
      }
      tree.nodes.push_back(std::move(node));
    }
    out_.rubrics.push_back(std::move(tree));
  }

  void include(const std::string& pattern, int number) {
    if (depth_ >= 16) return error(number, "includes nested too deep");
    std::filesystem::path full(host(pattern));
    std::vector<std::string> files;
    std::string leaf = full.filename().string();
    if (leaf.find_first_of("*?") == std::string::npos) {
      files.push_back(full.string());
    } else {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(full.parent_path(), ec)) {
        if (Matches(leaf, entry.path().filename().string())) files.push_back(entry.path().string());
      }
      std::sort(files.begin(), files.end());
    }
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      if (!in) {
        error(number, "cannot read included file '" + file + "'");
        continue;
      }
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!ParseSource(text, file, std::filesystem::path(file).parent_path().string(), out_,
                       diagnostics_, depth_ + 1)) {
        ok_ = false;
      }
    }
  }

  text::StyleResolver styles() const {
    return [this](std::string_view name) -> std::optional<std::int32_t> {
      for (std::size_t i = 0; i < out_.styles.size(); ++i) {
        if (out_.styles[i].name == name) return static_cast<std::int32_t>(i + 1);
      }
      return std::nullopt;
    };
  }

  void region(std::vector<text::Paragraph>& target, std::string_view text, int firstLine) {
    text::ParseError parseError;
    auto paragraphs = text::ParseRegion(text, styles(), firstLine, &parseError);
    if (!paragraphs) return error(parseError.line, parseError.message);
    target = std::move(*paragraphs);
  }

  void readTopic(std::string_view ctx, int startLine) {
    TopicSource topic;
    topic.where = {name_, startLine};
    topic.ctx = std::string(ctx);
    bool asciiCtx =
        !topic.ctx.empty() && std::all_of(topic.ctx.begin(), topic.ctx.end(), [](char c) {
          return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F &&
                 c != ';';
        });
    if (!asciiCtx) error(startLine, "a context string is ASCII without spaces or ';'");
    enum class Section { fields, heading, body } section = Section::fields;
    std::string regionText;
    int regionLine = 0;
    auto closeRegion = [&]() {
      if (section == Section::heading) region(topic.content.heading, regionText, regionLine);
      if (section == Section::body) region(topic.content.body, regionText, regionLine);
      regionText.clear();
    };
    bool ended = false;
    while (index_ < lines_.size()) {
      std::string_view raw = lines_[index_];
      std::string_view line = Trim(raw);
      int number = static_cast<int>(index_) + 1;
      ++index_;
      if (line == "@end") {
        ended = true;
        break;
      }
      if (line == "heading:" || line == "body:") {
        closeRegion();
        section = line == "heading:" ? Section::heading : Section::body;
        regionLine = number + 1;
        continue;
      }
      if (section != Section::fields) {
        regionText.append(raw);
        regionText += '\n';
        continue;
      }
      if (line.empty() || line[0] == '#') continue;
      field(topic, line, number);
    }
    closeRegion();
    if (!ended) error(startLine, "topic '" + topic.ctx + "' has no @end");
    out_.topics.push_back(std::move(topic));
  }

  void field(TopicSource& topic, std::string_view line, int number) {
    if (line == "nobrowse") {
      topic.flags |= topic_flag::nobrowse;
      return;
    }
    if (line == "popup") {
      topic.flags |= topic_flag::popup | topic_flag::nobrowse;
      return;
    }
    auto colon = line.find(':');
    if (colon == std::string_view::npos)
      return error(number, "unknown topic field '" + std::string(line) + "'");
    std::string_view name = Trim(line.substr(0, colon));
    std::string value(Trim(line.substr(colon + 1)));
    if (name == "title") {
      topic.title = value;
    } else if (name == "data") {
      topic.data = value;
    } else if (name == "tags") {
      for (auto& [key, word] : Words(value))
        topic.tags.push_back(key.empty() ? word : key + "=" + word);
    } else if (name == "no") {
      std::int32_t n = 0;
      auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
      if (ec != std::errc() || end != value.data() + value.size() || n < 0) {
        return error(number, "bad topic number '" + value + "'");
      }
      topic.number = n;
    } else if (StartsWith(name, "key ")) {
      KeyLine key;
      key.wheel = std::string(Trim(name.substr(4)));
      key.where = {name_, number};
      auto at = value.rfind(" @");
      if (at != std::string::npos) {
        key.anchor = std::string(Trim(std::string_view(value).substr(at + 2)));
        value = std::string(Trim(std::string_view(value).substr(0, at)));
      }
      if (value.empty()) return error(number, "empty key");
      key.text = value;
      topic.keys.push_back(std::move(key));
    } else if (name == "media") {
      if (!StartsWith(value, "<<")) {
        topic.media = value;
        return;
      }
      std::string terminator = value.substr(2);
      std::string media;
      bool closed = false;
      while (index_ < lines_.size()) {
        std::string_view raw = lines_[index_++];
        if (Trim(raw) == terminator) {
          closed = true;
          break;
        }
        if (!media.empty()) media += "\r\n";
        media.append(raw);
      }
      if (!closed) return error(number, "media text without its '" + terminator + "' line");
      topic.media = std::move(media);
      topic.mediaIsText = true;
    } else if (name == "media-file") {
      std::ifstream in(host(value), std::ios::binary);
      if (!in) return error(number, "cannot read media file '" + value + "'");
      topic.media =
          std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      topic.mediaIsText = false;
    } else {
      error(number, "unknown topic field '" + std::string(name) + "'");
    }
  }

  std::string name_;
  std::string folder_;
  TitleSource& out_;
  std::vector<Diagnostic>& diagnostics_;
  int depth_;
  std::vector<std::string_view> lines_;
  std::size_t index_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string_view Trim(std::string_view text) {
  auto start = text.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  auto end = text.find_last_not_of(" \t\r");
  return text.substr(start, end - start + 1);
}

bool ParseSource(std::string_view text, const std::string& name, const std::string& folder,
                 TitleSource& out, std::vector<Diagnostic>& diagnostics, int depth) {
  if (!ValidUtf8(text)) {
    diagnostics.push_back({name, 0, "the source is not valid UTF-8"});
    return false;
  }
  Reader reader(text, name, folder, out, diagnostics, depth);
  return reader.read();
}

}  // namespace mv::compiler
