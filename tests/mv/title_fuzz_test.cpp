// The fuzz entries over a fixed random sample, so that every build (not only a clang one with
// libFuzzer) runs the compiler and the runtime on hostile input.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "fixture.h"
#include "mv/fuzz/title_fuzz.h"

namespace {

// Bytes that mean something to the source or content syntax.
constexpr std::string_view kSyntax = "{}[]@\"\\:=\n *#;,|-!?$\t0\xD0\xB5\xFF";

std::string Mutate(std::string text, std::mt19937& random) {
  int changes = 1 + static_cast<int>(random() % 6);
  for (int k = 0; k < changes && !text.empty(); ++k) {
    std::size_t at = random() % text.size();
    switch (random() % 5) {
      case 0:
        text[at] = kSyntax[random() % kSyntax.size()];
        break;
      case 1:
        text.insert(at, 1, kSyntax[random() % kSyntax.size()]);
        break;
      case 2:
        text.erase(at, 1 + random() % 12);
        break;
      case 3: {  // a line repeated elsewhere
        std::size_t start = text.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        std::string line = text.substr(start, text.find('\n', at) - start + 1);
        text.insert(random() % text.size(), line);
        break;
      }
      default:
        text.resize(at);
    }
  }
  return text;
}

TEST(TitleFuzz, MutatedSourcesNeverCrashTheCompiler) {
  auto folder = mvtest::TempFolder("source_fuzz");
  const std::string seeds[] = {
      mvtest::kLexoSource,
      "@wordwheel |s tra=s.tra\n@numbering wheel=|s\n@rubrics file=r.txt\n  1 \"a\" list=all\n"
      "  2 \"b\" parent=1\n@topic t\nkey |s: b\nheading:\n[row widths=10,20]x{cell}y\n"
      "body:\n{font face=\"A\" size=10 color=#800000}z{/font}{tab}{br}{anchor ctx=an}"
      "{pict \"!p.jpg\" align=center hot=206 area=\"1,2,3,4:$m\"}{ew QRSTMCI \"v.avi\" 32x24}"
      "{link \"#x\"}l{/link}{jump t@an}j{/jump}\\x98{{}}\n@end\n",
  };
  std::mt19937 random(20260612);
  for (const auto& seed : seeds) {
    mvtest::fuzz::CompileSource(seed, folder);
    for (int round = 0; round < 150; ++round) {
      std::string text = Mutate(seed, random);
      SCOPED_TRACE(text);
      mvtest::fuzz::CompileSource(text, folder);
    }
  }
}

TEST(TitleFuzz, TitlesDamagedByRandomRecipesNeverCrash) {
  std::ifstream in(mvtest::LexoTitle(), std::ios::binary);
  std::string seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(seed.size(), 8192u);
  auto folder = mvtest::TempFolder("title_fuzz");
  std::mt19937 random(20260613);
  for (int round = 0; round < 150; ++round) {
    std::vector<std::uint8_t> recipe(4 * (1 + random() % 8));
    for (auto& byte : recipe) byte = static_cast<std::uint8_t>(random());
    // Mostly edits beyond the header, which the open checks catch anyway.
    if (round % 4 != 0) recipe[0] &= 0x7F;
    SCOPED_TRACE(round);
    mvtest::fuzz::OpenDamagedTitle(seed, recipe, folder);
  }
}

}  // namespace
