#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "plat/bitmap.h"
#include "plat/dib_format.h"
#include "plat/png_writer.h"
#include "plat/stream.h"

namespace plat {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A packed DIB with a 40-byte header; `pixel(x, y)` writes the stored value of a pixel
// counted from the top.
Bytes PackedDib(int width, int height, int bits, const std::vector<Colour>& table,
                const std::function<std::uint32_t(int, int)>& value) {
  auto stride = static_cast<std::size_t>(DibStride(width, bits));
  Bytes out(kDibHeaderSize + table.size() * 4 + stride * static_cast<std::size_t>(height));
  DibHeader h;
  h.width = width;
  h.height = height;
  h.bitCount = static_cast<std::uint16_t>(bits);
  h.coloursUsed = static_cast<std::uint32_t>(table.size());
  WriteDibHeader(h, out.data());
  for (std::size_t i = 0; i < table.size(); ++i) {
    out[kDibHeaderSize + 4 * i] = BlueOf(table[i]);
    out[kDibHeaderSize + 4 * i + 1] = GreenOf(table[i]);
    out[kDibHeaderSize + 4 * i + 2] = RedOf(table[i]);
  }
  std::uint8_t* rows = out.data() + kDibHeaderSize + table.size() * 4;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = rows + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint32_t v = value(x, y);
      switch (bits) {
        case 1:
          row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
          break;
        case 4:
          row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4));
          break;
        case 8:
          row[x] = static_cast<std::uint8_t>(v);
          break;
        case 16:
          WriteLittle16(row + 2 * x, static_cast<std::uint16_t>(v));
          break;
        case 24:
          row[3 * x] = static_cast<std::uint8_t>(v);
          row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
          break;
        case 32:
          WriteLittle32(row + 4 * x, v);
          break;
      }
    }
  }
  return out;
}

struct DepthCase {
  const char* name;
  int bits;
  std::vector<Colour> table;
  std::function<std::uint32_t(int, int)> value;
  std::function<Colour(int, int)> colour;
};

class DibDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DibDepth, ConvertsEveryPixelWithTheTopRowFirst) {
  const DepthCase& c = GetParam();
  Bytes dib = PackedDib(13, 3, c.bits, c.table, c.value);
  Bitmap bitmap = Bitmap::FromDib(dib);
  ASSERT_FALSE(bitmap.IsEmpty());
  EXPECT_EQ(bitmap.NominalBits(), 24);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(bitmap.ColourAt(x, y), c.colour(x, y)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DibDepth,
    ::testing::Values(
        DepthCase{"One",
                  1,
                  {0x000000, 0xFFFFFF},
                  [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 2); },
                  [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; }},
        DepthCase{"Four",
                  4,
                  {0x0000FF, 0x00FF00, 0xFF0000},
                  [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 3); },
                  [](int x, int y) {
                    const Colour t[] = {0x0000FF, 0x00FF00, 0xFF0000};
                    return t[(x + y) % 3];
                  }},
        // Indexes past the table read as black.
        DepthCase{"EightPastTheTable",
                  8,
                  {0x123456},
                  [](int x, int) { return static_cast<std::uint32_t>(x % 2 ? 200 : 0); },
                  [](int x, int) { return x % 2 ? 0u : 0x123456u; }},
        DepthCase{"Sixteen",
                  16,
                  {},
                  [](int x, int) { return static_cast<std::uint32_t>(x % 2 ? 0x7C00 : 0x001F); },
                  [](int x, int) { return x % 2 ? 0x0000FFu : 0xFF0000u; }},
        DepthCase{"TwentyFour",
                  24,
                  {},
                  [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y << 8 | 7); },
                  [](int x, int y) {
                    return MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                      7);
                  }},
        DepthCase{"ThirtyTwo",
                  32,
                  {},
                  [](int x, int y) {
                    return static_cast<std::uint32_t>(0xFF000000u | x << 16 | y << 8 | 9);
                  },
                  [](int x, int y) {
                    return MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                      9);
                  }}),
    [](const auto& info) { return info.param.name; });

TEST(DibParse, RefusesWhatDoesNotFit) {
  Bytes good = PackedDib(4, 4, 24, {}, [](int, int) { return 0u; });
  EXPECT_TRUE(DibView::Parse(good));
  Bytes cut(good.begin(), good.end() - 1);
  EXPECT_FALSE(DibView::Parse(cut));
  Bytes rle = good;
  WriteLittle32(rle.data() + 16, kDibRle8);
  EXPECT_FALSE(DibView::Parse(rle));
  Bytes wide = good;
  WriteLittle32(wide.data() + 4, 0x7FFFFFFF);
  EXPECT_FALSE(DibView::Parse(wide));
  EXPECT_TRUE(Bitmap::FromDib(wide).IsEmpty());
  EXPECT_TRUE(Bitmap::FromDib(Bytes(12, 0)).IsEmpty());
}

TEST(DibParse, RunLengthDibsAreExpandedByFromDib) {
  Bytes dib = PackedDib(4, 1, 8, {0x000000, 0xFFFFFF}, [](int, int) { return 0u; });
  dib.resize(kDibHeaderSize + 8);
  WriteLittle32(dib.data() + 16, kDibRle8);
  Bytes data{2, 1, 2, 0, 0, 1};
  dib.insert(dib.end(), data.begin(), data.end());
  Bitmap bitmap = Bitmap::FromDib(dib);
  ASSERT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.ColourAt(1, 0), 0xFFFFFFu);
  EXPECT_EQ(bitmap.ColourAt(2, 0), 0u);
}

TEST(BitmapReadBack, TwentyFourBitRowsBottomUpPadded) {
  Bytes dib = PackedDib(3, 2, 24, {}, [](int x, int y) {
    return static_cast<std::uint32_t>(x * 0x10 + y * 0x1000 + 0x050000);
  });
  Bitmap bitmap = Bitmap::FromDib(dib);
  Bytes back = bitmap.ToDib(24);
  ASSERT_EQ(back.size(), dib.size());
  EXPECT_EQ(ReadDibHeader(back)->imageSize, 24u);  // two rows of 9 bytes padded to 12
  EXPECT_TRUE(std::equal(back.begin() + kDibHeaderSize, back.end(), dib.begin() + kDibHeaderSize));
}

TEST(BitmapReadBack, EightBitsOnlyWithTheSourceTable) {
  std::vector<Colour> table = {0x000000, 0x0000FF, 0x00FF00};
  Bytes dib =
      PackedDib(5, 2, 8, table, [](int x, int) { return static_cast<std::uint32_t>(x % 3); });
  Bitmap bitmap = Bitmap::FromDib(dib);
  Bytes back = bitmap.ToDib(8);
  ASSERT_FALSE(back.empty());
  auto view = DibView::Parse(back);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->TableEntries(), 256u);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(view->IndexAt(x, 1), x % 3);
  Bitmap colour(2, 2);
  EXPECT_TRUE(colour.ToDib(8).empty());
  EXPECT_TRUE(Bitmap().ToDib(24).empty());
}

TEST(PngWriter, WritesAPngFile) {
  Bitmap bitmap(7, 5);
  bitmap.Fill(0x3366FF);
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/lexo_png_writer_test.png";
  ASSERT_TRUE(WritePng(path, bitmap));
  auto bytes = ReadWholeFile(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(1, 3), "PNG");
  EXPECT_FALSE(WritePng(path, Bitmap()));
  EXPECT_FALSE(WritePng("/no/such/folder/x.png", bitmap));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace plat
