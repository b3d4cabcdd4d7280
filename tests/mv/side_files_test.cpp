// Files the compiler writes beside its titles: rubric descriptions, 272-byte record files and
// see-also rows numbered by the main title; and the project-level checks of data fields.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixture.h"
#include "mv/compiler.h"
#include "plat/cp1251.h"

using namespace plat::cp1251::literals;

namespace {

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Messages(const std::vector<mv::compiler::Diagnostic>& diagnostics) {
  std::string out;
  for (const auto& d : diagnostics) out += mv::compiler::Format(d) + "\n";
  return out;
}

const char* kRubricTitle = R"(@rubrics file=Data\Interf\rubr.txt header=head.txt
  1 "География" list=tag:geo
  37 "Города \"большие\"" parent=1 list="tag:city - ctx:c_small"
  2 "Люди"
  5 "Писатели" parent=2 list=tag:writer

@topic c_big
tags: geo city
@end
@topic c_small
tags: geo city
@end
@topic w
tags: writer
@end
)";

TEST(SideFilesTest, RubricTreeBecomesADescriptionAndListsByNodeNumber) {
  auto folder = mvtest::TempFolder("rubrics");
  mvtest::WriteFile(folder / "head.txt", "ITEMSTRUCT: 300,12,TEXT\nITEM: \"\",300,14\n");
  auto path = mvtest::Build(folder, "r.m14", kRubricTitle);
  auto text = ReadBytes(folder / "Data" / "Interf" / "rubr.txt");
  EXPECT_EQ(text, std::string("ITEMSTRUCT: 300,12,TEXT\r\nITEM: \"\",300,14\r\nBEGIN:\r\n"
                              "{2\r\n1 \"География\"\r\n2 \"Люди\"\r\n"
                              "1 {1\r\n37 \"Города \\\"большие\\\"\"\r\n"
                              "2 {1\r\n5 \"Писатели\"\r\n"_cp));
  auto title = mv::Title::Open(path);
  ASSERT_TRUE(title);
  struct Want {
    const char* list;
    std::vector<std::int32_t> topics;  // empty: no list
  };
  const Want wants[] = {{"1", {0, 1}}, {"37", {0}}, {"5", {2}}, {"2", {}}};
  for (const auto& want : wants) {
    auto list = title->storedList(want.list);
    if (want.topics.empty()) {
      EXPECT_FALSE(list) << want.list;
    } else {
      ASSERT_TRUE(list) << want.list;
      EXPECT_EQ(std::vector<std::int32_t>(list->items().begin(), list->items().end()), want.topics)
          << want.list;
    }
  }
}

TEST(SideFilesTest, RubricMistakesAreReportedAndLeaveNoFiles) {
  struct Case {
    const char* what;
    std::string source;
    int line;
    const char* message;
  };
  const std::string topic = "@topic a\n@end\n";
  const Case cases[] = {
      {"no file", "@rubrics\n" + topic, 1, "file=NAME"},
      {"zero id", "@rubrics file=r.txt\n  0 \"x\"\n" + topic, 2, "a rubric row is"},
      {"no text", "@rubrics file=r.txt\n  4\n" + topic, 2, "a rubric row is"},
      {"parent below", "@rubrics file=r.txt\n  4 \"x\" parent=5\n  5 \"y\"\n" + topic, 2,
       "not a rubric row above"},
      {"twice", "@rubrics file=r.txt\n  4 \"x\"\n  4 \"y\"\n" + topic, 3, "given twice"},
      {"bad list", "@rubrics file=r.txt\n  4 \"x\" list=ctx:zz\n" + topic, 2, "unknown topic"},
      {"list clash", "@list 4 = all\n@rubrics file=r.txt\n  4 \"x\" list=all\n" + topic, 3,
       "defined twice"},
      {"header with BEGIN", "@rubrics file=r.txt header=begin.txt\n  4 \"x\"\n" + topic, 1,
       "own BEGIN"},
      {"missing header", "@rubrics file=r.txt header=none.txt\n  4 \"x\"\n" + topic, 1,
       "cannot read rubric header"},
      {"long row", "@rubrics file=r.txt\n  4 \"" + std::string(520, 'x') + "\"\n" + topic, 2,
       "511"},
  };
  auto folder = mvtest::TempFolder("rubric_errors");
  mvtest::WriteFile(folder / "begin.txt", "SPACE: 4\n  BEGIN:\n");
  for (const auto& c : cases) {
    std::vector<mv::compiler::Diagnostic> diagnostics;
    auto out = (folder / "bad.m14").string();
    EXPECT_FALSE(
        mv::compiler::CompileTitleText(c.source, "bad.mvs", folder.string(), out, {}, diagnostics))
        << c.what;
    ASSERT_FALSE(diagnostics.empty()) << c.what;
    EXPECT_EQ(diagnostics[0].line, c.line) << c.what << ": " << Messages(diagnostics);
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.what << ": " << Messages(diagnostics);
    EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
    EXPECT_FALSE(std::filesystem::exists(folder / "r.txt")) << c.what;
    EXPECT_FALSE(std::filesystem::exists(folder / "r.txt.part")) << c.what;
  }
}

// A project with a main, media, icon, outline and see-also title; `mainTopics` and the others
// are the sources, so that each case can break one thing.
struct Project {
  std::string main = R"(@topic topic_a
data: topic_a;А;
body:
Город {anchor ctx=a_hist}история.
@end
@topic topic_b
data: topic_b;Б;
@end
)";
  std::string media = R"(@list searchtill = ctx:pic_x
@baggage thumb.jpg = thumb.jpg
@topic pic_x
data: topic_a;метка;topic_b;другая;
@end
@topic $pic_x
@end
@topic *tab
data: 600
@end
)";
  std::string icon =
      "@topic topic_a\ndata: pic_x;!thumb.jpg;topic_b;pic_x;file.jpg;topic_a;\n@end\n";
  std::string outline = "@topic topic_a\ndata: topic_a;История;a_hist;Б;topic_b;\n@end\n";
  std::string seeAlso = R"(@topic topic_a
media: <<END
{2
topic_b: "Б"
1000000 "Группа"
1000000 {1
 topic_a : "А"
END
@end
@topic topic_a_lit
body:
Литература.
@end
)";
  std::string records = "records tl1.pos positions\n  0 120 topic_a\n  121 300 a_hist;метка\n";
};

bool BuildProject(const std::filesystem::path& folder, const Project& p,
                  std::vector<mv::compiler::Diagnostic>& diagnostics) {
  mvtest::WriteFile(folder / "lexo.mvs", p.main);
  mvtest::WriteFile(folder / "media.mvs", p.media);
  mvtest::WriteFile(folder / "icon.mvs", p.icon);
  mvtest::WriteFile(folder / "outline.mvs", p.outline);
  mvtest::WriteFile(folder / "seealso.mvs", p.seeAlso);
  mvtest::WriteFile(folder / "thumb.jpg", "jpeg");
  std::filesystem::create_directories(folder / "disk1");
  mvtest::WriteFile(folder / "disk1" / "FILE.JPG", "jpeg");
  mvtest::WriteFile(folder / "demo.mvp",
                    "disk 1 out=disk1\n"
                    "title seealso.mvs seealso main=lexo -> seealso.m14\n"
                    "title lexo.mvs main -> lexo.m14\n"
                    "title media.mvs media -> Media.m14\n"
                    "title icon.mvs icon -> Icon.m14\n"
                    "title outline.mvs outline -> Outline.m14\n" +
                        p.records);
  return mv::compiler::CompileProject((folder / "demo.mvp").string(), diagnostics);
}

TEST(SideFilesTest, ProjectNumbersSeeAlsoRowsAndWritesRecordFiles) {
  auto folder = mvtest::TempFolder("side_project");
  std::vector<mv::compiler::Diagnostic> diagnostics;
  ASSERT_TRUE(BuildProject(folder, Project{}, diagnostics)) << Messages(diagnostics);

  // Rows name main-title topic numbers (topic_a 0, topic_b 1); group rows stay.
  auto seeAlso = mv::Title::Open((folder / "disk1" / "seealso.m14").string());
  ASSERT_TRUE(seeAlso);
  auto record = seeAlso->topic(seeAlso->topicFromContext("topic_a"));
  ASSERT_TRUE(record && record->media);
  EXPECT_EQ(*record->media, "{2\r\n1 \"Б\"\r\n1000000 \"Группа\"\r\n1000000 {1\r\n0 \"А\"");

  auto bytes = ReadBytes(folder / "disk1" / "tl1.pos");
  ASSERT_EQ(bytes.size(), 2u + 2 * 272);
  auto word = [&](std::size_t at) {
    std::int32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(word(2), 0);
  EXPECT_EQ(word(2 + 8), 120);
  EXPECT_EQ(std::string(bytes.c_str() + 2 + 16), "topic_a");
  EXPECT_EQ(word(2 + 272), 121);
  EXPECT_EQ(word(2 + 272 + 8), 300);
  EXPECT_EQ(std::string(bytes.c_str() + 2 + 272 + 16), std::string("a_hist;метка"_cp));
}

TEST(SideFilesTest, ScaleAndMarkRecordsCarryTheirValueAsText) {
  auto folder = mvtest::TempFolder("records");
  mvtest::WriteFile(folder / "p.mvp",
                    "disk 1 out=d\nrecords scale.dat scale\n  0 1800\n  57 1900\n"
                    "records marks.dat marks\n  15 -500\n");
  std::vector<mv::compiler::Diagnostic> diagnostics;
  ASSERT_TRUE(mv::compiler::CompileProject((folder / "p.mvp").string(), diagnostics))
      << Messages(diagnostics);
  auto scale = ReadBytes(folder / "d" / "scale.dat");
  ASSERT_EQ(scale.size(), 2u + 2 * 272);
  EXPECT_EQ(static_cast<unsigned char>(scale[2 + 272]), 57);
  EXPECT_EQ(std::string(scale.c_str() + 2 + 272 + 16), "1900");
  auto marks = ReadBytes(folder / "d" / "marks.dat");
  ASSERT_EQ(marks.size(), 2u + 272);
  EXPECT_EQ(std::atoi(marks.c_str() + 2 + 16), -500);
}

TEST(SideFilesTest, RecordLineMistakes) {
  struct Case {
    const char* what;
    const char* project;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"unknown kind", "records a.dat other\n", 1, "positions|scale|marks"},
      {"stray indent", "  1 2\n", 1, "outside a records block"},
      {"missing ctx", "records a.dat positions\n  1 2\n", 2, "START END CTX"},
      {"not a number", "records a.dat scale\n  x 2\n", 2, "whole numbers"},
      {"value not a number", "records a.dat marks\n  1 год\n", 2, "not a whole number"},
      {"text too long", nullptr, 2, "255"},
  };
  auto folder = mvtest::TempFolder("record_errors");
  for (const auto& c : cases) {
    std::string project =
        c.project ? c.project : "records a.dat positions\n  1 2 " + std::string(300, 'x') + "\n";
    mvtest::WriteFile(folder / "p.mvp", project);
    std::vector<mv::compiler::Diagnostic> diagnostics;
    EXPECT_FALSE(mv::compiler::CompileProject((folder / "p.mvp").string(), diagnostics)) << c.what;
    ASSERT_FALSE(diagnostics.empty()) << c.what;
    EXPECT_EQ(diagnostics[0].line, c.line) << c.what << ": " << Messages(diagnostics);
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.what << ": " << Messages(diagnostics);
    EXPECT_FALSE(std::filesystem::exists(folder / "a.dat")) << c.what;
  }
}

// Each case breaks one reference; the checker names it.
TEST(SideFilesTest, LinkCheckerFindsUnknownNamesInDataRowsAndRecords) {
  struct Case {
    const char* what;
    void (*breakIt)(Project&);
    const char* message;
  };
  const Case cases[] = {
      {"main data field 1",
       [](Project& p) { p.main.replace(p.main.find("data: topic_b"), 13, "data: topic_z"); },
       "data field 1 'topic_z'"},
      {"media pair",
       [](Project& p) { p.media.replace(p.media.find("topic_b;другая"), 7, "topic_q"); },
       "data pair 'topic_q'"},
      {"icon link", [](Project& p) { p.icon.replace(p.icon.find("pic_x;!"), 5, "pic_y"); },
       "icon link 'pic_y'"},
      {"icon baggage", [](Project& p) { p.icon.replace(p.icon.find("!thumb"), 6, "!thumx"); },
       "not stored in the media title"},
      {"icon file", [](Project& p) { p.icon.replace(p.icon.find("file.jpg"), 4, "none"); },
       "not in the disk folder"},
      {"icon target", [](Project& p) { p.icon.replace(p.icon.find("topic_b"), 7, "topic_w"); },
       "icon target 'topic_w'"},
      {"icon keyed by no article",
       [](Project& p) { p.icon.replace(p.icon.find("topic_a\n"), 7, "topic_k"); },
       "keyed by 'topic_k'"},
      {"outline target",
       [](Project& p) { p.outline.replace(p.outline.find("a_hist"), 6, "a_none"); },
       "outline target 'a_none'"},
      {"see-also row",
       [](Project& p) { p.seeAlso.replace(p.seeAlso.find("topic_b:"), 7, "topic_v"); },
       "see-also row 'topic_v'"},
      {"see-also number",
       [](Project& p) { p.seeAlso.replace(p.seeAlso.find("1000000 \"Группа\""), 7, "999"); },
       "see-also row '999"},
      {"see-also topic",
       [](Project& p) { p.seeAlso.replace(p.seeAlso.find("topic_a_lit"), 11, "topic_c_lit"); },
       "names no article 'topic_c'"},
      {"position record",
       [](Project& p) { p.records.replace(p.records.find("a_hist"), 6, "a_gone"); },
       "position record 'a_gone'"},
  };
  auto folder = mvtest::TempFolder("link_checks");
  for (const auto& c : cases) {
    Project project;
    c.breakIt(project);
    std::vector<mv::compiler::Diagnostic> diagnostics;
    EXPECT_FALSE(BuildProject(folder, project, diagnostics)) << c.what;
    ASSERT_EQ(diagnostics.size(), 1u) << c.what << ": " << Messages(diagnostics);
    EXPECT_NE(diagnostics[0].message.find(c.message), std::string::npos)
        << c.what << ": " << Messages(diagnostics);
  }
}

}  // namespace
