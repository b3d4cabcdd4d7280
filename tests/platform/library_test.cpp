#include "plat/library.h"

#include <gtest/gtest.h>

#include "plat/path.h"

namespace {

// The test stand-in of the history-list library is built beside the test programs.
TEST(Library, DllNamesFindTheProjectsSharedLibraryInAnyCase) {
  for (const char* name : {"JrnlLib.dll", "JRNLLIB.DLL", "jrnllib.dll"}) {
    auto library = plat::Library::Load(name);
    ASSERT_TRUE(library.IsLoaded()) << name;
    EXPECT_NE(library.Find<void()>("UndoItemDll"), nullptr);
    EXPECT_EQ(library.Symbol("NoSuchExport"), nullptr);
  }
  auto byPath = plat::Library::Load(plat::ExecutableFolder() + "JRNLLIB.DLL");
  EXPECT_TRUE(byPath.IsLoaded());
}

TEST(Library, MissingLibrariesAreANormalResult) {
  for (const char* name : {"NoSuchLib.dll", "\\no\\such\\folder\\AGON.DLL", ""}) {
    auto library = plat::Library::Load(name);
    EXPECT_FALSE(library.IsLoaded()) << name;
    EXPECT_EQ(library.Symbol("AddItemDll"), nullptr);
  }
}

TEST(Library, MovesAndFreesOnce) {
  auto first = plat::Library::Load("JrnlLib.dll");
  plat::Library second = std::move(first);
  EXPECT_FALSE(first.IsLoaded());
  EXPECT_TRUE(second.IsLoaded());
  second.Free();
  second.Free();
  EXPECT_FALSE(second.IsLoaded());
}

}  // namespace
