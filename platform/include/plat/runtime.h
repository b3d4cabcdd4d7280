// Small services of the C runtime and the system the program relies on.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace plat {

// The classic generator: values 0..32767 from a linear congruential sequence.
inline constexpr int kRandomMax = 32767;
void SeedRandom(std::uint32_t seed);
int Random();

// Milliseconds since an arbitrary start, wrapping at 32 bits. Tests switch to a virtual clock
// that moves only when told.
std::uint32_t TickCount();
void UseVirtualClock(bool on);
void AdvanceVirtualClock(std::uint32_t milliseconds);
bool IsVirtualClock();

// Seconds since the epoch, for seeding.
std::uint32_t WallClockSeconds();

// Held for the life of the process by the one copy that may run; a second copy fails to take it.
class SingleInstanceLock {
 public:
  static std::optional<SingleInstanceLock> Acquire(std::string_view name);
  ~SingleInstanceLock();
  SingleInstanceLock(SingleInstanceLock&& other) noexcept;
  SingleInstanceLock& operator=(SingleInstanceLock&&) = delete;
  SingleInstanceLock(const SingleInstanceLock&) = delete;

 private:
  explicit SingleInstanceLock(int socket) : socket_(socket) {}
  int socket_ = -1;
};

}  // namespace plat
