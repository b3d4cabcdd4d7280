// The field readers of description values: comma-separated quoted strings, numbers, brace
// groups, hexadecimal colours and bare words.
//
// A reader takes a cursor into a NUL-terminated code page 1251 text and returns the comma that
// ends the field it read, or null when no comma follows; the caller steps one past that comma
// for the next field. Text destinations are cut to their capacity in characters; the returned
// cursor does not depend on the cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "plat/geometry.h"
#include "plat/stream.h"

namespace lexo {

inline constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

bool IsBlank(char ch);  // space, tab, line feed and the caret

const char* ReadQuoted(const char* cursor, std::string* destination,
                       std::size_t capacity = kNoLimit);
const char* ReadWord(const char* cursor, std::string* destination, std::size_t capacity = kNoLimit);
const char* ReadLong(const char* cursor, std::int32_t* destination);
const char* ReadInt(const char* cursor, std::int32_t* destination);
const char* ReadShort(const char* cursor, std::int16_t* destination);
const char* ReadHex(const char* cursor, std::uint32_t* destination);
const char* ReadRect(const char* cursor, plat::Rect* destination);
const char* ReadPair(const char* cursor, std::int32_t* first, std::int32_t* second);
// The position after the comma that ends the current field (brace groups and quoted strings
// count as one field), or null.
const char* SkipField(const char* cursor);

// The step every caller takes between fields: one past the returned comma, or null.
inline const char* NextField(const char* comma) {
  return comma ? comma + 1 : nullptr;
}

// Copies `source` leaving out spaces, tabs and line feeds (the caret stays).
std::string StripBlanks(std::string_view source);
// Skips tabs, line feeds and spaces so that the next read returns the first other character.
void SkipStreamBlanks(plat::Stream& stream);

// A keyword table: words looked up by position. Tables of descriptions have "EMPTY" at 0 so
// that an unknown word and "EMPTY" mean the same.
using KeywordTable = std::span<const std::string_view>;

// The index of the word (up to its first comma, at most 63 characters) in the table, else 0.
int FindKeyword(const char* word, KeywordTable table);
// FindKeyword of the text before the first colon of a line (at most 511 characters), else 0.
int FindKeywordBeforeColon(const char* line, KeywordTable table);
// The word at an index, or null outside the table (table words are NUL-terminated literals).
const char* KeywordAt(int index, KeywordTable table);

}  // namespace lexo
