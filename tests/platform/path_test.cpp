#include "plat/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "plat/cp1251.h"
#include "plat/stream.h"
#include "support/temp_folder.h"

namespace {

using lexo::testing::TempFolder;
using namespace plat::cp1251::literals;
using namespace std::string_literals;

TEST(Path, ComponentsMatchWithoutRegardToCase) {
  TempFolder root;
  std::filesystem::create_directories(root.host() + "/Data/Interf/Скины");
  ASSERT_TRUE(plat::WriteWholeFile(root / "Data\\Interf\\X.BMP", "bmp"));
  ASSERT_TRUE(plat::WriteWholeFile(
      root.path() + "Data\\Interf\\"s + std::string("Скины"_cp) + "\\Кнопка.bmp"_cp.data(), "k"));

  struct Case {
    std::string relative;
    bool exists;
  };
  const Case cases[] = {
      {"Data\\Interf\\X.BMP", true},
      {"data\\interf\\x.bmp", true},
      {"DATA/INTERF/x.Bmp", true},
      {"data\\\\interf\\.\\x.bmp", true},
      {std::string("data\\interf\\") + std::string("СКИНЫ\\кнопка.BMP"_cp), true},
      {"data\\interf\\y.bmp", false},
      {"data\\x.bmp", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::FileExists(root / c.relative), c.exists) << c.relative;
  }
  EXPECT_EQ(plat::ResolvePath(root / "data\\interf\\x.bmp"), root.host() + "/Data/Interf/X.BMP");
  // A missing last component keeps its spelling, so files can be created through it.
  EXPECT_EQ(plat::ResolvePath(root / "data\\New.txt"), root.host() + "/Data/New.txt");
  EXPECT_TRUE(plat::FolderExists(root / "DATA\\"));
}

TEST(Path, OverlongPathsNameNoFile) {
  TempFolder root;
  std::string longName(300, 'a');
  EXPECT_EQ(plat::ResolvePath(root.path() + longName), std::nullopt);
  EXPECT_EQ(plat::ResolvePath(""), std::nullopt);
  EXPECT_FALSE(plat::FileExists(root.path() + longName));
  EXPECT_EQ(plat::Stream::Open(root.path() + longName, plat::StreamMode::WriteBinary), nullptr);
}

TEST(Path, FoldersOfTheProgram) {
  std::string exe = plat::ExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.find('/'), std::string::npos);
  EXPECT_EQ(plat::ExecutableFolder(), exe.substr(0, exe.rfind('\\') + 1));
  EXPECT_EQ(plat::TempFolder().back(), '\\');
  EXPECT_TRUE(plat::FileExists(exe));
}

TEST(Path, NameAndFolderParts) {
  EXPECT_EQ(plat::FileNameOf("a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(plat::FolderOf("a\\b\\c.txt"), "a\\b\\");
  EXPECT_EQ(plat::FileNameOf("c.txt"), "c.txt");
  EXPECT_EQ(plat::FolderOf("c.txt"), "");
}

TEST(Path, CopyReplacesTheTarget) {
  TempFolder root;
  ASSERT_TRUE(plat::WriteWholeFile(root / "a.jpg", "new"));
  ASSERT_TRUE(plat::WriteWholeFile(root / "b.jpg", "old content"));
  EXPECT_TRUE(plat::CopyFileReplacing(root / "A.JPG", root / "b.jpg"));
  EXPECT_EQ(plat::ReadWholeFile(root / "b.jpg"), "new");
  EXPECT_FALSE(plat::CopyFileReplacing(root / "missing.jpg", root / "c.jpg"));
}

TEST(Path, CurrentFolderChangesAndComesBack) {
  TempFolder root;
  std::string before = plat::CurrentFolder();
  ASSERT_TRUE(plat::SetCurrentFolder(root.path()));
  EXPECT_EQ(plat::ResolvePath(plat::CurrentFolder()), plat::ResolvePath(root.path()));
  ASSERT_TRUE(plat::SetCurrentFolder(before));
}

}  // namespace
