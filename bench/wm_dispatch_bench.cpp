// Message throughput of the window manager and the cost of repainting a window tree.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "plat/headless.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/window.h"

namespace {

using namespace plat;

constexpr std::uint32_t kWork = msg::kUser + 1;

Answer Counting(Window w, std::uint32_t code, FirstParam a, SecondParam b) {
  static std::uint64_t counted = 0;
  if (code == kWork) return static_cast<Answer>(++counted);
  return DefaultProcedure(w, code, a, b);
}

Window Setup(Size screen) {
  headless::Start(screen);
  WindowClassInfo parameters;
  parameters.name = "BenchWindow";
  parameters.background = Brush::Solid(0x00C0C0C0);
  parameters.procedure = &Counting;
  RegisterWindowClass(parameters);
  parameters.name = "BenchChild";
  parameters.background = Brush::Solid(0x00806040);
  RegisterWindowClass(parameters);
  WindowCreateInfo create;
  create.className = "BenchWindow";
  create.style = window_style::kPopup | window_style::kVisible;
  create.frame = {0, 0, screen.width, screen.height};
  Window top = CreateWindow(create);
  headless::RunPending();
  return top;
}

void BM_Send(benchmark::State& state) {
  Window w = Setup({320, 240});
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(w, kWork, 1, 2));
  state.SetItemsProcessed(state.iterations());
  headless::Stop();
}
BENCHMARK(BM_Send);

void BM_PostNextDispatch(benchmark::State& state) {
  Window w = Setup({320, 240});
  Message m;
  for (auto _ : state) {
    PostMessage(w, kWork, 1, 2);
    NextMessage(m, true);
    benchmark::DoNotOptimize(Dispatch(m));
  }
  state.SetItemsProcessed(state.iterations());
  headless::Stop();
}
BENCHMARK(BM_PostNextDispatch);

// A full-screen window with a grid of children, each with two children of its own, all
// repainted through the paint and erase protocol. The counter compares it with filling the
// same pixels once.
void BM_RepaintWindowTree(benchmark::State& state) {
  const Size screen{800, 600};
  Window top = Setup(screen);
  WindowCreateInfo create;
  create.className = "BenchChild";
  create.style = window_style::kChild | window_style::kVisible | window_style::kClipChildren;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      create.parent = top;
      create.frame = {column * 200 + 10, row * 150 + 10, column * 200 + 190, row * 150 + 140};
      Window child = CreateWindow(create);
      create.parent = child;
      for (int k = 0; k < 2; ++k) {
        create.frame = {10 + k * 85, 10, 90 + k * 85, 120};
        CreateWindow(create);
      }
    }
  }
  headless::RunPending();

  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(screen.width) * screen.height);
  auto fillStart = std::chrono::steady_clock::now();
  constexpr int kFills = 200;
  for (int i = 0; i < kFills; ++i) {
    std::fill(pixels.begin(), pixels.end(), 0x00C0C0C0u + static_cast<std::uint32_t>(i));
    benchmark::DoNotOptimize(pixels.data());
  }
  double fill =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count() / kFills;

  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    Invalidate(top, nullptr, true);
    headless::RunPending();
  }
  double repaint = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                   static_cast<double>(state.iterations());
  state.counters["vs_plain_fill"] = repaint / fill;
  state.SetItemsProcessed(state.iterations() * screen.width * screen.height);
  headless::Stop();
}
BENCHMARK(BM_RepaintWindowTree)->Unit(benchmark::kMicrosecond);

}  // namespace
