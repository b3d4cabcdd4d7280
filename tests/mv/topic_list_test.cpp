#include "mv/topic_list.h"

#include <gtest/gtest.h>

#include "fixture.h"
#include "mv/handle_table.h"

namespace {

using mv::TopicList;

std::vector<std::int32_t> Items(const TopicList& list) {
  return {list.items().begin(), list.items().end()};
}

TEST(TopicListTest, Combinations) {
  struct Case {
    std::vector<std::int32_t> a, b;
    std::vector<std::int32_t> intersect, unite, subtract;
  };
  const Case cases[] = {
      {{1, 3, 5}, {2, 4}, {}, {1, 2, 3, 4, 5}, {1, 3, 5}},
      {{1, 2, 3}, {2, 3, 4}, {2, 3}, {1, 2, 3, 4}, {1}},
      {{1, 2}, {1, 2}, {1, 2}, {1, 2}, {}},
      {{}, {7}, {}, {7}, {}},
      {{7}, {}, {}, {7}, {7}},
  };
  for (const auto& c : cases) {
    TopicList a(c.a), b(c.b);
    EXPECT_EQ(Items(TopicList::Combine(mv::Combine::intersect, a, b)), c.intersect);
    EXPECT_EQ(Items(TopicList::Combine(mv::Combine::unite, a, b)), c.unite);
    EXPECT_EQ(Items(TopicList::Combine(mv::Combine::subtract, a, b)), c.subtract);
    EXPECT_EQ(Items(a), c.a);  // inputs unchanged
  }
  TopicList unsorted({5, 1, 5, 3});
  EXPECT_EQ(Items(unsorted), (std::vector<std::int32_t>{1, 3, 5}));
  EXPECT_EQ(unsorted.at(-1), -1);
  EXPECT_EQ(unsorted.at(3), -1);
}

TEST(GroupTest, RoundTripAndBadFiles) {
  auto folder = mvtest::TempFolder("group");
  mv::Group group{{9, 2, 5}};
  ASSERT_TRUE(group.write((folder / "sg0.grp").string()));
  auto back = mv::Group::Read((folder / "sg0.grp").string());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->items, (std::vector<std::int32_t>{2, 5, 9}));
  EXPECT_FALSE(std::filesystem::exists(folder / "sg0.grp.part"));

  struct Bad {
    const char* name;
    std::string bytes;
  };
  const Bad bad[] = {
      {"short", "MVG"},
      {"magic", std::string("XXXX\1\0\0\0\0\0\0\0", 12)},
      {"version", std::string("MVGR\2\0\0\0\0\0\0\0", 12)},
      {"count beyond data", std::string("MVGR\1\0\0\0\5\0\0\0\1\0\0\0", 16)},
  };
  for (const auto& b : bad) {
    mvtest::WriteFile(folder / b.name, b.bytes);
    EXPECT_FALSE(mv::Group::Read((folder / b.name).string())) << b.name;
  }
  EXPECT_FALSE(mv::Group::Read((folder / "missing.grp").string()));
  mvtest::WriteFile(folder / "empty.grp", std::string("MVGR\1\0\0\0\0\0\0\0", 12));
  auto empty = mv::Group::Read((folder / "empty.grp").string());
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->items.empty());
}

TEST(HandleTableTest, StaleHandlesFindNothing) {
  mv::HandleTable<int> table;
  auto first = table.add(std::make_shared<int>(1));
  ASSERT_NE(first, 0u);
  EXPECT_EQ(*table.get(first), 1);
  EXPECT_TRUE(table.remove(first));
  EXPECT_FALSE(table.get(first));
  EXPECT_FALSE(table.remove(first));
  auto second = table.add(std::make_shared<int>(2));  // reuses the slot
  EXPECT_NE(second, first);
  EXPECT_FALSE(table.get(first));
  EXPECT_EQ(*table.get(second), 2);
  EXPECT_FALSE(table.get(0));
  EXPECT_FALSE(table.get(0xFFFFFFFFu));
}

}  // namespace
