// Code page 1251: the single-byte Cyrillic encoding of every user text and data file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat::cp1251 {

// Characters of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0x98 has no
// character in the code page and maps to the C1 control of the same value.
inline constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// The byte of a Unicode character, or -1 when the code page has none.
constexpr int FromUnicode(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<int>(c - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i) {
    if (kHighHalf[static_cast<std::size_t>(i)] == c) return 0x80 + i;
  }
  return -1;
}

// A UTF-8 string literal of the source turned into code page 1251 at compile time:
// `"Текст"_cp` is a std::string_view of the 1251 bytes. A character outside the code page
// does not compile.
template <std::size_t N>
struct Literal {
  char bytes[N]{};
  std::size_t size = 0;

  consteval Literal(const char (&utf8)[N]) {
    for (std::size_t i = 0; i + 1 < N;) {
      auto lead = static_cast<unsigned char>(utf8[i]);
      char32_t c = lead;
      std::size_t length = 1;
      if (lead >= 0xE0) {
        c = lead & 0x0F;
        length = 3;
      } else if (lead >= 0xC0) {
        c = lead & 0x1F;
        length = 2;
      }
      for (std::size_t k = 1; k < length; ++k) {
        c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      }
      int byte = FromUnicode(c);
      if (byte < 0) throw "character outside code page 1251";
      bytes[size++] = static_cast<char>(byte);
      i += length;
    }
  }
};

template <Literal text>
inline constexpr Literal kStoredLiteral = text;

namespace literals {
template <Literal text>
constexpr std::string_view operator""_cp() {
  return std::string_view(kStoredLiteral<text>.bytes, kStoredLiteral<text>.size);
}
}  // namespace literals

// The Unicode character of a byte. Bytes without a character in the code page (only 0x98)
// map to the C1 control of the same value so that every byte survives a round trip.
char32_t ToUnicode(unsigned char byte);

std::string ToUtf8(std::string_view text);
// Characters outside the code page become `replacement`; malformed UTF-8 bytes too.
std::string FromUtf8(std::string_view text, char replacement = '?');

bool IsAlpha(unsigned char byte);
bool IsAlphaNumeric(unsigned char byte);
bool IsUpper(unsigned char byte);
bool IsLower(unsigned char byte);
unsigned char ToUpper(unsigned char byte);
unsigned char ToLower(unsigned char byte);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// Position of a byte in a case-insensitive Russian ordering: other characters by code, then
// Latin letters, then the Cyrillic alphabet with ё sorting as е.
std::uint16_t SortKey(unsigned char byte);

// Case-insensitive comparison in that ordering: negative, zero or positive.
int CompareNoCase(std::string_view left, std::string_view right);

}  // namespace plat::cp1251
