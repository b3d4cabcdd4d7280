#include "mv/mvtext.h"

#include <gtest/gtest.h>

namespace {

using mv::text::ParseCanonical;
using mv::text::ParseRegion;
using mv::text::PlainText;
using mv::text::UnitCount;
using mv::text::WriteCanonical;

mv::text::StyleResolver Styles() {
  return [](std::string_view name) -> std::optional<std::int32_t> {
    if (name == "body") return 1;
    if (name == "h1") return 2;
    return std::nullopt;
  };
}

struct RoundTripCase {
  const char* source;
  const char* plain;  // plain text of the region
};

// Source -> tree -> canonical -> tree gives the same tree, and units equal plain characters.
TEST(MvTextTest, CanonicalFormRoundTrips) {
  const RoundTripCase cases[] = {
      {"Просто текст", "Просто текст\n"},
      {"[h1 align=center]Заголовок\n\n[body indent=10,20,5 space=2,3]Абзац\nпродолжение",
       "Заголовок\nАбзац продолжение\n"},
      {"{b}жирный {i}и курсив{/i}{/b} и {font face=\"Arial Cyr\" size=10.5 "
       "color=#800000}шрифт{/font}",
       "жирный и курсив и шрифт\n"},
      {"См. {jump topic_x}ссылку{/jump} и {link \"#pic;topic_y\"}команду{/link}.",
       "См. ссылку и команду.\n"},
      {"Ёлка{tab}ель{br}ещё", "Ёлка\tель\nещё\n"},
      {"{{скобки}} и \\\\ и \\x98метка", "{скобки} и \\ и \u0098метка\n"},
      {"[row widths=120,200]ячейка{cell}вторая", "ячейка\tвторая\n"},
      {"[nowrap tabs=120,240r,360c bg=#FFEEDD]x", "x\n"},
      {"{anchor ctx=a1}Текст {pict \"!k.jpg\" align=center hot=206 area=\"1,2,3,4:$map_a\"} и {ew "
       "QRSTMCI \"video\\\\k.avi\" 320x240}",
       "Текст \uFFFC и \uFFFC\n"},
      {"\\[не стиль]", "[не стиль]\n"},
  };
  for (const auto& c : cases) {
    mv::text::ParseError error;
    auto region = ParseRegion(c.source, Styles(), 1, &error);
    ASSERT_TRUE(region) << c.source << ": " << error.message;
    EXPECT_EQ(PlainText(*region), c.plain) << c.source;
    mv::text::Content content{{}, *region};
    std::string canonical = WriteCanonical(content);
    auto back = ParseCanonical(canonical, &error);
    ASSERT_TRUE(back) << canonical << ": " << error.message;
    EXPECT_EQ(*back, content) << canonical;
    EXPECT_EQ(WriteCanonical(*back), canonical);
    std::size_t characters = 0;
    for (char ch : std::string(c.plain))
      characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    EXPECT_EQ(UnitCount(*region), static_cast<std::int32_t>(characters)) << c.source;
  }
}

TEST(MvTextTest, AnchorsTakeNoUnits) {
  auto region = ParseRegion("ab{anchor ctx=x}cd\n\n{anchor ctx=y}e", Styles(), 1, nullptr);
  ASSERT_TRUE(region);
  auto anchors = mv::text::Anchors(*region);
  ASSERT_EQ(anchors.size(), 2u);
  EXPECT_EQ(anchors[0].unit, 2);
  EXPECT_EQ(anchors[1].unit, 5);
}

TEST(MvTextTest, ErrorsNameTheLine) {
  struct Case {
    const char* source;
    int line;
  };
  const Case cases[] = {
      {"одна\nдве {b}три", 11},
      {"{/b}", 10},
      {"текст\n\n[nostyle]x", 12},
      {"{jump}x{/jump}", 10},
      {"a {unknown} b", 10},
      {"a } b", 10},
      {"{pict \"x.jpg\" align=up}", 10},
      {"{ew QRSTMCI \"p\" 0x10}", 10},
      {"x{cell}y", 10},
      {"\\q", 10},
      {"{jump a}{link b}x{/link}{/jump}", 10},
      {"{font size=abc}x{/font}", 10},
      {"строка\n\nещё\n\"{b\"", 13},
  };
  for (const auto& c : cases) {
    mv::text::ParseError error;
    EXPECT_FALSE(ParseRegion(c.source, Styles(), 10, &error)) << c.source;
    EXPECT_EQ(error.line, c.line) << c.source << ": " << error.message;
    EXPECT_FALSE(error.message.empty());
  }
}

}  // namespace
