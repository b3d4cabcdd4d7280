// Text forms at the boundary: callers speak code page 1251, titles store UTF-8; word-wheel
// entries sort by a folded key.
#pragma once

#include <string>
#include <string_view>

namespace mv {

std::string ToUtf8(std::string_view cp1251);
std::string ToCp1251(std::string_view utf8);

// Folded form of a cp1251 text used for word-wheel order, prefix look-up and key look-up:
// case and ё folded (the Russian order of the code page), the first 0x98 byte removed.
std::string WheelKey(std::string_view cp1251);
// The sort key of an entry: its folded key, then the text itself to break ties.
std::string WheelSortKey(std::string_view cp1251);

// Number of UTF-8 characters.
std::size_t CountCharacters(std::string_view utf8);

}  // namespace mv
