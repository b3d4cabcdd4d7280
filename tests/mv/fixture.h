// Titles built from a few lines of source inside the test, in a private temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mv/compiler.h"
#include "mv/title.h"

namespace mvtest {

inline std::filesystem::path TempFolder(const std::string& name) {
  auto folder = std::filesystem::temp_directory_path() /
                ("lexo_mv_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Compiles `source` into folder/name; fails the test with the diagnostics when it does not build.
inline std::string Build(const std::filesystem::path& folder, const std::string& name,
                         const std::string& source, mv::compiler::TitleOptions options = {}) {
  std::vector<mv::compiler::Diagnostic> diagnostics;
  std::string out = (folder / name).string();
  bool ok = mv::compiler::CompileTitleText(source, name + ".mvs", folder.string(), out, options,
                                           diagnostics);
  std::string messages;
  for (const auto& d : diagnostics) messages += mv::compiler::Format(d) + "\n";
  EXPECT_TRUE(ok) << messages;
  return out;
}

// The encyclopedia-like fixture most tests share.
inline const char* kLexoSource = R"(
@caption "Тест"
@wordwheel |a tra=a.tra
@wordwheel |g
@list all = all
@list geo = tag:geo
@list persons = tag:person - tag:writer
@baggage b0.bin = b0.bin
@baggage b4095.bin = b4095.bin
@baggage B4096.bin = b4096.bin
@baggage b4097.bin = b4097.bin

@topic topic_moscow
title: Москва
tags: geo
key |a: Москва
key |g: Кремль
key |a: История Москвы @moscow_hist
heading:
Москва
body:
Москва — столица. Один из крупнейших городов мира.
{anchor ctx=moscow_hist}История города. См. {jump topic_city}город{/jump}.
@end

@topic topic_city
title: Город
tags: geo
key |a: город
key |g: Кремль
body:
Город стоит на реке. Старые города и новые, с городами рядом.
@end

@topic topic_tree
title: Ёлка
tags: person
key |a: ёлка
body:
Зелёная ёлка в лесу. Елки растут.
@end

@topic topic_writer
title: Писатель
tags: person writer
key |a: Ежевика
key |a: Яблоко
key |a: ЖУК
body:
Писатель писал о городе, лесе и реке. Он жил рядом с рекой.
@end

@topic topic_near
title: Ближе
body:
альфа бета гамма альфа бета гамма дельта альфа
@end

@topic pop_term
popup
title: Термин
body:
Короткое пояснение.
@end
)";

// Builds the shared fixture once per test program.
inline std::string LexoTitle() {
  static std::string path = [] {
    auto folder = TempFolder("lexo");
    WriteFile(folder / "b0.bin", "");
    for (int size : {4095, 4096, 4097}) {
      std::string bytes(static_cast<std::size_t>(size), '\0');
      for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i * 7);
      WriteFile(folder / ("b" + std::to_string(size) + ".bin"), bytes);
    }
    return Build(folder, "lexo.m14", kLexoSource);
  }();
  return path;
}

}  // namespace mvtest
