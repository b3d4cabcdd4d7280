#include "mv/compat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fixture.h"
#include "plat/cp1251.h"
#include "shell/title_set.h"

using namespace plat::cp1251::literals;

namespace {

TEST(CompatTest, HandlesAfterCloseAnswerNothing) {
  HMVTITLE title = hMVTitleOpen(mvtest::LexoTitle().c_str());
  ASSERT_NE(title, 0u);
  HMVWW wheel = hMVWordWheelOpenTitle(title, "|a");
  HMVTL list = hMVTopicListLoad(title, "all");
  std::int32_t error = -1;
  HMVBAGGAGE bag = hMVBaggageOpen(title, "b4097.bin", 1, &error);
  ASSERT_NE(wheel, 0u);
  ASSERT_NE(list, 0u);
  ASSERT_NE(bag, 0u);
  EXPECT_EQ(error, 0);
  MVWordWheelClose(wheel);
  MVTopicListDestroy(list);
  MVBaggageClose(bag);
  MVTitleClose(title);

  char buffer[256] = "unchanged";
  std::int32_t addrs[2] = {7, 7};
  MVERR err{9, 9};
  EXPECT_EQ(lMVTitleGetInfo(title, 102, 0, buffer), -1);
  EXPECT_EQ(vaMVConvertTopicNumber(title, 0), -1);
  EXPECT_EQ(addrMVConvertContextString(title, "topic_moscow"), -1);
  EXPECT_EQ(lMVWordWheelLength(wheel), 0);
  EXPECT_EQ(nMVWordWheelLookup(wheel, 0, buffer, 255), 0);
  EXPECT_EQ(lMVWordWheelPrefix(wheel, "a"), -1);
  EXPECT_EQ(nMVKeyIndexGetCount(wheel, "a"), 0);
  EXPECT_EQ(lMVKeyIndexGetAddrs(wheel, "a", 0, 1, addrs), 0);
  EXPECT_EQ(lMVTopicListLength(list), 0);
  EXPECT_EQ(lMVTopicListLookup(list, 0), -1);
  EXPECT_EQ(hMVTopicListCombine(1, list, list), 0u);
  EXPECT_EQ(lMVBaggageRead(bag, buffer, 16), -1);
  EXPECT_EQ(hMVTopicListFromQuery(title, 0, "a", 0, 1, nullptr, &err), 0u);
  EXPECT_EQ(hMVWordWheelOpenTitle(title, "|a"), 0u);
  EXPECT_EQ(hMVTopicListCreate(title), 0u);
  MVTitleClose(title);  // twice is harmless
  MVWordWheelClose(wheel);
}

TEST(CompatTest, QueryHighlightsAndLists) {
  HMVTITLE title = hMVTitleOpenEx(
      mvtest::LexoTitle().c_str(), [] { return 0; }, 0);
  ASSERT_NE(title, 0u);
  MVHGLOBAL highlights = reinterpret_cast<MVHGLOBAL>(1);
  MVERR error{};
  SetMorph(1);
  HMVTL hits = hMVTopicListFromQuery(title, 0, "город"_cp.data(), 0, 1, &highlights, &error);
  ASSERT_NE(hits, 0u);
  ASSERT_NE(highlights, nullptr);
  EXPECT_EQ(lMVTopicListLength(hits), 3);
  std::int32_t city = lMVTopicListLookup(hits, 1);
  MVHGLOBAL inCity = hMVHighlightsInTopic(highlights, city);
  EXPECT_EQ(lMVTopicHighlightCount(inCity), 3);
  std::int32_t first = 0, last = 0;
  ASSERT_TRUE(fMVTopicRange(title, city, &first, &last));
  std::int32_t addr = addrMVTopicHighlightAddress(inCity, 0);
  EXPECT_EQ(lMVTopicOfAddr(title, addr), city);
  EXPECT_EQ(addrMVTopicHighlightAddress(inCity, 3), -1);
  MVGlobalFree(inCity);
  MVGlobalFree(highlights);

  // Nothing found: no list and no highlights, so the criterion drops out.
  highlights = reinterpret_cast<MVHGLOBAL>(1);
  EXPECT_EQ(hMVTopicListFromQuery(title, 0, "нигде"_cp.data(), 0, 1, &highlights, &error), 0u);
  EXPECT_EQ(highlights, nullptr);
  EXPECT_EQ(error.code, 0);
  SetMorph(0);

  HMVTL all = hMVTopicListLoad(title, "all");
  EXPECT_EQ(hMVTopicListLoad(title, "unknown"), 0u);
  HMVTL none = hMVTopicListCombine(2, all, all);
  ASSERT_NE(none, 0u);  // X - X is an empty list, not no list
  EXPECT_EQ(lMVTopicListLength(none), 0);
  HMVTL copy = hMVTopicListCombine(0, all, all);
  EXPECT_EQ(lMVTopicListLength(copy), lMVTopicListLength(all));
  EXPECT_EQ(hMVTopicListCombine(5, all, all), 0u);
  for (HMVTL l : {hits, all, none, copy}) MVTopicListDestroy(l);

  HMVWW wheel = hMVWordWheelOpenTitle(title, "|a");
  HMVGROUP group = MVWordWheelSearch(wheel, "мос* "_cp.data(), 0, &error);
  ASSERT_NE(group, 0u);
  EXPECT_EQ(lMVGroupItemCount(group), 2);  // "Москва", "История Москвы"
  HMVTL entries = hMVTopicListCreate(title);
  EXPECT_EQ(nMVTopicListGroupSet(entries, group), 1);
  EXPECT_EQ(lMVTopicListLength(entries), 2);
  MVGroupFree(group);
  MVTopicListDestroy(entries);

  char buffer[256];
  std::int32_t addrs[4];
  EXPECT_EQ(nMVKeyIndexGetCount(wheel, "москва"_cp.data()), 1);
  EXPECT_EQ(lMVKeyIndexGetAddrs(wheel, "москва"_cp.data(), 0, 1, addrs), 1);
  EXPECT_EQ(addrs[0], addrMVConvertContextString(title, "topic_moscow"));
  EXPECT_GT(nMVWordWheelLookup(wheel, 0, buffer, 255), 0);
  std::int32_t length = lMVTitleGetInfo(title, 102, 0, buffer);
  EXPECT_EQ(length, static_cast<std::int32_t>(std::strlen(buffer)));
  MVWordWheelClose(wheel);
  MVTitleClose(title);
}

TEST(CompatTest, LookupBufferIsCut) {
  auto folder = mvtest::TempFolder("longentry");
  std::string longText(300, 'x');
  auto path = mvtest::Build(folder, "l.m14",
                            "@wordwheel |c\n@topic a\nkey |c: " + longText + "\nbody:\ny\n@end\n");
  HMVTITLE title = hMVTitleOpen(path.c_str());
  HMVWW wheel = hMVWordWheelOpenTitle(title, "|c");
  char buffer[300];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(nMVWordWheelLookup(wheel, 0, buffer, 255), 254);
  EXPECT_EQ(buffer[254], '\0');
  EXPECT_EQ(buffer[255], 'z');
  MVWordWheelClose(wheel);
  MVTitleClose(title);
}

TEST(TitleSetTest, DiskThreeLeavesEverythingEmptyAndClosingTwiceIsHarmless) {
  lexo::OpenTitleSet(3);
  EXPECT_EQ(lexo::Titles().mainTitle, 0u);
  EXPECT_EQ(lexo::Current().title, 0u);
  EXPECT_EQ(lexo::Current().indexWheel, 0u);
  lexo::CloseTitleSet();
  lexo::CloseTitleSet();
  EXPECT_EQ(lexo::SearchCancelFlag(), 1);
  EXPECT_EQ(lexo::TitleYield(), 1);  // at rest a yield answers "cancel"
}

}  // namespace
