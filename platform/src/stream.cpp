#include "plat/stream.h"

#include "plat/path.h"

namespace plat {

std::unique_ptr<Stream> Stream::Open(std::string_view path, StreamMode mode) {
  auto host = ResolvePath(path);
  if (!host) return nullptr;
  const char* how = "rb";
  switch (mode) {
    case StreamMode::ReadText:
    case StreamMode::ReadBinary:
      how = "rb";
      break;
    case StreamMode::WriteText:
    case StreamMode::WriteBinary:
      how = "wb";
      break;
    case StreamMode::AppendText:
    case StreamMode::AppendBinary:
      how = "ab";
      break;
    case StreamMode::UpdateBinary:
      how = "r+b";
      break;
  }
  std::FILE* file = std::fopen(host->c_str(), how);
  if (!file) return nullptr;
  bool text = mode == StreamMode::ReadText || mode == StreamMode::WriteText ||
              mode == StreamMode::AppendText;
  return std::unique_ptr<Stream>(new Stream(file, text));
}

Stream::Stream(std::FILE* file, bool text) : file_(file), text_(text) {}

Stream::~Stream() {
  std::fclose(file_);
}

int Stream::GetChar() {
  int ch = std::getc(file_);
  lastLength_ = ch == EOF ? 0 : 1;
  if (ch == EOF) return kEnd;
  if (text_ && ch == '\r') {
    int next = std::getc(file_);
    if (next == '\n') {
      lastLength_ = 2;
      return '\n';
    }
    if (next != EOF) std::ungetc(next, file_);
  }
  return ch;
}

void Stream::StepBack() {
  if (lastLength_ > 0) std::fseek(file_, -lastLength_, SEEK_CUR);
  lastLength_ = 0;
}

bool Stream::ReadLine(std::string& line) {
  line.clear();
  int ch = GetChar();
  if (ch == kEnd) return false;
  while (ch != kEnd && ch != '\n') {
    line += static_cast<char>(ch);
    ch = GetChar();
  }
  return true;
}

std::size_t Stream::Read(void* buffer, std::size_t size) {
  lastLength_ = 0;
  return std::fread(buffer, 1, size, file_);
}

std::size_t Stream::Write(const void* data, std::size_t size) {
  return std::fwrite(data, 1, size, file_);
}

bool Stream::WriteText(std::string_view text) {
  if (!text_) return Write(text.data(), text.size()) == text.size();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t stop = end == std::string_view::npos ? text.size() : end;
    if (Write(text.data() + start, stop - start) != stop - start) return false;
    if (end == std::string_view::npos) break;
    if (Write("\r\n", 2) != 2) return false;
    start = end + 1;
  }
  return true;
}

std::int64_t Stream::Tell() const {
  return std::ftell(file_);
}

bool Stream::Seek(std::int64_t offset) {
  lastLength_ = 0;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool Stream::SeekToEnd() {
  lastLength_ = 0;
  return std::fseek(file_, 0, SEEK_END) == 0;
}

bool Stream::AtEnd() const {
  return std::feof(file_) != 0;
}

bool Stream::Flush() {
  return std::fflush(file_) == 0;
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
  auto stream = Stream::Open(path, StreamMode::ReadBinary);
  if (!stream) return std::nullopt;
  std::string content;
  char chunk[65536];
  while (size_t got = stream->Read(chunk, sizeof chunk)) content.append(chunk, got);
  return content;
}

bool WriteWholeFile(std::string_view path, std::string_view bytes) {
  auto stream = Stream::Open(path, StreamMode::WriteBinary);
  return stream && stream->Write(bytes.data(), bytes.size()) == bytes.size() && stream->Flush();
}

}  // namespace plat
