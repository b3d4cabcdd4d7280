#include "window/value_readers.h"

#include <gtest/gtest.h>

#include <array>

#include "support/temp_folder.h"

namespace {

using namespace lexo;

// The offset of a returned cursor inside its text, or -1 for null.
std::ptrdiff_t At(const char* text, const char* cursor) {
  return cursor ? cursor - text : -1;
}

TEST(ReadQuoted, Fields) {
  struct Case {
    const char* text;
    std::string value;
    std::ptrdiff_t next;
  };
  const Case cases[] = {
      {"\"OK\",\"CLOSE\"", "OK", 4},
      {"  \"a\\\"b\"  ,x", "a\"b", 10},  // escaped quote; junk before the comma ignored
      {"WORD,\"quoted\"", "", 4},        // the quote belongs to a later field
      {"\"unterminated, x", "", 13},     // no closing quote: the comma after the opening
      {"plain", "", -1},                 // no quote, no comma
      {"plain,next", "", 5},
      {"\"last\"", "last", -1},
      {"\"with, comma\",z", "with, comma", 13},
      {"\"\"", "", -1},
      {"", "", -1},
  };
  for (const auto& c : cases) {
    std::string value = "stale";
    const char* next = ReadQuoted(c.text, &value);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(At(c.text, next), c.next) << c.text;
  }
  std::string value = "stale";
  EXPECT_EQ(ReadQuoted(nullptr, &value), nullptr);
  EXPECT_EQ(value, "");
  EXPECT_EQ(ReadQuoted("\"x\",", nullptr), nullptr);
}

TEST(ReadNumbers, Fields) {
  struct Case {
    const char* text;
    std::int32_t value;
    std::ptrdiff_t next;
  };
  const Case cases[] = {
      {"12,3", 12, 2},
      {"  -7 ,", -7, 5},
      {"^\t+42", 42, -1},
      {"abc,1", 0, 3},
      {"   ", 0, -1},
      {",5", 0, 0},
      {"2147483647", 2147483647, -1},
      {"2147483648", -2147483647 - 1, -1},  // wraps at 32 bits
      {"123456789012345678901234567890,x", static_cast<std::int32_t>(0x4E3F0AD2u), 30},
  };
  for (const auto& c : cases) {
    std::int32_t value = 99;
    const char* next = ReadLong(c.text, &value);
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(At(c.text, next), c.next) << c.text;
  }
  std::int32_t untouched = 99;
  EXPECT_EQ(ReadLong("", &untouched), nullptr);
  EXPECT_EQ(ReadInt(nullptr, &untouched), nullptr);
  EXPECT_EQ(untouched, 99);
  EXPECT_EQ(ReadLong("5", nullptr), nullptr);

  std::int16_t shortValue = 0;
  EXPECT_EQ(At("70000,", ReadShort("70000,", &shortValue)), 5);
  EXPECT_EQ(shortValue, static_cast<std::int16_t>(70000 - 65536));
}

TEST(ReadHex, Colours) {
  struct Case {
    const char* text;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"FF00FF", 0xFF00FF}, {" 0x00c0c0c0,1", 0xC0C0C0},    {"0X1a", 0x1A}, {"zz", 0}, {"0x", 0},
      {"-1", 0xFFFFFFFF},   {"123456789ABCDEF", 0x89ABCDEF}};
  for (const auto& c : cases) {
    std::uint32_t value = 7;
    ReadHex(c.text, &value);
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ReadRect, BraceGroups) {
  struct Case {
    const char* text;
    plat::Rect rect;
    std::ptrdiff_t next;
  };
  const Case cases[] = {
      {"{10,20,30,40},5", {10, 20, 30, 40}, 13},
      {"{1, 2}", {1, 2, 0, 0}, -1},
      {",{1,2,3,4}", {}, 0},  // the brace belongs to a later field
      {"{1,2", {}, 2},        // no closing brace
      {"none,{1}", {}, 4},
      {"{ -5 , 6 , 7 , 8 , 9 }", {-5, 6, 7, 8}, -1},
      {"{}", {}, -1},
      {" {3,4,5,6} junk , next", {3, 4, 5, 6}, 16},
  };
  for (const auto& c : cases) {
    plat::Rect rect{9, 9, 9, 9};
    const char* next = ReadRect(c.text, &rect);
    EXPECT_EQ(rect, c.rect) << c.text;
    EXPECT_EQ(At(c.text, next), c.next) << c.text;
  }
  std::int32_t a = 9, b = 9;
  EXPECT_EQ(At("{4,5},x", ReadPair("{4,5},x", &a, &b)), 5);
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 5);
}

TEST(ReadWord, BareWords) {
  struct Case {
    const char* text;
    std::string word;
    std::ptrdiff_t next;
  };
  const Case cases[] = {
      {"  OK_BTN ,", "OK_BTN", 9},
      {"A-B,", "A", 3},
      {"  ,WORD", "", 2},
      {"   ", "", -1},
      {"LIST:2;[x]|y?", "LIST:2;[x]|y?", -1},
      {"\xC4\xE0 \xED\xE5\xF2,", "\xC4\xE0", 6},  // Cyrillic letters are word characters
      {"a.b", "a", -1},
      {"x(1)", "x", -1},
  };
  for (const auto& c : cases) {
    std::string word = "stale";
    const char* next = ReadWord(c.text, &word);
    EXPECT_EQ(word, c.word) << c.text;
    EXPECT_EQ(At(c.text, next), c.next) << c.text;
  }
}

TEST(Readers, OverlongFieldsAreCutAndTheCursorStaysRight) {
  const std::string type(40, 'T'), name(100, 'N'), key(50, 'K');
  const std::string value =
      "\"" + type + "\",\"" + name + "\"," + key + "," + std::string(30, '9') + ",{1,2}";
  const char* p = value.c_str();
  std::string typeField, nameField, keyField;
  std::int32_t number = 0;
  plat::Rect rect;

  p = NextField(ReadQuoted(p, &typeField, 31));
  p = NextField(ReadQuoted(p, &nameField, 63));
  p = NextField(ReadWord(p, &keyField, 31));
  p = NextField(ReadLong(p, &number));
  EXPECT_EQ(ReadRect(p, &rect), nullptr);

  EXPECT_EQ(typeField, type.substr(0, 31));
  EXPECT_EQ(nameField, name.substr(0, 63));
  EXPECT_EQ(keyField, key.substr(0, 31));
  EXPECT_EQ(rect, (plat::Rect{1, 2, 0, 0}));
}

TEST(SkipField, TreatsGroupsAndStringsAsOneField) {
  struct Case {
    const char* text;
    std::ptrdiff_t next;
  };
  const Case cases[] = {
      {"\"a,b\",c", 6}, {"{1,2,3},x", 8}, {"word,x", 5}, {"last", -1},
      {"{1,2", -1},     {"\"open,x", -1}, {"", -1},      {"{1,2}", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(At(c.text, SkipField(c.text)), c.next) << c.text;
  EXPECT_EQ(SkipField(nullptr), nullptr);
}

TEST(Keywords, LookupByPosition) {
  static constexpr std::string_view kWords[] = {"EMPTY", "BUTTON", "LIST", "TEXT"};
  const KeywordTable table(kWords);
  struct Case {
    const char* word;
    int index;
  };
  const Case cases[] = {{"LIST", 2}, {"LIST,rest", 2}, {"EMPTY", 0}, {"UNKNOWN", 0},
                        {"list", 0}, {"TEXT ", 0},     {nullptr, 0}, {"", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(FindKeyword(c.word, table), c.index) << (c.word ? c.word : "null");
  EXPECT_EQ(FindKeyword("TEXT", table.first(3)), 0);  // only the first `count` entries

  EXPECT_EQ(FindKeywordBeforeColon("BUTTON: x, y", table), 1);
  EXPECT_EQ(FindKeywordBeforeColon(" BUTTON:x", table), 0);  // leading blanks are part of it
  EXPECT_EQ(FindKeywordBeforeColon(":x", table), 0);
  EXPECT_EQ(FindKeywordBeforeColon("BUTTON", table), 0);

  EXPECT_STREQ(KeywordAt(3, table), "TEXT");
  EXPECT_EQ(KeywordAt(4, table), nullptr);
  EXPECT_EQ(KeywordAt(-1, table), nullptr);
}

TEST(TextHelpers, StripBlanksKeepsTheCaret) {
  EXPECT_EQ(StripBlanks(" {1, 2,\t3}\n^x "), "{1,2,3}^x");
}

TEST(TextHelpers, SkipStreamBlanksStopsBeforeTheFirstOtherCharacter) {
  lexo::testing::TempFolder root;
  ASSERT_TRUE(plat::WriteWholeFile(root / "s.txt", " \t\r\n  x y"));
  auto stream = plat::Stream::Open(root / "s.txt", plat::StreamMode::ReadText);
  SkipStreamBlanks(*stream);
  EXPECT_EQ(stream->GetChar(), 'x');
  SkipStreamBlanks(*stream);
  EXPECT_EQ(stream->GetChar(), 'y');
  SkipStreamBlanks(*stream);
  EXPECT_EQ(stream->GetChar(), plat::Stream::kEnd);
}

}  // namespace
