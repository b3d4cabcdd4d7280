#include "mv/topic_list.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace mv {
namespace {

void AppendLe(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t ReadLe(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

TopicList::TopicList(std::vector<std::int32_t> numbers) : items_(std::move(numbers)) {
  std::sort(items_.begin(), items_.end());
  items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
}

TopicList TopicList::FromSorted(std::vector<std::int32_t> numbers) {
  TopicList list;
  list.items_ = std::move(numbers);
  return list;
}

std::int32_t TopicList::at(std::int64_t index) const {
  if (index < 0 || index >= static_cast<std::int64_t>(items_.size())) return -1;
  return items_[static_cast<std::size_t>(index)];
}

bool TopicList::contains(std::int32_t number) const {
  return std::binary_search(items_.begin(), items_.end(), number);
}

TopicList TopicList::Combine(mv::Combine code, const TopicList& first, const TopicList& second) {
  std::vector<std::int32_t> out;
  auto sink = std::back_inserter(out);
  const auto& a = first.items_;
  const auto& b = second.items_;
  switch (code) {
    case mv::Combine::intersect:
      std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), sink);
      break;
    case mv::Combine::unite:
      std::set_union(a.begin(), a.end(), b.begin(), b.end(), sink);
      break;
    case mv::Combine::subtract:
      std::set_difference(a.begin(), a.end(), b.begin(), b.end(), sink);
      break;
  }
  return FromSorted(std::move(out));
}

std::optional<TopicList> TopicList::FromBlob(std::span<const unsigned char> blob) {
  if (blob.size() % 4 != 0) return std::nullopt;
  std::vector<std::int32_t> numbers;
  numbers.reserve(blob.size() / 4);
  for (std::size_t i = 0; i < blob.size(); i += 4) {
    numbers.push_back(static_cast<std::int32_t>(ReadLe(blob.data() + i)));
  }
  // Stored lists are written sorted; a damaged one is repaired rather than trusted.
  if (!std::is_sorted(numbers.begin(), numbers.end()) ||
      std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end()) {
    return TopicList(std::move(numbers));
  }
  return FromSorted(std::move(numbers));
}

std::string TopicList::ToBlob() const {
  std::string out;
  out.reserve(items_.size() * 4);
  for (auto n : items_) AppendLe(out, static_cast<std::uint32_t>(n));
  return out;
}

std::optional<Group> Group::Read(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return std::nullopt;
  unsigned char header[12];
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
  if (std::string_view(reinterpret_cast<char*>(header), 4) != "MVGR" || ReadLe(header + 4) != 1) {
    return std::nullopt;
  }
  std::uint32_t count = ReadLe(header + 8);
  std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (body.size() / 4 < count) return std::nullopt;
  auto bytes = reinterpret_cast<const unsigned char*>(body.data());
  Group group;
  group.items.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    group.items.push_back(static_cast<std::int32_t>(ReadLe(bytes + 4 * i)));
  }
  TopicList sorted(std::move(group.items));
  group.items.assign(sorted.items().begin(), sorted.items().end());
  return group;
}

bool Group::write(const std::string& hostPath) const {
  TopicList sorted(items);
  std::string out = "MVGR";
  AppendLe(out, 1);
  AppendLe(out, static_cast<std::uint32_t>(sorted.size()));
  out += sorted.ToBlob();
  std::string temporary = hostPath + ".part";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.write(out.data(), static_cast<std::streamsize>(out.size()))) return false;
  }
  return std::rename(temporary.c_str(), hostPath.c_str()) == 0;
}

}  // namespace mv
