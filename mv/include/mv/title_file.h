// The title file: one SQLite database per title. Shared by the compiler and the runtime.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct sqlite3;

namespace mv::title_file {

inline constexpr std::int32_t kApplicationId = 0x4D563134;  // "MV14"
inline constexpr std::int32_t kVersion = 1;
// Addresses of consecutive topics are at least this far apart beyond the topic's units.
inline constexpr std::int32_t kTopicGap = 16;

// Tables, in creation order.
extern const char* const kSchema;

// Registers the tokenizer "mv" and the auxiliary function "mv_hits" on a connection.
bool RegisterExtensions(sqlite3* db);

// Context strings and anchors hash the same way: FNV-1a over the ASCII-lower-cased text.
std::uint32_t HashContext(std::string_view ctx);

// Tokenizing as the index does. `emit` gets the token, its byte range in `text` and whether it
// shares the position of the token before it (index keys beside their word).
// `offsets` reports only the byte ranges of words (the token text is empty).
enum class TokenMode { document, surface, query, offsets };
using TokenSink = std::function<void(std::string_view token, int start, int end, bool colocated)>;
void Tokenize(std::string_view utf8, TokenMode mode, const TokenSink& emit);

// Separators of a query token that carries its own forms (see the query translator): a query
// string starting with the key marker is a list of positions separated by kPositionSeparator,
// each a list of alternatives separated by kAlternativeSeparator.
inline constexpr char kAlternativeSeparator = '\x02';
inline constexpr char kPositionSeparator = '\x03';

}  // namespace mv::title_file
