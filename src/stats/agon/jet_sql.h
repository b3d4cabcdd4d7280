// The viewer speaks the SQL dialect of its original engine; SQLite needs a few things said
// differently. The translation works on code page 1251 text and keeps everything else as is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace agon {

// The escape character the translated LIKE patterns use.
inline constexpr char kLikeEscape = '\\';

// The SQLite text of a query, or nothing when the text cannot be translated (an unclosed
// literal, a LIKE pattern with character classes SQLite cannot express):
// - "..." is a string literal (a doubled "" inside is one quote), never a column name;
// - [name] and the reserved words used as column names (group, order) become "name";
// - the literal after LIKE is a pattern with * and ? as wildcards and [c] as a literal c;
//   it becomes a pattern with % and _ and an ESCAPE clause.
std::optional<std::string> TranslateJetSql(std::string_view sql);

}  // namespace agon
