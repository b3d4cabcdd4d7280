#include <gtest/gtest.h>

#include "fixture.h"
#include "morph/fold.h"
#include "mv/text_fold.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

class QueryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { title_ = mv::Title::Open(mvtest::LexoTitle()); }
  static void TearDownTestSuite() { title_.reset(); }

  static std::vector<std::string> Contexts(const mv::TopicList& list) {
    std::vector<std::string> out;
    for (auto n : list.items()) out.push_back(title_->topic(n)->ctx);
    return out;
  }
  // The characters each highlight covers, read back from the topic's text.
  static std::vector<std::string> HitTexts(const mv::Highlights& highlights) {
    std::vector<std::string> out;
    for (const auto& hit : highlights.hits) {
      auto content = title_->content(hit.topic);
      std::string plain =
          mv::text::PlainText(content->heading) + mv::text::PlainText(content->body);
      std::int32_t unit = mv::ToInt(hit.addr) - mv::ToInt(title_->addrFromTopic(hit.topic));
      std::string text;
      std::int32_t index = 0;
      for (std::size_t pos = 0; pos < plain.size() && index < unit + hit.length; ++index) {
        char32_t c = morph::NextCharacter(plain, pos);
        if (index >= unit) morph::AppendUtf8(text, c);
      }
      out.push_back(text);
    }
    return out;
  }
  static std::shared_ptr<mv::Title> title_;
};
std::shared_ptr<mv::Title> QueryTest::title_;

struct TopicsCase {
  const char* query;  // UTF-8
  bool anyWord;
  std::uint32_t fields;
  bool morph;
  std::vector<std::string> want;  // empty: no list
};

TEST_F(QueryTest, TopicsByOperatorFieldsAndWordForms) {
  ASSERT_TRUE(title_);
  const TopicsCase cases[] = {
      {"москва", false, 0, false, {"topic_moscow"}},
      {"город", false, 0, false, {"topic_moscow", "topic_city"}},
      {"город", false, 0, true, {"topic_moscow", "topic_city", "topic_writer"}},
      {"городами", false, 0, true, {"topic_moscow", "topic_city", "topic_writer"}},
      {"ёлка", false, 0, false, {"topic_tree"}},
      {"елка", false, 0, false, {"topic_tree"}},
      {"ЁЛКИ", false, 0, true, {"topic_tree"}},
      {"город река", false, 0, true, {"topic_city", "topic_writer"}},
      {"москва река", false, 0, true, {}},
      {"москва река", true, 0, true, {"topic_moscow", "topic_city", "topic_writer"}},
      {"москва AND столица", true, 0, false, {"topic_moscow"}},
      {"река NOT писатель", false, 0, true, {"topic_city"}},
      {"(москва OR ёлка) лес", false, 0, true, {"topic_tree"}},
      {"гор*", false, 0, false, {"topic_moscow", "topic_city", "topic_writer"}},
      {"\"старые города\"", false, 0, false, {"topic_city"}},
      {"москва", false, 2, false, {"topic_moscow"}},
      {"столица", false, 2, false, {}},
      {"столица", false, 1, false, {"topic_moscow"}},
      {"столица", false, 3, false, {"topic_moscow"}},
      {"пояснение", false, 0, false, {"pop_term"}},
      {"нигде", false, 0, true, {}},
      {"— ... —", false, 0, false, {}},
  };
  for (const auto& c : cases) {
    mv::Query query{plat::cp1251::FromUtf8(c.query), c.anyWord, c.fields, c.morph};
    mv::QueryError error;
    auto hits = title_->query(query, nullptr, false, {}, &error);
    EXPECT_EQ(error.code, 0) << c.query << " " << error.message;
    if (c.want.empty()) {
      EXPECT_FALSE(hits) << c.query;
    } else {
      ASSERT_TRUE(hits) << c.query;
      EXPECT_EQ(Contexts(hits->topics), c.want) << c.query;
    }
  }
}

TEST_F(QueryTest, HighlightsLandOnTheWords) {
  ASSERT_TRUE(title_);
  mv::Query query{std::string("москва город"_cp), true, 0, true};
  auto hits = title_->query(query, nullptr, true, {}, nullptr);
  ASSERT_TRUE(hits);
  auto moscow = title_->topicFromContext("topic_moscow");
  auto inMoscow = hits->highlights.inTopic(moscow);
  EXPECT_EQ(HitTexts(inMoscow),
            (std::vector<std::string>{"Москва", "Москва", "городов", "города", "город"}));
  // The heading comes first: its word sits at the topic's first address.
  EXPECT_EQ(inMoscow.hits[0].addr, title_->addrFromTopic(moscow));
  auto all = hits->highlights.all();
  for (std::size_t i = 1; i < all.hits.size(); ++i) {
    const auto& a = all.hits[i - 1];
    const auto& b = all.hits[i];
    EXPECT_TRUE(a.topic < b.topic || (a.topic == b.topic && mv::ToInt(a.addr) < mv::ToInt(b.addr)));
  }
}

TEST_F(QueryTest, NearMatchesAddOneHitPerWord) {
  ASSERT_TRUE(title_);
  struct Case {
    const char* query;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"альфа NEAR бета", {"альфа", "бета", "альфа", "бета"}},
      {"альфа NEAR бета NEAR гамма", {"альфа", "бета", "гамма", "альфа", "бета", "гамма"}},
      {"дельта NEAR альфа", {"альфа", "дельта"}},
  };
  auto near = title_->topicFromContext("topic_near");
  for (const auto& c : cases) {
    mv::Query query{plat::cp1251::FromUtf8(c.query), true, 3, false};
    auto hits = title_->query(query, nullptr, true, {}, nullptr);
    ASSERT_TRUE(hits) << c.query;
    EXPECT_EQ(HitTexts(hits->highlights.inTopic(near)), c.want) << c.query;
  }
}

// Hits are worked out per topic when read; one topic alone, a pass over every topic, the block
// form and a copy of it must all give the same hits.
TEST_F(QueryTest, LazyHighlightsAgreeWhicheverWayTheyAreRead) {
  ASSERT_TRUE(title_);
  struct Case {
    const char* query;
    bool anyWord;
    std::uint32_t fields;
    bool morph;
  };
  const Case cases[] = {
      {"москва город", true, 0, true},        {"гор*", false, 0, false},
      {"река NOT писатель", false, 0, true},  {"альфа NEAR бета NEAR гамма", true, 3, false},
      {"\"старые города\"", false, 0, false}, {"столица OR ёлка", false, 1, false},
  };
  for (const auto& c : cases) {
    mv::Query query{plat::cp1251::FromUtf8(c.query), c.anyWord, c.fields, c.morph};
    auto hits = title_->query(query, nullptr, true, {}, nullptr);
    ASSERT_TRUE(hits) << c.query;
    // Each topic read alone before the whole set exists, then the whole set.
    std::vector<mv::Highlights::Hit> perTopic;
    for (auto topic : hits->topics.items()) {
      auto one = hits->highlights.inTopic(topic).hits;
      EXPECT_FALSE(one.empty()) << c.query << " topic " << topic;
      perTopic.insert(perTopic.end(), one.begin(), one.end());
    }
    auto all = hits->highlights.all();
    EXPECT_EQ(all.titleId, title_->id());
    EXPECT_EQ(all.hits, perTopic) << c.query;

    mv::GlobalHandle block = hits->highlights.toBlock();
    mv::GlobalHandle copy = mv::Highlights::CopyBlock(block);
    mv::GlobalRelease(block);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(mv::Highlights::CountInBlock(copy), static_cast<std::int32_t>(all.hits.size()));
    for (std::size_t i = 0; i < all.hits.size(); ++i) {
      EXPECT_EQ(mv::Highlights::AddressInBlock(copy, static_cast<std::int32_t>(i)),
                all.hits[i].addr)
          << c.query << " hit " << i;
    }
    EXPECT_EQ(mv::Highlights::AddressInBlock(copy, static_cast<std::int32_t>(all.hits.size())),
              mv::Addr::none);
    EXPECT_EQ(mv::Highlights::AddressInBlock(copy, -1), mv::Addr::none);
    auto fromBlock = mv::Highlights::FromBlock(copy);
    ASSERT_TRUE(fromBlock);
    EXPECT_EQ(fromBlock->hits, all.hits);
    auto topic = hits->topics.at(0);
    EXPECT_EQ(mv::Highlights::FromBlockInTopic(copy, topic)->hits, all.inTopic(topic).hits);
    // A topic outside the hit list has none.
    auto outside = mv::Highlights::FromBlockInTopic(copy, title_->topicFromContext("pop_term"));
    ASSERT_TRUE(outside);
    EXPECT_TRUE(outside->hits.empty());
    mv::GlobalRelease(copy);
  }
}

TEST_F(QueryTest, SyntaxErrorsReportTheOffset) {
  ASSERT_TRUE(title_);
  struct Case {
    const char* query;
    int offset;
  };
  const Case cases[] = {
      {"москва AND", 10}, {"OR москва", 0},  {"(москва", 7}, {"москва)", 6},
      {"\"москва", 0},    {"a NEAR (b)", 7}, {"NOT a", 0},
  };
  for (const auto& c : cases) {
    mv::QueryError error;
    auto hits = title_->query({plat::cp1251::FromUtf8(c.query), false, 0, false}, nullptr, true, {},
                              &error);
    EXPECT_FALSE(hits) << c.query;
    EXPECT_EQ(error.code, mv::QueryError::syntax) << c.query;
    EXPECT_EQ(error.offset, c.offset) << c.query;
  }
}

TEST_F(QueryTest, RestrictionToOneTopicAndToAList) {
  ASSERT_TRUE(title_);
  auto city = title_->topicFromContext("topic_city");
  mv::Query query{std::string("город"_cp), false, 3, true};
  auto one = mv::TopicList::FromSorted({city});
  auto hits = title_->query(query, &one, true, {}, nullptr);
  ASSERT_TRUE(hits);
  EXPECT_EQ(Contexts(hits->topics), std::vector<std::string>{"topic_city"});
  for (const auto& hit : hits->highlights.all().hits) EXPECT_EQ(hit.topic, city);
  auto geo = *title_->storedList("geo");
  hits = title_->query(query, &geo, true, {}, nullptr);
  ASSERT_TRUE(hits);
  EXPECT_EQ(Contexts(hits->topics), (std::vector<std::string>{"topic_moscow", "topic_city"}));
  // The writer's "городе" matches too, but the restriction leaves it without highlights.
  EXPECT_TRUE(hits->highlights.inTopic(title_->topicFromContext("topic_writer")).hits.empty());
  for (const auto& hit : hits->highlights.all().hits) EXPECT_TRUE(geo.contains(hit.topic));
  auto tree = mv::TopicList::FromSorted({title_->topicFromContext("topic_tree")});
  EXPECT_FALSE(title_->query(query, &tree, true, {}, nullptr));
}

TEST_F(QueryTest, YieldRunsDuringTheQueryAndCancels) {
  ASSERT_TRUE(title_);
  int calls = 0;
  mv::QueryError error;
  auto hits = title_->query(
      {std::string("город"_cp), false, 0, true}, nullptr, true, [&] { return ++calls, 0; }, &error);
  EXPECT_TRUE(hits);
  EXPECT_GE(calls, 1);
  hits = title_->query(
      {std::string("город"_cp), false, 0, true}, nullptr, true, [] { return 1; }, &error);
  EXPECT_FALSE(hits);
  EXPECT_EQ(error.code, mv::QueryError::cancelled);
}

}  // namespace
