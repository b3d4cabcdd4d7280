// Search hits as addresses: one entry per matched word occurrence, sorted by topic and address.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mv/global_memory.h"
#include "mv/types.h"

namespace mv {

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
  static std::optional<Highlights> FromBlock(GlobalHandle block);
};

}  // namespace mv
