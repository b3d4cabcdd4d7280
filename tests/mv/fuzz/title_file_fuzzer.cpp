// libFuzzer entry: the shared test title damaged by an edit recipe (see Damage), then opened
// and read through every data call.
//   ./mv_file_fuzzer -max_total_time=60
#include <cstdlib>
#include <iterator>

#include "mv/fixture.h"
#include "mv/fuzz/title_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::string seed = [] {
    std::ifstream in(mvtest::LexoTitle(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }();
  static std::filesystem::path folder = mvtest::TempFolder("title_fuzz");
  mvtest::fuzz::OpenDamagedTitle(seed, std::span(data, size), folder);
  return 0;
}
