#include "plat/profile.h"

#include <cstdlib>
#include <optional>

#include "plat/path.h"
#include "plat/stream.h"

namespace plat {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The lines of a profile, with what each one is.
struct Document {
  struct Line {
    std::string text;
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string name;  // section name or key
    std::string value;
  };
  std::vector<Line> lines;

  static Document Load(const std::string& path) {
    Document doc;
    auto content = ReadWholeFile(path);
    if (!content) return doc;
    std::string_view rest = *content;
    while (!rest.empty()) {
      size_t end = rest.find('\n');
      std::string_view raw = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      doc.lines.push_back(Parse(raw));
    }
    return doc;
  }

  static Line Parse(std::string_view raw) {
    Line line;
    line.text = raw;
    std::string_view trimmed = Trim(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
      size_t close = trimmed.find(']');
      line.kind = Line::Kind::Section;
      line.name = Trim(trimmed.substr(1, close == std::string_view::npos ? close : close - 1));
    } else if (!trimmed.empty() && trimmed.front() != ';') {
      size_t equals = trimmed.find('=');
      if (equals != std::string_view::npos) {
        line.kind = Line::Kind::Entry;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
      }
    }
    return line;
  }

  // The line index of the section header, and one past its last line.
  std::optional<std::pair<size_t, size_t>> FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind != Line::Kind::Section || !SameName(lines[i].name, section)) continue;
      size_t end = i + 1;
      while (end < lines.size() && lines[end].kind != Line::Kind::Section) ++end;
      return std::make_pair(i, end);
    }
    return std::nullopt;
  }

  const Line* FindEntry(std::string_view section, std::string_view key) const {
    auto range = FindSection(section);
    if (!range) return nullptr;
    for (size_t i = range->first + 1; i < range->second; ++i) {
      if (lines[i].kind == Line::Kind::Entry && SameName(lines[i].name, key)) return &lines[i];
    }
    return nullptr;
  }

  // Index after the last non-blank line of a section, where new keys go.
  size_t InsertionPoint(std::pair<size_t, size_t> range) const {
    size_t at = range.second;
    while (at > range.first + 1 && Trim(lines[at - 1].text).empty()) --at;
    return at;
  }

  size_t AppendSection(std::string_view section) {
    if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(Parse(""));
    lines.push_back(Parse("[" + std::string(section) + "]"));
    return lines.size() - 1;
  }

  bool Save(const std::string& path) const {
    std::string out;
    for (const auto& line : lines) {
      out += line.text;
      out += "\r\n";
    }
    if (WriteWholeFile(path, out)) return true;
    // A first write may have to make the settings folder.
    return CreateFolder(FolderOf(path)) && WriteWholeFile(path, out);
  }
};

std::string EntryText(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value);
}

}  // namespace

std::string SettingsFolder() {
  std::string folder;
  if (const char* dir = std::getenv("LEXO_SETTINGS_DIR"); dir && *dir) {
    folder = dir;
  } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    folder = std::string(xdg) + "/lexoview";
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home ? home : ".") + "/.config/lexoview";
  }
  std::string out = ToProgramPath(folder);
  if (out.empty() || out.back() != '\\') out += '\\';
  return out;
}

Profile::Profile(std::string_view file) {
  bool bare = file.find_first_of("\\/") == std::string_view::npos;
  path_ = bare ? SettingsFolder() + std::string(file) : std::string(file);
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback, std::size_t bufferSize) const {
  if (bufferSize == 0) return {};
  Document doc = Document::Load(path_);
  const auto* entry = doc.FindEntry(section, key);
  std::string_view value = entry ? std::string_view(entry->value) : fallback;
  return std::string(value.substr(0, bufferSize - 1));
}

int Profile::ReadInt(std::string_view section, std::string_view key, int fallback) const {
  Document doc = Document::Load(path_);
  const auto* entry = doc.FindEntry(section, key);
  if (!entry) return fallback;
  std::string_view text = entry->value;
  bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  std::uint32_t number = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') break;
    number = number * 10 + static_cast<std::uint32_t>(ch - '0');
  }
  if (negative) number = 0u - number;
  return static_cast<int>(number);
}

bool Profile::HasKey(std::string_view section, std::string_view key) const {
  return Document::Load(path_).FindEntry(section, key) != nullptr;
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Document doc = Document::Load(path_);
  auto range = doc.FindSection(section);
  if (!range) {
    size_t header = doc.AppendSection(section);
    range = std::make_pair(header, header + 1);
  }
  for (size_t i = range->first + 1; i < range->second; ++i) {
    auto& line = doc.lines[i];
    if (line.kind == Document::Line::Kind::Entry && SameName(line.name, key)) {
      line = Document::Parse(EntryText(line.name, value));
      return doc.Save(path_);
    }
  }
  size_t at = doc.InsertionPoint(*range);
  doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Document::Parse(EntryText(key, value)));
  return doc.Save(path_);
}

bool Profile::DeleteKey(std::string_view section, std::string_view key) {
  Document doc = Document::Load(path_);
  auto range = doc.FindSection(section);
  if (!range) return true;
  for (size_t i = range->first + 1; i < range->second; ++i) {
    const auto& line = doc.lines[i];
    if (line.kind == Document::Line::Kind::Entry && SameName(line.name, key)) {
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(i));
      return doc.Save(path_);
    }
  }
  return true;
}

bool Profile::DeleteSection(std::string_view section) {
  Document doc = Document::Load(path_);
  auto range = doc.FindSection(section);
  if (!range) return true;
  doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(range->first),
                  doc.lines.begin() + static_cast<std::ptrdiff_t>(range->second));
  return doc.Save(path_);
}

std::vector<Profile::Entry> Profile::ReadSection(std::string_view section) const {
  Document doc = Document::Load(path_);
  std::vector<Entry> entries;
  auto range = doc.FindSection(section);
  if (!range) return entries;
  for (size_t i = range->first + 1; i < range->second; ++i) {
    const auto& line = doc.lines[i];
    if (line.kind == Document::Line::Kind::Entry) entries.push_back({line.name, line.value});
  }
  return entries;
}

Profile::SectionBlock Profile::ReadSectionBlock(std::string_view section,
                                                std::size_t bufferSize) const {
  SectionBlock result;
  if (bufferSize < 2) return result;
  std::string all;
  for (const auto& entry : ReadSection(section)) {
    all += EntryText(entry.key, entry.value);
    all += '\0';
  }
  if (all.size() + 1 <= bufferSize) {
    result.returned = static_cast<std::uint32_t>(all.size());
    result.bytes = all + '\0';
    if (all.empty()) result.bytes += '\0';
    return result;
  }
  // Cut: the buffer holds what fits, closed by a double NUL, and the answer is size − 2.
  result.truncated = true;
  result.returned = static_cast<std::uint32_t>(bufferSize - 2);
  result.bytes = all.substr(0, bufferSize - 2);
  result.bytes += '\0';
  result.bytes += '\0';
  return result;
}

bool Profile::WriteSection(std::string_view section, const std::vector<Entry>& entries) {
  Document doc = Document::Load(path_);
  auto range = doc.FindSection(section);
  size_t header;
  if (range) {
    header = range->first;
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
                    doc.lines.begin() + static_cast<std::ptrdiff_t>(range->second));
  } else {
    header = doc.AppendSection(section);
  }
  std::vector<Document::Line> fresh;
  for (const auto& entry : entries)
    fresh.push_back(Document::Parse(EntryText(entry.key, entry.value)));
  doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(header + 1), fresh.begin(),
                   fresh.end());
  return doc.Save(path_);
}

std::vector<std::string> Profile::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& line : Document::Load(path_).lines) {
    if (line.kind == Document::Line::Kind::Section) names.push_back(line.name);
  }
  return names;
}

}  // namespace plat
