#include <benchmark/benchmark.h>

#include <string>

#include "window/value_readers.h"

namespace {

// A typical object line of a description file.
const char* kObjectLine =
    "\"BUTTON\",\"OK_BTN\",{12, 240, 96, 262},\"Interf\\\\ok.bmp\",0x00FFC0A0,1001,OK_BTN,7";

void BM_ReadObjectLine(benchmark::State& state) {
  std::string type, name, bitmap, word;
  plat::Rect rect;
  std::uint32_t colour = 0;
  std::int32_t action = 0, extra = 0;
  for (auto _ : state) {
    const char* p = kObjectLine;
    p = lexo::NextField(lexo::ReadQuoted(p, &type, 31));
    p = lexo::NextField(lexo::ReadQuoted(p, &name, 63));
    p = lexo::NextField(lexo::ReadRect(p, &rect));
    p = lexo::NextField(lexo::ReadQuoted(p, &bitmap, 255));
    p = lexo::NextField(lexo::ReadHex(p, &colour));
    p = lexo::NextField(lexo::ReadLong(p, &action));
    p = lexo::NextField(lexo::ReadWord(p, &word, 63));
    lexo::ReadInt(p, &extra);
    benchmark::DoNotOptimize(extra);
  }
}
BENCHMARK(BM_ReadObjectLine);

void BM_SkipFields(benchmark::State& state) {
  for (auto _ : state) {
    int fields = 0;
    for (const char* p = kObjectLine; p; p = lexo::SkipField(p)) ++fields;
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_SkipFields);

}  // namespace
