#include "plat/cp1251.h"

#include <gtest/gtest.h>

namespace cp = plat::cp1251;
using namespace plat::cp1251::literals;

TEST(Cp1251, EveryByteSurvivesARoundTripThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp::FromUtf8(cp::ToUtf8(all)), all);
}

TEST(Cp1251, KnownCharacters) {
  struct Case {
    unsigned char byte;
    char32_t character;
  };
  const Case cases[] = {{'A', U'A'},  {0xC0, U'А'},   {0xFF, U'я'},  {0xA8, U'Ё'}, {0xB8, U'ё'},
                        {0xB9, U'№'}, {0x88, U'€'},   {0x96, U'–'},  {0x97, U'—'}, {0xAB, U'«'},
                        {0xBB, U'»'}, {0x98, 0x0098}, {0xA0, 0x00A0}};
  for (const auto& c : cases) {
    EXPECT_EQ(cp::ToUnicode(c.byte), c.character) << int(c.byte);
    EXPECT_EQ(cp::FromUnicode(c.character), c.byte) << int(c.byte);
  }
  EXPECT_EQ(cp::FromUnicode(U'中'), -1);
}

TEST(Cp1251, Utf8OutsideTheCodePageAndMalformedBytesAreReplaced) {
  EXPECT_EQ(cp::FromUtf8("a\xE4\xB8\xAD"
                         "b"),
            "a?b");
  EXPECT_EQ(cp::FromUtf8("a\xD0"), "a?");
  EXPECT_EQ(cp::FromUtf8("\xFF"
                         "x",
                         '#'),
            "#x");
}

TEST(Cp1251, CompileTimeLiteralsMatchRuntimeConversion) {
  EXPECT_EQ("Неопределенное действие"_cp, cp::FromUtf8("Неопределенное действие"));
  EXPECT_EQ("ёЁ№"_cp, std::string_view("\xB8\xA8\xB9"));
  EXPECT_EQ(""_cp.size(), 0u);
}

TEST(Cp1251, CharacterClassesAndCase) {
  struct Case {
    std::string_view utf8;
    bool alpha;
    std::string_view upper;
    std::string_view lower;
  };
  const Case cases[] = {
      {"a", true, "A", "a"},  {"Z", true, "Z", "z"},  {"ж", true, "Ж", "ж"},
      {"Я", true, "Я", "я"},  {"ё", true, "Ё", "ё"},  {"Ё", true, "Ё", "ё"},
      {"ї", true, "Ї", "ї"},  {"5", false, "5", "5"}, {"—", false, "—", "—"},
      {"№", false, "№", "№"}, {"_", false, "_", "_"},
  };
  for (const auto& c : cases) {
    auto byte = static_cast<unsigned char>(cp::FromUtf8(c.utf8)[0]);
    EXPECT_EQ(cp::IsAlpha(byte), c.alpha) << c.utf8;
    EXPECT_EQ(cp::ToUtf8(std::string(1, static_cast<char>(cp::ToUpper(byte)))), c.upper);
    EXPECT_EQ(cp::ToUtf8(std::string(1, static_cast<char>(cp::ToLower(byte)))), c.lower);
  }
  EXPECT_TRUE(cp::IsAlphaNumeric('7'));
  EXPECT_EQ(cp::ToUtf8(cp::ToUpper(cp::FromUtf8("Ёжик in ТУМАНЕ"))), "ЁЖИК IN ТУМАНЕ");
}

TEST(Cp1251, RussianOrderingIgnoresCaseAndSortsYoWithYe) {
  struct Case {
    std::string_view left, right;
    int sign;
  };
  const Case cases[] = {
      {"абв", "АБВ", 0},     {"ёлка", "елка", 0}, {"Ёж", "ежа", -1},  {"zebra", "абрикос", -1},
      {"Apple", "apple", 0}, {"яма", "Юг", 1},    {"ель", "ёрш", -1}, {"жук", "ёж", 1},
      {"1", "a", -1},        {"аб", "а", 1},      {"", "", 0},
  };
  for (const auto& c : cases) {
    int got = cp::CompareNoCase(cp::FromUtf8(c.left), cp::FromUtf8(c.right));
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.left << " vs " << c.right;
  }
}
