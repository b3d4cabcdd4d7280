#include "shell/settings.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

using namespace lexo;

TEST(Settings, DefaultsWithoutAFile) {
  lexo::testing::TempSettings folder;
  Settings settings;
  struct Case {
    IntegerSetting setting;
    int expected;
  };
  const Case cases[] = {{kSetPlayIntro, 1}, {kSetSaveCoord, 0},          {kSetSaveCoordMedia, 1},
                        {kSetAutoClose, 0}, {kSetSaveSettingsOnExit, 1}, {kAutoOpenFind, 1},
                        {kSetFontSize, 1}};
  for (const auto& c : cases) EXPECT_EQ(settings.Read(c.setting), c.expected) << c.setting.key;
  EXPECT_EQ(settings.Read(kFirstTopic), "56900");
  EXPECT_EQ(settings.Read(kFirstTopicLow), "0");
  EXPECT_EQ(settings.RecallRootDir(), "");
  EXPECT_EQ(Settings::PositionKey("xFindDialog"), "PosxFindDialog");
  EXPECT_EQ(Settings::PositionText(12, 340), "12,340");
  EXPECT_EQ(Settings::DiskFolderKey(2), "CDDir2");
}

TEST(Settings, ExitRestoreWritesTheStartUpFlagsOnlyWhenSavingIsOff) {
  lexo::testing::TempSettings folder;
  Settings settings;
  settings.WriteFlag(kSetPlayIntro, false);
  settings.Write(kSetFontSize, 2);
  unsigned startup = settings.ReadExitFlags();  // intro off, the rest defaults

  // The reader changes options during the run, then switches saving off.
  settings.WriteFlag(kSetPlayIntro, true);
  settings.WriteFlag(kSetAutoClose, true);
  settings.Write(kSetFontSize, 0);
  settings.WriteFlag(kSetSaveSettingsOnExit, false);
  settings.RestoreAtExit(startup);

  EXPECT_EQ(settings.Read(kSetPlayIntro), 0);
  EXPECT_EQ(settings.Read(kSetAutoClose), 0);
  EXPECT_EQ(settings.Read(kSetSaveSettingsOnExit), 1);
  EXPECT_EQ(settings.Read(kSetSaveCoordMedia), 1);
  EXPECT_EQ(settings.Read(kSetFontSize), 0);  // not restored
  EXPECT_EQ(settings.profile().ReadString(kSettingsSection, "SetAutoClose"), "0");

  // With saving on, nothing is written back.
  settings.WriteFlag(kSetAutoClose, true);
  settings.RestoreAtExit(0);
  EXPECT_EQ(settings.Read(kSetAutoClose), 1);
}

}  // namespace
