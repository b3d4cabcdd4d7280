// The fuzz inputs in a fixed pseudo-random sample, so that every test run covers them: query
// texts assembled from the words the viewer uses, and demo database files with bytes spoilt.
#include <gtest/gtest.h>

#include <random>

#include "plat/stream.h"
#include "stats/agon_fuzz.h"
#include "support/temp_folder.h"

namespace agon::testing {
namespace {

const char* const kWords[] = {
    "select",      "distinct",  "*",     "from",       "where",      "and",        "or",
    "like",        "group",     "by",    "order",      "chemp",      "Agoniada",   "football",
    "All_country", "idAgon",    "Agon",  "vid",        "disciplina", "pol",        "mesto",
    "name",        "countries", "year",  "com1",       "=",          "<>",         "(",
    ")",           ",",         ";",     "\"",         "'",          "[",          "]",
    "*",           "?",         "#",     "%",          "_",          "\\",         "1",
    "-1",          "40000",     "1e999", "\"Хоккей\"", "'Бра*'",     "\"A\"\"B\"", "'C''D'",
    "null",        "not",       "in",    "union",      "join",       "limit",      "0"};

std::string RandomQuery(std::mt19937& random) {
  std::uniform_int_distribution<int> length(0, 14);
  std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
  std::string sql = random() % 4 == 0 ? "" : "select * from chemp where ";
  for (int n = length(random); n > 0; --n) {
    sql += kWords[word(random)];
    sql += random() % 3 == 0 ? "" : " ";
  }
  return Cp(sql);
}

class AgonFuzz : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(agon.IsLoaded()); }
  AgonLibrary agon;
  lexo::testing::TempFolder folder;
};

TEST_F(AgonFuzz, RandomQueryTextsNeverHurt) {
  std::mt19937 random(20240611);
  for (int i = 0; i < 3000; ++i) {
    RunFuzzInput(agon, std::string(1, '\0') + RandomQuery(random), folder.path(), folder.host());
  }
  // The database is still there and answers.
  ASSERT_EQ(agon.Open(DemoDatabase("summer.db")), std::nullopt);
  EXPECT_EQ(agon.Count("select * from Agoniada"), 23);
}

TEST_F(AgonFuzz, SpoiltDatabaseFilesNeverHurt) {
  auto original = plat::ReadWholeFile(DemoDatabase("wfc.db"));
  ASSERT_TRUE(original);
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    std::string bytes = *original;
    if (i % 10 == 0) bytes.resize(random() % bytes.size());
    for (int flips = 1 + static_cast<int>(random() % 16); flips > 0 && !bytes.empty(); --flips) {
      bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    RunFuzzInput(agon, "\x01" + bytes, folder.path(), folder.host());
  }
  RunFuzzInput(agon, "\x01", folder.path(), folder.host());
}

}  // namespace
}  // namespace agon::testing
