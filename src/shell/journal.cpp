#include "shell/journal.h"

#include <cstring>

#include "plat/cp1251.h"
#include "plat/path.h"

namespace lexo {
namespace {

using namespace plat::cp1251::literals;

void PutInt(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t GetInt(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

constexpr std::size_t kTextOffset = 12;
constexpr std::size_t kSizeOffset = 268;

}  // namespace

std::string JournalRecord::DefaultText() {
  return std::string("Неопределенное действие"_cp);
}

void JournalRecord::SetText(std::string_view description) {
  text.assign(description.substr(0, kJournalTextSize - 1));
}

std::array<unsigned char, kJournalRecordSize> JournalRecord::EncodeHeader() const {
  std::array<unsigned char, kJournalRecordSize> bytes{};
  PutInt(&bytes[0], static_cast<std::uint32_t>(kind));
  PutInt(&bytes[4], static_cast<std::uint32_t>(subKind));
  PutInt(&bytes[8], static_cast<std::uint32_t>(dialog));
  std::memcpy(&bytes[kTextOffset], text.data(), std::min(text.size(), kJournalTextSize - 1));
  PutInt(&bytes[kSizeOffset], static_cast<std::uint32_t>(payload.size()));
  return bytes;  // the address field stays 0: it means nothing once in the file
}

JournalRecord JournalRecord::DecodeHeader(const unsigned char* bytes, std::uint32_t* payloadSize) {
  JournalRecord record;
  record.kind = static_cast<std::int32_t>(GetInt(&bytes[0]));
  record.subKind = static_cast<std::int32_t>(GetInt(&bytes[4]));
  record.dialog = static_cast<std::int32_t>(GetInt(&bytes[8]));
  const char* text = reinterpret_cast<const char*>(&bytes[kTextOffset]);
  record.text.assign(text, strnlen(text, kJournalTextSize - 1));
  *payloadSize = GetInt(&bytes[kSizeOffset]);
  return record;
}

Journal::Journal()
    : Journal(plat::CreateScratchFile(plat::TempFolder() + "lexo.tmp"), "JrnlLib.dll") {}

Journal::Journal(std::unique_ptr<plat::BlockFile> file, std::string_view historyLibrary)
    : file_(std::move(file)), history_(plat::Library::Load(historyLibrary)) {}

Journal::~Journal() {
  if (!index_.empty()) Truncate(0);
  file_.reset();
  history_.Free();
}

void Journal::CallHistory(const char* function) {
  if (auto* call = history_.Find<void()>(function)) call();
}

std::size_t Journal::AddPair(const JournalRecord& before, const JournalRecord& after) {
  if (!enabled_) return 1;
  if (static_cast<std::size_t>(position_) < index_.size())
    Truncate(static_cast<std::size_t>(position_));

  Entry entry;
  entry.beforeLength = kJournalRecordSize + before.payload.size();
  entry.total = entry.beforeLength + kJournalRecordSize + after.payload.size();

  std::int64_t end = file_->SeekToEnd();
  std::size_t written = 0;
  if (end >= 0) {
    entry.offset = static_cast<std::uint64_t>(end);
    file_->Lock(entry.offset, entry.total);
    for (const JournalRecord* record : {&before, &after}) {
      auto header = record->EncodeHeader();
      written += file_->Write(header.data(), header.size());
      written += file_->Write(record->payload.data(), record->payload.size());
    }
    file_->Unlock(entry.offset, entry.total);
  }
  if (written != entry.total) {
    // A short entry would make the next one unreadable: take it back, but keep counting it so
    // the history list stays in step.
    if (end >= 0 && file_->Seek(entry.offset)) file_->SetEndOfFile();
    entry.written = false;
    written = 0;
  }

  if (auto* add = history_.Find<void(const char*)>("AddItemDll")) add(before.text.c_str());
  index_.push_back(entry);
  ++position_;
  file_->Flush();
  return written;
}

void Journal::Truncate(std::size_t count) {
  while (index_.size() > count) {
    index_.pop_back();
    CallHistory("DelItemDll");
    CallHistory("DelItemDll");
  }
  if (position_ > static_cast<int>(count)) position_ = static_cast<int>(count);
  // Cut after the last entry whose bytes are in the file.
  std::uint64_t end = 0;
  for (auto it = index_.rbegin(); it != index_.rend(); ++it) {
    if (it->written) {
      end = it->offset + it->total;
      break;
    }
  }
  if (file_->Seek(end)) file_->SetEndOfFile();
}

std::optional<JournalRecord> Journal::ReadRecord(std::uint64_t offset,
                                                 std::uint64_t expectedPayload) {
  std::array<unsigned char, kJournalRecordSize> header;
  if (!file_->Seek(offset) || file_->Read(header.data(), header.size()) != header.size()) {
    return std::nullopt;
  }
  std::uint32_t size = 0;
  JournalRecord record = JournalRecord::DecodeHeader(header.data(), &size);
  // The entry's own lengths say how big the payload is; anything else is not this record.
  if (size != expectedPayload) return std::nullopt;
  record.payload.assign(size, 0);
  if (size != 0 && file_->Read(record.payload.data(), size) != size) return std::nullopt;
  return record;
}

std::optional<JournalStep> Journal::StepBack() {
  if (position_ <= 0 || position_ > Count()) return std::nullopt;
  const Entry& entry = index_[static_cast<std::size_t>(position_ - 1)];
  if (!entry.written) return std::nullopt;
  auto record = ReadRecord(entry.offset, entry.beforeLength - kJournalRecordSize);
  if (!record) return std::nullopt;
  --position_;
  CallHistory("UndoItemDll");
  JournalStep step;
  step.records.push_back(std::move(*record));
  step.state = State();
  return step;
}

std::optional<JournalStep> Journal::StepForward() {
  if (position_ < 0 || position_ >= Count()) return std::nullopt;
  const Entry& entry = index_[static_cast<std::size_t>(position_)];
  if (!entry.written) return std::nullopt;
  auto record = ReadRecord(entry.offset + entry.beforeLength,
                           entry.total - entry.beforeLength - kJournalRecordSize);
  if (!record) return std::nullopt;
  ++position_;
  CallHistory("RedoItemDll");
  JournalStep step;
  step.records.push_back(std::move(*record));
  step.state = State();
  return step;
}

int Journal::State() const {
  if (index_.empty()) return 3;
  if (position_ == 0) return 0;
  if (position_ == Count()) return Count() >= 2 ? 2 : 4;
  return 1;
}

}  // namespace lexo
