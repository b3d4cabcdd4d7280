#include "mv/title.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fixture.h"
#include "mv/text_fold.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

class TitleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { title_ = mv::Title::Open(mvtest::LexoTitle()); }
  static void TearDownTestSuite() { title_.reset(); }
  static std::shared_ptr<mv::Title> title_;
};
std::shared_ptr<mv::Title> TitleTest::title_;

TEST_F(TitleTest, TopicsAreNumberedKeyedFirstAndLaidOutWithGaps) {
  ASSERT_TRUE(title_);
  ASSERT_EQ(title_->topicCount(), 6);
  std::int32_t previousEnd = -1;
  for (mv::TopicNo no = 0; no < title_->topicCount(); ++no) {
    auto [first, last] = title_->topicRange(no);
    EXPECT_GE(mv::ToInt(first) - previousEnd, 16) << no;
    previousEnd = mv::ToInt(last);
  }
  EXPECT_EQ(mv::ToInt(title_->addrFromTopic(0)), 1 << 20);
}

TEST_F(TitleTest, AddressConversions) {
  ASSERT_TRUE(title_);
  auto moscow = title_->topicFromContext("TOPIC_MOSCOW");
  ASSERT_GE(moscow, 0);
  auto [first, last] = title_->topicRange(moscow);
  auto base = mv::ToInt(first);
  auto anchor = mv::ToInt(title_->addrFromContext("moscow_hist"));
  struct Case {
    const char* what;
    std::int32_t got;
    std::int32_t want;
  };
  const Case cases[] = {
      {"ctx", mv::ToInt(title_->vaFromContext("topic_moscow")), base},
      {"ctx any case", mv::ToInt(title_->addrFromContext("Topic_Moscow")), base},
      {"number", mv::ToInt(title_->vaFromTopic(moscow)), base},
      {"hash", mv::ToInt(title_->vaFromHash(mv::Title::HashContext("topic_moscow"))), base},
      {"anchor hash", mv::ToInt(title_->addrFromHash(mv::Title::HashContext("MOSCOW_HIST"))),
       anchor},
      {"addr inside", mv::ToInt(title_->vaFromAddr(static_cast<mv::Addr>(base + 5))), base + 5},
      {"last addr", mv::ToInt(title_->vaFromAddr(last)), mv::ToInt(last)},
      {"gap after", mv::ToInt(title_->vaFromAddr(static_cast<mv::Addr>(mv::ToInt(last) + 1))), -1},
      {"before the title", mv::ToInt(title_->vaFromAddr(static_cast<mv::Addr>(base - 1))), -1},
      {"other title's range", mv::ToInt(title_->vaFromAddr(static_cast<mv::Addr>(2 << 20))), -1},
      {"negative", mv::ToInt(title_->vaFromAddr(mv::Addr::none)), -1},
      {"unknown ctx", mv::ToInt(title_->vaFromContext("nowhere")), -1},
      {"unknown number", mv::ToInt(title_->vaFromTopic(6)), -1},
      {"unknown hash", mv::ToInt(title_->vaFromHash(12345)), -1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
  EXPECT_GT(anchor, base);
  EXPECT_LT(anchor, mv::ToInt(last));
}

// The preview pane walks by 10 and then by 1 until the topic changes; it must land on the
// topic's first and last address.
TEST_F(TitleTest, SteppingFindsTopicEdges) {
  ASSERT_TRUE(title_);
  for (mv::TopicNo no = 0; no < title_->topicCount(); ++no) {
    auto [first, last] = title_->topicRange(no);
    std::int32_t probe = mv::ToInt(first) + 3;
    if (probe > mv::ToInt(last)) probe = mv::ToInt(first);
    auto inTopic = [&](std::int32_t a) {
      return title_->topicOfAddr(static_cast<mv::Addr>(a)) == no;
    };
    std::int32_t down = probe;
    while (inTopic(down - 10)) down -= 10;
    while (inTopic(down - 1)) down -= 1;
    std::int32_t up = probe;
    while (inTopic(up + 10)) up += 10;
    while (inTopic(up + 1)) up += 1;
    EXPECT_EQ(down, mv::ToInt(first)) << no;
    EXPECT_EQ(up, mv::ToInt(last)) << no;
  }
}

TEST_F(TitleTest, InfoAndStoredLists) {
  ASSERT_TRUE(title_);
  std::string text;
  EXPECT_GT(title_->info(mv::info::topicTitle, title_->topicFromContext("topic_tree"), &text), 0);
  EXPECT_EQ(text, "Ёлка"_cp);
  EXPECT_EQ(title_->info(mv::info::topicTitle, 99, &text), -1);
  EXPECT_EQ(title_->info(mv::info::topicCount, 0, nullptr), 6);
  title_->info(mv::info::caption, 0, &text);
  EXPECT_EQ(text, "Тест"_cp);

  auto geo = title_->storedList("GEO");
  ASSERT_TRUE(geo);
  EXPECT_EQ(geo->size(), 2u);
  auto persons = title_->storedList("persons");
  ASSERT_TRUE(persons);
  EXPECT_EQ(std::vector<std::int32_t>(persons->items().begin(), persons->items().end()),
            std::vector<std::int32_t>{title_->topicFromContext("topic_tree")});
  EXPECT_FALSE(title_->storedList("missing"));
}

TEST_F(TitleTest, BaggageReadsInBlocks) {
  ASSERT_TRUE(title_);
  for (int size : {0, 4095, 4096, 4097}) {
    auto bag = title_->baggage("B" + std::to_string(size) + ".BIN");
    ASSERT_TRUE(bag) << size;
    std::vector<int> reads;
    std::string all;
    char buffer[4096];
    int n;
    while ((n = bag->read(buffer, 4096)) > 0) {
      reads.push_back(n);
      all.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(n, 0);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
      ASSERT_EQ(all[static_cast<std::size_t>(i)], static_cast<char>(i * 7));
    std::vector<int> want;
    for (int left = size; left > 0; left -= 4096) want.push_back(std::min(left, 4096));
    EXPECT_EQ(reads, want) << size;
  }
  EXPECT_FALSE(title_->baggage("none.jpg"));
}

TEST_F(TitleTest, TraTableIsIndexedByTopicAndCoversEntries) {
  ASSERT_TRUE(title_);
  auto wheel = title_->wordWheel("|a");
  ASSERT_TRUE(wheel);
  std::ifstream in(std::filesystem::path(mvtest::LexoTitle()).parent_path() / "a.tra",
                   std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), static_cast<std::size_t>(wheel->length()) * 4);
  for (mv::TopicNo no = 0; no < wheel->length(); ++no) {
    std::int32_t entry;
    std::memcpy(&entry, bytes.data() + 4 * no, 4);
    if (no >= title_->topicCount() || entry < 0) continue;
    // The entry a topic marks leads back to that topic's start.
    auto addrs = wheel->keyAddrs(*wheel->entry(entry), 0, 1);
    ASSERT_EQ(addrs.size(), 1u);
    EXPECT_EQ(addrs[0], title_->addrFromTopic(no)) << no;
  }
}

TEST(TitleOpenTest, ForeignAndMissingFilesOpenAsNothing) {
  auto folder = mvtest::TempFolder("foreign");
  mvtest::WriteFile(folder / "text.m14", "not a title at all");
  mvtest::WriteFile(folder / "empty.m14", "");
  EXPECT_FALSE(mv::Title::Open((folder / "text.m14").string()));
  EXPECT_FALSE(mv::Title::Open((folder / "empty.m14").string()));
  EXPECT_FALSE(mv::Title::Open((folder / "missing.m14").string()));
  EXPECT_FALSE(mv::Title::Open(folder.string()));
}

}  // namespace
