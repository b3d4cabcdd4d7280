#include "mv/highlights.h"

#include <cstdlib>
#include <cstring>

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

constexpr std::uint32_t kMagic = 0x4C48564D;  // "MVHL"

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

std::optional<Highlights> Highlights::FromBlock(GlobalHandle block) {
  if (!block) return std::nullopt;
  std::size_t bytes = gMemory.size(block);
  if (bytes < 12) return std::nullopt;
  auto* p = static_cast<const std::int32_t*>(gMemory.lock(block));
  std::optional<Highlights> out;
  if (p && static_cast<std::uint32_t>(p[0]) == kMagic && p[2] >= 0 &&
      static_cast<std::size_t>(p[2]) <= (bytes - 12) / 12) {
    out.emplace();
    out->titleId = static_cast<std::uint32_t>(p[1]);
    out->hits.resize(static_cast<std::size_t>(p[2]));
    for (std::size_t i = 0; i < out->hits.size(); ++i) {
      out->hits[i] = {p[3 + 3 * i], static_cast<Addr>(p[4 + 3 * i]), p[5 + 3 * i]};
    }
  }
  gMemory.unlock(block);
  return out;
}

}  // namespace mv
