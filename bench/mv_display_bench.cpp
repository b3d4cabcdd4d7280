// Display engine: opening a 5,000-word article (address, layout, first paint) in an 800 x 600
// pane, its layout alone at magnifier 100 and 120, a full repaint, and one scroll step as the
// pane does it (move the pixels, paint the uncovered strip).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "mv/compat.h"
#include "mv/compat_display.h"
#include "mv/compiler.h"
#include "plat/bitmap.h"
#include "plat/canvas.h"
#include "plat/raster_op.h"

namespace {

constexpr int kWords = 5000;
constexpr plat::Rect kPane{0, 0, 800, 600};

std::string Word(std::mt19937& random) {
  static const char* const kSyllables[] = {"ка",   "ро",  "ми", "сто", "ле",  "на", "пре", "вод",
                                           "ский", "ние", "го", "ра",  "то",  "ли", "ва",  "зем",
                                           "ство", "по",  "ре", "де",  "гра", "мо", "сла", "ти"};
  std::uniform_int_distribution<int> count(1, 4);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kSyllables) - 1);
  std::string word;
  for (int n = count(random); n > 0; --n) word += kSyllables[pick(random)];
  return word;
}

// A long article: subheadings, justified paragraphs of about a hundred words with bold,
// italic and links, a tab table now and then.
std::string ArticleSource() {
  std::mt19937 random(2024);
  std::string body;
  int words = 0;
  int paragraph = 0;
  while (words < kWords) {
    if (paragraph % 6 == 0)
      body += "[h2 space=6,3]Раздел " + std::to_string(paragraph / 6 + 1) + "\n\n";
    body += "[body align=justify space=0,4]";
    for (int i = 0; i < 100 && words < kWords; ++i, ++words) {
      std::string w = Word(random);
      if (i % 37 == 5) w = "{jump other}" + w + "{/jump}";
      if (i % 23 == 7) w = "{b}" + w + "{/b}";
      if (i % 29 == 11) w = "{i}" + w + "{/i}";
      body += w;
      body += i % 13 == 12 ? ", " : " ";
    }
    body += ".\n\n";
    if (paragraph % 10 == 9)
      body += "[body tabs=200,400r]Год{tab}Число{tab}Доля{br}1990{tab}12 345{tab}4 %\n\n";
    ++paragraph;
  }
  return "@style h1 face=\"Times New Roman Cyr\" size=18 bold\n"
         "@style h2 face=\"Arial Cyr\" size=12 bold\n"
         "@style body face=\"Times New Roman Cyr\" size=11\n"
         "@topic long\ntitle: Статья\nheading:\n[h1]Длинная статья\nbody:\n" +
         body + "@end\n@topic other\ntitle: Другая\nbody:\nТекст.\n@end\n";
}

HMVTITLE Title() {
  static HMVTITLE title = [] {
    auto folder = std::filesystem::temp_directory_path() /
                  ("lexo_display_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string path = (folder / "long.m14").string();
    std::vector<mv::compiler::Diagnostic> diagnostics;
    if (!mv::compiler::CompileTitleText(ArticleSource(), "long.mvs", folder.string(), path, {},
                                        diagnostics)) {
      return HMVTITLE{0};
    }
    return hMVTitleOpen(path.c_str());
  }();
  return title;
}

struct Pane {
  LPMV display = lpMVNew(Title(), kMVRegionBody);
  plat::Bitmap pixels{kPane.Width(), kPane.Height()};
  plat::Canvas canvas = plat::Canvas::ForBitmap(pixels);
  std::int32_t va = vaMVConvertContextString(Title(), "long");
  ~Pane() { MVDelete(display); }
};

void BM_DisplayOpenArticle(benchmark::State& state) {
  Pane pane;
  if (!Title() || pane.va < 0) return state.SkipWithError("no title");
  for (auto _ : state) {
    fMVSetAddress(pane.display, pane.va, 1);
    fMVRealize(pane.display, &kPane);
    pane.pixels.Fill(0xFFFFFF);
    fMVApplyToDC(pane.display, &pane.canvas, &kPane);
  }
  state.counters["height"] = ptMVGetSize(pane.display).y;
}
BENCHMARK(BM_DisplayOpenArticle)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DisplayLayout(benchmark::State& state) {
  Pane pane;
  if (!Title() || pane.va < 0) return state.SkipWithError("no title");
  fMVSetMagnifier(pane.display, static_cast<int>(state.range(0)));
  fMVSetAddress(pane.display, pane.va, 1);
  for (auto _ : state) fMVRealize(pane.display, &kPane);
  state.counters["lines"] =
      static_cast<double>(mv::DisplayOfHandle(pane.display)->layout()->lines.size());
}
BENCHMARK(BM_DisplayLayout)
    ->Arg(100)
    ->Arg(120)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DisplayFullRepaint(benchmark::State& state) {
  Pane pane;
  if (!Title() || pane.va < 0) return state.SkipWithError("no title");
  fMVSetAddress(pane.display, pane.va, 1);
  fMVRealize(pane.display, &kPane);
  for (auto _ : state) {
    pane.pixels.Fill(0xFFFFFF);
    fMVApplyToDC(pane.display, &pane.canvas, &kPane);
  }
}
BENCHMARK(BM_DisplayFullRepaint)->Unit(benchmark::kMicrosecond);

void BM_DisplayScrollStep(benchmark::State& state) {
  Pane pane;
  if (!Title() || pane.va < 0) return state.SkipWithError("no title");
  fMVSetAddress(pane.display, pane.va, 1);
  fMVRealize(pane.display, &kPane);
  fMVApplyToDC(pane.display, &pane.canvas, &kPane);
  plat::Bitmap scratch(kPane.Width(), kPane.Height());
  plat::Canvas scratchCanvas = plat::Canvas::ForBitmap(scratch);
  for (auto _ : state) {
    std::int32_t before = yMVGetYScrollPos(pane.display);
    std::int32_t after = yMVScrollY(pane.display, 1, 0);
    if (after == before) after = yMVScrollY(pane.display, 6, 0);
    std::int32_t dy = after - before;
    // Move the pixels by the difference and paint the strip that was uncovered.
    scratchCanvas.Blit(kPane, pane.pixels, {0, 0}, plat::rop::kSourceCopy);
    pane.canvas.Blit(kPane, scratch, {0, dy}, plat::rop::kSourceCopy);
    plat::Rect strip = dy > 0 ? plat::Rect{0, kPane.bottom - dy, kPane.right, kPane.bottom}
                              : plat::Rect{0, 0, kPane.right, -dy};
    pane.canvas.FillRect(strip, plat::Brush::White());
    fMVApplyToDC(pane.display, &pane.canvas, &strip);
  }
}
BENCHMARK(BM_DisplayScrollStep)->Unit(benchmark::kMicrosecond);

}  // namespace
