// C-style file streams over program paths. Text mode reads CR LF as one line end and writes
// `\n` as CR LF, while positions stay raw byte offsets so a stored offset can be sought again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

enum class StreamMode {
  ReadText,
  ReadBinary,
  WriteText,     // created anew
  WriteBinary,   // created anew
  AppendText,    // created when missing
  AppendBinary,  // created when missing
  UpdateBinary,  // read and write an existing file
};

class Stream {
 public:
  static constexpr int kEnd = -1;

  // Null when the file cannot be opened (missing, too long a path, no rights).
  static std::unique_ptr<Stream> Open(std::string_view path, StreamMode mode);

  ~Stream();
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // The next character (0..255) or kEnd; in text mode CR LF comes back as one '\n'.
  int GetChar();
  // Moves back over the character GetChar returned last (one step only).
  void StepBack();
  // One line without its line end; false at the end of the stream with nothing read.
  bool ReadLine(std::string& line);
  // Raw bytes, whatever the mode.
  std::size_t Read(void* buffer, std::size_t size);
  std::size_t Write(const void* data, std::size_t size);
  // Writes text, turning '\n' into CR LF in text mode. False when not all of it was written.
  bool WriteText(std::string_view text);

  std::int64_t Tell() const;
  bool Seek(std::int64_t offset);
  bool SeekToEnd();
  bool AtEnd() const;
  bool Flush();

 private:
  Stream(std::FILE* file, bool text);

  std::FILE* file_;
  bool text_;
  int lastLength_ = 0;
};

// The whole content of a file as raw bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(std::string_view path);
bool WriteWholeFile(std::string_view path, std::string_view bytes);

}  // namespace plat
