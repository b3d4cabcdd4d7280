#include <gtest/gtest.h>

#include "fixture.h"
#include "mv/text_fold.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

class WordWheelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto folder = mvtest::TempFolder("wheel");
    path_ = mvtest::Build(folder, "wheel.m14",
                          R"(
@wordwheel |c
@topic t1
key |c: ёж
body:
x
@end
@topic t2
key |c: Ель
key |c: ель
body:
x
@end
@topic t3
key |c: Жук
key |c: Еда
body:
x
@end
@topic t4
key |c: )"
                          "\u0098"
                          R"(Ёлочная игрушка
key |c: ЖУК
body:
x
@end
@topic t5
key |c: Abc
key |c: яма
key |c: Московский кремль
key |c: Кремлёвская стена московская
body:
x
@end
)");
    title_ = mv::Title::Open(path_);
    ASSERT_TRUE(title_);
    wheel_ = title_->wordWheel("|c");
    ASSERT_TRUE(wheel_);
  }
  static void TearDownTestSuite() {
    wheel_.reset();
    title_.reset();
  }
  static std::vector<std::string> Entries() {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < wheel_->length(); ++i)
      out.push_back(mv::ToUtf8(*wheel_->entry(i)));
    return out;
  }
  static std::string path_;
  static std::shared_ptr<mv::Title> title_;
  static std::shared_ptr<mv::WordWheel> wheel_;
};
std::string WordWheelTest::path_;
std::shared_ptr<mv::Title> WordWheelTest::title_;
std::shared_ptr<mv::WordWheel> WordWheelTest::wheel_;

// Case and ё fold, the marker byte is ignored, Latin sorts before Cyrillic, and spellings that
// fold alike share one entry (the first one written).
TEST_F(WordWheelTest, OrderFoldsCaseYoAndMarker) {
  std::vector<std::string> want = {"Abc",
                                   "Еда",
                                   "ёж",
                                   "\u0098Ёлочная игрушка",
                                   "Ель",
                                   "Жук",
                                   "Кремлёвская стена московская",
                                   "Московский кремль",
                                   "яма"};
  EXPECT_EQ(Entries(), want);
}

TEST_F(WordWheelTest, PrefixLookup) {
  struct Case {
    std::string_view text;
    std::int32_t want;
  };
  const Case cases[] = {
      {"", 0},       {"0"_cp, 0},  // before the first entry
      {"abc"_cp, 0}, {"е"_cp, 1},   {"ЕЖ"_cp, 2},
      {"ЕЛ"_cp, 3},  {"ёл"_cp, 3},  {"ЕЛП"_cp, 4},   // between "ёлочная" and "ель"
      {"ЕЛЬ"_cp, 4}, {"жу"_cp, 5},  {"жуки"_cp, 6},  // between entries
      {"я"_cp, 8},   {"яяя"_cp, 8},                  // after the last entry: count - 1
  };
  for (const auto& c : cases) EXPECT_EQ(wheel_->prefix(c.text), c.want) << mv::ToUtf8(c.text);
}

TEST_F(WordWheelTest, StarredSearchNeedsEveryWord) {
  struct Case {
    std::string_view query;
    std::vector<std::int32_t> want;
  };
  const Case cases[] = {
      {"моск* "_cp, {6, 7}}, {"моск* крем* "_cp, {6, 7}}, {"кремл* стен* "_cp, {6}},
      {"ёлоч* "_cp, {3}},    {"елоч* игр* "_cp, {3}},     {"зебр* "_cp, {}},
  };
  for (const auto& c : cases) {
    auto found = wheel_->search(c.query, nullptr);
    ASSERT_TRUE(found) << mv::ToUtf8(c.query);
    EXPECT_EQ(std::vector<std::int32_t>(found->items().begin(), found->items().end()), c.want)
        << mv::ToUtf8(c.query);
  }
  EXPECT_FALSE(wheel_->search("  ", nullptr));
}

TEST_F(WordWheelTest, KeyIndexCountsFirstAndLast) {
  // "Жук" and "ЖУК" are one key with two addresses in source order.
  EXPECT_EQ(wheel_->keyCount("жук"_cp), 2);
  auto all = wheel_->keyAddrs("ЖУК"_cp, 0, 10);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0], title_->addrFromContext("t3"));
  EXPECT_EQ(all[1], title_->addrFromContext("t4"));
  auto last = wheel_->keyAddrs("жук"_cp, 1, 1);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0], title_->addrFromContext("t4"));
  EXPECT_EQ(wheel_->keyCount("ёлочная игрушка"_cp), 1);
  EXPECT_EQ(wheel_->keyCount("нет"_cp), 0);
  EXPECT_TRUE(wheel_->keyAddrs("нет"_cp, 0, 1).empty());
  EXPECT_TRUE(wheel_->keyAddrs("жук"_cp, 2, 1).empty());
}

TEST(EmptyWordWheelTest, PrefixOfAnEmptyWheelIsNone) {
  auto folder = mvtest::TempFolder("emptywheel");
  auto title =
      mv::Title::Open(mvtest::Build(folder, "e.m14", "@wordwheel |w\n@topic a\nbody:\nx\n@end\n"));
  ASSERT_TRUE(title);
  auto wheel = title->wordWheel("|w");
  ASSERT_TRUE(wheel);
  EXPECT_EQ(wheel->length(), 0);
  EXPECT_EQ(wheel->prefix("a"), -1);
  EXPECT_FALSE(wheel->entry(0));
  EXPECT_FALSE(title->wordWheel("|x"));
}

}  // namespace
