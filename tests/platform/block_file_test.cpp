#include "plat/block_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "plat/path.h"
#include "support/temp_folder.h"

namespace {

using lexo::testing::TempFolder;

TEST(ScratchFile, IsPrivateAndGoneFromTheStart) {
  TempFolder root;
  auto file = plat::CreateScratchFile(root / "lexo.tmp");
  ASSERT_TRUE(file->IsOpen());
  EXPECT_FALSE(plat::FileExists(root / "lexo.tmp"));

  ASSERT_EQ(file->Write("abcdef", 6), 6u);
  ASSERT_TRUE(file->Seek(2));
  char buffer[8] = {};
  EXPECT_EQ(file->Read(buffer, 8), 4u);  // short read at the end
  EXPECT_STREQ(buffer, "cdef");

  ASSERT_TRUE(file->Seek(3));
  ASSERT_TRUE(file->SetEndOfFile());
  EXPECT_EQ(file->SeekToEnd(), 3);
  EXPECT_TRUE(file->Lock(0, 100));
  EXPECT_TRUE(file->Unlock(0, 100));
  EXPECT_TRUE(file->Flush());
}

TEST(ScratchFile, IsAlwaysCreatedAnew) {
  TempFolder root;
  ASSERT_TRUE(std::filesystem::exists(root.host()));
  {
    auto first = plat::CreateScratchFile(root / "j.tmp");
    first->Write("old", 3);
  }
  auto second = plat::CreateScratchFile(root / "j.tmp");
  EXPECT_EQ(second->SeekToEnd(), 0);
}

TEST(ScratchFile, ThatCannotBeCreatedFailsEveryOperation) {
  TempFolder root;
  auto file = plat::CreateScratchFile(root / "missing\\folder\\lexo.tmp");
  EXPECT_FALSE(file->IsOpen());
  char byte = 0;
  EXPECT_EQ(file->Write("x", 1), 0u);
  EXPECT_EQ(file->Read(&byte, 1), 0u);
  EXPECT_EQ(file->SeekToEnd(), -1);
  EXPECT_FALSE(file->Seek(0));
  EXPECT_FALSE(file->SetEndOfFile());
}

}  // namespace
