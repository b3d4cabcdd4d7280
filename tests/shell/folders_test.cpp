#include "shell/folders.h"

#include <gtest/gtest.h>

#include "plat/path.h"
#include "plat/stream.h"
#include "shell/disk.h"
#include "shell/settings.h"
#include "support/temp_folder.h"

namespace {

using namespace lexo;
using lexo::testing::TempFolder;
using lexo::testing::TempSettings;

TEST(Folders, StartUpPutsEverythingInTheProgramFolder) {
  SetFolders(Instance{}, "");
  ResetDescriptionFiles();
  EXPECT_EQ(ProgramDir(), plat::ExecutableFolder());
  EXPECT_EQ(DiskDir(), ProgramDir());
  EXPECT_EQ(DiskDataDir(), ProgramDir());
  EXPECT_EQ(DiskDescriptionFile(), ProgramDir() + "datanew.txt");
  EXPECT_EQ(InProgramDir(""), ProgramDir());  // an empty name is the folder itself
  EXPECT_EQ(OnDisk("lexo.m14"), ProgramDir() + "lexo.m14");
}

TEST(Folders, DiskFolderBringsItsDataFolderAndDescriptionFile) {
  SetFolders(Instance{}, "");
  ResetDescriptionFiles();
  SetDiskFolder("\\media\\cd\\");
  EXPECT_EQ(DiskDir(), "\\media\\cd\\");
  EXPECT_EQ(DiskDataDir(), "\\media\\cd\\Data\\");
  EXPECT_EQ(InDiskData("Interf\\bk_find.bmp"), "\\media\\cd\\Data\\Interf\\bk_find.bmp");
  EXPECT_EQ(DiskDescriptionFile(), "\\media\\cd\\datanew.txt");
  EXPECT_EQ(ProgramDescriptionFile(), ProgramDir() + "datanew.txt");
  SetFolders(std::nullopt, "", "\\data\\");
  EXPECT_EQ(DiskDataDir(), "\\data\\");
}

// Folders near and past the path limit: joins never overflow and long folders hold nothing.
TEST(Folders, LongFoldersGiveNotFoundInsteadOfOverflowing) {
  TempSettings settings;
  TempFolder root;
  const std::size_t base = root.path().size();
  for (std::size_t length :
       {base + 2, std::size_t{255}, std::size_t{259}, std::size_t{260}, std::size_t{400}}) {
    SCOPED_TRACE(length);
    std::string folder = root.path() + std::string(length - base - 1, 'x') + "\\";

    SetFolders(Instance{}, folder);
    EXPECT_EQ(OnDisk("disk1.id"), folder + "disk1.id");
    SetDiskFolder(folder);
    EXPECT_EQ(DiskDataDir(), folder + "Data\\");

    plat::Profile("LX.ini").WriteString("LEXOVIEW", "CDDir1", folder);
    DiskRequest request{1, folder};
    bool fits = folder.size() + 8 <= plat::kMaxPath;
    if (fits) {
      ASSERT_TRUE(plat::CreateFolder(folder));
      ASSERT_TRUE(plat::WriteWholeFile(folder + "disk1.id", ""));
    }
    EXPECT_EQ(LocateDisk(request), fits ? 1 : 0);
  }
}

}  // namespace
