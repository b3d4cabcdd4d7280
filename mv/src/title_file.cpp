#include "mv/title_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "morph/fold.h"
#include "morph/morph.h"

namespace mv::title_file {

const char* const kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value) WITHOUT ROWID;
CREATE TABLE style(id INTEGER PRIMARY KEY, name TEXT, face TEXT, size_pt REAL, flags INTEGER,
                   colour INTEGER, bg INTEGER);
CREATE TABLE topic(
  no INTEGER PRIMARY KEY,
  ctx TEXT NOT NULL UNIQUE COLLATE NOCASE,
  hash INTEGER NOT NULL UNIQUE,
  title TEXT NOT NULL,
  addr_base INTEGER NOT NULL UNIQUE,
  nsr_units INTEGER NOT NULL,
  sr_units INTEGER NOT NULL,
  flags INTEGER NOT NULL DEFAULT 0,
  prev_no INTEGER NOT NULL DEFAULT -1,
  next_no INTEGER NOT NULL DEFAULT -1,
  data TEXT,
  media BLOB,
  media_is_text INTEGER NOT NULL DEFAULT 0,
  content TEXT NOT NULL);
CREATE TABLE anchor(ctx TEXT PRIMARY KEY COLLATE NOCASE, hash INTEGER NOT NULL UNIQUE,
                    topic INTEGER NOT NULL, addr INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE topic_text(no INTEGER PRIMARY KEY, heading TEXT NOT NULL, body TEXT NOT NULL);
CREATE VIRTUAL TABLE topic_fts USING fts5(heading, body, content='topic_text', content_rowid='no',
                                          tokenize='mv', detail=full);
CREATE TABLE wordwheel(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, entries INTEGER NOT NULL);
CREATE TABLE ww_entry(id INTEGER PRIMARY KEY, ww INTEGER NOT NULL, no INTEGER NOT NULL,
                      text TEXT NOT NULL, sortkey BLOB NOT NULL, UNIQUE(ww, no));
CREATE INDEX ww_sort ON ww_entry(ww, sortkey);
CREATE VIRTUAL TABLE ww_fts USING fts5(text, content='ww_entry', content_rowid='id',
                                       tokenize='mv surface');
CREATE TABLE ww_key(ww INTEGER NOT NULL, key BLOB NOT NULL, seq INTEGER NOT NULL,
                    addr INTEGER NOT NULL, PRIMARY KEY(ww, key, seq)) WITHOUT ROWID;
CREATE TABLE stored_list(name TEXT PRIMARY KEY COLLATE NOCASE, items BLOB NOT NULL) WITHOUT ROWID;
CREATE TABLE baggage(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE NOCASE,
                     data BLOB NOT NULL);
)sql";

std::uint32_t HashContext(std::string_view ctx) {
  std::uint32_t hash = 2166136261u;
  for (char ch : ctx) {
    auto byte = static_cast<unsigned char>(ch);
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte + 32);
    hash = (hash ^ byte) * 16777619u;
  }
  return hash;
}

namespace {

// Characters inside a word that are no letters of it: the dictionary's marker byte and the
// combining stress mark.
bool IsIgnoredInWord(char32_t c) {
  return c == 0x98 || c == 0x0301;
}

void TokenizeQueryForms(std::string_view text, const TokenSink& emit) {
  std::size_t pos = 0;
  int size = static_cast<int>(text.size());
  while (pos <= text.size()) {
    auto end = text.find(kPositionSeparator, pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view position = text.substr(pos, end - pos);
    bool first = true;
    std::size_t alt = 0;
    while (alt <= position.size()) {
      auto altEnd = position.find(kAlternativeSeparator, alt);
      if (altEnd == std::string_view::npos) altEnd = position.size();
      if (altEnd > alt) {
        emit(position.substr(alt, altEnd - alt), 0, size, !first);
        first = false;
      }
      alt = altEnd + 1;
    }
    pos = end + 1;
  }
}

}  // namespace

void Tokenize(std::string_view utf8, TokenMode mode, const TokenSink& emit) {
  if (mode == TokenMode::query && !utf8.empty() && utf8[0] == morph::kKeyMarker) {
    TokenizeQueryForms(utf8, emit);
    return;
  }
  std::string word;
  std::size_t pos = 0;
  int start = -1;
  int end = 0;
  const bool offsetsOnly = mode == TokenMode::offsets;
  auto finish = [&]() {
    if (start >= 0 && (offsetsOnly || !word.empty())) {
      emit(word, start, end, false);
      if (mode == TokenMode::document) {
        for (const auto& key : morph::IndexKeys(word)) emit(key, start, end, true);
      }
    }
    word.clear();
    start = -1;
  };
  while (pos < utf8.size()) {
    std::size_t at = pos;
    char32_t c = morph::NextCharacter(utf8, pos);
    if (morph::IsWordCharacter(c)) {
      if (start < 0) start = static_cast<int>(at);
      if (!offsetsOnly) morph::AppendUtf8(word, morph::FoldCharacter(c));
      end = static_cast<int>(pos);
    } else if (start >= 0 && IsIgnoredInWord(c)) {
      end = static_cast<int>(pos);
    } else {
      finish();
    }
  }
  finish();
}

namespace {

// ---- FTS5 tokenizer "mv" ----

struct TokenizerInstance {
  bool surfaceOnly = false;
};

int CreateTokenizer(void*, const char** args, int count, Fts5Tokenizer** out) {
  auto* instance = new TokenizerInstance;
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(args[i], "surface") == 0) instance->surfaceOnly = true;
  }
  *out = reinterpret_cast<Fts5Tokenizer*>(instance);
  return SQLITE_OK;
}

void DeleteTokenizer(Fts5Tokenizer* tokenizer) {
  delete reinterpret_cast<TokenizerInstance*>(tokenizer);
}

int RunTokenizer(Fts5Tokenizer* tokenizer, void* context, int flags, const char* text, int size,
                 int (*token)(void*, int, const char*, int, int, int)) {
  auto* instance = reinterpret_cast<TokenizerInstance*>(tokenizer);
  TokenMode mode = TokenMode::surface;
  if (flags & FTS5_TOKENIZE_QUERY) {
    mode = TokenMode::query;
  } else if ((flags & FTS5_TOKENIZE_DOCUMENT) && !instance->surfaceOnly) {
    mode = TokenMode::document;
  }
  int rc = SQLITE_OK;
  Tokenize(std::string_view(text ? text : "", text ? static_cast<std::size_t>(size) : 0), mode,
           [&](std::string_view t, int start, int end, bool colocated) {
             if (rc != SQLITE_OK) return;
             rc = token(context, colocated ? FTS5_TOKEN_COLOCATED : 0, t.data(),
                        static_cast<int>(t.size()), start, end);
           });
  return rc;
}

fts5_tokenizer kTokenizer = {CreateTokenizer, DeleteTokenizer, RunTokenizer};

// ---- auxiliary function mv_hits ----
// One record per token of every phrase instance of the row: instance, phrase, column, token
// position, first character and character count, as little-endian 32-bit numbers.

void HitsFunction(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* result, int,
                  sqlite3_value**) {
  int instances = 0;
  if (api->xInstCount(fts, &instances) != SQLITE_OK) {
    sqlite3_result_error(result, "mv_hits: no instances", -1);
    return;
  }
  struct Wanted {
    int instance, phrase, column, position;
  };
  std::vector<Wanted> wanted;
  int columns = api->xColumnCount(fts);
  std::vector<int> maxPosition(static_cast<std::size_t>(columns), -1);
  for (int i = 0; i < instances; ++i) {
    int phrase = 0, column = 0, offset = 0;
    if (api->xInst(fts, i, &phrase, &column, &offset) != SQLITE_OK) continue;
    if (column < 0 || column >= columns || offset < 0) continue;
    int size = api->xPhraseSize(fts, phrase);
    for (int k = 0; k < size; ++k) {
      wanted.push_back({i, phrase, column, offset + k});
      maxPosition[static_cast<std::size_t>(column)] =
          std::max(maxPosition[static_cast<std::size_t>(column)], offset + k);
    }
  }
  // Character ranges of token positions, per column, only as far as needed.
  std::vector<std::vector<std::pair<int, int>>> ranges(static_cast<std::size_t>(columns));
  for (int column = 0; column < columns; ++column) {
    int last = maxPosition[static_cast<std::size_t>(column)];
    if (last < 0) continue;
    const char* text = nullptr;
    int size = 0;
    if (api->xColumnText(fts, column, &text, &size) != SQLITE_OK || !text) continue;
    std::string_view view(text, static_cast<std::size_t>(size));
    auto& out = ranges[static_cast<std::size_t>(column)];
    int characters = 0;
    std::size_t counted = 0;
    auto charAt = [&](int byte) {
      while (counted < static_cast<std::size_t>(byte) && counted < view.size()) {
        characters += (static_cast<unsigned char>(view[counted]) & 0xC0) != 0x80;
        ++counted;
      }
      return characters;
    };
    struct Stop {};
    try {
      Tokenize(view, TokenMode::offsets, [&](std::string_view, int start, int end, bool) {
        int first = charAt(start);
        int after = charAt(end);
        out.emplace_back(first, after - first);
        if (static_cast<int>(out.size()) > last) throw Stop{};
      });
    } catch (const Stop&) {
    }
  }
  std::string blob;
  blob.reserve(wanted.size() * 20);
  auto put = [&](int value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) blob += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  for (const auto& w : wanted) {
    const auto& columnRanges = ranges[static_cast<std::size_t>(w.column)];
    if (w.position >= static_cast<int>(columnRanges.size())) continue;
    put(w.instance);
    put(w.phrase);
    put(w.column);
    put(w.position);
    put(columnRanges[static_cast<std::size_t>(w.position)].first);
    put(columnRanges[static_cast<std::size_t>(w.position)].second);
  }
  sqlite3_result_blob(result, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
}

fts5_api* FindFts5(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK)
    return nullptr;
  sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
  sqlite3_step(statement);
  sqlite3_finalize(statement);
  return api;
}

}  // namespace

bool RegisterExtensions(sqlite3* db) {
  fts5_api* api = FindFts5(db);
  if (!api) return false;
  if (api->xCreateTokenizer(api, "mv", nullptr, &kTokenizer, nullptr) != SQLITE_OK) return false;
  return api->xCreateFunction(api, "mv_hits", nullptr, HitsFunction, nullptr) == SQLITE_OK;
}

}  // namespace mv::title_file
