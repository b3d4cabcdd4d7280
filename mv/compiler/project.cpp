#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "mv/compiler.h"
#include "mv/text_fold.h"
#include "mv/title.h"
#include "plat/cp1251.h"

namespace mv::compiler {
namespace {

std::string_view Trim(std::string_view s) {
  auto start = s.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  auto end = s.find_last_not_of(" \t\r");
  return s.substr(start, end - start + 1);
}

struct ProjectTitle {
  std::string source;
  std::string role;
  std::string output;  // host path
  std::string name;    // output file name as written
  int line = 0;
};

// Checks the command links of one title against the main and media titles.
class LinkChecker {
 public:
  LinkChecker(Title* main, Title* media, std::vector<Diagnostic>& diagnostics)
      : main_(main), media_(media), diagnostics_(diagnostics) {}

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
  bool ok = true;
  auto error = [&](int line, std::string message) {
    diagnostics.push_back({projectPath, line, std::move(message)});
    ok = false;
  };
  std::string raw;
  int line = 0;
  while (std::getline(in, raw)) {
    ++line;
    std::string_view text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    if (auto hash = text.find(" #"); hash != std::string_view::npos)
      text = Trim(text.substr(0, hash));
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
      if (left.find(' ') != std::string_view::npos) {
        std::string_view roles = Trim(left.substr(left.find(' ')));
        t.role = std::string(roles.substr(0, roles.find(' ')));
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
    } else {
      error(line, "unknown project line '" + std::string(word) + "'");
    }
  }
  if (!ok) return false;

  std::map<std::string, std::shared_ptr<Title>> built;
  std::shared_ptr<Title> main, media;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const auto& t = titles[i];
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(t.output).parent_path(), ec);
    TitleOptions options;
    options.addressBase = static_cast<std::int32_t>((i + 1) << 20);
    options.sideFolder = out.string();
    if (!CompileTitle(t.source, t.output, options, diagnostics)) {
      ok = false;
      continue;
    }
    auto title = Title::Open(t.output);
    if (!title) {
      error(t.line, "the built title does not open");
      continue;
    }
    std::string key = std::filesystem::path(t.name).stem().string();
    built[key] = title;
    if (t.role == "main") main = title;
    if (t.role == "media") media = title;
  }
  if (!ok) return false;

  std::size_t before = diagnostics.size();
  LinkChecker checker(main.get(), media.get(), diagnostics);
  for (const auto& t : titles) {
    auto it = built.find(std::filesystem::path(t.name).stem().string());
    if (it != built.end() && (t.role == "main" || t.role == "media"))
      checker.check(*it->second, t.name);
  }
  if (diagnostics.size() != before) ok = false;

  for (const auto& g : groups) {
    auto it = built.find(std::filesystem::path(g.title).stem().string());
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
  return ok;
}

}  // namespace mv::compiler
