#include "plat/runtime.h"

#include <gtest/gtest.h>

#include "plat/resource.h"
#include "plat/stream.h"
#include "support/temp_folder.h"

namespace {

TEST(Random, FollowsTheClassicSequenceInItsRange) {
  plat::SeedRandom(1);
  // The first values of the classic generator seeded with 1.
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int value : expected) EXPECT_EQ(plat::Random(), value);
  plat::SeedRandom(12345);
  for (int i = 0; i < 10000; ++i) {
    int value = plat::Random();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, plat::kRandomMax);
  }
}

TEST(Clock, VirtualClockMovesOnlyWhenTold) {
  plat::UseVirtualClock(true);
  std::uint32_t start = plat::TickCount();
  EXPECT_EQ(plat::TickCount(), start);
  plat::AdvanceVirtualClock(500);
  EXPECT_EQ(plat::TickCount(), start + 500);
  plat::AdvanceVirtualClock(0xFFFFFFFFu);  // wraps at 32 bits
  EXPECT_EQ(plat::TickCount(), start + 499);
  plat::UseVirtualClock(false);
  EXPECT_FALSE(plat::IsVirtualClock());
}

TEST(SingleInstance, SecondCopyIsRefusedUntilTheFirstEnds) {
  auto first = plat::SingleInstanceLock::Acquire("test-instance");
  ASSERT_TRUE(first.has_value());
  EXPECT_FALSE(plat::SingleInstanceLock::Acquire("test-instance").has_value());
  EXPECT_TRUE(plat::SingleInstanceLock::Acquire("other-instance").has_value());
  first.reset();
  EXPECT_TRUE(plat::SingleInstanceLock::Acquire("test-instance").has_value());
}

TEST(Resources, AreFilesByNameOrNumberAndMissingOnesAreEmpty) {
  lexo::testing::TempFolder folder;
  ::setenv("LEXO_RESOURCE_DIR", folder.host().c_str(), 1);
  ASSERT_TRUE(plat::WriteWholeFile(folder / "MainCap.bmp", "BM"));
  ASSERT_TRUE(plat::WriteWholeFile(folder / "163.wav", "RIFF"));
  EXPECT_EQ(plat::LoadResource("?maincap", plat::ResourceKind::Bitmap).size(), 2u);
  EXPECT_EQ(plat::LoadResource(163, plat::ResourceKind::Wave).size(), 4u);
  EXPECT_TRUE(plat::LoadResource("?bk_titul", plat::ResourceKind::Bitmap).empty());
  EXPECT_TRUE(plat::LoadResource("?..\\x", plat::ResourceKind::Bitmap).empty());
  EXPECT_FALSE(plat::FindResource(182, plat::ResourceKind::Cursor).has_value());
  ::unsetenv("LEXO_RESOURCE_DIR");
}

}  // namespace
