// Topic lists and group files: plain ascending sets of 32-bit numbers (topic or entry numbers).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "mv/types.h"

namespace mv {

class TopicList {
 public:
  TopicList() = default;
  // Sorts and removes duplicates.
  explicit TopicList(std::vector<std::int32_t> numbers);
  static TopicList FromSorted(std::vector<std::int32_t> numbers);

  std::span<const std::int32_t> items() const { return items_; }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  // -1 when the index is outside the list.
  std::int32_t at(std::int64_t index) const;
  bool contains(std::int32_t number) const;

  // Inputs stay unchanged; a list combined with itself by intersect or unite is a copy.
  static TopicList Combine(mv::Combine code, const TopicList& first, const TopicList& second);

  // Little-endian 32-bit numbers, as stored in titles.
  static std::optional<TopicList> FromBlob(std::span<const unsigned char> blob);
  std::string ToBlob() const;

  bool operator==(const TopicList&) const = default;

 private:
  std::vector<std::int32_t> items_;
};

// Group file: "MVGR", version 1, count, then count ascending numbers, all little-endian 32-bit.
struct Group {
  std::vector<std::int32_t> items;

  // nullopt when the file is missing or not a group file.
  static std::optional<Group> Read(const std::string& hostPath);
  bool write(const std::string& hostPath) const;
};

}  // namespace mv
