#include "plat/stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_folder.h"

namespace {

using lexo::testing::TempFolder;

TEST(Stream, TextReadingTakesCrLfAsOneLineEndAndKeepsRawOffsets) {
  TempFolder root;
  ASSERT_TRUE(plat::WriteWholeFile(root / "list.txt", "first\r\nsecond\r\n\r\nlone\rcr\nlast"));
  auto stream = plat::Stream::Open(root / "LIST.TXT", plat::StreamMode::ReadText);
  ASSERT_NE(stream, nullptr);

  std::vector<std::pair<std::int64_t, std::string>> lines;
  std::string line;
  for (std::int64_t at = stream->Tell(); stream->ReadLine(line); at = stream->Tell()) {
    lines.emplace_back(at, line);
  }
  const std::vector<std::pair<std::int64_t, std::string>> expected = {
      {0, "first"}, {7, "second"}, {15, ""}, {17, "lone\rcr"}, {25, "last"}};
  EXPECT_EQ(lines, expected);

  // A stored offset leads back to the same line.
  for (const auto& [offset, text] : expected) {
    ASSERT_TRUE(stream->Seek(offset));
    ASSERT_TRUE(stream->ReadLine(line));
    EXPECT_EQ(line, text);
  }
}

TEST(Stream, TextWritingWritesCrLfAndBinaryWritesBytes) {
  TempFolder root;
  {
    auto text = plat::Stream::Open(root / "t.txt", plat::StreamMode::WriteText);
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(text->WriteText("a;b;\nc;\n"));
    auto binary = plat::Stream::Open(root / "b.bin", plat::StreamMode::WriteBinary);
    ASSERT_TRUE(binary->WriteText("a\nb"));
  }
  EXPECT_EQ(plat::ReadWholeFile(root / "t.txt"), "a;b;\r\nc;\r\n");
  EXPECT_EQ(plat::ReadWholeFile(root / "b.bin"), "a\nb");
  {
    auto append = plat::Stream::Open(root / "t.txt", plat::StreamMode::AppendText);
    ASSERT_TRUE(append->WriteText("d\n"));
  }
  EXPECT_EQ(plat::ReadWholeFile(root / "t.txt"), "a;b;\r\nc;\r\nd\r\n");
}

TEST(Stream, StepBackReturnsTheLastCharacter) {
  TempFolder root;
  ASSERT_TRUE(plat::WriteWholeFile(root / "s.txt", "\r\nx"));
  auto stream = plat::Stream::Open(root / "s.txt", plat::StreamMode::ReadText);
  EXPECT_EQ(stream->GetChar(), '\n');
  stream->StepBack();
  EXPECT_EQ(stream->Tell(), 0);
  EXPECT_EQ(stream->GetChar(), '\n');
  EXPECT_EQ(stream->GetChar(), 'x');
  EXPECT_EQ(stream->GetChar(), plat::Stream::kEnd);
}

TEST(Stream, MissingFilesDoNotOpen) {
  TempFolder root;
  EXPECT_EQ(plat::Stream::Open(root / "none.txt", plat::StreamMode::ReadText), nullptr);
  EXPECT_EQ(plat::Stream::Open(root / "no\\such\\folder.txt", plat::StreamMode::WriteText),
            nullptr);
  EXPECT_EQ(plat::ReadWholeFile(root / "none.txt"), std::nullopt);
}

}  // namespace
