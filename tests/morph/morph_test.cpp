#include "morph/morph.h"

#include <gtest/gtest.h>

#include "morph/fold.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

TEST(MorphTest, BaseForms) {
  struct Case {
    std::string_view word;
    const char* want;  // cp1251 as UTF-8 literal; nullptr = none
  };
  const Case cases[] = {
      {"городами"_cp, "город"},    {"Городами"_cp, "город"},
      {"ГОРОДАМИ"_cp, "город"},    {"ёлки"_cp, "ёлка"},
      {"елки"_cp, "елка"},         {"красивыми"_cp, "красивый"},
      {"сделал"_cp, "сделать"},    {"людей"_cp, "человек"},
      {"детьми"_cp, "ребенок"},    {"шёл"_cp, "идти"},
      {"Москвы"_cp, "Москва"},     {"стола"_cp, "стол"},
      {"абырвалгище"_cp, nullptr}, {"city"_cp, nullptr},
      {"2001"_cp, nullptr},        {""_cp, nullptr},
  };
  for (const auto& c : cases) {
    std::string word(c.word);
    const char* got = morph::Morph(word.c_str());
    if (!c.want) {
      EXPECT_EQ(got, nullptr) << plat::cp1251::ToUtf8(c.word);
    } else {
      ASSERT_NE(got, nullptr) << plat::cp1251::ToUtf8(c.word);
      EXPECT_EQ(plat::cp1251::ToUtf8(got), c.want);
    }
  }
  EXPECT_EQ(morph::Morph(nullptr), nullptr);
}

// Every form of a word shares an index key; different words do not.
TEST(MorphTest, FormsShareIndexKeys) {
  auto key = [](const char* utf8) { return morph::IndexKeys(morph::FoldWord(utf8)); };
  auto shares = [&](const char* a, const char* b) {
    for (const auto& x : key(a)) {
      for (const auto& y : key(b)) {
        if (x == y) return true;
      }
    }
    return false;
  };
  const std::pair<const char*, const char*> same[] = {
      {"город", "городами"},
      {"ёлка", "елки"},
      {"человек", "люди"},
      {"прочитанный", "прочитана"},
      {"бежать", "бежал"},
      {"Москва", "москвы"},
      {"зеленый", "зелёная"},
      {"абырвалгами", "абырвалги"},  // unknown words still meet through their stem
  };
  for (auto [a, b] : same) EXPECT_TRUE(shares(a, b)) << a << " " << b;
  const std::pair<const char*, const char*> different[] = {{"город", "горох"}, {"стол", "стул"}};
  for (auto [a, b] : different) EXPECT_FALSE(shares(a, b)) << a << " " << b;
  for (const auto& k : key("город")) EXPECT_EQ(k[0], morph::kKeyMarker);
}

TEST(MorphTest, SwitchIsProcessWide) {
  morph::SetMorph(2);
  EXPECT_TRUE(morph::MorphEnabled());
  morph::SetMorph(0);
  EXPECT_FALSE(morph::MorphEnabled());
}

}  // namespace
