// Title runtime on an encyclopedia-sized title generated from the Russian dictionary's word
// list: compile throughput, word-wheel look-ups, and queries against bare index matches of the
// same terms on the same database. LEXO_BENCH_TOPICS sets the topic count (default 100000);
// the generated title is kept in the temporary folder between runs.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "morph/fold.h"
#include "morph/morph.h"
#include "mv/compiler.h"
#include "mv/text_fold.h"
#include "mv/title.h"
#include "mv/title_file.h"

namespace {

constexpr int kWordsPerTopic = 300;

std::vector<std::string> DictionaryWords() {
  std::vector<std::string> words;
  std::ifstream in("/usr/share/hunspell/ru_RU.dic");
  std::string line;
  std::getline(in, line);  // count
  while (std::getline(in, line)) {
    std::string word = line.substr(0, line.find('/'));
    bool lower = !word.empty();
    for (std::size_t pos = 0; pos < word.size() && lower;) {
      char32_t c = morph::NextCharacter(word, pos);
      lower = (c >= 0x0430 && c <= 0x044F) || c == 0x0451;
    }
    if (lower) words.push_back(word);
  }
  if (words.empty()) {
    for (int i = 0; i < 1000; ++i) words.push_back("слово" + std::to_string(i));
  }
  return words;
}

const std::vector<std::string>& Words() {
  static std::vector<std::string> words = DictionaryWords();
  return words;
}

// Topics of Zipf-distributed words; topic i's title and key are two rare words and its number.
std::string GenerateSource(int topics, int firstTopic) {
  const auto& words = Words();
  std::mt19937 random(static_cast<unsigned>(firstTopic) * 7919u + 17u);
  std::vector<double> weights(words.size());
  for (std::size_t r = 0; r < words.size(); ++r) weights[r] = 1.0 / (static_cast<double>(r) + 20.0);
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  std::uniform_int_distribution<std::size_t> rare(0, words.size() - 1);
  std::string out = "@wordwheel |a\n@list all = all\n";
  out.reserve(static_cast<std::size_t>(topics) * kWordsPerTopic * 16);
  for (int t = firstTopic; t < firstTopic + topics; ++t) {
    std::string title = words[rare(random)] + " " + words[rare(random)] + " " + std::to_string(t);
    out += "@topic t" + std::to_string(t) + "\ntitle: " + title + "\nkey |a: " + title +
           "\nheading:\n" + title + "\nbody:\n";
    for (int w = 0; w < kWordsPerTopic; ++w) {
      out += words[pick(random)];
      out += (w % 15 == 14) ? ".\n" : " ";
      if (w % 60 == 59) out += "\n";
    }
    out += "\n@end\n";
  }
  return out;
}

int TopicCount() {
  if (const char* env = std::getenv("LEXO_BENCH_TOPICS")) return std::max(100, std::atoi(env));
  return 100000;
}

struct Fixture {
  std::string path;
  std::shared_ptr<mv::Title> title;
  std::shared_ptr<mv::WordWheel> wheel;
  sqlite3* bare = nullptr;
  double sourceMegabytes = 0;
};

Fixture& Shared() {
  static Fixture fixture = [] {
    Fixture f;
    int topics = TopicCount();
    auto folder = std::filesystem::temp_directory_path() / "lexo_mv_bench";
    std::filesystem::create_directories(folder);
    f.path = (folder / ("title_" + std::to_string(topics) + ".m14")).string();
    if (!std::filesystem::exists(f.path)) {
      std::string source = GenerateSource(topics, 0);
      f.sourceMegabytes = static_cast<double>(source.size()) / 1e6;
      std::vector<mv::compiler::Diagnostic> diagnostics;
      if (!mv::compiler::CompileTitleText(source, "bench.mvs", folder.string(), f.path, {},
                                          diagnostics)) {
        std::fprintf(stderr, "bench title does not build\n");
        std::abort();
      }
    }
    f.title = mv::Title::Open(f.path);
    f.wheel = f.title ? f.title->wordWheel("|a") : nullptr;
    sqlite3_open_v2(("file:" + f.path + "?mode=ro&immutable=1").c_str(), &f.bare,
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    mv::title_file::RegisterExtensions(f.bare);
    return f;
  }();
  return fixture;
}

// Terms by frequency rank in the generator's distribution.
std::string Word(std::size_t rank) {
  return Words()[std::min(rank, Words().size() - 1)];
}

void BM_CompileThroughput(benchmark::State& state) {
  std::string source = GenerateSource(static_cast<int>(state.range(0)), 1000000);
  auto folder = std::filesystem::temp_directory_path() /
                ("lexo_mv_bench_compile_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    std::vector<mv::compiler::Diagnostic> diagnostics;
    bool ok = mv::compiler::CompileTitleText(source, "c.mvs", folder.string(),
                                             (folder / "c.m14").string(), {}, diagnostics);
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(source.size()));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CompileThroughput)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_WordWheelPrefix(benchmark::State& state) {
  auto& f = Shared();
  std::mt19937 random(1);
  std::vector<std::string> probes;
  for (int i = 0; i < 256; ++i) {
    probes.push_back(mv::ToCp1251(Word(random() % Words().size()).substr(0, 6)));
  }
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(f.wheel->prefix(probes[i++ & 255]));
  state.counters["entries"] = f.wheel->length();
}
BENCHMARK(BM_WordWheelPrefix);

void BM_WordWheelLookup(benchmark::State& state) {
  auto& f = Shared();
  std::mt19937 random(2);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        f.wheel->entry(static_cast<std::int32_t>(random() % f.wheel->length())));
}
BENCHMARK(BM_WordWheelLookup);

struct QueryCase {
  std::string text;  // UTF-8, our query language
  bool morph;
  std::string bare;  // the equivalent bare index expression
};

QueryCase Case(int which) {
  std::string a = morph::FoldWord(Word(300));
  std::string b = morph::FoldWord(Word(200));
  switch (which) {
    case 0:
      return {a, false, "\"" + a + "\""};
    case 1:
      return {a + " " + b, false, "\"" + a + "\" AND \"" + b + "\""};
    case 2:
      return {a.substr(0, 8) + "*", false, "\"" + a.substr(0, 8) + "\"*"};
    default: {
      std::string match;
      for (const auto& key : morph::IndexKeys(a))
        match += (match.empty() ? "\"" : " OR \"") + key + "\"";
      return {a, true, match};
    }
  }
}

// With highlights the query also hands out its highlight block, as the viewer's call does.
void BM_Query(benchmark::State& state) {
  auto& f = Shared();
  auto c = Case(static_cast<int>(state.range(0)));
  bool highlights = state.range(1) != 0;
  mv::Query query{mv::ToCp1251(c.text), false, 0, c.morph};
  std::size_t hits = 0;
  for (auto _ : state) {
    auto result = f.title->query(query, nullptr, highlights, {}, nullptr);
    hits = result ? result->topics.size() : 0;
    if (result && highlights) mv::GlobalRelease(result->highlights.toBlock());
    benchmark::DoNotOptimize(result);
  }
  state.counters["topics"] = static_cast<double>(hits);
  state.SetLabel(c.text + (highlights ? " +highlights" : ""));
}
BENCHMARK(BM_Query)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

// The hits of one found topic, worked out when an article with highlights is shown: the topic in
// the middle of the hit list, from a fresh highlight set every time.
void BM_TopicHighlights(benchmark::State& state) {
  auto& f = Shared();
  auto c = Case(static_cast<int>(state.range(0)));
  mv::Query query{mv::ToCp1251(c.text), false, 0, c.morph};
  auto result = f.title->query(query, nullptr, false, {}, nullptr);
  auto translated = mv::TranslateQuery(query, nullptr);
  if (!result || !translated) {
    state.SkipWithError("no hits");
    return;
  }
  auto topic = result->topics.at(static_cast<std::int64_t>(result->topics.size() / 2));
  std::size_t hits = 0;
  for (auto _ : state) {
    mv::LazyHighlights lazy(f.title, *translated, mv::TopicList::FromSorted({topic}));
    hits = lazy.inTopic(topic).hits.size();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetLabel(c.text);
}
BENCHMARK(BM_TopicHighlights)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Every hit of every found topic: what each query paid before hits were worked out when read.
void BM_AllHighlights(benchmark::State& state) {
  auto& f = Shared();
  auto c = Case(static_cast<int>(state.range(0)));
  mv::Query query{mv::ToCp1251(c.text), false, 0, c.morph};
  auto result = f.title->query(query, nullptr, false, {}, nullptr);
  auto translated = mv::TranslateQuery(query, nullptr);
  if (!result || !translated) {
    state.SkipWithError("no hits");
    return;
  }
  std::size_t hits = 0;
  for (auto _ : state) {
    mv::LazyHighlights lazy(f.title, *translated, result->topics);
    hits = lazy.all().hits.size();
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetLabel(c.text);
}
BENCHMARK(BM_AllHighlights)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BareIndexMatch(benchmark::State& state) {
  auto& f = Shared();
  auto c = Case(static_cast<int>(state.range(0)));
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(f.bare, "SELECT rowid FROM topic_fts WHERE topic_fts MATCH ?1 ORDER BY rowid",
                     -1, &statement, nullptr);
  std::size_t hits = 0;
  for (auto _ : state) {
    sqlite3_bind_text(statement, 1, c.bare.c_str(), -1, SQLITE_STATIC);
    std::vector<std::int64_t> rows;
    while (sqlite3_step(statement) == SQLITE_ROW)
      rows.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_reset(statement);
    hits = rows.size();
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_finalize(statement);
  state.counters["topics"] = static_cast<double>(hits);
  state.SetLabel(c.text);
}
BENCHMARK(BM_BareIndexMatch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
