#include "mv/highlights.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "mv/title.h"

namespace mv {
namespace {

struct DefaultBlock {
  std::size_t size;
  alignas(std::max_align_t) unsigned char data[1];
};

GlobalHandle DefaultAllocate(std::size_t bytes) {
  auto* block =
      static_cast<DefaultBlock*>(std::calloc(1, offsetof(DefaultBlock, data) + bytes + 1));
  if (block) block->size = bytes;
  return block;
}
void* DefaultLock(GlobalHandle handle) {
  return handle ? static_cast<DefaultBlock*>(handle)->data : nullptr;
}
void DefaultUnlock(GlobalHandle) {}
std::size_t DefaultSize(GlobalHandle handle) {
  return handle ? static_cast<DefaultBlock*>(handle)->size : 0;
}
void DefaultRelease(GlobalHandle handle) {
  std::free(handle);
}

GlobalMemory gMemory = {DefaultAllocate, DefaultLock, DefaultUnlock, DefaultSize, DefaultRelease};

constexpr std::uint32_t kMagic = 0x4C48564D;      // "MVHL"
constexpr std::uint32_t kLazyMagic = 0x5148564D;  // "MVHQ"

}  // namespace

void SetGlobalMemory(const GlobalMemory& memory) {
  gMemory = memory;
}
const GlobalMemory& CurrentGlobalMemory() {
  return gMemory;
}
GlobalHandle GlobalAllocate(std::size_t bytes) {
  return gMemory.allocate(bytes);
}
void GlobalRelease(GlobalHandle handle) {
  if (handle) gMemory.release(handle);
}

Highlights Highlights::inTopic(TopicNo topic) const {
  Highlights out;
  out.titleId = titleId;
  for (const auto& hit : hits) {
    if (hit.topic == topic) out.hits.push_back(hit);
  }
  return out;
}

GlobalHandle Highlights::toBlock() const {
  std::size_t bytes = 12 + hits.size() * 12;
  GlobalHandle block = GlobalAllocate(bytes);
  if (!block) return nullptr;
  auto* p = static_cast<std::int32_t*>(gMemory.lock(block));
  p[0] = static_cast<std::int32_t>(kMagic);
  p[1] = static_cast<std::int32_t>(titleId);
  p[2] = static_cast<std::int32_t>(hits.size());
  for (std::size_t i = 0; i < hits.size(); ++i) {
    p[3 + 3 * i] = hits[i].topic;
    p[4 + 3 * i] = ToInt(hits[i].addr);
    p[5 + 3 * i] = hits[i].length;
  }
  gMemory.unlock(block);
  return block;
}

namespace {

// The words of a locked block, for as long as the reader lives.
class BlockReader {
 public:
  explicit BlockReader(GlobalHandle block)
      : block_(block),
        words_(block ? static_cast<const std::int32_t*>(gMemory.lock(block)) : nullptr),
        count_(words_ ? gMemory.size(block) / 4 : 0) {}
  ~BlockReader() {
    if (words_) gMemory.unlock(block_);
  }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  std::uint32_t magic() const { return count_ ? static_cast<std::uint32_t>(words_[0]) : 0; }
  std::size_t size() const { return count_; }
  std::int32_t operator[](std::size_t i) const { return i < count_ ? words_[i] : 0; }
  const std::int32_t* words() const { return words_; }
  // The number of hits of a concrete block; -1 when it is not one.
  std::int64_t concreteCount() const {
    if (magic() != kMagic || count_ < 3 || words_[2] < 0) return -1;
    if (static_cast<std::size_t>(words_[2]) > (count_ - 3) / 3) return -1;
    return words_[2];
  }

 private:
  GlobalHandle block_;
  const std::int32_t* words_;
  std::size_t count_;
};

}  // namespace

std::optional<Highlights> Highlights::FromBlock(GlobalHandle block) {
  {
    BlockReader reader(block);
    std::int64_t count = reader.concreteCount();
    if (count >= 0) {
      Highlights out;
      out.titleId = static_cast<std::uint32_t>(reader[1]);
      out.hits.resize(static_cast<std::size_t>(count));
      const std::int32_t* p = reader.words();
      for (std::size_t i = 0; i < out.hits.size(); ++i) {
        out.hits[i] = {p[3 + 3 * i], static_cast<Addr>(p[4 + 3 * i]), p[5 + 3 * i]};
      }
      return out;
    }
  }
  auto lazy = LazyHighlights::FromBlock(block);
  if (!lazy) return std::nullopt;
  return lazy->all();
}

std::optional<Highlights> Highlights::FromBlockInTopic(GlobalHandle block, TopicNo topic) {
  if (auto lazy = LazyHighlights::FromBlock(block)) return lazy->inTopic(topic);
  auto all = FromBlock(block);
  if (!all) return std::nullopt;
  return all->inTopic(topic);
}

std::int32_t Highlights::CountInBlock(GlobalHandle block) {
  {
    BlockReader reader(block);
    std::int64_t count = reader.concreteCount();
    if (count >= 0) return static_cast<std::int32_t>(count);
  }
  auto lazy = LazyHighlights::FromBlock(block);
  return lazy ? lazy->count() : 0;
}

Addr Highlights::AddressInBlock(GlobalHandle block, std::int32_t index) {
  if (index < 0) return Addr::none;
  {
    BlockReader reader(block);
    std::int64_t count = reader.concreteCount();
    if (count >= 0) {
      return index < count ? static_cast<Addr>(reader[4 + 3 * static_cast<std::size_t>(index)])
                           : Addr::none;
    }
  }
  auto lazy = LazyHighlights::FromBlock(block);
  return lazy ? lazy->address(index) : Addr::none;
}

GlobalHandle Highlights::CopyBlock(GlobalHandle block) {
  if (!block) return nullptr;
  {
    BlockReader reader(block);
    if (reader.concreteCount() < 0 && reader.magic() != kLazyMagic) return nullptr;
  }
  std::size_t bytes = gMemory.size(block);
  GlobalHandle copy = GlobalAllocate(bytes);
  if (!copy) return nullptr;
  const void* from = gMemory.lock(block);
  void* to = gMemory.lock(copy);
  std::memcpy(to, from, bytes);
  gMemory.unlock(copy);
  gMemory.unlock(block);
  return copy;
}

// ---- lazy highlights ----

namespace {

std::atomic<std::uint32_t> gNextSerial{1};

// Hits already worked out, by (serial, topic); topic -1 holds every hit of the query. Blocks and
// their copies share a serial, so a display and the calls on the caller's block meet here.
class HitCache {
 public:
  using Hits = std::shared_ptr<const std::vector<Highlights::Hit>>;

  Hits find(std::uint32_t serial, TopicNo topic) {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->serial == serial && it->topic == topic) {
        Entry entry = *it;
        entries_.erase(it);
        entries_.push_back(entry);
        return entry.hits;
      }
    }
    return nullptr;
  }

  void store(std::uint32_t serial, TopicNo topic, Hits hits) {
    std::lock_guard lock(mutex_);
    if (entries_.size() >= kCapacity) entries_.erase(entries_.begin());
    entries_.push_back({serial, topic, std::move(hits)});
  }

 private:
  static constexpr std::size_t kCapacity = 8;
  struct Entry {
    std::uint32_t serial;
    TopicNo topic;
    Hits hits;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

HitCache& Cache() {
  static HitCache cache;
  return cache;
}

constexpr std::size_t kLazyHeaderWords = 8;

}  // namespace

LazyHighlights::LazyHighlights(std::shared_ptr<Title> title, TranslatedQuery query,
                               TopicList topics)
    : title_(std::move(title)),
      path_(title_ ? title_->path() : std::string()),
      titleId_(title_ ? title_->id() : 0),
      serial_(gNextSerial++),
      query_(std::move(query)),
      topics_(std::move(topics)) {}

std::shared_ptr<Title> LazyHighlights::engine() const {
  // A block outlives the call that made it: the engine is found again by its path (the same
  // one while the title is open).
  if (!title_ && !path_.empty()) title_ = Title::Open(path_);
  return title_;
}

Highlights LazyHighlights::inTopic(TopicNo topic) const {
  Highlights out;
  out.titleId = titleId_;
  if (!topics_.contains(topic)) return out;
  if (auto hits = Cache().find(serial_, topic)) {
    out.hits = *hits;
    return out;
  }
  if (auto every = Cache().find(serial_, -1)) {
    for (const auto& hit : *every) {
      if (hit.topic == topic) out.hits.push_back(hit);
    }
    return out;
  }
  auto title = engine();
  if (!title) return out;
  title->visitHits(query_, TopicList::FromSorted({topic}),
                   [&](TopicNo, std::vector<Highlights::Hit>&& hits) {
                     out.hits = std::move(hits);
                     return false;
                   });
  Cache().store(serial_, topic, std::make_shared<const std::vector<Highlights::Hit>>(out.hits));
  return out;
}

Highlights LazyHighlights::all() const {
  Highlights out;
  out.titleId = titleId_;
  if (topics_.empty()) return out;
  if (auto hits = Cache().find(serial_, -1)) {
    out.hits = *hits;
    return out;
  }
  auto title = engine();
  if (!title) return out;
  title->visitHits(query_, topics_, [&](TopicNo, std::vector<Highlights::Hit>&& hits) {
    out.hits.insert(out.hits.end(), hits.begin(), hits.end());
    return true;
  });
  Cache().store(serial_, -1, std::make_shared<const std::vector<Highlights::Hit>>(out.hits));
  return out;
}

std::int32_t LazyHighlights::count() const {
  return static_cast<std::int32_t>(all().hits.size());
}

Addr LazyHighlights::address(std::int32_t index) const {
  if (index < 0 || topics_.empty()) return Addr::none;
  if (auto hits = Cache().find(serial_, -1)) {
    return static_cast<std::size_t>(index) < hits->size()
               ? (*hits)[static_cast<std::size_t>(index)].addr
               : Addr::none;
  }
  // The first topic's hits usually hold the address asked for (the first hit is the usual one).
  auto first = inTopic(topics_.at(0));
  if (static_cast<std::size_t>(index) < first.hits.size())
    return first.hits[static_cast<std::size_t>(index)].addr;
  auto title = engine();
  if (!title) return Addr::none;
  Addr found = Addr::none;
  std::int64_t left = index;
  title->visitHits(query_, topics_, [&](TopicNo, std::vector<Highlights::Hit>&& hits) {
    if (left < static_cast<std::int64_t>(hits.size())) {
      found = hits[static_cast<std::size_t>(left)].addr;
      return false;
    }
    left -= static_cast<std::int64_t>(hits.size());
    return true;
  });
  return found;
}

GlobalHandle LazyHighlights::toBlock() const {
  std::size_t words = kLazyHeaderWords + topics_.size() + 2 * query_.nearGroups.size();
  std::size_t bytes = words * 4 + path_.size() + query_.match.size();
  GlobalHandle block = GlobalAllocate(bytes);
  if (!block) return nullptr;
  auto* base = static_cast<unsigned char*>(gMemory.lock(block));
  auto* p = reinterpret_cast<std::int32_t*>(base);
  p[0] = static_cast<std::int32_t>(kLazyMagic);
  p[1] = static_cast<std::int32_t>(titleId_);
  p[2] = static_cast<std::int32_t>(serial_);
  p[3] = static_cast<std::int32_t>(topics_.size());
  p[4] = static_cast<std::int32_t>(query_.nearGroups.size());
  p[5] = query_.phrases;
  p[6] = static_cast<std::int32_t>(path_.size());
  p[7] = static_cast<std::int32_t>(query_.match.size());
  std::size_t at = kLazyHeaderWords;
  for (auto topic : topics_.items()) p[at++] = topic;
  for (const auto& group : query_.nearGroups) {
    p[at++] = group.firstPhrase;
    p[at++] = group.count;
  }
  std::memcpy(base + at * 4, path_.data(), path_.size());
  std::memcpy(base + at * 4 + path_.size(), query_.match.data(), query_.match.size());
  gMemory.unlock(block);
  return block;
}

std::optional<LazyHighlights> LazyHighlights::FromBlock(GlobalHandle block) {
  BlockReader reader(block);
  if (reader.magic() != kLazyMagic || reader.size() < kLazyHeaderWords) return std::nullopt;
  std::size_t bytes = gMemory.size(block);
  std::int64_t topics = reader[3], groups = reader[4], phrases = reader[5], pathSize = reader[6],
               matchSize = reader[7];
  if (topics < 0 || groups < 0 || phrases < 0 || pathSize < 0 || matchSize < 0) {
    return std::nullopt;
  }
  auto words = static_cast<std::uint64_t>(kLazyHeaderWords) + static_cast<std::uint64_t>(topics) +
               2 * static_cast<std::uint64_t>(groups);
  if (words * 4 + static_cast<std::uint64_t>(pathSize) + static_cast<std::uint64_t>(matchSize) >
      bytes) {
    return std::nullopt;
  }
  LazyHighlights out;
  out.titleId_ = static_cast<std::uint32_t>(reader[1]);
  out.serial_ = static_cast<std::uint32_t>(reader[2]);
  std::size_t at = kLazyHeaderWords;
  std::vector<std::int32_t> numbers(reader.words() + at,
                                    reader.words() + at + static_cast<std::size_t>(topics));
  at += static_cast<std::size_t>(topics);
  if (!std::is_sorted(numbers.begin(), numbers.end())) return std::nullopt;
  out.topics_ = TopicList::FromSorted(std::move(numbers));
  for (std::int64_t g = 0; g < groups; ++g, at += 2) {
    out.query_.nearGroups.push_back({reader[at], reader[at + 1]});
  }
  out.query_.phrases = static_cast<int>(phrases);
  auto* text = reinterpret_cast<const char*>(reader.words()) + at * 4;
  out.path_.assign(text, static_cast<std::size_t>(pathSize));
  out.query_.match.assign(text + pathSize, static_cast<std::size_t>(matchSize));
  return out;
}

}  // namespace mv
