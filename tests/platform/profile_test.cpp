#include "plat/profile.h"

#include <gtest/gtest.h>

#include "plat/stream.h"
#include "support/temp_folder.h"

namespace {

using lexo::testing::TempFolder;
using lexo::testing::TempSettings;

class ProfileTest : public ::testing::Test {
 protected:
  void Write(std::string_view text) { ASSERT_TRUE(plat::WriteWholeFile(path_, text)); }
  std::string Content() { return plat::ReadWholeFile(path_).value_or("<missing>"); }

  TempFolder folder_;
  std::string path_ = folder_ / "inter.txt";
  plat::Profile profile_{path_};
};

TEST_F(ProfileTest, ReadsValuesRawWithBlanksRemoved) {
  Write(
      "; a comment\r\n"
      "[Main]\r\n"
      "  Button1 =  \"BUTTON\",\"OK\",\"CLOSE\"  \r\n"
      "Quoted=\"only\"\r\n"
      "Empty=\r\n"
      "Number = -1\r\n"
      "Text=abc\r\n"
      "[Other]\r\n"
      "Button1=other\r\n");
  struct Case {
    std::string_view section, key, fallback;
    std::size_t size;
    std::string_view expected;
  };
  const Case cases[] = {
      {"Main", "Button1", "", 256, "\"BUTTON\",\"OK\",\"CLOSE\""},
      {"MAIN", "button1", "", 256, "\"BUTTON\",\"OK\",\"CLOSE\""},
      {"main", "Quoted", "", 256, "\"only\""},
      {"Main", "Button1", "", 8, "\"BUTTON"},
      {"Main", "Empty", "dflt", 256, ""},
      {"Main", "Missing", "dflt", 256, "dflt"},
      {"Missing", "Button1", "dflt", 3, "df"},
      {"Other", "Button1", "", 256, "other"},
      {"Main", "Text", "", 1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profile_.ReadString(c.section, c.key, c.fallback, c.size), c.expected)
        << c.section << "/" << c.key << " size " << c.size;
  }
}

TEST_F(ProfileTest, ReadsIntegersWithTheFallbackKeptAsGiven) {
  Write("[S]\r\nA=42\r\nB= -7\r\nC=abc\r\nD=12abc\r\nE=\r\n");
  struct Case {
    std::string_view key;
    int fallback, expected;
  };
  const Case cases[] = {{"A", -1, 42}, {"B", 0, -7}, {"C", 5, 0},
                        {"D", 0, 12},  {"E", 9, 0},  {"Missing", -1, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(profile_.ReadInt("S", c.key, c.fallback), c.expected) << c.key;
  EXPECT_EQ(plat::Profile(folder_ / "none.ini").ReadInt("S", "A", -1), -1);
}

TEST_F(ProfileTest, WritingKeepsOtherLinesAndUsesCrLf) {
  Write("; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
  ASSERT_TRUE(profile_.WriteString("a", "X", "10"));
  ASSERT_TRUE(profile_.WriteString("A", "z", "3"));
  ASSERT_TRUE(profile_.WriteString("C", "w", "\"q\""));
  EXPECT_EQ(Content(),
            "; keep me\r\n[A]\r\nx=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=\"q\"\r\n");
  EXPECT_EQ(profile_.ReadString("C", "W"), "\"q\"");
}

TEST_F(ProfileTest, DeletesKeysAndSections) {
  Write("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  ASSERT_TRUE(profile_.DeleteKey("a", "X"));
  ASSERT_TRUE(profile_.DeleteSection("b"));
  ASSERT_TRUE(profile_.DeleteKey("Missing", "x"));
  EXPECT_EQ(Content(), "[A]\r\ny=2\r\n");
}

TEST_F(ProfileTest, WholeSectionReadAndWrite) {
  Write("[Marks]\r\nTOPIC1=first\r\n; note\r\nTOPIC2 = second\r\n[Next]\r\nk=v\r\n");
  auto entries = profile_.ReadSection("MARKS");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].key, "TOPIC2");
  EXPECT_EQ(entries[1].value, "second");

  ASSERT_TRUE(profile_.WriteSection("marks", {{"TOPIC1", "only"}}));
  EXPECT_EQ(Content(), "[Marks]\r\nTOPIC1=only\r\n[Next]\r\nk=v\r\n");
  ASSERT_TRUE(profile_.WriteSection("New", {{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(profile_.ReadSection("new").size(), 2u);
}

TEST_F(ProfileTest, SectionBlockIsCutLikeTheFixedBufferRead) {
  Write("[S]\r\nk1=aaaa\r\nk2=bbbb\r\n");
  // "k1=aaaa\0k2=bbbb\0" is 16 bytes; with the closing NUL it needs 17.
  struct Case {
    std::size_t size;
    std::uint32_t returned;
    bool truncated;
    std::string_view bytes;
  };
  const Case cases[] = {
      {1024, 16, false, std::string_view("k1=aaaa\0k2=bbbb\0\0", 17)},
      {17, 16, false, std::string_view("k1=aaaa\0k2=bbbb\0\0", 17)},
      {16, 14, true, std::string_view("k1=aaaa\0k2=bbb\0\0", 16)},
      {10, 8, true, std::string_view("k1=aaaa\0\0\0", 10)},
  };
  for (const auto& c : cases) {
    auto block = profile_.ReadSectionBlock("S", c.size);
    EXPECT_EQ(block.returned, c.returned) << c.size;
    EXPECT_EQ(block.truncated, c.truncated) << c.size;
    EXPECT_EQ(block.bytes, c.bytes) << c.size;
  }
  // The whole-section read never cuts, however long the section.
  std::string big = "[Big]\r\n";
  for (int i = 0; i < 2000; ++i) big += "TOPIC" + std::to_string(i) + "=some bookmark text\r\n";
  Write(big);
  EXPECT_EQ(profile_.ReadSection("Big").size(), 2000u);
  EXPECT_TRUE(profile_.ReadSectionBlock("Big", 10240).truncated);
}

TEST(ProfileLocation, BareNamesLiveInTheSettingsFolderWhichIsCreatedOnWrite) {
  TempSettings settings;
  ::setenv("LEXO_SETTINGS_DIR", (settings.folder().host() + "/sub").c_str(), 1);
  plat::Profile lx("LX.ini");
  EXPECT_EQ(lx.path(), settings.folder().path() + "sub\\LX.ini");
  EXPECT_EQ(lx.ReadString("LEXOVIEW", "FirstTopic", "56900"), "56900");
  ASSERT_TRUE(lx.WriteString("LEXOVIEW", "FirstTopic", "123"));
  EXPECT_EQ(plat::Profile("lx.INI").ReadString("lexoview", "firsttopic"), "123");
}

}  // namespace
