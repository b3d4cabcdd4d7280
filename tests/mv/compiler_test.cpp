#include "mv/compiler.h"

#include <gtest/gtest.h>

#include "fixture.h"

namespace {

struct Case {
  const char* what;
  std::string source;
  int line;
  const char* message;  // part of the diagnostic
};

TEST(CompilerTest, MistakesAreReportedWithTheirLine) {
  const Case cases[] = {
      {"duplicate ctx", "@topic a\n@end\n@topic A\n@end\n", 3, "used twice"},
      {"unknown wheel", "@topic a\nkey |z: x\n@end\n", 2, "no @wordwheel"},
      {"jump outside", "@topic a\nbody:\n{jump b}x{/jump}\n@end\n", 1, "not in this title"},
      {"missing end", "@topic a\nbody:\ntext\n", 1, "no @end"},
      {"bad markup", "@topic a\nbody:\nfine\n\nbad {b}\n@end\n", 5, "left open"},
      {"unknown field", "@topic a\ncolour: red\n@end\n", 2, "unknown topic field"},
      {"unknown directive", "@frobnicate\n", 1, "unknown directive"},
      {"bad list", "@list x = tag:a +\n@topic a\n@end\n", 1, "incomplete"},
      {"list of unknown ctx", "@list x = ctx:zz\n@topic a\n@end\n", 1, "unknown topic"},
      {"non-ASCII ctx", "@topic тема\n@end\n", 1, "ASCII"},
      {"not cp1251", "@topic a\ntitle: 日本\n@end\n", 1, "code page 1251"},
      {"topic number twice", "@topic a\nno: 0\n@end\n@topic b\nno: 0\n@end\n", 4, "given twice"},
      {"missing baggage", "@baggage x.jpg = nothere.jpg\n@topic a\n@end\n", 1,
       "cannot read baggage"},
      {"anchor key elsewhere", "@wordwheel |a\n@topic a\nkey |a: k @h\nbody:\nx\n@end\n", 3,
       "no anchor"},
      {"tra numbering",
       "@wordwheel |a tra=a.tra\n@topic a\nno: 1\nkey |a: k\n@end\n@topic b\n@end\n", 1,
       "not below the entry count"},
      {"text outside", "hello\n", 1, "outside a topic"},
  };
  auto folder = mvtest::TempFolder("diagnostics");
  for (const auto& c : cases) {
    std::vector<mv::compiler::Diagnostic> diagnostics;
    auto out = (folder / "bad.m14").string();
    EXPECT_FALSE(
        mv::compiler::CompileTitleText(c.source, "bad.mvs", folder.string(), out, {}, diagnostics))
        << c.what;
    ASSERT_FALSE(diagnostics.empty()) << c.what;
    EXPECT_EQ(diagnostics[0].line, c.line)
        << c.what << ": " << mv::compiler::Format(diagnostics[0]);
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.what << ": " << mv::compiler::Format(diagnostics[0]);
    // A failed build leaves nothing behind.
    EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
    EXPECT_FALSE(std::filesystem::exists(out + ".part")) << c.what;
  }
}

TEST(CompilerTest, ProjectBuildsTitlesGroupsAndChecksLinks) {
  auto folder = mvtest::TempFolder("project");
  mvtest::WriteFile(folder / "lexo.mvs",
                    "@topic topic_a\nbody:\nГород {link \"#pic_x\"}фото{/link} {link "
                    "\"$pic_x,BIGPIC\"}большое{/link}\n@end\n");
  mvtest::WriteFile(folder / "media.mvs",
                    "@topic pic_x\nbody:\nx\n@end\n@topic $pic_x\nbody:\ny\n@end\n");
  mvtest::WriteFile(
      folder / "demo.mvp",
      "disk 1 out=disk1\ntitle lexo.mvs main -> lexo.m14\ntitle media.mvs media -> Media.m14\n"
      "group sg0.grp = lexo: \"город\"\n");
  std::vector<mv::compiler::Diagnostic> diagnostics;
  EXPECT_TRUE(mv::compiler::CompileProject((folder / "demo.mvp").string(), diagnostics))
      << (diagnostics.empty() ? "" : mv::compiler::Format(diagnostics[0]));
  auto group = mv::Group::Read((folder / "disk1" / "sg0.grp").string());
  ASSERT_TRUE(group);
  EXPECT_EQ(group->items, std::vector<std::int32_t>{0});

  mvtest::WriteFile(
      folder / "lexo.mvs",
      "@topic topic_a\nbody:\n{link \"#pic_none\"}x{/link} {link \"-5topic_a\"}y{/link} "
      "{link \"nowhere\"}z{/link}\n@end\n");
  diagnostics.clear();
  EXPECT_FALSE(mv::compiler::CompileProject((folder / "demo.mvp").string(), diagnostics));
  EXPECT_EQ(diagnostics.size(), 3u);
}

}  // namespace
