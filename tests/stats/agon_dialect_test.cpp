// The viewer's SQL dialect on SQLite: literals, wildcards, reserved words and case.
#include <gtest/gtest.h>

#include "stats/agon/jet_sql.h"
#include "stats/agon_library.h"
#include "support/temp_folder.h"

namespace agon::testing {
namespace {

struct Translation {
  const char* jet;
  std::optional<std::string> sqlite;
};

class JetTranslation : public ::testing::TestWithParam<Translation> {};

TEST_P(JetTranslation, RewritesOnlyWhatSQLiteReadsDifferently) {
  EXPECT_EQ(TranslateJetSql(Cp(GetParam().jet)),
            GetParam().sqlite ? std::optional(Cp(*GetParam().sqlite)) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JetTranslation,
    ::testing::Values(
        Translation{"select * from chemp where vid=\"Хоккей\"",
                    "select * from chemp where vid='Хоккей'"},
        Translation{"where a = \"it's\" and b = \"say \"\"hi\"\"\"",
                    "where a = 'it''s' and b = 'say \"hi\"'"},
        Translation{"where a = 'it''s'", "where a = 'it''s'"},
        Translation{"select distinct group from football where year=\"1998\"",
                    "select distinct \"group\" from football where year='1998'"},
        Translation{"select * from football where (group='A' and year='1998')",
                    "select * from football where (\"group\"='A' and year='1998')"},
        Translation{"select vid from chemp group by vid order  by vid",
                    "select vid from chemp group by vid order  by vid"},
        Translation{"select [group], [my col] from t", "select \"group\", \"my col\" from t"},
        Translation{"where com1 like 'Бра*' or com2 LIKE \"?разилия\"",
                    "where com1 like 'Бра%' escape '\\' or com2 LIKE '_разилия' escape '\\'"},
        Translation{"where a like '100%_\\[*]'", "where a like '100\\%\\_\\\\*' escape '\\'"},
        Translation{"where a like 'Кот-д''Ивуар*'", "where a like 'Кот-д''Ивуар%' escape '\\'"},
        Translation{"where a = 'x*?'", "where a = 'x*?'"},
        Translation{"where a = \"open", std::nullopt}, Translation{"where [a = 1", std::nullopt},
        Translation{"where a like '#'", std::nullopt},
        Translation{"where a like '[a-z]'", std::nullopt},
        Translation{"where a like '[!a]'", std::nullopt}));

// Queries on a small database whose texts differ in case, quotes and wildcards.
class Dialect : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(agon.IsLoaded());
    MakeDatabase(folder.host() + "/dialect.db",
                 std::string(kPasswordTable) + std::string(kGamesSchema) +
                     std::string(kFootballSchema) +
                     "insert into chemp(vid, name, countries) values"
                     " ('Хоккей', 'name', 'США'), ('хоккей', 'vid', 'сша'),"
                     " ('ХОККЕЙ', 'Ёлкин', 'USA'), ('Бег', 'Елкин', 'C\"D'),"
                     " ('Бег', '50% и *', 'Кот-д''Ивуар');"
                     "insert into football(year, \"group\", com1, com2, score) values"
                     " ('1998,Франция', 'Финал', 'Бразилия', 'Франция', '0:3'),"
                     " ('1998,Франция', 'Группа A', 'A''B,Марокко', 'C\"D,Норвегия', '1:0,2:2');");
    ASSERT_EQ(agon.Open(folder / "dialect.db"), std::nullopt);
  }

  AgonLibrary agon;
  lexo::testing::TempFolder folder;
};

struct Counted {
  const char* sql;
  int count;
};

class DialectCount : public Dialect, public ::testing::WithParamInterface<Counted> {};

TEST_P(DialectCount, MatchesAsTheOriginalEngineDid) {
  EXPECT_EQ(agon.Count(GetParam().sql), GetParam().count) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Comparisons, DialectCount,
    ::testing::Values(
        // A double-quoted text is a literal even when it names a column.
        Counted{"select * from chemp where name = \"name\"", 1},
        Counted{"select * from chemp where name = \"vid\"", 1},
        // Letter case is ignored for Cyrillic and Latin alike; е and ё stay different.
        Counted{"select * from chemp where vid = \"хоККей\"", 3},
        Counted{"select * from chemp where countries = \"сША\"", 2},
        Counted{"select * from chemp where countries = \"usa\"", 1},
        Counted{"select * from chemp where name = \"ёлкин\"", 1},
        Counted{"select distinct vid from chemp", 2},
        // Wildcards of the dialect, folded as well; % and _ of the text are plain characters.
        Counted{"select * from chemp where vid like 'хок*'", 3},
        Counted{"select * from chemp where name like '?лкин'", 2},
        Counted{"select * from chemp where name like '*%*'", 1},
        Counted{"select * from chemp where name like '50[%] и [*]'", 1},
        Counted{"select * from chemp where name like 'n_me'", 0},
        // Quotes inside texts, doubled by the caller.
        Counted{"select * from chemp where countries = 'Кот-д''Ивуар'", 1},
        Counted{"select * from chemp where countries = \"C\"\"D\"", 1},
        Counted{"select distinct group from football where year=\"1998,франция\"", 2},
        Counted{"select * from football where (group='группа a' and year='1998,Франция')", 1},
        Counted{"select * from football where year=\"1998,Франция\" and (com1 like 'A''B*' or "
                "com2 like 'A''B*')",
                1},
        Counted{"select * from football where year=\"1998,Франция\" and (com1 like 'C\"D*' or "
                "com2 like 'C\"D*')",
                1}));

TEST_F(Dialect, ReservedWordColumnsComeBackUnderTheirName) {
  EXPECT_EQ(agon.List("select distinct group from football where year=\"1998,Франция\"", "group"),
            (std::vector<std::optional<std::string>>{"Финал", "Группа A"}));
}

}  // namespace
}  // namespace agon::testing
