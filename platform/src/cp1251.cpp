#include "plat/cp1251.h"

#include "plat/utf8.h"

#include <array>

namespace plat::cp1251 {
namespace {

struct Tables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
  std::array<bool, 256> alpha{};
  std::array<std::uint16_t, 256> sortKey{};
};

// Upper/lower pairs among 0x80..0xBF.
constexpr std::array<std::pair<unsigned char, unsigned char>, 16> kExtraPairs = {{
    {0x80, 0x90},
    {0x81, 0x83},
    {0x8A, 0x9A},
    {0x8C, 0x9C},
    {0x8D, 0x9D},
    {0x8E, 0x9E},
    {0x8F, 0x9F},
    {0xA1, 0xA2},
    {0xA3, 0xBC},
    {0xA5, 0xB4},
    {0xA8, 0xB8},
    {0xAA, 0xBA},
    {0xAF, 0xBF},
    {0xB2, 0xB3},
    {0xBD, 0xBE},
    {0x00, 0x00},
}};

Tables BuildTables() {
  Tables t;
  for (int b = 0; b < 256; ++b) {
    t.upper[b] = t.lower[b] = static_cast<unsigned char>(b);
  }
  for (int b = 'a'; b <= 'z'; ++b) {
    t.upper[b] = static_cast<unsigned char>(b - 32);
    t.lower[b - 32] = static_cast<unsigned char>(b);
    t.alpha[b] = t.alpha[b - 32] = true;
  }
  for (int b = 0xE0; b <= 0xFF; ++b) {
    t.upper[b] = static_cast<unsigned char>(b - 32);
    t.lower[b - 32] = static_cast<unsigned char>(b);
    t.alpha[b] = t.alpha[b - 32] = true;
  }
  for (auto [up, low] : kExtraPairs) {
    if (up == 0) continue;
    t.upper[low] = up;
    t.lower[up] = low;
    t.alpha[up] = t.alpha[low] = true;
  }
  t.alpha[0xB5] = true;  // micro sign is a letter

  // Sort keys: non-letters keep their code (< 0x100); Latin 0x100 + letter; Cyrillic 0x200 + place.
  for (int b = 0; b < 256; ++b) t.sortKey[b] = static_cast<std::uint16_t>(b);
  for (int b = 'a'; b <= 'z'; ++b) {
    t.sortKey[b] = t.sortKey[b - 32] = static_cast<std::uint16_t>(0x100 + (b - 'a'));
  }
  // Russian alphabet: а..е, ё, ж..я; ё shares е's place.
  for (int b = 0xE0; b <= 0xFF; ++b) {
    t.sortKey[b] = t.sortKey[b - 32] = static_cast<std::uint16_t>(0x200 + 2 * (b - 0xE0));
  }
  t.sortKey[0xB8] = t.sortKey[0xA8] = t.sortKey[0xE5];
  // The other Cyrillic letters follow the Russian alphabet, each after its nearest relative.
  const std::pair<unsigned char, unsigned char> kNear[] = {
      {0x90, 0xE4}, {0x83, 0xE3}, {0x9A, 0xEB}, {0x9C, 0xED}, {0x9D, 0xEA},
      {0x9E, 0xF2}, {0x9F, 0xF7}, {0xA2, 0xF3}, {0xBC, 0xE9}, {0xB4, 0xE3},
      {0xBA, 0xE5}, {0xBF, 0xE8}, {0xB3, 0xE8}, {0xBE, 0xE7}};
  for (auto [low, near] : kNear) {
    auto key = static_cast<std::uint16_t>(t.sortKey[near] + 1);
    t.sortKey[low] = t.sortKey[t.upper[low]] = key;
  }
  return t;
}

const Tables& tables() {
  static const Tables t = BuildTables();
  return t;
}

}  // namespace

char32_t ToUnicode(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kHighHalf[byte - 0x80];
}

std::string ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) utf8::Append(out, ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string FromUtf8(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto c = utf8::Decode(text, i);
    int byte = c ? FromUnicode(*c) : -1;
    out += byte < 0 ? replacement : static_cast<char>(byte);
  }
  return out;
}

bool IsAlpha(unsigned char byte) {
  return tables().alpha[byte];
}
bool IsAlphaNumeric(unsigned char byte) {
  return IsAlpha(byte) || (byte >= '0' && byte <= '9');
}
bool IsUpper(unsigned char byte) {
  return IsAlpha(byte) && tables().lower[byte] != byte;
}
bool IsLower(unsigned char byte) {
  return IsAlpha(byte) && tables().upper[byte] != byte;
}
unsigned char ToUpper(unsigned char byte) {
  return tables().upper[byte];
}
unsigned char ToLower(unsigned char byte) {
  return tables().lower[byte];
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(ToUpper(static_cast<unsigned char>(ch)));
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(ToLower(static_cast<unsigned char>(ch)));
  return out;
}

std::uint16_t SortKey(unsigned char byte) {
  return tables().sortKey[byte];
}

int CompareNoCase(std::string_view left, std::string_view right) {
  const auto& keys = tables().sortKey;
  size_t n = std::min(left.size(), right.size());
  for (size_t i = 0; i < n; ++i) {
    int a = keys[static_cast<unsigned char>(left[i])];
    int b = keys[static_cast<unsigned char>(right[i])];
    if (a != b) return a < b ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

}  // namespace plat::cp1251
