// The two table writers, byte for byte on small fixtures, and how they fail.
#include <dirent.h>
#include <gtest/gtest.h>

#include "plat/message_box.h"
#include "plat/stream.h"
#include "stats/agon_library.h"
#include "support/temp_folder.h"

namespace agon::testing {
namespace {

class TableWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(agon.IsLoaded());
    plat::ClearRecordedMessages();
  }

  void OpenWith(std::string_view rows) {
    MakeDatabase(folder.host() + "/tables.db",
                 std::string(kPasswordTable) + std::string(kGamesSchema) +
                     std::string(kFootballSchema) + std::string(rows));
    ASSERT_EQ(agon.Open(folder / "tables.db"), std::nullopt);
  }

  // The bytes of the table file, turned to UTF-8.
  std::string Table() const {
    auto bytes = plat::ReadWholeFile(table);
    return bytes ? Utf8(*bytes) : "<no file>";
  }

  AgonLibrary agon;
  lexo::testing::TempFolder folder;
  std::string table = folder / "agST.itt";
};

struct GamesRow {
  const char* values;  // SQL values of (vid, disciplina, mesto, name, countries, result)
  const char* lines;
};

class GamesRows : public TableWriter, public ::testing::WithParamInterface<GamesRow> {};

TEST_P(GamesRows, BecomeTheirLines) {
  OpenWith(std::string("insert into chemp(vid, disciplina, mesto, name, countries, result) "
                       "values (") +
           GetParam().values + ");");
  ASSERT_EQ(agon.WriteGames(table, "select * from chemp"), 1);
  EXPECT_EQ(Table(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Records, GamesRows,
    ::testing::Values(
        GamesRow{"'Бег', '100 м', 1.0, 'Иванов', 'СССР', '10,12 с'",
                 "Бег;100 м;1;Иванов;СССР;10,12 с;\r\n"},
        // Places are truncated and written in decimal, ten and beyond too.
        GamesRow{"'a', 'b', 0.0, 'n', 'c', 'r'", "a;b;0;n;c;r;\r\n"},
        GamesRow{"'a', 'b', 9.0, 'n', 'c', 'r'", "a;b;9;n;c;r;\r\n"},
        GamesRow{"'a', 'b', 10.0, 'n', 'c', 'r'", "a;b;10;n;c;r;\r\n"},
        GamesRow{"'a', 'b', 23.0, 'n', 'c', 'r'", "a;b;23;n;c;r;\r\n"},
        GamesRow{"'a', 'b', -1.0, 'n', 'c', 'r'", "a;b;-1;n;c;r;\r\n"},
        GamesRow{"'a', 'b', 3.7, 'n', 'c', 'r'", "a;b;3;n;c;r;\r\n"},
        // A place that is not floating point, or a text that is not a text, is left empty.
        GamesRow{"'a', 'b', 'first', 'n', 'c', 'r'", "a;b;;n;c;r;\r\n"},
        GamesRow{"'a', '0', null, x'35', null, x'41'", "a;;;;;;\r\n"},
        GamesRow{"null, null, null, null, null, null", ";;;;;;\r\n"},
        GamesRow{"'', '', '', '', '', ''", ";;;;;;\r\n"},
        // Each name of a list gets a line; only the first carries the other fields.
        GamesRow{"'Эстафета', '0', 2.0, 'Иванов, Петров', 'СССР', '38,2'",
                 "Эстафета;;2;Иванов;СССР;38,2;\r\n;;; Петров;;;\r\n"},
        GamesRow{"'a', 'b', 1.0, 'x,y,', 'c', 'r'", "a;b;1;x;c;r;\r\n;;;y;;;\r\n;;;;;;\r\n"}));

struct FootballRow {
  const char* values;  // SQL values of (year, group, score, com1, complement1, com2, complement2)
  const char* lines;
};

class FootballRows : public TableWriter, public ::testing::WithParamInterface<FootballRow> {};

TEST_P(FootballRows, WalkTheirListsInParallel) {
  OpenWith(std::string("insert into football values (") + GetParam().values + ");");
  ASSERT_EQ(agon.WriteFootball(table, "select * from football"), 1);
  EXPECT_EQ(Table(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Records, FootballRows,
    ::testing::Values(
        FootballRow{"'1998,Франция', 'Финал', '0:3', 'Бразилия', 'x', 'Франция', 'y'",
                    "1998;Финал;Бразилия;Франция;0:3;\r\n"},
        // More scores than groups: the extra lines have an empty group.
        FootballRow{"'1998', 'Группа A', '2:1,2:2,1:1', 'Бразилия,Марокко,Шотландия', "
                    "'a,b,c,d,e', 'Шотландия,Норвегия,Норвегия', ''",
                    "1998;Группа A;Бразилия;Шотландия;2:1;\r\n"
                    ";;Марокко;Норвегия;2:2;\r\n"
                    ";;Шотландия;Норвегия;1:1;\r\n"},
        // Complements are walked but never lengthen the table.
        FootballRow{"'1990', 'g', 's', 'a', 'c1,c2,c3', 'b', 'd1,d2'", "1990;g;a;b;s;\r\n"},
        FootballRow{"'1994', 'g', '1:0', 'a,b', '', 'c', ''", "1994;g;a;c;1:0;\r\n;;b;;;\r\n"},
        FootballRow{"null, null, null, null, null, null, null", ";;;;;\r\n"},
        FootballRow{"x'31', x'32', x'33', x'34', x'35', x'36', x'37'", ";;;;;\r\n"}));

TEST_F(TableWriter, LongValuesAreCutNeverOverflow) {
  std::string name(12000, 'n');
  std::string scores;
  for (int i = 0; i < 400; ++i) scores += "12:0,";  // 2000 characters
  std::string teams(2000, 't');
  OpenWith("insert into chemp(vid, mesto, name) values ('v', 1.0, '" + name + "');" +
           "insert into football values ('1998', 'g', '" + scores + "', '" + teams +
           "', '', 'b', '');");

  ASSERT_EQ(agon.WriteGames(table, "select * from chemp"), 1);
  std::string games = Table();
  EXPECT_EQ(games, "v;;1;" + name.substr(0, 10000 - 5) + "\r\n");

  ASSERT_EQ(agon.WriteFootball(table, "select * from football"), 1);
  auto lines = Table();
  // A list value is read into 1024 bytes: 204 scores and the start of one more fit.
  std::string expected = ("1998;g;" + teams).substr(0, 1000) + "\r\n";
  for (int i = 1; i < 204; ++i) expected += ";;;;12:0;\r\n";
  expected += ";;;;12:;\r\n";
  EXPECT_EQ(lines, expected);
}

TEST_F(TableWriter, AnEmptyResultLeavesAnEmptyTable) {
  OpenWith("");
  ASSERT_TRUE(plat::WriteWholeFile(table, "old table\r\n"));
  EXPECT_EQ(agon.WriteGames(table, "select * from chemp"), 1);
  EXPECT_EQ(Table(), "");
}

TEST_F(TableWriter, AFileThatCannotBeOpenedIsShownInAMessageBox) {
  OpenWith("insert into chemp(vid) values ('a');");
  auto path = folder / "no such folder\\agST.itt";
  EXPECT_EQ(agon.WriteGames(path, "select * from chemp"), 0);
  EXPECT_EQ(agon.WriteFootball(path, "select * from football"), 0);
  ASSERT_EQ(plat::RecordedMessages().size(), 2u);
  EXPECT_EQ(plat::RecordedMessages()[0].text, path);
  EXPECT_EQ(plat::RecordedMessages()[0].caption, "Can't open file for writing.....");
}

TEST_F(TableWriter, FailedWritesAreFailures) {
  OpenWith("insert into chemp(vid) values ('a');");
  EXPECT_EQ(agon.WriteGames("/dev/full", "select * from chemp"), 0);
  EXPECT_EQ(agon.WriteFootball("/dev/full", "select * from football"), 1);  // nothing to write
  EXPECT_TRUE(plat::RecordedMessages().empty());
}

TEST_F(TableWriter, ARecordsetFailingPartwayIsAFailure) {
  OpenWith("insert into chemp(vid, mesto) values ('a', 1.0), ('b', 2.0);");
  EXPECT_EQ(agon.WriteGames(table,
                            "select * from chemp where case when mesto = 2 then "
                            "abs(-9223372036854775807 - 1) else 1 end"),
            0);
  EXPECT_EQ(Table(), "a;;1;;;;\r\n");
}

int OpenFileCount() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir)) ++count;
    ::closedir(dir);
  }
  return count;
}

TEST_F(TableWriter, QueryErrorsLoseNoFiles) {
  OpenWith("");
  int before = OpenFileCount();
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(agon.WriteGames(table, "select * from nowhere"), 0);
    ASSERT_EQ(agon.WriteFootball(table, "select * from nowhere"), 0);
  }
  EXPECT_EQ(OpenFileCount(), before);
}

}  // namespace
}  // namespace agon::testing
