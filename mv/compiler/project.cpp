#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "mv/compiler.h"
#include "mv/text_fold.h"
#include "mv/title.h"
#include "plat/cp1251.h"
#include "plat/path.h"
#include "source.h"

namespace mv::compiler {
namespace {

struct ProjectTitle {
  std::string source;
  std::string role;
  std::string mainName;  // main=NAME of a see-also title
  std::string output;    // host path
  std::string name;      // output file name as written
  int line = 0;
};

// Checks the command links of one title against the main and media titles.
class LinkChecker {
 public:
  LinkChecker(Title* main, Title* media, std::vector<Diagnostic>& diagnostics)
      : main_(main), media_(media), diagnostics_(diagnostics) {}

  // The data fields of every topic, by the title's role.
  void checkData(Title& title, const std::string& name, const std::string& role,
                 const std::filesystem::path& diskFolder) {
    std::optional<TopicList> searchable;
    if (role == "media") searchable = title.storedList("searchtill");
    for (TopicNo no = 0; no < title.topicCount(); ++no) {
      auto record = title.topic(no);
      if (!record) continue;
      const std::string& ctx = record->ctx;
      auto fields = Fields(record->data.value_or(""));
      if (role == "main") {
        if (!fields.empty() && !inMain(fields[0]))
          report(name, ctx, "data field 1 '" + fields[0] + "' names no topic of the main title");
      } else if (role == "media") {
        if (!searchable || !searchable->contains(no)) continue;
        for (std::size_t i = 0; i < fields.size(); i += 2) {
          if (!inMain(fields[i]))
            report(name, ctx, "data pair '" + fields[i] + "' names no topic of the main title");
        }
      } else if (role == "icon") {
        article(name, ctx, ctx);
        if (fields.size() % 3 != 0)
          report(name, ctx, "icon data is not made of link;picture;ctx; triples");
        for (std::size_t i = 0; i + 2 < fields.size(); i += 3) {
          const std::string& link = fields[i];
          if (!link.empty() && media_ && (!inMedia(link) || !inMedia("$" + link)))
            report(name, ctx,
                   "icon link '" + link + "' (and '$" + link + "') not in the media title");
          picture(name, ctx, fields[i + 1], diskFolder);
          if (!inMain(fields[i + 2]))
            report(name, ctx,
                   "icon target '" + fields[i + 2] + "' names no topic of the main title");
        }
      } else if (role == "outline") {
        article(name, ctx, ctx);
        // Own target, then (entry text, target) pairs.
        for (std::size_t i = 0; i < fields.size(); i += 2) {
          if (!inMain(fields[i]))
            report(name, ctx,
                   "outline target '" + fields[i] + "' names no topic of the main title");
        }
      } else if (role == "seealso") {
        std::string_view article = ctx;
        for (std::string_view suffix : {"_lit", "_inet"}) {
          if (article.size() > suffix.size() &&
              CompareNoCaseAscii(article.substr(article.size() - suffix.size()), suffix)) {
            article.remove_suffix(suffix.size());
            break;
          }
        }
        if (!inMain(article))
          report(name, ctx, "see-also topic names no article '" + std::string(article) + "'");
      }
    }
  }

  // Timeline position records name main-title context strings (up to ';').
  void checkPosition(const std::string& file, int line, std::string_view text) {
    std::string_view ctx = text.substr(0, text.find(';'));
    if (main_ && !inMain(ctx)) {
      diagnostics_.push_back(
          {file, line,
           "position record '" + std::string(ctx) + "' names no topic of the main title"});
    }
  }

  void check(Title& title, const std::string& name) {
    for (TopicNo no = 0; no < title.topicCount(); ++no) {
      auto content = title.content(no);
      auto record = title.topic(no);
      if (!content || !record) continue;
      for (auto* region : {&content->heading, &content->body}) {
        for (const auto& paragraph : *region) {
          for (const auto& item : paragraph.items) {
            if (item.link.kind == text::Link::Kind::command) {
              link(title, name, record->ctx, item.link.target, true);
            }
            for (const auto& area : item.areas) link(title, name, record->ctx, area.text, false);
          }
        }
      }
    }
  }

 private:
  void report(const std::string& name, const std::string& ctx, const std::string& message) {
    diagnostics_.push_back({name, 0, "topic " + ctx + ": " + message});
  }

  bool inMedia(std::string_view ctx) const {
    return media_ && media_->topicFromContext(ToCp1251(ctx)) >= 0;
  }

  // A topic or an anchor of the main title; true when there is no main title to ask.
  bool inMain(std::string_view ctx) const {
    if (!main_) return true;
    std::string cp = ToCp1251(ctx);
    return main_->topicFromContext(cp) >= 0 || main_->addrFromContext(cp) != Addr::none;
  }

  void article(const std::string& name, const std::string& ctx, std::string_view article) {
    if (!inMain(article))
      report(name, ctx,
             "the topic is keyed by '" + std::string(article) + "', no main-title topic");
  }

  // "!name" is baggage of the media title; any other name a file under the disk folder.
  void picture(const std::string& name, const std::string& ctx, const std::string& picture,
               const std::filesystem::path& diskFolder) {
    if (picture.empty()) {
      report(name, ctx, "icon entry without a picture");
    } else if (picture[0] == '!') {
      if (media_ && !media_->baggage(ToCp1251(picture.substr(1))))
        report(name, ctx, "picture '" + picture + "' is not stored in the media title");
    } else {
      std::string relative = picture;
      std::replace(relative.begin(), relative.end(), '\\', '/');
      if (!plat::FileExists(plat::ToProgramPath((diskFolder / relative).string())))
        report(name, ctx, "picture file '" + picture + "' is not in the disk folder");
    }
  }

  static bool CompareNoCaseAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }

  // ";"-terminated fields; a last field without its ';' counts too.
  static std::vector<std::string> Fields(std::string_view data) {
    std::vector<std::string> out;
    while (!data.empty()) {
      auto semicolon = data.find(';');
      out.emplace_back(data.substr(0, semicolon));
      if (semicolon == std::string_view::npos) break;
      data.remove_prefix(semicolon + 1);
    }
    return out;
  }

  void link(Title& title, const std::string& name, const std::string& ctx, std::string_view text,
            bool hotspot) {
    if (text.empty()) return;
    if (text.size() >= 2 && text[0] == '-' && std::isdigit(static_cast<unsigned char>(text[1]))) {
      if (text[1] != '1' && text[1] != '2' && text[1] != '9') {
        report(name, ctx, "disk digit in '" + std::string(text) + "' is not 1, 2 or 9");
      }
      text.remove_prefix(2);
      if (text.empty()) return;
    }
    // The second link after ';' is followed first; both must resolve.
    if (text[0] != '$' && text[0] != '*' && text[0] != '#' && text[0] != '?') {
      if (auto semicolon = text.find(';'); semicolon != std::string_view::npos) {
        link(title, name, ctx, text.substr(0, semicolon), hotspot);
        link(title, name, ctx, text.substr(semicolon + 1), hotspot);
        return;
      }
    }
    std::string_view head = text.substr(0, text.find(','));
    switch (text[0]) {
      case '#':
        if (media_ && !inMedia(text.substr(1)))
          report(name, ctx, "'" + std::string(text) + "' names no media topic");
        return;
      case '$':
      case '*':
        if (media_ && !inMedia(head))
          report(name, ctx, "'" + std::string(text) + "' names no media topic");
        return;
      case '?':
        if (hotspot) {
          if (title.topicFromContext(ToCp1251(head.substr(1))) < 0) {
            report(name, ctx, "popup '" + std::string(text) + "' names no topic of this title");
          }
        } else if (media_ && !inMedia(head)) {
          report(name, ctx, "'" + std::string(text) + "' names no media topic");
        }
        return;
      case '=':
      case '+':
      case '&':
      case '<':
      case '_':
        return;
      default:
        if (static_cast<unsigned char>(text[0]) == 0xC2) return;  // ¤ web address (UTF-8)
        if (main_ && main_->topicFromContext(ToCp1251(text)) < 0 &&
            main_->addrFromContext(ToCp1251(text)) == Addr::none) {
          report(name, ctx, "'" + std::string(text) + "' names no topic of the main title");
        }
    }
  }

  Title* main_;
  Title* media_;
  std::vector<Diagnostic>& diagnostics_;
};

}  // namespace

namespace {

// A file of 272-byte records: a 16-bit count, then per record a 32-bit number at 0, another at
// 8 (positions: the end) and a zero-terminated text at 16 (up to 255 bytes, code page 1251).
struct RecordFile {
  enum class Kind { positions, scale, marks };
  std::string path;  // host path
  Kind kind = Kind::positions;
  int line = 0;
  struct Record {
    std::int32_t first = 0, second = 0;
    std::string text;  // UTF-8
    int line = 0;
  };
  std::vector<Record> records;
};

inline constexpr std::size_t kRecordSize = 272;
inline constexpr std::size_t kRecordTextSize = 256;

std::optional<std::int32_t> Number(std::string_view text) {
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string RecordBytes(const RecordFile& file) {
  std::string out(2 + file.records.size() * kRecordSize, '\0');
  auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0, static_cast<std::uint32_t>(file.records.size()), 2);
  for (std::size_t r = 0; r < file.records.size(); ++r) {
    std::size_t at = 2 + r * kRecordSize;
    put(at, static_cast<std::uint32_t>(file.records[r].first), 4);
    put(at + 8, static_cast<std::uint32_t>(file.records[r].second), 4);
    std::string text = plat::cp1251::FromUtf8(file.records[r].text);
    std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 16));
  }
  return out;
}

// One record line: "START END CTX" for positions, "POSITION VALUE" for scale marks and strip
// marks (the value is a decimal number, negative before the era).
bool ParseRecord(RecordFile& file, std::string_view text, int line, std::string& message) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    auto start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    if (file.kind == RecordFile::Kind::positions && words.size() == 2) {
      words.push_back(text);  // the context string and anything after it
      break;
    }
    auto end = text.find_first_of(" \t");
    words.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
  }
  RecordFile::Record record;
  record.line = line;
  bool positions = file.kind == RecordFile::Kind::positions;
  if (words.size() != (positions ? 3u : 2u)) {
    message = positions ? "a position record is: START END CTX" : "a record is: POSITION VALUE";
    return false;
  }
  auto first = Number(words[0]);
  auto second = positions ? Number(words[1]) : std::optional<std::int32_t>(0);
  if (!first || !second) {
    message = "record positions are whole numbers";
    return false;
  }
  record.first = *first;
  record.second = *second;
  record.text = std::string(words.back());
  if (!positions && !Number(record.text)) {
    message = "the value '" + record.text + "' is not a whole number";
    return false;
  }
  if (plat::cp1251::ToUtf8(plat::cp1251::FromUtf8(record.text)) != record.text) {
    message = "the text has characters outside code page 1251";
    return false;
  }
  if (plat::cp1251::FromUtf8(record.text).size() >= kRecordTextSize) {
    message = "the text is longer than 255 bytes";
    return false;
  }
  if (file.records.size() >= 0xFFFF) {
    message = "more than 65535 records";
    return false;
  }
  file.records.push_back(std::move(record));
  return true;
}

}  // namespace

bool CompileProject(const std::string& projectPath, std::vector<Diagnostic>& diagnostics) {
  std::ifstream in(projectPath);
  if (!in) {
    diagnostics.push_back({projectPath, 0, "cannot read the project"});
    return false;
  }
  std::filesystem::path folder = std::filesystem::path(projectPath).parent_path();
  std::filesystem::path out = folder;
  std::vector<ProjectTitle> titles;
  struct GroupLine {
    std::string file, title, query;
    int line;
  };
  std::vector<GroupLine> groups;
  std::vector<RecordFile> recordFiles;
  bool ok = true;
  auto error = [&](int line, std::string message) {
    diagnostics.push_back({projectPath, line, std::move(message)});
    ok = false;
  };
  std::string raw;
  int line = 0;
  RecordFile* openRecords = nullptr;  // the records block indented lines belong to
  while (std::getline(in, raw)) {
    ++line;
    std::string_view text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    if (auto hash = text.find(" #"); hash != std::string_view::npos)
      text = Trim(text.substr(0, hash));
    if (raw[0] == ' ' || raw[0] == '\t') {
      std::string message;
      if (!openRecords) {
        error(line, "indented line outside a records block");
      } else if (!ParseRecord(*openRecords, text, line, message)) {
        error(line, message);
      }
      continue;
    }
    openRecords = nullptr;
    auto space = text.find(' ');
    std::string_view word = text.substr(0, space);
    std::string_view rest =
        space == std::string_view::npos ? std::string_view() : Trim(text.substr(space));
    if (word == "disk") {
      auto at = rest.find("out=");
      if (at == std::string_view::npos) {
        error(line, "disk needs out=FOLDER");
        continue;
      }
      std::string_view value = rest.substr(at + 4);
      out = folder / std::string(value.substr(0, value.find(' ')));
    } else if (word == "title") {
      auto arrow = rest.find("->");
      if (arrow == std::string_view::npos) {
        error(line, "title needs '-> OUTPUT'");
        continue;
      }
      std::string_view left = Trim(rest.substr(0, arrow));
      ProjectTitle t;
      t.source = (folder / std::string(left.substr(0, left.find(' ')))).string();
      std::string_view options = left.find(' ') == std::string_view::npos
                                     ? std::string_view()
                                     : left.substr(left.find(' '));
      while (!(options = Trim(options)).empty()) {
        std::string_view option = options.substr(0, options.find(' '));
        options.remove_prefix(option.size());
        if (option.substr(0, 5) == "main=") {
          t.mainName = std::string(option.substr(5));
        } else if (option == "main" || option == "media" || option == "dictionary" ||
                   option == "seealso" || option == "icon" || option == "outline") {
          t.role = std::string(option);
        } else {
          error(line, "unknown title role '" + std::string(option) + "'");
        }
      }
      t.name = std::string(Trim(rest.substr(arrow + 2)));
      std::string relative = t.name;
      std::replace(relative.begin(), relative.end(), '\\', '/');
      t.output = (out / relative).string();
      t.line = line;
      titles.push_back(std::move(t));
    } else if (word == "group") {
      auto eq = rest.find('=');
      auto colon = rest.find(':', eq == std::string_view::npos ? 0 : eq);
      if (eq == std::string_view::npos || colon == std::string_view::npos) {
        error(line, "group FILE = TITLE: \"query\"");
        continue;
      }
      std::string query(Trim(rest.substr(colon + 1)));
      if (query.size() >= 2 && query.front() == '"' && query.back() == '"')
        query = query.substr(1, query.size() - 2);
      groups.push_back({(out / std::string(Trim(rest.substr(0, eq)))).string(),
                        std::string(Trim(rest.substr(eq + 1, colon - eq - 1))), query, line});
    } else if (word == "records") {
      auto split = rest.find(' ');
      std::string_view kind =
          split == std::string_view::npos ? std::string_view() : Trim(rest.substr(split));
      RecordFile file;
      file.line = line;
      if (kind == "positions") {
        file.kind = RecordFile::Kind::positions;
      } else if (kind == "scale") {
        file.kind = RecordFile::Kind::scale;
      } else if (kind == "marks") {
        file.kind = RecordFile::Kind::marks;
      } else {
        error(line, "records FILE positions|scale|marks");
        continue;
      }
      std::string relative(rest.substr(0, split));
      std::replace(relative.begin(), relative.end(), '\\', '/');
      file.path = (out / relative).string();
      recordFiles.push_back(std::move(file));
      openRecords = &recordFiles.back();
    } else {
      error(line, "unknown project line '" + std::string(word) + "'");
    }
  }
  if (!ok) return false;

  // See-also titles number their rows by the main title, so they are built after it.
  std::map<std::string, std::shared_ptr<Title>> built;
  std::shared_ptr<Title> main, media;
  auto stem = [](const std::string& name) {
    std::string key = std::filesystem::path(name).stem().string();
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < titles.size(); ++i) {
      const auto& t = titles[i];
      if ((t.role == "seealso") != (pass == 1)) continue;
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(t.output).parent_path(), ec);
      TitleOptions options;
      options.addressBase = static_cast<std::int32_t>((i + 1) << 20);
      options.sideFolder = out.string();
      if (t.role == "seealso") {
        std::shared_ptr<Title> rows = main;
        if (!t.mainName.empty()) {
          auto it = built.find(stem(t.mainName));
          rows = it == built.end() ? nullptr : it->second;
        }
        if (!rows) {
          error(t.line, "a see-also title needs its main title built (main=NAME)");
          continue;
        }
        options.mainTopicNumber = [rows](std::string_view ctx) {
          return rows->topicFromContext(ToCp1251(ctx));
        };
        options.mainTopicCount = rows->topicCount();
      }
      if (!CompileTitle(t.source, t.output, options, diagnostics)) {
        ok = false;
        continue;
      }
      auto title = Title::Open(t.output);
      if (!title) {
        error(t.line, "the built title does not open");
        continue;
      }
      built[stem(t.name)] = title;
      if (t.role == "main") main = title;
      if (t.role == "media") media = title;
    }
  }
  if (!ok) return false;

  std::size_t before = diagnostics.size();
  LinkChecker checker(main.get(), media.get(), diagnostics);
  for (const auto& t : titles) {
    auto it = built.find(stem(t.name));
    if (it == built.end()) continue;
    if (t.role == "main" || t.role == "media") checker.check(*it->second, t.name);
    checker.checkData(*it->second, t.name, t.role, out);
  }
  for (const auto& file : recordFiles) {
    if (file.kind != RecordFile::Kind::positions) continue;
    for (const auto& record : file.records)
      checker.checkPosition(projectPath, record.line, record.text);
  }
  if (diagnostics.size() != before) ok = false;

  for (const auto& g : groups) {
    auto it = built.find(stem(g.title));
    if (it == built.end()) {
      error(g.line, "group names unknown title '" + g.title + "'");
      continue;
    }
    Query query;
    query.text = plat::cp1251::FromUtf8(g.query);
    QueryError queryError;
    auto hits = it->second->query(query, nullptr, false, {}, &queryError);
    if (!hits && queryError.code != QueryError::ok) {
      error(g.line, "group query: " + queryError.message);
      continue;
    }
    Group group;
    if (hits) group.items.assign(hits->topics.items().begin(), hits->topics.items().end());
    if (!group.write(g.file)) error(g.line, "cannot write " + g.file);
  }
  for (const auto& file : recordFiles) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file.path).parent_path(), ec);
    std::string bytes = RecordBytes(file);
    std::ofstream stream(file.path, std::ios::binary | std::ios::trunc);
    if (!stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
      error(file.line, "cannot write " + file.path);
  }
  return ok;
}

}  // namespace mv::compiler
