// The library's contract at its boundary: opening, the calls without a database, engine errors
// and the sizes of what it hands back.
#include <gtest/gtest.h>

#include "plat/stream.h"
#include "stats/agon_library.h"
#include "support/temp_folder.h"

namespace agon::testing {
namespace {

class AgonInterface : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(agon.IsLoaded()); }

  // A games database with the given rows of chemp, and the file's program path.
  std::string MakeGames(const std::string& name, std::string_view rows,
                        std::string_view meta = kPasswordTable) {
    MakeDatabase(folder.host() + "/" + name,
                 std::string(meta) + std::string(kGamesSchema) + std::string(rows));
    return folder / name;
  }

  AgonLibrary agon;
  lexo::testing::TempFolder folder;
};

TEST_F(AgonInterface, ExportsTheSevenFunctionsByName) {
  for (const char* name : {"OpenDatabase", "CloseDatabase", "GetQueryLenght", "GetList", "GetArray",
                           "FileCreate", "FileCreateFootball"}) {
    EXPECT_NE(agon.Find<void()>(name), nullptr) << name;
  }
}

TEST_F(AgonInterface, FilesThatAreNoStatisticsDatabaseThrowCantOpen) {
  auto text = folder / "notes.db";
  ASSERT_TRUE(plat::WriteWholeFile(text, "SQLite format 3 but not really\n"));
  auto foreignPassword = MakeGames("foreign.db", "",
                                   "create table agon_meta(name text, value text);"
                                   "insert into agon_meta values ('password', 'abcd');");
  auto noPassword = MakeGames("bare.db", "", "");
  auto good = MakeGames("good.db", "insert into chemp(vid) values ('x');");

  for (const std::string& path :
       {folder / "missing.db", text, foreignPassword, noPassword, folder.path(), std::string()}) {
    // A good database is open before each failure: the failure leaves none current.
    ASSERT_EQ(agon.Open(good), std::nullopt);
    EXPECT_EQ(agon.Open(path), std::optional<std::string>("Can't open")) << path;
    EXPECT_EQ(agon.Count("select * from chemp"), 0) << path;
  }
  EXPECT_EQ(agon.Open(good), std::nullopt);
  EXPECT_EQ(agon.Count("select * from chemp"), 1);
}

TEST_F(AgonInterface, EveryCallWithoutADatabaseAnswersZeroAndTouchesNothing) {
  agon.Close();
  char buffer[kListBufferSize] = "untouched";
  char* buffers[] = {buffer};
  int values[] = {7};
  EXPECT_EQ(agon.Count("select 1"), 0);
  EXPECT_EQ(agon.Find<GetListFunction>("GetList")(buffers, "select 'a' as x", "x"), 0);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(agon.Find<GetArrayFunction>("GetArray")(values, "select 1 as x", "x"), 0);
  EXPECT_EQ(values[0], 7);
  auto table = folder / "agST.itt";
  EXPECT_EQ(agon.WriteGames(table, "select * from chemp"), 0);
  EXPECT_EQ(agon.WriteFootball(table, "select * from football"), 0);
  EXPECT_FALSE(plat::FileExists(table));
  agon.Close();
}

TEST_F(AgonInterface, ListTextsAreCutToTheViewersBuffers) {
  std::string longName(300, 'x');
  std::string cyrillic;
  for (int i = 0; i < 300; ++i) cyrillic += "Ж";
  auto path = MakeGames("long.db", "insert into chemp(mesto, name) values (1, '" + longName +
                                       "'), (2, '" + cyrillic +
                                       "'), (3, 'short'), (4, x'41'),"
                                       " (5, null);");
  ASSERT_EQ(agon.Open(path), std::nullopt);
  auto texts = agon.List("select name from chemp", "NAME");
  ASSERT_TRUE(texts);
  EXPECT_EQ(*texts, (std::vector<std::optional<std::string>>{std::string(255, 'x'),
                                                             cyrillic.substr(0, 255 * 2), "short",
                                                             std::nullopt, std::nullopt}));
}

TEST_F(AgonInterface, ArrayIntegersKeep32BitsAndTruncateFractions) {
  auto path = MakeGames("numbers.db",
                        "insert into chemp(mesto, idAgon) values (1, -1), (2, 32767), (3, 40000),"
                        " (4, 3.7), (5, -3.7), (6, 'text'), (7, null), (8, 4294967297),"
                        " (9, 1e300);");
  ASSERT_EQ(agon.Open(path), std::nullopt);
  EXPECT_EQ(agon.Array("select idAgon from chemp", "idAgon"),
            (std::vector<int>{-1, 32767, 40000, 3, -3, 0, 0, 1, 2147483647}));
}

TEST_F(AgonInterface, EmptyResultsCountZeroAndFillNothing) {
  ASSERT_EQ(agon.Open(MakeGames("empty.db", "")), std::nullopt);
  char buffer[kListBufferSize] = "untouched";
  char* buffers[] = {buffer};
  int values[] = {7};
  EXPECT_EQ(agon.Count("select * from chemp"), 0);
  EXPECT_EQ(agon.Find<GetListFunction>("GetList")(buffers, "select vid from chemp", "vid"), 0);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(agon.Find<GetArrayFunction>("GetArray")(values, "select idAgon from chemp", "idAgon"),
            0);
  EXPECT_EQ(values[0], 7);
}

class EngineError : public AgonInterface, public ::testing::WithParamInterface<const char*> {};

TEST_P(EngineError, GivesZeroFromEveryQueryFunction) {
  ASSERT_EQ(agon.Open(MakeGames("one.db",
                                "insert into chemp values (1, 'a', '0', 0, 1, 'n', "
                                "'c', 'r');")),
            std::nullopt);
  const char* sql = GetParam();
  auto table = folder / "agST.itt";
  EXPECT_EQ(agon.Count(sql), 0);
  EXPECT_EQ(agon.List(sql, "vid"), std::nullopt);
  EXPECT_EQ(agon.Array(sql, "vid"), std::nullopt);
  EXPECT_EQ(agon.WriteGames(table, sql), 0);
  EXPECT_EQ(agon.WriteFootball(table, sql), 0);
  // Nothing was changed by the text either.
  EXPECT_EQ(agon.Count("select * from chemp"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, EngineError,
    ::testing::Values("selec * from chemp", "select * from nothing", "select nothing from chemp",
                      "select * from chemp where vid = \"open", "select * from chemp where [vid",
                      "", "   ", "select * from chemp where vid like '#1'",
                      "select * from chemp where vid like 'a[!b]'", "delete from chemp",
                      "drop table chemp", "insert into chemp(vid) values ('b')",
                      "pragma table_info(chemp)", "attach database 'x.db' as x",
                      "select * from chemp; delete from chemp",
                      "with recursive n(k) as (select 1 union all select k + 1 from n) "
                      "select * from n, chemp",
                      "select * from chemp where abs(-9223372036854775807 - 1) > 0"));

}  // namespace
}  // namespace agon::testing
