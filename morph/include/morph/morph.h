// Russian word forms: the process-wide switch of the full-text search, base forms of words and
// the keys under which the index files every form of a word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morph {

// Marks an index key so that it never equals a surface word.
inline constexpr char kKeyMarker = '\x01';

// The switch the query engine reads when a query starts: 0 surface forms only, else word forms.
void SetMorph(int state);
bool MorphEnabled();

// The base form of a cp1251 word, as a cp1251 string valid until the next call on this thread,
// or nullptr when the word has none (unknown word, Latin letters or digits).
const char* Morph(const char* word);

// The base forms of a folded UTF-8 word from the dictionary and the table of irregular forms,
// folded, first choice first. Empty when the word is unknown.
std::vector<std::string> Lemmas(std::string_view foldedWord);

// The index keys of a folded UTF-8 word: its lemmas, or its stem when it has none; each starts
// with kKeyMarker. Never empty for a non-empty word. Results are cached per thread.
const std::vector<std::string>& IndexKeys(std::string_view foldedWord);

// Identifies the morphology data, so that a title can record what its index was built with.
std::string DataIdentity();

}  // namespace morph
