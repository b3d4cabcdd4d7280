#include "morph/fold.h"

#include "plat/utf8.h"

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
  return plat::utf8::Decode(utf8, pos).value_or(0xFFFD);
}

void AppendUtf8(std::string& out, char32_t c) {
  plat::utf8::Append(out, c);
}

std::string FoldWord(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();)
    AppendUtf8(out, FoldCharacter(NextCharacter(utf8, pos)));
  return out;
}

}  // namespace morph
