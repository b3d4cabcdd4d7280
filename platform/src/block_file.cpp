#include "plat/block_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "plat/path.h"

namespace plat {
namespace {

class ScratchFile final : public BlockFile {
 public:
  explicit ScratchFile(int fd) : fd_(fd) {}
  ~ScratchFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool IsOpen() const override { return fd_ >= 0; }

  bool Seek(std::uint64_t offset) override {
    return fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }

  std::int64_t SeekToEnd() override { return fd_ >= 0 ? ::lseek(fd_, 0, SEEK_END) : -1; }

  std::size_t Read(void* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
      ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, size - done);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  }

  std::size_t Write(const void* data, std::size_t size) override {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
      ssize_t put = ::write(fd_, static_cast<const char*>(data) + done, size - done);
      if (put <= 0) break;
      done += static_cast<std::size_t>(put);
    }
    return done;
  }

  bool SetEndOfFile() override {
    if (fd_ < 0) return false;
    off_t here = ::lseek(fd_, 0, SEEK_CUR);
    return here >= 0 && ::ftruncate(fd_, here) == 0;
  }

  bool Flush() override { return fd_ >= 0 && ::fsync(fd_) == 0; }

  bool Lock(std::uint64_t offset, std::uint64_t length) override {
    return SetLock(F_WRLCK, offset, length);
  }
  bool Unlock(std::uint64_t offset, std::uint64_t length) override {
    return SetLock(F_UNLCK, offset, length);
  }

 private:
  bool SetLock(short type, std::uint64_t offset, std::uint64_t length) {
    if (fd_ < 0) return false;
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(offset);
    range.l_len = static_cast<off_t>(length);
    return ::fcntl(fd_, F_SETLK, &range) == 0;
  }

  int fd_;
};

}  // namespace

std::unique_ptr<BlockFile> CreateScratchFile(std::string_view path) {
  int fd = -1;
  if (auto host = ResolvePath(path)) {
    fd = ::open(host->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    // Unlinked at once: no other process can open it and it goes with the last handle.
    if (fd >= 0) ::unlink(host->c_str());
  }
  return std::make_unique<ScratchFile>(fd);
}

}  // namespace plat
