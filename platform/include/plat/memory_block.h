// Movable global memory blocks: a stable handle to a byte block that is locked for access,
// can grow or shrink, and is freed by whoever holds it last (the receiver of a clipboard copy,
// of a title runtime answer, of a notification). Bad or freed handles are refused, never
// followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace plat {

struct MemoryBlockRecord;
using MemoryHandle = MemoryBlockRecord*;

// Larger requests are refused outright: no block of the program comes near it, and a damaged
// size field must not take the process down.
inline constexpr std::size_t kMaximumBlockSize = std::size_t{1} << 30;

// Null when the size cannot be had. New bytes are zero unless `zeroed` is false.
MemoryHandle AllocateBlock(std::size_t bytes, bool zeroed = true);
// The block's bytes (null for a bad handle); stays valid until the block is resized or freed.
std::uint8_t* LockBlock(MemoryHandle block);
// False when the block was not locked.
bool UnlockBlock(MemoryHandle block);
int LockCount(MemoryHandle block);
// Keeps the contents up to the smaller size; added bytes are zero. A locked block may move:
// pointers from earlier locks are stale afterwards.
bool ResizeBlock(MemoryHandle block, std::size_t bytes);
std::size_t BlockSize(MemoryHandle block);
// False for a bad handle, so a second free is harmless.
bool FreeBlock(MemoryHandle block);
bool IsBlock(MemoryHandle block);
std::size_t LiveBlockCount();

// Owns one block and frees it unless the handle was released to a new owner.
class MemoryBlock {
 public:
  MemoryBlock() = default;
  explicit MemoryBlock(std::size_t bytes) : handle_(AllocateBlock(bytes)) {}
  explicit MemoryBlock(MemoryHandle adopted) : handle_(adopted) {}
  ~MemoryBlock() { FreeBlock(handle_); }
  MemoryBlock(MemoryBlock&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  MemoryBlock& operator=(MemoryBlock&& other) noexcept {
    if (this != &other) {
      FreeBlock(handle_);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;

  MemoryHandle Handle() const { return handle_; }
  MemoryHandle Release() { return std::exchange(handle_, nullptr); }
  explicit operator bool() const { return IsBlock(handle_); }
  std::size_t Size() const { return BlockSize(handle_); }

 private:
  MemoryHandle handle_ = nullptr;
};

}  // namespace plat
