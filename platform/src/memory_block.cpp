#include "plat/memory_block.h"

#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

namespace plat {

struct MemoryBlockRecord {
  std::vector<std::uint8_t> bytes;
  int locks = 0;
};

namespace {

// The title runtime may hand blocks over from a worker: the registry is guarded.
struct Registry {
  std::mutex mutex;
  std::unordered_set<MemoryBlockRecord*> live;
};

Registry& Blocks() {
  static Registry registry;
  return registry;
}

}  // namespace

MemoryHandle AllocateBlock(std::size_t bytes, bool zeroed) {
  (void)zeroed;  // vector storage is always zeroed; the flag only documents the caller's intent
  if (bytes > kMaximumBlockSize) return nullptr;
  try {
    auto* record = new MemoryBlockRecord;
    try {
      record->bytes.resize(bytes);
    } catch (const std::bad_alloc&) {
      delete record;
      return nullptr;
    } catch (const std::length_error&) {
      delete record;
      return nullptr;
    }
    Registry& registry = Blocks();
    std::lock_guard lock(registry.mutex);
    registry.live.insert(record);
    return record;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::uint8_t* LockBlock(MemoryHandle block) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  if (!registry.live.contains(block)) return nullptr;
  ++block->locks;
  // A zero-sized block still answers a usable, distinct pointer.
  if (block->bytes.empty()) block->bytes.reserve(1);
  return block->bytes.data();
}

bool UnlockBlock(MemoryHandle block) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  if (!registry.live.contains(block) || block->locks == 0) return false;
  --block->locks;
  return true;
}

int LockCount(MemoryHandle block) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  return registry.live.contains(block) ? block->locks : 0;
}

bool ResizeBlock(MemoryHandle block, std::size_t bytes) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  if (!registry.live.contains(block) || bytes > kMaximumBlockSize) return false;
  try {
    block->bytes.resize(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

std::size_t BlockSize(MemoryHandle block) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  return registry.live.contains(block) ? block->bytes.size() : 0;
}

bool FreeBlock(MemoryHandle block) {
  Registry& registry = Blocks();
  {
    std::lock_guard lock(registry.mutex);
    if (!registry.live.erase(block)) return false;
  }
  delete block;
  return true;
}

bool IsBlock(MemoryHandle block) {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  return registry.live.contains(block);
}

std::size_t LiveBlockCount() {
  Registry& registry = Blocks();
  std::lock_guard lock(registry.mutex);
  return registry.live.size();
}

}  // namespace plat
