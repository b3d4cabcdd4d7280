#include "window/ptr_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item {
  int tag;
  std::int32_t key;
};

std::vector<int> Tags(const lexo::PtrList<Item>& list) {
  std::vector<int> tags;
  for (Item* item : list) tags.push_back(item->tag);
  return tags;
}

TEST(PtrList, InsertSortedKeepsEqualKeysInArrivalOrder) {
  Item items[] = {{1, 5}, {2, -3}, {3, 5}, {4, 10}, {5, 0}, {6, 5}};
  lexo::PtrList<Item> list;
  for (auto& item : items) list.InsertSorted(&item, offsetof(Item, key));
  EXPECT_EQ(Tags(list), (std::vector<int>{2, 5, 1, 3, 6, 4}));
}

TEST(PtrList, InsertAndRemoveOutsideTheRangeChangeNothing) {
  Item a{1, 0}, b{2, 0}, c{3, 0};
  lexo::PtrList<Item> list;
  list.RemoveFirst();
  list.RemoveLast();
  list.RemoveAt(0);
  EXPECT_TRUE(list.IsEmpty());

  EXPECT_EQ(list.Append(&a), 1);
  EXPECT_EQ(list.InsertAt(1, &b), 1);  // only inside 0..count-1
  EXPECT_EQ(list.InsertAt(0, &b), 2);
  EXPECT_EQ(list.Append(&c), 3);
  EXPECT_EQ(Tags(list), (std::vector<int>{2, 1, 3}));
  list.RemoveAt(5);
  list.RemoveAt(-1);
  list.RemoveAt(1);
  EXPECT_EQ(Tags(list), (std::vector<int>{2, 3}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(PtrList, NeighboursAndIndexes) {
  Item a{1, 0}, b{2, 0}, c{3, 0}, absent{4, 0};
  lexo::PtrList<Item> list;
  for (Item* item : {&a, &b, &c, &a}) list.Append(item);
  EXPECT_EQ(list.NextOf(&a), &b);  // first occurrence
  EXPECT_EQ(list.PreviousOf(&a), nullptr);
  EXPECT_EQ(list.PreviousOf(&c), &b);
  EXPECT_EQ(list.NextOf(&absent), nullptr);
  EXPECT_EQ(list.IndexOf(&c), 2);
  EXPECT_EQ(list.IndexOf(&absent), -1);
  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.Last(), &a);

  lexo::PtrList<Item> last;
  last.Append(&c);
  EXPECT_EQ(last.NextOf(&c), nullptr);

  lexo::PtrList<Item> other;
  other.Append(&absent);
  list.TakeOver(other);
  EXPECT_EQ(Tags(list), (std::vector<int>{4}));
  EXPECT_EQ(Tags(other), (std::vector<int>{1, 2, 3, 1}));
}

}  // namespace
