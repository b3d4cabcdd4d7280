#include "window/value_readers.h"

#include <cctype>
#include <cstring>

namespace lexo {
namespace {

bool IsEnd(const char* cursor) {
  return cursor == nullptr || *cursor == '\0';
}

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The characters that end a bare word.
bool IsWordSeparator(char ch) {
  return std::strchr("\\/\"'.,+-*^&(){}~`!@#$%=<> \t", ch) != nullptr && ch != '\0';
}

// The closing quote after an opening one: the next quote not preceded by a backslash.
const char* ClosingQuote(const char* open) {
  for (const char* p = open + 1; *p; ++p) {
    if (*p == '"' && p[-1] != '\\') return p;
  }
  return nullptr;
}

void Assign(std::string* destination, std::string_view text, std::size_t capacity) {
  destination->assign(text.substr(0, std::min(text.size(), capacity)));
}

// Optional sign and decimal digits, wrapping at 32 bits as the original arithmetic did.
std::int32_t ParseDecimal(const char* p) {
  p = SkipBlanks(p);
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint32_t value = 0;
  while (*p >= '0' && *p <= '9') value = value * 10u + static_cast<std::uint32_t>(*p++ - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

}  // namespace

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '^';
}

const char* ReadQuoted(const char* cursor, std::string* destination, std::size_t capacity) {
  if (!destination) return nullptr;
  destination->clear();
  if (IsEnd(cursor)) return nullptr;
  const char* open = std::strchr(cursor, '"');
  const char* comma = std::strchr(cursor, ',');
  if (!open) return comma;
  if (comma && comma < open) return comma;
  const char* close = ClosingQuote(open);
  if (!close) return std::strchr(open + 1, ',');
  std::string text;
  for (const char* p = open + 1; p < close; ++p) {
    if (*p == '\\' && p[1] == '"') continue;
    text += *p;
  }
  Assign(destination, text, capacity);
  return std::strchr(close + 1, ',');
}

const char* ReadWord(const char* cursor, std::string* destination, std::size_t capacity) {
  if (!destination) return nullptr;
  destination->clear();
  if (IsEnd(cursor)) return nullptr;
  const char* start = SkipBlanks(cursor);
  if (*start == '\0') return nullptr;
  const char* comma = std::strchr(cursor, ',');
  if (comma && comma <= start) return comma;
  const char* end = start;
  while (*end && !IsWordSeparator(*end)) ++end;
  Assign(destination, std::string_view(start, static_cast<std::size_t>(end - start)), capacity);
  return comma;
}

const char* ReadLong(const char* cursor, std::int32_t* destination) {
  if (IsEnd(cursor) || !destination) return nullptr;
  *destination = ParseDecimal(cursor);
  return std::strchr(cursor, ',');
}

const char* ReadInt(const char* cursor, std::int32_t* destination) {
  return ReadLong(cursor, destination);
}

const char* ReadShort(const char* cursor, std::int16_t* destination) {
  if (IsEnd(cursor) || !destination) return nullptr;
  std::int32_t value = 0;
  const char* next = ReadInt(cursor, &value);
  *destination = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  return next;
}

const char* ReadHex(const char* cursor, std::uint32_t* destination) {
  if (IsEnd(cursor) || !destination) return nullptr;
  const char* p = SkipBlanks(cursor);
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      std::isxdigit(static_cast<unsigned char>(p[2]))) {
    p += 2;
  }
  std::uint32_t value = 0;
  for (;; ++p) {
    char ch = *p;
    std::uint32_t digit;
    if (ch >= '0' && ch <= '9')
      digit = static_cast<std::uint32_t>(ch - '0');
    else if (ch >= 'a' && ch <= 'f')
      digit = static_cast<std::uint32_t>(ch - 'a' + 10);
    else if (ch >= 'A' && ch <= 'F')
      digit = static_cast<std::uint32_t>(ch - 'A' + 10);
    else
      break;
    value = (value << 4) | digit;
  }
  *destination = negative ? 0u - value : value;
  return std::strchr(cursor, ',');
}

namespace {

// Reads up to `count` numbers of a brace group into `numbers`; returns the comma after it.
const char* ReadBraceGroup(const char* cursor, std::int32_t* numbers, int count) {
  for (int i = 0; i < count; ++i) numbers[i] = 0;
  if (IsEnd(cursor)) return nullptr;
  const char* open = std::strchr(cursor, '{');
  const char* comma = std::strchr(cursor, ',');
  if (!open) return comma;
  if (comma && comma < open) return comma;
  const char* close = std::strchr(open + 1, '}');
  if (!close) return std::strchr(open + 1, ',');
  const char* field = open + 1;
  for (int i = 0; i < count && field; ++i) {
    numbers[i] = ParseDecimal(field);
    const char* next = std::strchr(field, ',');
    field = next && next < close ? next + 1 : nullptr;
  }
  return std::strchr(close + 1, ',');
}

}  // namespace

const char* ReadRect(const char* cursor, plat::Rect* destination) {
  if (!destination) return nullptr;
  std::int32_t numbers[4];
  const char* next = ReadBraceGroup(cursor, numbers, 4);
  *destination = {numbers[0], numbers[1], numbers[2], numbers[3]};
  return next;
}

const char* ReadPair(const char* cursor, std::int32_t* first, std::int32_t* second) {
  if (!first || !second) return nullptr;
  std::int32_t numbers[2];
  const char* next = ReadBraceGroup(cursor, numbers, 2);
  *first = numbers[0];
  *second = numbers[1];
  return next;
}

const char* SkipField(const char* cursor) {
  if (IsEnd(cursor)) return nullptr;
  const char* comma = std::strchr(cursor, ',');
  if (!comma) return nullptr;
  const char* brace = std::strchr(cursor, '{');
  if (brace && brace < comma) {
    const char* close = std::strchr(brace + 1, '}');
    const char* after = close ? std::strchr(close + 1, ',') : nullptr;
    return after ? after + 1 : nullptr;
  }
  const char* quote = std::strchr(cursor, '"');
  if (quote && quote < comma) {
    const char* close = ClosingQuote(quote);
    const char* after = close ? std::strchr(close + 1, ',') : nullptr;
    return after ? after + 1 : nullptr;
  }
  return comma + 1;
}

std::string StripBlanks(std::string_view source) {
  std::string out;
  out.reserve(source.size());
  for (char ch : source) {
    if (ch != ' ' && ch != '\t' && ch != '\n') out += ch;
  }
  return out;
}

void SkipStreamBlanks(plat::Stream& stream) {
  for (;;) {
    int ch = stream.GetChar();
    if (ch == plat::Stream::kEnd) return;
    if (ch != '\t' && ch != '\n' && ch != ' ') {
      stream.StepBack();
      return;
    }
  }
}

int FindKeyword(const char* word, KeywordTable table) {
  if (!word) return 0;
  std::string_view candidate(word);
  candidate = candidate.substr(0, std::min(candidate.find(','), std::size_t{63}));
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i] == candidate) return static_cast<int>(i);
  }
  return 0;
}

int FindKeywordBeforeColon(const char* line, KeywordTable table) {
  if (!line) return 0;
  const char* colon = std::strchr(line, ':');
  if (!colon || colon == line) return 0;
  std::string before(line, std::min(static_cast<std::size_t>(colon - line), std::size_t{511}));
  return FindKeyword(before.c_str(), table);
}

const char* KeywordAt(int index, KeywordTable table) {
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
  return table[static_cast<std::size_t>(index)].data();
}

}  // namespace lexo
