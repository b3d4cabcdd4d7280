#include "shell/disk.h"

#include <gtest/gtest.h>

#include "plat/stream.h"
#include "shell/folders.h"
#include "shell/settings.h"
#include "support/temp_folder.h"

namespace {

using namespace lexo;
using lexo::testing::TempFolder;
using lexo::testing::TempSettings;

class LocateDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFolders(Instance{}, "");
    ResetDescriptionFiles();
  }

  // A folder holding the given disk markers.
  std::string MakeDisk(const std::string& name, const std::vector<int>& disks) {
    std::string folder = root_ / (name + "\\");
    plat::CreateFolder(folder);
    for (int disk : disks) plat::WriteWholeFile(DiskMarkerPath(folder, disk), "");
    return folder;
  }
  void Store(int key, const std::string& folder) {
    plat::Profile("LX.ini").WriteString("LEXOVIEW", Settings::DiskFolderKey(key), folder);
  }
  std::string Stored(int key) {
    return plat::Profile("LX.ini").ReadString("LEXOVIEW", Settings::DiskFolderKey(key));
  }

  TempSettings settings_;
  TempFolder root_;
};

TEST_F(LocateDiskTest, CandidateFolderFirst) {
  std::string cd = MakeDisk("cd", {1});
  DiskRequest request{1, cd};
  EXPECT_EQ(LocateDisk(request), 1);
  EXPECT_EQ(Stored(1), cd);
  EXPECT_EQ(DiskDir(), cd);
  EXPECT_EQ(DiskDataDir(), cd + "Data\\");
}

TEST_F(LocateDiskTest, StoredFoldersInOrderAndTheRightKeyRemembered) {
  struct Case {
    const char* name;
    int disk;
    std::vector<std::pair<int, std::vector<int>>> stored;  // key, markers there
    int found;
    int storedUnder;  // key written, or 0
    int foundIn;      // key whose folder became the disk
  };
  const Case cases[] = {
      {"own key first", 2, {{2, {2}}, {1, {2}}}, 1, 2, 2},
      {"other keys in order", 2, {{5, {2}}, {3, {2}}}, 1, 2, 3},
      {"any disk, only disk 2 present", 9, {{4, {2, 9}}}, 1, 2, 4},
      {"any disk, disk 1 present", 9, {{6, {1, 9}}}, 1, 1, 6},
      {"marker of another disk", 1, {{1, {2}}}, 0, 0, 0},
      {"nothing stored", 1, {}, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int key = 1; key <= 8; ++key) Store(key, "");
    std::vector<std::string> folders(9);
    for (const auto& [key, markers] : c.stored) {
      folders[key] = MakeDisk(std::string(c.name) + std::to_string(key), markers);
      Store(key, folders[key]);
    }
    DiskRequest request{c.disk, ""};
    EXPECT_EQ(LocateDisk(request), c.found);
    if (c.found) {
      EXPECT_EQ(request.folder, folders[c.foundIn]);
      EXPECT_EQ(Stored(c.storedUnder), folders[c.foundIn]);
      EXPECT_EQ(DiskDir(), folders[c.foundIn]);
    }
  }
}

TEST_F(LocateDiskTest, LeadingBlanksOfAStoredFolderStillMatch) {
  std::string cd = MakeDisk("blank", {1});
  ASSERT_TRUE(plat::WriteWholeFile(settings_.folder() / "LX.ini",
                                   "[LEXOVIEW]\r\nCDDir3=   " + cd + "\r\n"));
  DiskRequest request{1, ""};
  EXPECT_EQ(LocateDisk(request), 1);
  EXPECT_EQ(DiskDir(), cd);
}

TEST_F(LocateDiskTest, FailureLeavesTheLastStoredFolderInTheRequest) {
  Store(8, root_ / "gone\\");
  DiskRequest request{1, root_ / "nothing\\"};
  EXPECT_EQ(LocateDisk(request), 0);
  EXPECT_EQ(request.folder, root_ / "gone\\");
  EXPECT_EQ(Stored(8), root_ / "gone\\");  // kept until another folder is found
}

TEST_F(LocateDiskTest, CurrentDiskCheck) {
  std::string cd = MakeDisk("cd", {2});
  SetDiskFolder(cd);
  EXPECT_TRUE(CurrentDiskPresent(2));
  EXPECT_FALSE(CurrentDiskPresent(1));
  plat::DeleteFile(DiskMarkerPath(cd, 2));
  EXPECT_FALSE(CurrentDiskPresent(2));
}

}  // namespace

namespace {

TEST_F(LocateDiskTest, ACandidateWithLeadingBlanksBecomesAUsableDiskFolder) {
  std::string cd = MakeDisk("typed", {2});
  DiskRequest request{2, "  " + cd};
  EXPECT_EQ(LocateDisk(request), 1);
  EXPECT_EQ(DiskDir(), cd);
  EXPECT_EQ(Stored(2), cd);
}

}  // namespace
