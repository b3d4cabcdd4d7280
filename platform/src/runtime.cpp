#include "plat/runtime.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace plat {
namespace {

std::uint32_t randomState = 1;
bool virtualClock = false;
std::uint32_t virtualNow = 0;

std::uint32_t RealTicks() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now() - start).count());
}

}  // namespace

void SeedRandom(std::uint32_t seed) {
  randomState = seed;
}

int Random() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFF);
}

std::uint32_t TickCount() {
  return virtualClock ? virtualNow : RealTicks();
}

void UseVirtualClock(bool on) {
  if (on && !virtualClock) virtualNow = RealTicks();
  virtualClock = on;
}

void AdvanceVirtualClock(std::uint32_t milliseconds) {
  virtualNow += milliseconds;
}

bool IsVirtualClock() {
  return virtualClock;
}

std::uint32_t WallClockSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

std::optional<SingleInstanceLock> SingleInstanceLock::Acquire(std::string_view name) {
  // An abstract socket name: the kernel frees it with the process, even after a crash.
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  std::string id = "lexoview-" + std::to_string(::getuid()) + "-" + std::string(name);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::size_t length = std::min(id.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, id.data(), length);
  auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
    ::close(fd);
    return std::nullopt;
  }
  return SingleInstanceLock(fd);
}

SingleInstanceLock::~SingleInstanceLock() {
  if (socket_ >= 0) ::close(socket_);
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : socket_(std::exchange(other.socket_, -1)) {}

}  // namespace plat
