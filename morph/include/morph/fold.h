// Case and ё folding of words, the one normal form shared by the index and by queries.
#pragma once

#include <string>
#include <string_view>

namespace morph {

// A character that belongs to a word: Latin and Cyrillic letters and digits.
bool IsWordCharacter(char32_t c);

// Lower case with ё folded to е, for a character that is a word character.
char32_t FoldCharacter(char32_t c);

// Decodes one UTF-8 character at `pos` and advances it; malformed bytes decode as U+FFFD.
char32_t NextCharacter(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

// The folded UTF-8 form of a word (no splitting; characters other than word characters kept).
std::string FoldWord(std::string_view utf8);

}  // namespace morph
