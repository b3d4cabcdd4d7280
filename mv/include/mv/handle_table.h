// Opaque 32-bit handles with generation counters: a handle used after it was released finds
// nothing instead of a dangling object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace mv {

template <typename T>
class HandleTable {
 public:
  // Never 0. Low 20 bits: slot + 1; high 12 bits: generation (never 0).
  std::uint32_t add(std::shared_ptr<T> object) {
    std::lock_guard lock(mutex_);
    std::size_t slot = slots_.size();
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else {
      if (slots_.size() >= kMaxSlots) return 0;
      slots_.push_back({});
    }
    Slot& s = slots_[slot];
    s.object = std::move(object);
    return static_cast<std::uint32_t>(slot + 1) | (s.generation << kSlotBits);
  }

  std::shared_ptr<T> get(std::uint32_t handle) const {
    std::lock_guard lock(mutex_);
    const Slot* s = find(handle);
    return s ? s->object : nullptr;
  }

  // The object, removed from the table; null when the handle is stale or unknown.
  std::shared_ptr<T> remove(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    Slot* s = const_cast<Slot*>(find(handle));
    if (!s) return nullptr;
    auto object = std::move(s->object);
    s->object.reset();
    s->generation = s->generation % kMaxGeneration + 1;
    free_.push_back((handle & kSlotMask) - 1);
    return object;
  }

  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return slots_.size() - free_.size();
  }

 private:
  static constexpr unsigned kSlotBits = 20;
  static constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;
  static constexpr std::size_t kMaxSlots = kSlotMask - 1;
  static constexpr std::uint32_t kMaxGeneration = (1u << (32 - kSlotBits)) - 1;

  struct Slot {
    std::uint32_t generation = 1;
    std::shared_ptr<T> object;
  };

  const Slot* find(std::uint32_t handle) const {
    std::uint32_t slot = handle & kSlotMask;
    if (slot == 0 || slot > slots_.size()) return nullptr;
    const Slot& s = slots_[slot - 1];
    if (!s.object || s.generation != handle >> kSlotBits) return nullptr;
    return &s;
  }

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<std::size_t> free_;
};

}  // namespace mv
