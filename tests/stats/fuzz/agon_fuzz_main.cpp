// libFuzzer entry: random query texts and random database bytes through the loaded library.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "stats/agon_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static agon::testing::AgonLibrary agon;
  static std::string hostFolder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "agon-fuzz-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  static std::string folder = plat::ToProgramPath(hostFolder) + "\\";
  if (!agon.IsLoaded()) std::abort();
  agon::testing::RunFuzzInput(agon, std::string_view(reinterpret_cast<const char*>(data), size),
                              folder, hostFolder);
  return 0;
}
