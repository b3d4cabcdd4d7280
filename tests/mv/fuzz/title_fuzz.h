// Fuzz inputs for the title runtime: bytes compiled as a title source, and valid titles damaged
// by an edit recipe, each read back through every data call. Shared by the libFuzzer targets and
// the fixed random sample that every build runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mv/compat.h"
#include "mv/compiler.h"
#include "mv/dump.h"
#include "mv/mvtext.h"
#include "mv/title.h"

namespace mvtest::fuzz {

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every data call on a title file; only the absence of crashes and sane answers matter.
inline void Exercise(const std::string& path) {
  HMVTITLE title = hMVTitleOpen(path.c_str());
  if (!title) return;
  char buffer[256];
  lMVTitleGetInfo(title, 1, 0, buffer);
  lMVTitleGetInfo(title, 102, 0, buffer);
  for (int n = 0; n < 8; ++n) vaMVConvertAddr(title, addrMVConvertTopicNumber(title, n) + 3);
  addrMVConvertContextString(title, "topic_moscow");
  addrMVConvertContextString(title, "moscow_hist");
  HMVWW wheel = hMVWordWheelOpenTitle(title, "|a");
  for (int i = 0; i < lMVWordWheelLength(wheel) && i < 16; ++i)
    nMVWordWheelLookup(wheel, i, buffer, 255);
  lMVWordWheelPrefix(wheel, "m");
  std::int32_t addrs[4];
  if (nMVKeyIndexGetCount(wheel, "x") >= 0) lMVKeyIndexGetAddrs(wheel, "x", 0, 4, addrs);
  MVERR error;
  MVGroupFree(MVWordWheelSearch(wheel, "mos* ", 0, &error));
  MVWordWheelClose(wheel);
  MVTopicListDestroy(hMVTopicListLoad(title, "all"));
  MVHGLOBAL highlights = nullptr;
  HMVTL hits = hMVTopicListFromQuery(title, 1, "a b* NEAR c OR \xEC\xEE\xF1\xEA\xE2\xE0", 0, 3,
                                     &highlights, &error);
  // Highlights are worked out when read: read them, per topic and all.
  lMVTopicHighlightCount(highlights);
  addrMVTopicHighlightAddress(highlights, 1);
  MVGlobalFree(hMVHighlightsInTopic(highlights, lMVTopicListLookup(hits, 0)));
  MVTopicListDestroy(hits);
  MVGlobalFree(highlights);
  std::int32_t bagError;
  HMVBAGGAGE bag = hMVBaggageOpen(title, "b4097.bin", 1, &bagError);
  while (lMVBaggageRead(bag, buffer, 256) > 0) {
  }
  MVBaggageClose(bag);
  if (auto engine = mv::TitleOfHandle(title)) {
    mv::DumpTitle(*engine);
    for (mv::TopicNo no = 0; no < engine->topicCount() && no < 16; ++no) engine->content(no);
  }
  MVTitleClose(title);
}

// The bytes as a title source (and as canonical content); what builds is read back.
inline void CompileSource(std::string_view bytes, const std::filesystem::path& folder) {
  mv::text::ParseCanonical(bytes);
  std::vector<mv::compiler::Diagnostic> diagnostics;
  auto out = (folder / "fuzz.m14").string();
  mv::compiler::TitleOptions options;
  options.optimizeIndex = false;
  if (mv::compiler::CompileTitleText(bytes, "fuzz.mvs", folder.string(), out, options,
                                     diagnostics)) {
    Exercise(out);
    std::filesystem::remove(out);
  }
}

// A copy of `seed` edited by `recipe`: each 4 bytes are a 24-bit offset (taken modulo the size)
// and a byte to store there; a first byte with its top bit set also cuts the copy at the
// offset its next three bytes give.
inline std::string Damage(const std::string& seed, std::span<const std::uint8_t> recipe) {
  std::string bytes = seed;
  std::size_t at = 0;
  if (recipe.size() >= 4 && (recipe[0] & 0x80)) {
    std::size_t cut = (std::size_t(recipe[1]) << 16 | std::size_t(recipe[2]) << 8 | recipe[3]);
    bytes.resize(std::min(bytes.size(), cut * 16));
    at = 4;
  }
  for (; at + 4 <= recipe.size() && !bytes.empty(); at += 4) {
    std::size_t offset =
        (std::size_t(recipe[at]) << 16 | std::size_t(recipe[at + 1]) << 8 | recipe[at + 2]) %
        bytes.size();
    bytes[offset] = static_cast<char>(recipe[at + 3]);
  }
  return bytes;
}

inline void OpenDamagedTitle(const std::string& seed, std::span<const std::uint8_t> recipe,
                             const std::filesystem::path& folder) {
  auto path = (folder / "damaged.m14").string();
  WriteBytes(path, Damage(seed, recipe));
  Exercise(path);
}

}  // namespace mvtest::fuzz
