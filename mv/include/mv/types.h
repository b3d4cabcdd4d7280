// Basic values of the title runtime: addresses, topic numbers and the codes the calls take.
#pragma once

#include <cstdint>
#include <string>

namespace mv {

// Title-local address of one content unit; none = -1.
enum class Addr : std::int32_t { none = -1 };
// An address in the form displays accept; same value as the valid Addr it stands for.
enum class Va : std::int32_t { none = -1 };
using TopicNo = std::int32_t;  // -1 = none

constexpr std::int32_t ToInt(Addr a) {
  return static_cast<std::int32_t>(a);
}
constexpr std::int32_t ToInt(Va a) {
  return static_cast<std::int32_t>(a);
}

enum class Region : std::uint8_t { heading = 1, body = 2, both = 3 };
enum class Combine : int { intersect = 0, unite = 1, subtract = 2 };

namespace info {
constexpr int caption = 1, copyright = 2, topicCount = 100, version = 101, topicTitle = 102;
}

// Topic flags stored in a title.
namespace topic_flag {
constexpr int nobrowse = 1, popup = 2, dataOnly = 4;
}

struct QueryError {
  enum Code : std::int32_t { ok = 0, syntax = 1, cancelled = 2, failed = 3 };
  std::int32_t code = ok;
  std::int32_t offset = -1;  // character offset of a syntax error
  std::string message;
};

}  // namespace mv
