#include "mv/mvtext.h"

#include <charconv>
#include <cstdio>

#include "morph/fold.h"
#include "plat/cp1251.h"

namespace mv::text {
namespace {

constexpr char32_t kObjectCharacter = 0xFFFC;

struct Token {
  std::string key;  // empty for a positional value
  std::string value;
};

class ParagraphParser {
 public:
  ParagraphParser(std::string_view text, std::vector<std::size_t> lineStarts, int firstLine,
                  const StyleResolver& styles, ParseError* error)
      : s_(text),
        lineStarts_(std::move(lineStarts)),
        firstLine_(firstLine),
        styles_(styles),
        error_(error) {}

  bool parse(Paragraph& p) {
    formats_.push_back({});
    if (!s_.empty() && s_[0] == '[' && !parseHeader(p)) return false;
    while (pos_ < s_.size()) {
      char ch = s_[pos_];
      if (ch == '{') {
        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '{') {
          run_ += '{';
          pos_ += 2;
        } else if (!parseTag(p)) {
          return false;
        }
      } else if (ch == '}') {
        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '}') {
          run_ += '}';
          pos_ += 2;
        } else {
          return fail("a lone '}' (write '}}')");
        }
      } else if (ch == '\\') {
        if (!parseEscape(run_)) return false;
      } else {
        run_ += static_cast<unsigned char>(ch) < 0x20 ? ' ' : ch;
        ++pos_;
      }
    }
    flush(p);
    if (formats_.size() > 1) return fail("formatting left open at the paragraph end");
    if (link_.kind != Link::Kind::none) return fail("link left open at the paragraph end");
    return true;
  }

 private:
  bool fail(std::string message) {
    if (error_) {
      int line = firstLine_;
      for (std::size_t i = 0; i < lineStarts_.size() && lineStarts_[i] <= pos_; ++i) {
        line = firstLine_ + static_cast<int>(i);
      }
      error_->line = line;
      error_->message = std::move(message);
    }
    return false;
  }

  void flush(Paragraph& p) {
    if (run_.empty()) return;
    Item item;
    item.kind = Item::Kind::text;
    item.text = std::move(run_);
    item.format = formats_.back();
    item.link = link_;
    run_.clear();
    p.items.push_back(std::move(item));
  }

  bool parseEscape(std::string& out) {
    if (pos_ + 1 >= s_.size()) return fail("'\\' at the end of the text");
    char next = s_[pos_ + 1];
    if (next == '\\' || next == '[' || next == '"') {
      out += next;
      pos_ += 2;
      return true;
    }
    if (next == 'x' && pos_ + 4 <= s_.size()) {
      unsigned value = 0;
      auto [end, ec] = std::from_chars(s_.data() + pos_ + 2, s_.data() + pos_ + 4, value, 16);
      if (ec == std::errc() && end == s_.data() + pos_ + 4) {
        morph::AppendUtf8(out, plat::cp1251::ToUnicode(static_cast<unsigned char>(value)));
        pos_ += 4;
        return true;
      }
    }
    return fail("unknown escape '\\" + std::string(1, next) + "'");
  }

  static bool IsSpace(char ch) { return ch == ' ' || ch == '\t'; }

  // Tokens of a tag or paragraph header up to `close`; pos_ ends after it.
  bool readTokens(char close, std::vector<Token>& tokens) {
    while (true) {
      while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
      if (pos_ >= s_.size()) return fail(std::string("missing '") + close + "'");
      if (s_[pos_] == close) {
        ++pos_;
        return true;
      }
      Token token;
      std::string* target = &token.value;
      while (pos_ < s_.size() && !IsSpace(s_[pos_]) && s_[pos_] != close) {
        char ch = s_[pos_];
        if (ch == '"') {
          ++pos_;
          while (true) {
            if (pos_ >= s_.size()) return fail("unterminated quoted text");
            if (s_[pos_] == '"') {
              ++pos_;
              break;
            }
            if (s_[pos_] == '\\') {
              if (!parseEscape(*target)) return false;
            } else {
              *target += s_[pos_++];
            }
          }
        } else if (ch == '=' && target == &token.value && token.key.empty()) {
          token.key = std::move(token.value);
          token.value.clear();
          ++pos_;
        } else {
          *target += ch;
          ++pos_;
        }
      }
      tokens.push_back(std::move(token));
    }
  }

  static std::optional<std::int32_t> Number(std::string_view text) {
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }

  static std::optional<std::vector<std::int32_t>> Numbers(std::string_view text) {
    std::vector<std::int32_t> out;
    while (!text.empty()) {
      auto comma = text.find(',');
      auto value = Number(text.substr(0, comma));
      if (!value) return std::nullopt;
      out.push_back(*value);
      if (comma == std::string_view::npos) break;
      text.remove_prefix(comma + 1);
    }
    return out;
  }

  static std::optional<std::int32_t> Colour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (ec != std::errc() || end != text.data() + 7) return std::nullopt;
    return value;
  }

  bool parseHeader(Paragraph& p) {
    ++pos_;
    std::vector<Token> tokens;
    if (!readTokens(']', tokens)) return false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const Token& t = tokens[i];
      if (t.key.empty()) {
        if (t.value == "nowrap") {
          p.nowrap = true;
        } else if (t.value == "row") {
          if (p.rowWidths.empty()) p.rowWidths.push_back(0);
        } else if (i == 0) {
          std::optional<std::int32_t> id;
          if (t.value.size() > 1 && t.value[0] == '#') {
            id = Number(std::string_view(t.value).substr(1));
          } else if (styles_) {
            id = styles_(t.value);
          }
          if (!id) return fail("unknown style '" + t.value + "'");
          p.style = *id;
        } else {
          return fail("unknown paragraph attribute '" + t.value + "'");
        }
        continue;
      }
      if (t.key == "align") {
        if (t.value == "left")
          p.align = Align::left;
        else if (t.value == "center")
          p.align = Align::center;
        else if (t.value == "right")
          p.align = Align::right;
        else if (t.value == "justify")
          p.align = Align::justify;
        else
          return fail("bad align '" + t.value + "'");
      } else if (t.key == "indent" || t.key == "space" || t.key == "widths") {
        auto values = Numbers(t.value);
        std::size_t want = t.key == "indent" ? 3 : t.key == "space" ? 2 : 0;
        if (!values || (want && values->size() != want) || values->empty()) {
          return fail("bad " + t.key + " '" + t.value + "'");
        }
        if (t.key == "indent") {
          p.indentLeft = (*values)[0], p.indentRight = (*values)[1], p.indentFirst = (*values)[2];
        } else if (t.key == "space") {
          p.spaceBefore = (*values)[0], p.spaceAfter = (*values)[1];
        } else {
          p.rowWidths = *values;
        }
      } else if (t.key == "tabs") {
        std::string_view rest = t.value;
        while (!rest.empty()) {
          auto comma = rest.find(',');
          std::string_view one = rest.substr(0, comma);
          TabStop stop;
          if (!one.empty() && (one.back() == 'r' || one.back() == 'c' || one.back() == 'l')) {
            stop.kind = one.back();
            one.remove_suffix(1);
          }
          auto value = Number(one);
          if (!value) return fail("bad tabs '" + t.value + "'");
          stop.position = *value;
          p.tabs.push_back(stop);
          if (comma == std::string_view::npos) break;
          rest.remove_prefix(comma + 1);
        }
      } else if (t.key == "bg") {
        auto colour = Colour(t.value);
        if (!colour) return fail("bad colour '" + t.value + "'");
        p.background = *colour;
      } else {
        return fail("unknown paragraph attribute '" + t.key + "'");
      }
    }
    return true;
  }

  bool closeFormat(std::string_view name) {
    if (formats_.size() < 2 || openTags_.empty() || openTags_.back() != name) {
      return fail("'{/" + std::string(name) + "}' closes nothing open");
    }
    formats_.pop_back();
    openTags_.pop_back();
    return true;
  }

  bool parseTag(Paragraph& p) {
    ++pos_;
    std::vector<Token> tokens;
    if (!readTokens('}', tokens)) return false;
    if (tokens.empty() || !tokens[0].key.empty()) return fail("empty tag");
    std::string name = tokens[0].value;
    std::vector<Token> args(tokens.begin() + 1, tokens.end());
    auto positional = [&](std::size_t index) -> const std::string* {
      std::size_t seen = 0;
      for (const auto& a : args) {
        if (a.key.empty() && seen++ == index) return &a.value;
      }
      return nullptr;
    };
    auto named = [&](std::string_view key) -> const std::string* {
      for (const auto& a : args) {
        if (a.key == key) return &a.value;
      }
      return nullptr;
    };

    if (name == "b" || name == "i" || name == "u" || name == "font") {
      flush(p);
      Format f = formats_.back();
      if (name == "b") f.bold = true;
      if (name == "i") f.italic = true;
      if (name == "u") f.underline = true;
      if (name == "font") {
        if (auto face = named("face")) f.face = *face;
        if (auto size = named("size")) {
          double value = 0;
          auto [end, ec] = std::from_chars(size->data(), size->data() + size->size(), value);
          if (ec != std::errc() || end != size->data() + size->size() || value <= 0) {
            return fail("bad font size '" + *size + "'");
          }
          f.size = value;
        }
        if (auto colour = named("color")) {
          auto value = Colour(*colour);
          if (!value) return fail("bad colour '" + *colour + "'");
          f.colour = *value;
        }
      }
      formats_.push_back(f);
      openTags_.push_back(name);
      return true;
    }
    if (name == "/b" || name == "/i" || name == "/u" || name == "/font") {
      flush(p);
      return closeFormat(std::string_view(name).substr(1));
    }
    if (name == "jump" || name == "link") {
      if (link_.kind != Link::Kind::none) return fail("a link inside a link");
      const std::string* target = positional(0);
      if (!target || target->empty()) return fail("'{" + name + "}' without a target");
      flush(p);
      link_.kind = name == "jump" ? Link::Kind::jump : Link::Kind::command;
      link_.target = *target;
      if (auto hash = named("hash")) {
        std::uint32_t value = 0;
        std::from_chars(hash->data(), hash->data() + hash->size(), value);
        link_.hash = value;
      }
      if (auto addr = named("addr")) link_.addr = Number(*addr).value_or(-1);
      return true;
    }
    if (name == "/jump" || name == "/link") {
      auto want = name == "/jump" ? Link::Kind::jump : Link::Kind::command;
      if (link_.kind != want) return fail("'{" + name + "}' closes nothing open");
      flush(p);
      link_ = {};
      return true;
    }
    flush(p);
    Item item;
    if (name == "tab" || name == "br" || name == "cell") {
      item.kind = name == "tab"  ? Item::Kind::tab
                  : name == "br" ? Item::Kind::lineBreak
                                 : Item::Kind::cell;
      if (item.kind == Item::Kind::cell && p.rowWidths.empty())
        return fail("'{cell}' outside a row");
    } else if (name == "anchor") {
      const std::string* ctx = named("ctx");
      if (!ctx || ctx->empty()) return fail("'{anchor}' without ctx=");
      item.kind = Item::Kind::anchor;
      item.text = *ctx;
    } else if (name == "pict") {
      const std::string* picture = positional(0);
      if (!picture || picture->empty()) return fail("'{pict}' without a picture name");
      item.kind = Item::Kind::picture;
      item.text = *picture;
      for (const auto& a : args) {
        if (a.key.empty()) continue;
        if (a.key == "align") {
          if (a.value == "inline")
            item.pictureAlign = PictureAlign::inlined;
          else if (a.value == "left")
            item.pictureAlign = PictureAlign::left;
          else if (a.value == "center")
            item.pictureAlign = PictureAlign::center;
          else if (a.value == "right")
            item.pictureAlign = PictureAlign::right;
          else
            return fail("bad picture align '" + a.value + "'");
        } else if (a.key == "link") {
          item.link.kind = Link::Kind::command;
          item.link.target = a.value;
        } else if (a.key == "jump") {
          item.link.kind = Link::Kind::jump;
          item.link.target = a.value;
        } else if (a.key == "hash") {
          std::uint32_t value = 0;
          std::from_chars(a.value.data(), a.value.data() + a.value.size(), value);
          item.link.hash = value;
        } else if (a.key == "addr") {
          item.link.addr = Number(a.value).value_or(-1);
        } else if (a.key == "hot") {
          if (a.value != "206") return fail("bad hot '" + a.value + "' (only 206)");
          item.pictureHotspot = true;
        } else if (a.key == "area") {
          auto colon = a.value.find(':');
          auto box = colon == std::string::npos ? std::nullopt : Numbers(a.value.substr(0, colon));
          if (!box || box->size() != 4) return fail("bad area '" + a.value + "'");
          item.areas.push_back(
              {(*box)[0], (*box)[1], (*box)[2], (*box)[3], a.value.substr(colon + 1)});
        } else {
          return fail("unknown picture attribute '" + a.key + "'");
        }
      }
    } else if (name == "ew") {
      const std::string* windowClass = positional(0);
      const std::string* parameter = positional(1);
      const std::string* size = positional(2);
      if (!windowClass || !parameter || !size)
        return fail("'{ew}' needs a class, a parameter and WxH");
      auto x = size->find('x');
      auto w = x == std::string::npos ? std::nullopt : Number(std::string_view(*size).substr(0, x));
      auto h =
          x == std::string::npos ? std::nullopt : Number(std::string_view(*size).substr(x + 1));
      if (!w || !h || *w <= 0 || *h <= 0) return fail("bad window size '" + *size + "'");
      item.kind = Item::Kind::window;
      item.text = *windowClass;
      item.parameter = *parameter;
      item.width = *w;
      item.height = *h;
    } else {
      return fail("unknown tag '{" + name + "}'");
    }
    p.items.push_back(std::move(item));
    return true;
  }

  std::string_view s_;
  std::vector<std::size_t> lineStarts_;
  int firstLine_;
  const StyleResolver& styles_;
  ParseError* error_;
  std::size_t pos_ = 0;
  std::string run_;
  std::vector<Format> formats_;
  std::vector<std::string> openTags_;
  Link link_;
};

// --- writer ---

void WriteEscaped(std::string& out, std::string_view text, bool quoted) {
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t start = pos;
    char32_t c = morph::NextCharacter(text, pos);
    if (c == 0x98) {
      out += "\\x98";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (quoted && c == '"') {
      out += "\\\"";
    } else if (!quoted && c == '{') {
      out += "{{";
    } else if (!quoted && c == '}') {
      out += "}}";
    } else {
      out.append(text.substr(start, pos - start));
    }
  }
}

void WriteQuoted(std::string& out, std::string_view text) {
  out += '"';
  WriteEscaped(out, text, true);
  out += '"';
}

std::string ColourText(std::int32_t colour) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(colour) & 0xFFFFFF);
  return buffer;
}

void WriteLinkAttributes(std::string& out, const Link& link) {
  if (link.hash != 0 || link.addr != -1) {
    out += " hash=" + std::to_string(link.hash) + " addr=" + std::to_string(link.addr);
  }
}

void WriteParagraph(std::string& out, const Paragraph& p) {
  static constexpr const char* kAlign[] = {"left", "center", "right", "justify"};
  out += "[#" + std::to_string(p.style);
  if (p.align != Align::left) out += std::string(" align=") + kAlign[static_cast<int>(p.align)];
  if (p.indentLeft || p.indentRight || p.indentFirst) {
    out += " indent=" + std::to_string(p.indentLeft) + "," + std::to_string(p.indentRight) + "," +
           std::to_string(p.indentFirst);
  }
  if (p.spaceBefore || p.spaceAfter) {
    out += " space=" + std::to_string(p.spaceBefore) + "," + std::to_string(p.spaceAfter);
  }
  if (p.nowrap) out += " nowrap";
  if (!p.tabs.empty()) {
    out += " tabs=";
    for (std::size_t i = 0; i < p.tabs.size(); ++i) {
      if (i) out += ',';
      out += std::to_string(p.tabs[i].position);
      if (p.tabs[i].kind != 'l') out += p.tabs[i].kind;
    }
  }
  if (p.background >= 0) out += " bg=" + ColourText(p.background);
  if (!p.rowWidths.empty()) {
    out += " widths=";
    for (std::size_t i = 0; i < p.rowWidths.size(); ++i) {
      if (i) out += ',';
      out += std::to_string(p.rowWidths[i]);
    }
  }
  out += ']';

  const Link* openLink = nullptr;
  for (const Item& item : p.items) {
    const Link* wanted =
        item.kind == Item::Kind::text && item.link.kind != Link::Kind::none ? &item.link : nullptr;
    if (openLink && (!wanted || !(*wanted == *openLink))) {
      out += openLink->kind == Link::Kind::jump ? "{/jump}" : "{/link}";
      openLink = nullptr;
    }
    if (wanted && !openLink) {
      out += wanted->kind == Link::Kind::jump ? "{jump " : "{link ";
      WriteQuoted(out, wanted->target);
      WriteLinkAttributes(out, *wanted);
      out += '}';
      openLink = wanted;
    }
    switch (item.kind) {
      case Item::Kind::text: {
        const Format& f = item.format;
        std::string closing;
        bool font = !f.face.empty() || f.size > 0 || f.colour >= 0;
        if (font) {
          out += "{font";
          if (!f.face.empty()) {
            out += " face=";
            WriteQuoted(out, f.face);
          }
          if (f.size > 0) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, " size=%g", f.size);
            out += buffer;
          }
          if (f.colour >= 0) out += " color=" + ColourText(f.colour);
          out += '}';
          closing = "{/font}" + closing;
        }
        if (f.bold) out += "{b}", closing = "{/b}" + closing;
        if (f.italic) out += "{i}", closing = "{/i}" + closing;
        if (f.underline) out += "{u}", closing = "{/u}" + closing;
        WriteEscaped(out, item.text, false);
        out += closing;
        break;
      }
      case Item::Kind::tab:
        out += "{tab}";
        break;
      case Item::Kind::lineBreak:
        out += "{br}";
        break;
      case Item::Kind::cell:
        out += "{cell}";
        break;
      case Item::Kind::anchor:
        out += "{anchor ctx=";
        WriteQuoted(out, item.text);
        out += '}';
        break;
      case Item::Kind::window:
        out += "{ew ";
        WriteQuoted(out, item.text);
        out += ' ';
        WriteQuoted(out, item.parameter);
        out += ' ' + std::to_string(item.width) + 'x' + std::to_string(item.height) + '}';
        break;
      case Item::Kind::picture: {
        static constexpr const char* kPictureAlign[] = {"inline", "left", "center", "right"};
        out += "{pict ";
        WriteQuoted(out, item.text);
        out += std::string(" align=") + kPictureAlign[static_cast<int>(item.pictureAlign)];
        if (item.link.kind != Link::Kind::none) {
          out += item.link.kind == Link::Kind::jump ? " jump=" : " link=";
          WriteQuoted(out, item.link.target);
          WriteLinkAttributes(out, item.link);
        }
        if (item.pictureHotspot) out += " hot=206";
        for (const Area& a : item.areas) {
          out += " area=";
          WriteQuoted(out, std::to_string(a.left) + "," + std::to_string(a.top) + "," +
                               std::to_string(a.right) + "," + std::to_string(a.bottom) + ":" +
                               a.text);
        }
        out += '}';
        break;
      }
    }
  }
  if (openLink) out += openLink->kind == Link::Kind::jump ? "{/jump}" : "{/link}";
}

bool ParseOneParagraph(std::string_view text, std::vector<std::size_t> lineStarts, int firstLine,
                       const StyleResolver& styles, ParseError* error,
                       std::vector<Paragraph>& out) {
  Paragraph p;
  ParagraphParser parser(text, std::move(lineStarts), firstLine, styles, error);
  if (!parser.parse(p)) return false;
  out.push_back(std::move(p));
  return true;
}

}  // namespace

std::optional<std::vector<Paragraph>> ParseRegion(std::string_view source,
                                                  const StyleResolver& styles, int firstLine,
                                                  ParseError* error) {
  std::vector<Paragraph> out;
  std::string joined;
  std::vector<std::size_t> lineStarts;  // offset in `joined` where each source line begins
  int paragraphLine = firstLine;
  int line = firstLine;
  auto finish = [&]() -> bool {
    if (joined.empty() && lineStarts.empty()) return true;
    bool ok = ParseOneParagraph(joined, lineStarts, paragraphLine, styles, error, out);
    joined.clear();
    lineStarts.clear();
    return ok;
  };
  std::size_t pos = 0;
  while (pos <= source.size()) {
    auto end = source.find('\n', pos);
    if (end == std::string_view::npos) end = source.size();
    std::string_view text = source.substr(pos, end - pos);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    bool blank = text.find_first_not_of(" \t") == std::string_view::npos;
    if (blank) {
      if (!finish()) return std::nullopt;
    } else {
      if (lineStarts.empty()) {
        paragraphLine = line;
      } else {
        joined += ' ';
      }
      lineStarts.push_back(joined.size());
      joined.append(text);
    }
    ++line;
    if (end == source.size()) break;
    pos = end + 1;
  }
  if (!finish()) return std::nullopt;
  return out;
}

std::string WriteCanonical(const Content& content) {
  std::string out = "heading:\n";
  for (const auto& p : content.heading) {
    WriteParagraph(out, p);
    out += '\n';
  }
  out += "body:\n";
  for (const auto& p : content.body) {
    WriteParagraph(out, p);
    out += '\n';
  }
  return out;
}

std::optional<Content> ParseCanonical(std::string_view canonical, ParseError* error) {
  Content content;
  std::vector<Paragraph>* region = nullptr;
  int line = 0;
  std::size_t pos = 0;
  StyleResolver none;
  while (pos < canonical.size()) {
    ++line;
    auto end = canonical.find('\n', pos);
    if (end == std::string_view::npos) end = canonical.size();
    std::string_view text = canonical.substr(pos, end - pos);
    pos = end + 1;
    if (text == "heading:") {
      region = &content.heading;
    } else if (text == "body:") {
      region = &content.body;
    } else if (!text.empty()) {
      if (!region) {
        if (error) *error = {line, "text before 'heading:'"};
        return std::nullopt;
      }
      if (!ParseOneParagraph(text, {0}, line, none, error, *region)) return std::nullopt;
    }
  }
  return content;
}

std::string PlainText(const std::vector<Paragraph>& region) {
  std::string out;
  for (const auto& p : region) {
    for (const auto& item : p.items) {
      switch (item.kind) {
        case Item::Kind::text:
          out += item.text;
          break;
        case Item::Kind::tab:
        case Item::Kind::cell:
          out += '\t';
          break;
        case Item::Kind::lineBreak:
          out += '\n';
          break;
        case Item::Kind::picture:
        case Item::Kind::window:
          morph::AppendUtf8(out, kObjectCharacter);
          break;
        case Item::Kind::anchor:
          break;
      }
    }
    out += '\n';
  }
  return out;
}

namespace {
std::int32_t ItemUnits(const Item& item) {
  switch (item.kind) {
    case Item::Kind::text: {
      std::int32_t count = 0;
      for (char ch : item.text) count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
      return count;
    }
    case Item::Kind::anchor:
      return 0;
    default:
      return 1;
  }
}
}  // namespace

std::int32_t UnitCount(const std::vector<Paragraph>& region) {
  std::int32_t units = 0;
  for (const auto& p : region) {
    for (const auto& item : p.items) units += ItemUnits(item);
    ++units;
  }
  return units;
}

std::vector<AnchorPlace> Anchors(const std::vector<Paragraph>& region) {
  std::vector<AnchorPlace> out;
  std::int32_t unit = 0;
  for (const auto& p : region) {
    for (const auto& item : p.items) {
      if (item.kind == Item::Kind::anchor) out.push_back({item.text, unit});
      unit += ItemUnits(item);
    }
    ++unit;
  }
  return out;
}

}  // namespace mv::text
