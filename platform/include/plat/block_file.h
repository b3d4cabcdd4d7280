// Random-access files with explicit positions, locks and truncation.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace plat {

class BlockFile {
 public:
  virtual ~BlockFile() = default;

  virtual bool IsOpen() const = 0;
  virtual bool Seek(std::uint64_t offset) = 0;
  // Moves to the end; the new position, or -1.
  virtual std::int64_t SeekToEnd() = 0;
  // Bytes actually read or written; fewer than asked means failure or the end.
  virtual std::size_t Read(void* buffer, std::size_t size) = 0;
  virtual std::size_t Write(const void* data, std::size_t size) = 0;
  // Cuts the file at the current position.
  virtual bool SetEndOfFile() = 0;
  virtual bool Flush() = 0;
  virtual bool Lock(std::uint64_t offset, std::uint64_t length) = 0;
  virtual bool Unlock(std::uint64_t offset, std::uint64_t length) = 0;
};

// A private file created anew at `path` that nobody else can open and that disappears when it
// is closed or the process ends. A file that cannot be created comes back closed: every
// operation on it fails.
std::unique_ptr<BlockFile> CreateScratchFile(std::string_view path);

}  // namespace plat
