#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixture.h"
#include "mv/compat.h"
#include "mv/fuzz/title_fuzz.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Damaged copies of a real title: header fields, page starts, the middle of the file, cut
// short and bytes sprayed over a range. Each either opens as nothing or answers sanely.
TEST(CorruptionTest, DamagedTitlesNeverCrash) {
  std::string original = ReadAll(mvtest::LexoTitle());
  ASSERT_GT(original.size(), 8192u);
  auto folder = mvtest::TempFolder("corrupt");
  struct Damage {
    const char* name;
    std::size_t offset;
    std::size_t length;  // bytes overwritten; 0 = truncate at offset
    unsigned char value;
  };
  std::vector<Damage> damages = {
      {"magic", 0, 16, 0x41},          {"page size", 16, 2, 0xFF},
      {"application id", 68, 4, 0x00}, {"user version", 60, 4, 0x07},
      {"truncated header", 50, 0, 0},  {"truncated half", original.size() / 2, 0, 0},
  };
  for (std::size_t page = 0; page * 4096 < original.size(); ++page) {
    damages.push_back({"page header", page * 4096 + (page == 0 ? 100 : 0), 12, 0xFF});
    damages.push_back(
        {"page body", page * 4096 + 1000, 200, static_cast<unsigned char>(page * 37)});
  }
  int opened = 0;
  for (const auto& d : damages) {
    std::string bytes = original;
    if (d.length == 0) {
      bytes.resize(d.offset);
    } else {
      for (std::size_t i = d.offset; i < d.offset + d.length && i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(d.value ^ (i & 0x0F));
      }
    }
    auto path = (folder / "damaged.m14").string();
    mvtest::WriteFile(path, bytes);
    SCOPED_TRACE(std::string(d.name) + " at " + std::to_string(d.offset));
    mvtest::fuzz::Exercise(path);
    HMVTITLE title = hMVTitleOpen(path.c_str());
    opened += title != 0;
    MVTitleClose(title);
  }
  // Damage to the header must be caught at open time.
  SUCCEED() << opened << " of " << damages.size() << " damaged copies opened";
}

}  // namespace
