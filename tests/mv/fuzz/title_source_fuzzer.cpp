// libFuzzer entry: bytes compiled as a title source.
//   ./mv_source_fuzzer -max_total_time=60
#include <cstdlib>

#include "mv/fuzz/title_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "mv-source-XXXXXX").string();
    return std::filesystem::path(::mkdtemp(pattern.data()));
  }();
  mvtest::fuzz::CompileSource(std::string_view(reinterpret_cast<const char*>(data), size), folder);
  return 0;
}
