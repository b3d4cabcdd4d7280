#include "shell/journal.h"

#include <gtest/gtest.h>

#include <cstring>

#include "plat/cp1251.h"
#include "plat/library.h"
#include "support/temp_folder.h"

namespace {

using namespace lexo;
using namespace plat::cp1251::literals;

// A scratch file that can be told to stop writing after a number of bytes, as on a full disk,
// or to hand back other bytes than were written.
class FaultyFile final : public plat::BlockFile {
 public:
  explicit FaultyFile(std::unique_ptr<plat::BlockFile> inner) : inner_(std::move(inner)) {}

  std::size_t writeBudget = static_cast<std::size_t>(-1);

  std::int64_t Size() {
    std::int64_t size = inner_->SeekToEnd();
    return size;
  }
  // Overwrites bytes in place, for a damaged file.
  void Poke(std::uint64_t offset, const void* data, std::size_t size) {
    inner_->Seek(offset);
    inner_->Write(data, size);
  }

  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
  std::int64_t SeekToEnd() override { return inner_->SeekToEnd(); }
  std::size_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
  std::size_t Write(const void* data, std::size_t size) override {
    std::size_t allowed = std::min(size, writeBudget);
    writeBudget -= allowed;
    return inner_->Write(data, allowed);
  }
  bool SetEndOfFile() override { return inner_->SetEndOfFile(); }
  bool Flush() override { return inner_->Flush(); }
  bool Lock(std::uint64_t offset, std::uint64_t length) override {
    return inner_->Lock(offset, length);
  }
  bool Unlock(std::uint64_t offset, std::uint64_t length) override {
    return inner_->Unlock(offset, length);
  }

 private:
  std::unique_ptr<plat::BlockFile> inner_;
};

// The counters of the stand-in history-list library.
struct HistoryCalls {
  int adds, undos, redos, deletes;
  std::string lastText;
  bool operator==(const HistoryCalls&) const = default;
};

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stub_.IsLoaded());
    stub_.Find<void()>("JrnlStubReset")();
  }

  std::unique_ptr<Journal> MakeJournal(const char* library = "JrnlLib.dll") {
    auto file = std::make_unique<FaultyFile>(plat::CreateScratchFile(folder_ / "lexo.tmp"));
    file_ = file.get();
    return std::make_unique<Journal>(std::move(file), library);
  }

  HistoryCalls Calls() {
    return {*stub_.Find<int>("JrnlStubAdds"), *stub_.Find<int>("JrnlStubUndos"),
            *stub_.Find<int>("JrnlStubRedos"), *stub_.Find<int>("JrnlStubDeletes"),
            stub_.Find<char>("JrnlStubLastText")};
  }

  static JournalRecord Article(std::uint32_t address, std::string_view text = {}) {
    JournalRecord record;
    record.kind = kJournalArticle;
    record.text = std::string(text);
    record.payload.assign(12, 0);
    std::memcpy(record.payload.data(), &address, 4);
    return record;
  }
  static std::uint32_t AddressOf(const JournalRecord& record) {
    std::uint32_t address = 0;
    std::memcpy(&address, record.payload.data(), 4);
    return address;
  }

  lexo::testing::TempFolder folder_;
  plat::Library stub_ = plat::Library::Load("JrnlLib.dll");
  FaultyFile* file_ = nullptr;
};

TEST_F(JournalTest, NewEntryAfterStepsBackDropsTheEntriesAhead) {
  auto journal = MakeJournal();
  EXPECT_EQ(journal->State(), 3);
  for (std::uint32_t i = 1; i <= 3; ++i) {
    EXPECT_EQ(journal->AddPair(Article(i * 10, "before"), Article(i * 10 + 1)), 2 * 276u + 24u);
  }
  EXPECT_EQ(journal->State(), 2);

  auto back = journal->StepBack();
  ASSERT_TRUE(back);
  EXPECT_EQ(AddressOf(back->records.at(0)), 30u);
  EXPECT_EQ(back->state, 1);
  back = journal->StepBack();
  ASSERT_TRUE(back);
  EXPECT_EQ(AddressOf(back->records.at(0)), 20u);
  EXPECT_EQ(journal->Position(), 1);

  journal->AddPair(Article(40), Article(41));
  EXPECT_EQ(journal->Count(), 2);
  EXPECT_EQ(journal->State(), 2);  // forward disabled
  EXPECT_EQ(Calls(), (HistoryCalls{4, 2, 0, 4, ""}));
  EXPECT_FALSE(journal->StepForward());

  // The file holds exactly the two entries left.
  EXPECT_EQ(file_->Size(), 2 * (2 * 276 + 24));
  back = journal->StepBack();
  ASSERT_TRUE(back);
  EXPECT_EQ(AddressOf(back->records.at(0)), 40u);
  auto forward = journal->StepForward();
  ASSERT_TRUE(forward);
  EXPECT_EQ(AddressOf(forward->records.at(0)), 41u);
  EXPECT_EQ(forward->state, 2);
}

TEST_F(JournalTest, StatesAndStepsAtTheEnds) {
  auto journal = MakeJournal();
  EXPECT_FALSE(journal->StepBack());
  EXPECT_FALSE(journal->StepForward());

  JournalRecord empty;
  EXPECT_EQ(journal->AddPair(empty, empty), 552u);
  EXPECT_EQ(file_->Size(), 552);
  EXPECT_EQ(journal->State(), 4);
  EXPECT_FALSE(journal->StepForward());
  EXPECT_EQ(journal->Position(), 1);

  auto back = journal->StepBack();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->state, 0);
  EXPECT_EQ(back->records.at(0).text, "Неопределенное действие"_cp);
  EXPECT_TRUE(back->records.at(0).payload.empty());
  EXPECT_FALSE(journal->StepBack());
  EXPECT_EQ(journal->Position(), 0);

  journal->AddPair(empty, empty);  // replaces the stepped-back entry
  journal->AddPair(empty, empty);
  ASSERT_TRUE(journal->StepBack());
  EXPECT_EQ(journal->State(), 1);
}

TEST_F(JournalTest, DisabledJournalRecordsNothing) {
  auto journal = MakeJournal();
  journal->SetEnabled(false);
  EXPECT_EQ(journal->AddPair(Article(1), Article(2)), 1u);
  EXPECT_EQ(journal->Count(), 0);
  journal->SetEnabled(true);
  EXPECT_EQ(journal->AddPair(Article(1), Article(2)), 576u);
}

TEST_F(JournalTest, DestructionTellsTheLibraryAboutEveryEntry) {
  {
    auto journal = MakeJournal();
    journal->AddPair(Article(1, "one"), Article(2));
    journal->AddPair(Article(3, "two"), Article(4));
  }
  EXPECT_EQ(Calls(), (HistoryCalls{2, 0, 0, 4, "two"}));
}

TEST_F(JournalTest, WorksWithoutTheHistoryLibrary) {
  auto journal = MakeJournal("NoSuchJrnl.dll");
  journal->AddPair(Article(1), Article(2));
  ASSERT_TRUE(journal->StepBack());
  ASSERT_TRUE(journal->StepForward());
  EXPECT_EQ(Calls(), (HistoryCalls{0, 0, 0, 0, ""}));
}

// Texts made from a prefix and a name of any length stay inside the 256-byte field.
TEST_F(JournalTest, LongDescriptionsAreCutAndLeaveTheOtherFieldsIntact) {
  const std::string prefixes[] = {std::string("Текстовое окно. Уход с топика "_cp),
                                  std::string("Окно словарей. Поиск по заданному слову, ("_cp)};
  for (const auto& prefix : prefixes) {
    for (std::size_t nameLength : {0u, 200u, 255u}) {
      SCOPED_TRACE(nameLength);
      auto journal = MakeJournal();
      JournalRecord before = Article(77);
      before.SetText(prefix + std::string(nameLength, '\xE0'));
      EXPECT_LE(before.text.size(), 255u);
      journal->AddPair(before, Article(78));
      EXPECT_EQ(Calls().lastText, before.text);

      auto header = before.EncodeHeader();
      EXPECT_EQ(header[12 + before.text.size()], 0);
      auto back = journal->StepBack();
      ASSERT_TRUE(back);
      EXPECT_EQ(back->records.at(0).text, before.text);
      EXPECT_EQ(back->records.at(0).payload.size(), 12u);
      EXPECT_EQ(AddressOf(back->records.at(0)), 77u);
      stub_.Find<void()>("JrnlStubReset")();
    }
  }
}

// A pop-up window's name is stored without a terminator and must come back whole.
TEST_F(JournalTest, PopupNamesComeBackFromTheirSize) {
  for (std::size_t length : {1u, 8u, 16u, 32u}) {
    auto journal = MakeJournal();
    JournalRecord open;
    open.kind = kJournalPopup;
    open.subKind = kJournalPopupNamed;
    std::string name(length, 'w');
    open.payload.assign(name.begin(), name.end());
    JournalRecord close;
    close.kind = kJournalPopup;
    journal->AddPair(close, open);
    ASSERT_TRUE(journal->StepBack());
    auto forward = journal->StepForward();
    ASSERT_TRUE(forward);
    EXPECT_EQ(forward->records.at(0).subKind, kJournalPopupNamed);
    EXPECT_EQ(forward->records.at(0).PayloadText(), name);
  }
}

// A write that fails part-way takes its bytes back; stepping over that entry answers nothing,
// and the entries around it still replay their own records.
TEST_F(JournalTest, FailedWritesNeverReplayAWrongRecord) {
  for (std::size_t budget : {0u, 100u, 276u, 288u, 564u}) {
    SCOPED_TRACE(budget);
    auto journal = MakeJournal();
    journal->AddPair(Article(1), Article(2));
    file_->writeBudget = budget;
    EXPECT_EQ(journal->AddPair(Article(3), Article(4)), 0u);
    file_->writeBudget = static_cast<std::size_t>(-1);
    journal->AddPair(Article(5), Article(6));
    EXPECT_EQ(journal->Count(), 3);
    EXPECT_EQ(file_->Size(), 2 * 576);

    auto back = journal->StepBack();
    ASSERT_TRUE(back);
    EXPECT_EQ(AddressOf(back->records.at(0)), 5u);
    EXPECT_FALSE(journal->StepBack());  // the broken entry
    EXPECT_EQ(journal->Position(), 2);
    auto forward = journal->StepForward();
    ASSERT_TRUE(forward);
    EXPECT_EQ(AddressOf(forward->records.at(0)), 6u);

    // Dropping entries after the broken one cuts the file after the last good one.
    ASSERT_TRUE(journal->StepBack());
    journal->AddPair(Article(7), Article(8));
    EXPECT_EQ(file_->Size(), 2 * 576);
  }
}

TEST_F(JournalTest, RecordsWhosePayloadSizeDisagreesAreNotReplayed) {
  struct Case {
    const char* name;
    std::uint64_t offset;  // where the size field is overwritten
    std::uint32_t size;
  };
  const Case cases[] = {
      {"before grows", 268, 4000},
      {"before shrinks", 268, 4},
      {"after grows", 288 + 268, 0xFFFFFFF0u},
      {"after vanishes", 288 + 268, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto journal = MakeJournal();
    journal->AddPair(Article(1), Article(2));
    file_->Poke(c.offset, &c.size, 4);
    bool before = c.offset < 288;
    if (before) {
      EXPECT_FALSE(journal->StepBack());
      EXPECT_EQ(journal->Position(), 1);
    } else {
      ASSERT_TRUE(journal->StepBack());
      EXPECT_FALSE(journal->StepForward());
      EXPECT_EQ(journal->Position(), 0);
    }
  }
}

TEST_F(JournalTest, AJournalWithoutAFileCountsButNeverReplays) {
  auto journal = std::make_unique<Journal>(
      plat::CreateScratchFile(folder_ / "no\\such\\folder\\lexo.tmp"), "JrnlLib.dll");
  EXPECT_EQ(journal->AddPair(Article(1), Article(2)), 0u);
  EXPECT_EQ(journal->Count(), 1);
  EXPECT_EQ(journal->State(), 4);
  EXPECT_FALSE(journal->StepBack());
  EXPECT_EQ(Calls().adds, 1);
}

}  // namespace
