// Every query the statistics windows send, run on the demo databases through the library.
#include <gtest/gtest.h>

#include <set>

#include "plat/stream.h"

#include "stats/agon_library.h"
#include "support/temp_folder.h"

namespace agon::testing {
namespace {

using Texts = std::vector<std::optional<std::string>>;

class DemoDatabase : public ::testing::Test {
 protected:
  void Open(const char* file) {
    ASSERT_TRUE(agon.IsLoaded());
    ASSERT_EQ(agon.Open(agon::testing::DemoDatabase(file)), std::nullopt) << file;
  }
  // The table file as UTF-8 text.
  std::string Table() const {
    auto bytes = plat::ReadWholeFile(table);
    return bytes ? Utf8(*bytes) : "<no file>";
  }

  AgonLibrary agon;
  lexo::testing::TempFolder folder;
  std::string table = folder / "agST.itt";
};

struct GamesQuery {
  const char* database;
  const char* sql;
  const char* column;
  Texts expected;
};

class GamesListQuery : public DemoDatabase, public ::testing::WithParamInterface<GamesQuery> {};

TEST_P(GamesListQuery, FillsTheComboItems) {
  const auto& query = GetParam();
  Open(query.database);
  EXPECT_EQ(agon.Count(query.sql), static_cast<int>(query.expected.size()));
  // An empty result stops the refill chain: GetList fails and fills nothing.
  auto texts = agon.List(query.sql, query.column);
  if (query.expected.empty()) {
    EXPECT_EQ(texts, std::nullopt);
  } else {
    EXPECT_EQ(texts, query.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refills, GamesListQuery,
    ::testing::Values(
        GamesQuery{"summer.db",
                   "select distinct Agon from Agoniada where idAgon = 22",
                   "Agon",
                   {"XXII ЛЕТНИЕ АГОНИАДЫ (Москва, 1980)"}},
        GamesQuery{"winter.db",
                   "select distinct Agon from Agoniada where idAgon = 18",
                   "Agon",
                   {"XVIII ЗИМНИЕ АГОНИАДЫ (Нагано, 1998)"}},
        GamesQuery{"summer.db",
                   "select distinct vid from chemp where idAgon = 22",
                   "vid",
                   {"Лёгкая атлетика", "Футбол", "Медальный зачёт"}},
        GamesQuery{"winter.db",
                   "select distinct vid from chemp where idAgon = 1",
                   "vid",
                   {"Фигурное катание", "Хоккей"}},
        GamesQuery{"summer.db",
                   "select distinct disciplina from chemp where idAgon = 22 and vid=\"Лёгкая "
                   "атлетика\"",
                   "disciplina",
                   {"Бег 100 м", "Эстафета 4х100 м", "Марафон"}},
        GamesQuery{"winter.db",
                   "select distinct disciplina from chemp where idAgon = 15 and vid=\"Хоккей\"",
                   "disciplina",
                   {"0"}},
        GamesQuery{"summer.db",
                   "select distinct disciplina from chemp where idAgon = 22 and vid=\"Плавание\"",
                   "disciplina",
                   {}}));

TEST_F(DemoDatabase, EditionsListEveryGamesInOrderAndNameTheSeason) {
  Open("summer.db");
  auto summer = agon.List("select distinct Agon from Agoniada", "Agon");
  ASSERT_TRUE(summer);
  ASSERT_EQ(summer->size(), 23u);
  EXPECT_EQ(summer->front(), "I ЛЕТНИЕ АГОНИАДЫ (Афины, 1896)");
  EXPECT_EQ(summer->back(), "XXVI ЛЕТНИЕ АГОНИАДЫ (Атланта, 1996)");
  for (const auto& name : *summer) EXPECT_EQ(name->find(" ЗИМНИЕ АГОН"), std::string::npos);
  // Every edition has at least one kind of sport to choose.
  auto editions = agon.Array("select distinct idAgon from Agoniada", "idAgon");
  ASSERT_TRUE(editions);
  for (int id : *editions) {
    EXPECT_GT(agon.Count("select distinct vid from chemp where idAgon = " + std::to_string(id)), 0)
        << id;
  }

  agon.Close();
  Open("winter.db");
  auto winter = agon.List("select distinct Agon from Agoniada", "Agon");
  ASSERT_TRUE(winter);
  ASSERT_EQ(winter->size(), 18u);
  EXPECT_EQ(winter->front(), "I ЗИМНИЕ АГОНИАДЫ (Шамони, 1924)");
  for (const auto& name : *winter) EXPECT_NE(name->find(" ЗИМНИЕ АГОН"), std::string::npos);
}

TEST_F(DemoDatabase, EditionsOfACountryGoThroughTheirNumbers) {
  Open("summer.db");
  auto countries = agon.List("select distinct countries from chemp", "countries");
  ASSERT_TRUE(countries);
  std::set<std::optional<std::string>> distinct(countries->begin(), countries->end());
  EXPECT_EQ(distinct.size(), countries->size());
  EXPECT_TRUE(distinct.count("Намибия"));

  auto numbers =
      agon.Array("select distinct idAgon from chemp where countries = \"Намибия\"", "idAgon");
  EXPECT_EQ(numbers, (std::vector<int>{25, 26}));
  auto number = agon.Array(
      "select distinct idAgon from Agoniada where Agon = \"XXV ЛЕТНИЕ АГОНИАДЫ "
      "(Барселона, 1992)\"",
      "idAgon");
  EXPECT_EQ(number, std::vector<int>{25});

  ASSERT_EQ(
      agon.WriteGames(table, "select * from chemp where countries =\"Намибия\" and idAgon=26"), 1);
  EXPECT_EQ(Table(), "Лёгкая атлетика;Бег 100 м;2;Фрэнки Фредерикс;Намибия;9,89 с;\r\n");
}

struct SexQuery {
  const char* database;
  int edition;
  const char* vid;
  const char* discipline;  // null when the discipline box is disabled
  int mixed, men, women;
};

class SexChoices : public DemoDatabase, public ::testing::WithParamInterface<SexQuery> {};

TEST_P(SexChoices, CountRecordsPerSex) {
  const auto& query = GetParam();
  Open(query.database);
  std::string base = "select * from chemp where idAgon = " + std::to_string(query.edition) +
                     " and vid=\"" + query.vid + "\"";
  if (query.discipline) base += std::string(" and disciplina =\"") + query.discipline + "\"";
  EXPECT_EQ(agon.Count(base + " and pol = 0"), query.mixed);
  EXPECT_EQ(agon.Count(base + " and pol = 1"), query.men);
  EXPECT_EQ(agon.Count(base + " and pol = -1"), query.women);
}

INSTANTIATE_TEST_SUITE_P(
    Events, SexChoices,
    ::testing::Values(SexQuery{"summer.db", 22, "Лёгкая атлетика", "Бег 100 м", 0, 3, 3},
                      SexQuery{"summer.db", 22, "Медальный зачёт", nullptr, 12, 0, 0},
                      SexQuery{"summer.db", 26, "Футбол", nullptr, 0, 3, 3},
                      SexQuery{"summer.db", 20, "Футбол", nullptr, 0, 4, 0},
                      SexQuery{"winter.db", 18, "Фигурное катание", "Парное катание", 3, 0, 0},
                      SexQuery{"winter.db", 18, "Горнолыжный спорт", "Скоростной спуск", 0, 3, 3}));

struct TableQuery {
  const char* database;
  const char* sql;
  const char* expected;  // UTF-8; the file holds it in code page 1251
};

class GamesTable : public DemoDatabase, public ::testing::WithParamInterface<TableQuery> {};

TEST_P(GamesTable, IsWrittenLineForLine) {
  Open(GetParam().database);
  ASSERT_EQ(agon.WriteGames(table, GetParam().sql), 1);
  EXPECT_EQ(Table(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Results, GamesTable,
    ::testing::Values(
        TableQuery{"summer.db",
                   "select * from chemp where idAgon =22 and vid = \"Лёгкая атлетика\" and "
                   "disciplina  = \"Бег 100 м\" and pol=1",
                   "Лёгкая атлетика;Бег 100 м;1;Аллан Уэллс;Великобритания;10,25 с;\r\n"
                   "Лёгкая атлетика;Бег 100 м;2;Сильвио Леонард;Куба;;\r\n"
                   "Лёгкая атлетика;Бег 100 м;3;Петр Петров;Болгария;;\r\n"},
        TableQuery{"summer.db",
                   "select * from chemp where idAgon =23 and vid = \"Лёгкая атлетика\" and "
                   "disciplina  = \"Эстафета 4х100 м\" and pol=1",
                   "Лёгкая атлетика;Эстафета 4х100 м;1;Сэм Грэдди;США;37,83 с;\r\n"
                   ";;; Рон Браун;;;\r\n"
                   ";;; Кэлвин Смит;;;\r\n"
                   ";;; Карл Льюис;;;\r\n"
                   "Лёгкая атлетика;Эстафета 4х100 м;2;Ямайка;Ямайка;;\r\n"
                   "Лёгкая атлетика;Эстафета 4х100 м;3;Канада;Канада;;\r\n"},
        TableQuery{"summer.db",
                   "select * from chemp where idAgon =20 and vid = \"Футбол\" and pol=1",
                   "Футбол;;1;Польша;Польша;;\r\n"
                   "Футбол;;2;Венгрия;Венгрия;;\r\n"
                   "Футбол;;3;ГДР;ГДР;;\r\n"
                   "Футбол;;3;СССР;СССР;;\r\n"},
        TableQuery{"winter.db",
                   "select * from chemp where idAgon =18 and vid = \"Медальный зачёт\"",
                   "Медальный зачёт;;1;Германия;Германия;12-9-8;\r\n"
                   "Медальный зачёт;;2;Норвегия;Норвегия;10-10-5;\r\n"
                   "Медальный зачёт;;3;Россия;Россия;9-6-3;\r\n"
                   "Медальный зачёт;;4;Канада;Канада;6-5-4;\r\n"
                   "Медальный зачёт;;5;США;США;6-3-4;\r\n"
                   "Медальный зачёт;;6;Нидерланды;Нидерланды;5-4-2;\r\n"
                   "Медальный зачёт;;7;Япония;Япония;5-1-4;\r\n"
                   "Медальный зачёт;;8;Австрия;Австрия;3-5-9;\r\n"
                   "Медальный зачёт;;9;Южная Корея;Южная Корея;3-1-2;\r\n"
                   "Медальный зачёт;;10;Италия;Италия;2-6-2;\r\n"},
        TableQuery{"winter.db",
                   "select * from chemp where idAgon =18 and vid = \"Фигурное катание\" and "
                   "disciplina  = \"Парное катание\"",
                   "Фигурное катание;Парное катание;1;Оксана Казакова;Россия;;\r\n"
                   ";;; Артур Дмитриев;;;\r\n"
                   "Фигурное катание;Парное катание;2;Елена Бережная;Россия;;\r\n"
                   ";;; Антон Сихарулидзе;;;\r\n"
                   "Фигурное катание;Парное катание;3;Манди Вётцель;Германия;;\r\n"
                   ";;; Инго Штойер;;;\r\n"}));

TEST_F(DemoDatabase, TeamsAndYearsOfTheChampionships) {
  Open("wfc.db");
  auto teams = agon.List("select distinct com1 from All_country", "com1");
  ASSERT_TRUE(teams);
  EXPECT_EQ(teams->size(), 40u);
  EXPECT_EQ(teams->front(), "Австрия");
  // Page 0 finds the years of a team from its single-match rows: every listed team has some.
  for (const auto& team : *teams) {
    EXPECT_GT(agon.Count("select distinct year from football where com1=\"" + *team +
                         "\" or com2=\"" + *team + "\""),
              0)
        << *team;
  }
  EXPECT_EQ(agon.List("select distinct year from football where com1=\"Хорватия\" or "
                      "com2=\"Хорватия\"",
                      "year"),
            Texts{"1998,Франция"});

  auto years = agon.List("select distinct year from football", "year");
  ASSERT_TRUE(years);
  EXPECT_EQ(years->size(), 16u);
  EXPECT_EQ(years->front(), "1930,Уругвай");
  EXPECT_EQ(years->back(), "1998,Франция");

  EXPECT_EQ(agon.List("select distinct group from football where year=\"1994,США\"", "group"),
            (Texts{"Группа A", "Группа B", "Группа C", "Группа D", "Группа E", "Группа F",
                   "1/8 финала", "1/4 финала", "1/2 финала", "Матч за 3-е место", "Финал"}));
}

TEST_F(DemoDatabase, AGroupTableWalksItsParallelLists) {
  Open("wfc.db");
  ASSERT_EQ(agon.WriteFootball(
                table, "select * from football where (group='Группа A' and year='1998,Франция')"),
            1);
  EXPECT_EQ(Table(),
            "1998;Группа A;Бразилия;Шотландия;2:1;\r\n"
            ";;Марокко;Норвегия;2:2;\r\n"
            ";;Шотландия;Норвегия;1:1;\r\n"
            ";;Бразилия;Марокко;3:0;\r\n"
            ";;Шотландия;Марокко;0:3;\r\n"
            ";;Бразилия;Норвегия;1:2;\r\n");
}

TEST_F(DemoDatabase, ATeamTableHoldsItsMatchesAndTheGroupsItHeads) {
  Open("wfc.db");
  ASSERT_EQ(agon.WriteFootball(table,
                               "select * from football where year=\"1998,Франция\" and (com1 "
                               "like 'Бразилия*' or com2 like 'Бразилия*')"),
            1);
  EXPECT_EQ(Table(),
            "1998;Группа A;Бразилия;Шотландия;2:1;\r\n"
            ";;Марокко;Норвегия;2:2;\r\n"
            ";;Шотландия;Норвегия;1:1;\r\n"
            ";;Бразилия;Марокко;3:0;\r\n"
            ";;Шотландия;Марокко;0:3;\r\n"
            ";;Бразилия;Норвегия;1:2;\r\n"
            "1998;1/8 финала;Бразилия;Чили;4:1;\r\n"
            "1998;1/4 финала;Бразилия;Дания;3:2;\r\n"
            "1998;1/2 финала;Бразилия;Нидерланды;1:1 (пен. 4:2);\r\n"
            "1998;Финал;Бразилия;Франция;0:3;\r\n");
}

TEST_F(DemoDatabase, AChampionshipWithoutMatchesOfATeamWritesAnEmptyTable) {
  Open("wfc.db");
  ASSERT_EQ(agon.WriteFootball(table,
                               "select * from football where year=\"1930,Уругвай\" and (com1 "
                               "like 'Хорватия*' or com2 like 'Хорватия*')"),
            1);
  EXPECT_EQ(Table(), "");
}

}  // namespace
}  // namespace agon::testing
