#include "morph/fold.h"

namespace morph {

bool IsWordCharacter(char32_t c) {
  if (c < 0x80) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  // Cyrillic block (Ѐ..ӿ) without its combining marks and signs.
  return (c >= 0x0400 && c <= 0x0481) || (c >= 0x048A && c <= 0x04FF);
}

char32_t FoldCharacter(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  if (c == 0x0401 || c == 0x0451) return 0x0435;  // ё, Ё -> е
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c >= 0x0460 && c <= 0x04FF && (c % 2) == 0) return c + 1;
  return c;
}

char32_t NextCharacter(std::string_view utf8, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || pos + length > utf8.size()) {
    ++pos;
    return 0xFFFD;
  }
  char32_t c = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    unsigned char next = byte(pos + k);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    c = (c << 6) | (next & 0x3F);
  }
  pos += length;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string FoldWord(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();)
    AppendUtf8(out, FoldCharacter(NextCharacter(utf8, pos)));
  return out;
}

}  // namespace morph
