// Search hits as addresses: one entry per matched word occurrence, sorted by topic and address.
//
// A query does not work out its hits: that costs far more than the query itself on a title with
// thousands of hit topics. It hands out a lazy set instead (the query and its topic list), whose
// hits are worked out per topic when they are read, and all at once only when every hit is
// asked for. Blocks carry either form; the block calls below accept both.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mv/global_memory.h"
#include "mv/query.h"
#include "mv/topic_list.h"
#include "mv/types.h"

namespace mv {

class Title;

class Highlights {
 public:
  struct Hit {
    TopicNo topic = -1;
    Addr addr = Addr::none;
    std::int32_t length = 0;  // units
    bool operator==(const Hit&) const = default;
  };

  std::vector<Hit> hits;
  std::uint32_t titleId = 0;

  Highlights inTopic(TopicNo topic) const;

  // Block layout: "MVHL", title id, count, then count × (topic, addr, length); little-endian.
  GlobalHandle toBlock() const;
  // Every hit of a block of either form (a lazy block works out all of them).
  static std::optional<Highlights> FromBlock(GlobalHandle block);

  // Cheap readers of a block of either form.
  static std::optional<Highlights> FromBlockInTopic(GlobalHandle block, TopicNo topic);
  static std::int32_t CountInBlock(GlobalHandle block);
  // Address of hit `index` in (topic, address) order; none outside the hits.
  static Addr AddressInBlock(GlobalHandle block, std::int32_t index);
  // A copy that stays lazy when the block is.
  static GlobalHandle CopyBlock(GlobalHandle block);
};

// The hits of one query, worked out when read. A default one has no hits.
class LazyHighlights {
 public:
  LazyHighlights() = default;
  LazyHighlights(std::shared_ptr<Title> title, TranslatedQuery query, TopicList topics);

  std::uint32_t titleId() const { return titleId_; }
  const TopicList& topics() const { return topics_; }

  Highlights inTopic(TopicNo topic) const;
  Highlights all() const;
  std::int32_t count() const;
  Addr address(std::int32_t index) const;

  // Block layout: "MVHQ", title id, serial, topic count, NEAR group count, phrase count, path
  // length, match length, then the topics, the groups (first phrase, count), the title's path
  // and the match expression; little-endian.
  GlobalHandle toBlock() const;
  // nullopt when the block is not a lazy one (or damaged).
  static std::optional<LazyHighlights> FromBlock(GlobalHandle block);

 private:
  std::shared_ptr<Title> engine() const;

  mutable std::shared_ptr<Title> title_;
  std::string path_;
  std::uint32_t titleId_ = 0;
  std::uint32_t serial_ = 0;  // names the query's results in the process-wide cache
  TranslatedQuery query_;
  TopicList topics_;
};

}  // namespace mv
