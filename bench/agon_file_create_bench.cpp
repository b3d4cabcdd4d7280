// The statistics library writing result tables from the demo databases, loaded as the viewer
// loads it. Rows per second counts database records written.
#include <benchmark/benchmark.h>

#include <string>

#include "plat/cp1251.h"
#include "plat/library.h"
#include "plat/path.h"
#include "stats/agon/agon.h"

namespace {

struct Agon {
  plat::Library library = plat::Library::Load("AGON.DLL");
  agon::OpenDatabaseFunction* open = library.Find<agon::OpenDatabaseFunction>("OpenDatabase");
  agon::CloseDatabaseFunction* close = library.Find<agon::CloseDatabaseFunction>("CloseDatabase");
  agon::GetQueryLenghtFunction* count =
      library.Find<agon::GetQueryLenghtFunction>("GetQueryLenght");
  agon::FileCreateFunction* games = library.Find<agon::FileCreateFunction>("FileCreate");
  agon::FileCreateFunction* football = library.Find<agon::FileCreateFunction>("FileCreateFootball");
};

void WriteTable(benchmark::State& state, const char* database, bool isFootball, const char* sql) {
  Agon agon;
  if (!agon.open || !agon.games) return state.SkipWithError("libagon.so not found");
  try {
    agon.open((plat::ExecutableFolder() + "disk\\Data\\Stat\\" + database).c_str());
  } catch (const char*) {
    return state.SkipWithError("demo database missing");
  }
  std::string table = plat::TempFolder() + "agon-bench.itt";
  std::string query = plat::cp1251::FromUtf8(sql);
  int rows = agon.count(query.c_str());
  auto write = isFootball ? agon.football : agon.games;
  for (auto _ : state) {
    if (write(table.c_str(), query.c_str()) != 1) return state.SkipWithError("write failed");
  }
  state.counters["rows"] =
      benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  agon.close();
  plat::DeleteFile(table);
}

// Every placing of the winter games, the largest games table.
void BM_FileCreateAllWinterPlacings(benchmark::State& state) {
  WriteTable(state, "winter.db", false, "select * from chemp");
}
BENCHMARK(BM_FileCreateAllWinterPlacings);

// The viewer's by-games query with its Cyrillic comparisons.
void BM_FileCreateOneEvent(benchmark::State& state) {
  WriteTable(state, "winter.db", false,
             "select * from chemp where idAgon =18 and vid = \"ФИГУРНОЕ катание\" and "
             "disciplina  = \"Одиночное катание\" and pol=1");
}
BENCHMARK(BM_FileCreateOneEvent);

// Every match list of the championships, group lists walked in parallel.
void BM_FileCreateFootballAll(benchmark::State& state) {
  WriteTable(state, "wfc.db", true, "select * from football");
}
BENCHMARK(BM_FileCreateFootballAll);

// The by-team query: a LIKE over every row.
void BM_FileCreateFootballTeam(benchmark::State& state) {
  WriteTable(state, "wfc.db", true,
             "select * from football where year=\"1998,Франция\" and (com1 like 'бразилия*' or "
             "com2 like 'бразилия*')");
}
BENCHMARK(BM_FileCreateFootballTeam);

}  // namespace
