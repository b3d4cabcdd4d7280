// The undo/redo journal: (before, after) record pairs kept in a private scratch file for the
// life of the program, with the history-list library told about every entry.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/block_file.h"
#include "plat/library.h"

namespace lexo {

inline constexpr std::size_t kJournalRecordSize = 276;
inline constexpr std::size_t kJournalTextSize = 256;

enum JournalKind : std::int32_t {
  kJournalToolDialog = 1,
  kJournalArticle = 2,
  kJournalPopup = 3,
};

// Sub-kinds of tool-dialog records (the panel) and of pop-up records.
enum JournalPanel : std::int32_t {
  kJournalDictionary = 0,
  kJournalFullText = 201,
  kJournalRubric = 202,
  kJournalMediaFilter = 203,
};
inline constexpr std::int32_t kJournalPopupNamed = 5;

// One record: a 276-byte header in the file, followed by its payload. The payload lives beside
// the header in memory; the header's 32-bit address field carries nothing.
struct JournalRecord {
  std::int32_t kind = 0;
  std::int32_t subKind = 0;
  // For tool-dialog records: the owning dialog's index in the main window's table.
  std::int32_t dialog = 0;
  std::string text = DefaultText();  // at most 255 bytes
  std::vector<unsigned char> payload;

  static std::string DefaultText();

  // Cuts the text to 255 bytes; code page 1251 has one byte per character.
  void SetText(std::string_view description);
  // The payload read as characters (a pop-up window's name has no terminator).
  std::string PayloadText() const { return std::string(payload.begin(), payload.end()); }

  std::array<unsigned char, kJournalRecordSize> EncodeHeader() const;
  // The header fields and the payload size it announces.
  static JournalRecord DecodeHeader(const unsigned char* bytes, std::uint32_t* payloadSize);
};

struct JournalStep {
  std::vector<JournalRecord> records;
  int state = 0;
};

class Journal {
 public:
  // Opens "lexo.tmp" in the temporary folder and the history-list library "JrnlLib.dll".
  Journal();
  // For tests: a given file and library name.
  Journal(std::unique_ptr<plat::BlockFile> file, std::string_view historyLibrary);
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Appends an entry, first discarding every entry after the position. The bytes written (0
  // when the write failed; the entry still counts), or 1 when the journal is off.
  std::size_t AddPair(const JournalRecord& before, const JournalRecord& after);
  // The record to replay and the new state, or nothing when there is no entry to step over or
  // the entry cannot be read back; the position then stays where it was.
  std::optional<JournalStep> StepBack();
  std::optional<JournalStep> StepForward();
  // 3 empty, 0 at the start, 1 inside, 2 at the end of two or more entries, 4 at the end of one.
  int State() const;
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool IsEnabled() const { return enabled_; }

  int Count() const { return static_cast<int>(index_.size()); }
  int Position() const { return position_; }

 private:
  struct Entry {
    std::uint64_t offset = 0;
    std::uint64_t total = 0;
    std::uint64_t beforeLength = 0;
    bool written = true;  // false when the write failed and the bytes were taken back
  };

  void Truncate(std::size_t count);
  std::optional<JournalRecord> ReadRecord(std::uint64_t offset, std::uint64_t expectedPayload);
  void CallHistory(const char* function);

  bool enabled_ = true;
  std::vector<Entry> index_;
  std::unique_ptr<plat::BlockFile> file_;
  int position_ = 0;
  plat::Library history_;
};

}  // namespace lexo
