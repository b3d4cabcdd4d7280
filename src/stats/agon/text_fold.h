// Case-insensitive comparison of stored UTF-8 texts for Cyrillic and Latin alike: the database
// engine's own folding knows ASCII only.
#pragma once

#include <string_view>

namespace agon {

// Negative, zero or positive. Texts equal when they differ only in letter case; the order is
// the Russian alphabetical one of code page 1251, other characters by code point.
int CompareFolded(std::string_view left, std::string_view right);

// The LIKE of SQL over folded characters: `%` any run, `_` any one character, `escape` (or 0)
// takes the next pattern character literally.
bool MatchesLike(std::string_view pattern, std::string_view text, char32_t escape);

}  // namespace agon
