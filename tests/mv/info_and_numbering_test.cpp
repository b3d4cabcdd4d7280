// Title information codes through the viewer's call, and topic numbering by a word wheel.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "fixture.h"
#include "mv/compat.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

TEST(InfoTest, CodesAnswerTextsAndValues) {
  auto folder = mvtest::TempFolder("info");
  const std::string longCaption(300, 'c');
  auto full = mvtest::Build(folder, "full.m14",
                            "@caption \"Энциклопедия (демо)\"\n@copyright \"© Лексо, 1999\"\n"
                            "@topic a\ntitle: Первая\n@end\n@topic b\ntitle: Вторая\n@end\n");
  auto bare = mvtest::Build(folder, "bare.m14", "@topic a\n@end\n");
  auto longer =
      mvtest::Build(folder, "long.m14", "@caption \"" + longCaption + "\"\n@topic a\n@end\n");
  struct Case {
    const char* what;
    std::string path;
    std::uint32_t code;
    std::int32_t param;
    std::int32_t result;
    std::string text;  // cp1251; checked when the result is not -1 and the code gives text
  };
  const Case cases[] = {
      {"caption", full, 1, 0, 19, std::string("Энциклопедия (демо)"_cp)},
      {"copyright", full, 2, 0, 13, std::string("© Лексо, 1999"_cp)},
      {"caption missing", bare, 1, 0, -1, ""},
      {"copyright missing", bare, 2, 0, -1, ""},
      {"caption cut at 255", longer, 1, 0, 255, longCaption.substr(0, 255)},
      {"topic count", full, 100, 0, 2, ""},
      {"version", full, 101, 0, 1, ""},
      {"topic title", full, 102, 1, 6, std::string("Вторая"_cp)},
      {"topic title beyond", full, 102, 2, -1, ""},
      {"unknown code", full, 3, 0, -1, ""},
  };
  for (const auto& c : cases) {
    HMVTITLE title = hMVTitleOpen(c.path.c_str());
    ASSERT_NE(title, 0u) << c.what;
    char buffer[300];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(lMVTitleGetInfo(title, c.code, c.param, buffer), c.result) << c.what;
    if (c.result >= 0 && (c.code == 1 || c.code == 2 || c.code == 102)) {
      EXPECT_EQ(std::string(buffer), c.text) << c.what;
    }
    // The engine's own answer counts code-page bytes too.
    if (c.result >= 0 && c.result < 255) {
      std::string text;
      EXPECT_EQ(mv::TitleOfHandle(title)->info(static_cast<int>(c.code), c.param, &text), c.result)
          << c.what;
    }
    MVTitleClose(title);
    EXPECT_EQ(lMVTitleGetInfo(title, c.code, c.param, buffer), -1) << c.what << " after close";
  }
}

std::vector<std::int32_t> ReadTra(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::int32_t> out(bytes.size() / 4);
  std::memcpy(out.data(), bytes.data(), out.size() * 4);
  return out;
}

// Keyed topics take the wheel's order (case, ё and the dictionary byte folded); topics without
// an entry come after them, so that every keyed topic has a number below the entry count.
TEST(NumberingTest, WheelOrderNumbersTheKeyedTopics) {
  auto folder = mvtest::TempFolder("numbering");
  // The dictionary byte 0x98 is written as U+0098 in a UTF-8 source.
  auto path = mvtest::Build(folder, "m.m14", std::string(R"(@wordwheel |s tra=s.tra
@numbering wheel=|s
@topic pop
popup
@end
@topic yabloko
key |s: Яблоко
@end
@topic el
key |s: ель
@end
@topic big_yabloko
@end
@topic ezh
key |s: ёж
key |s: Ёжик
@end
@topic arbuz
key |s: )") + "\xC2\x98" + R"(Арбуз
@end
)");
  auto title = mv::Title::Open(path);
  ASSERT_TRUE(title);
  const char* order[] = {"arbuz", "ezh", "el", "yabloko", "pop", "big_yabloko"};
  for (mv::TopicNo no = 0; no < 6; ++no) EXPECT_EQ(title->topic(no)->ctx, order[no]) << no;
  auto wheel = title->wordWheel("|s");
  ASSERT_TRUE(wheel);
  ASSERT_EQ(wheel->length(), 5);  // Арбуз, ёж, Ёжик, ель, Яблоко
  EXPECT_EQ(ReadTra(folder / "s.tra"), (std::vector<std::int32_t>{0, 1, 3, 4, -1}));
  for (mv::TopicNo no = 0; no < 4; ++no) {
    std::int32_t entry = ReadTra(folder / "s.tra")[static_cast<std::size_t>(no)];
    auto addrs = wheel->keyAddrs(*wheel->entry(entry), 0, 1);
    ASSERT_EQ(addrs.size(), 1u) << no;
    EXPECT_EQ(addrs[0], title->addrFromTopic(no)) << no;
  }
}

TEST(NumberingTest, MistakesAreReported) {
  struct Case {
    const char* what;
    std::string source;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"no wheel word", "@numbering |s\n@topic a\n@end\n", 1, "@numbering wheel=NAME"},
      {"two words", "@numbering wheel=|s wheel=|a\n@topic a\n@end\n", 1, "@numbering wheel=NAME"},
      {"unknown wheel", "@numbering wheel=|q\n@topic a\n@end\n", 1, "no @wordwheel named"},
  };
  auto folder = mvtest::TempFolder("numbering_errors");
  for (const auto& c : cases) {
    std::vector<mv::compiler::Diagnostic> diagnostics;
    EXPECT_FALSE(mv::compiler::CompileTitleText(c.source, "n.mvs", folder.string(),
                                                (folder / "n.m14").string(), {}, diagnostics))
        << c.what;
    ASSERT_FALSE(diagnostics.empty()) << c.what;
    EXPECT_EQ(diagnostics[0].line, c.line) << c.what;
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.what << ": " << mv::compiler::Format(diagnostics[0]);
  }
}

}  // namespace
