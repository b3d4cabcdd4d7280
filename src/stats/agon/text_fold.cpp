#include "stats/agon/text_fold.h"

#include <cstdint>

#include "plat/cp1251.h"
#include "plat/utf8.h"

namespace agon {
namespace {

// Decodes one UTF-8 character at `position` and moves past it. A malformed byte reads as
// itself, offset past Unicode, so that broken texts still compare consistently.
char32_t NextCharacter(std::string_view text, std::size_t& position) {
  auto lead = static_cast<unsigned char>(text[position]);
  return plat::utf8::Decode(text, position).value_or(0x110000 + lead);
}

// The character with its case removed, as the code page's upper case.
char32_t Fold(char32_t c) {
  int byte = plat::cp1251::FromUnicode(c);
  if (byte < 0) return c;
  return plat::cp1251::ToUnicode(plat::cp1251::ToUpper(static_cast<unsigned char>(byte)));
}

// Ordering weight: the alphabetical key, then the upper-case byte so that only case is ignored.
std::uint32_t Weight(char32_t c) {
  int byte = plat::cp1251::FromUnicode(c);
  if (byte < 0) return 0x1000000u + c;
  auto upper = plat::cp1251::ToUpper(static_cast<unsigned char>(byte));
  return (static_cast<std::uint32_t>(plat::cp1251::SortKey(upper)) << 8) | upper;
}

}  // namespace

int CompareFolded(std::string_view left, std::string_view right) {
  std::size_t i = 0, j = 0;
  while (i < left.size() && j < right.size()) {
    std::uint32_t a = Weight(NextCharacter(left, i));
    std::uint32_t b = Weight(NextCharacter(right, j));
    if (a != b) return a < b ? -1 : 1;
  }
  if (i < left.size()) return 1;
  if (j < right.size()) return -1;
  return 0;
}

bool MatchesLike(std::string_view pattern, std::string_view text, char32_t escape) {
  // Two pointers with one backtrack point at the last %: linear in practice, never exponential.
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t p = 0, t = 0, starPattern = kNone, starText = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      std::size_t next = p;
      char32_t wanted = NextCharacter(pattern, next);
      if (wanted == '%') {
        while (next < pattern.size() && pattern[next] == '%') ++next;
        starPattern = p = next;
        starText = t;
        continue;
      }
      std::size_t after = t;
      char32_t got = NextCharacter(text, after);
      bool same = wanted == '_';
      if (!same) {
        if (escape != 0 && wanted == escape && next < pattern.size()) {
          wanted = NextCharacter(pattern, next);
        }
        same = Fold(wanted) == Fold(got);
      }
      if (same) {
        p = next;
        t = after;
        continue;
      }
    }
    if (starPattern == kNone) return false;
    p = starPattern;
    NextCharacter(text, starText);
    t = starText;
  }
  while (p < pattern.size() && pattern[p] == '%') ++p;
  return p == pattern.size();
}

}  // namespace agon
