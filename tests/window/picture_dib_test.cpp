#include <gtest/gtest.h>

#include <cstdlib>

#include "plat/canvas.h"
#include "plat/image_compare.h"
#include "window/dib.h"
#include "window/picture_files.h"

namespace lexo {
namespace {

using testing::BmpLayout;
using testing::Bytes;
using testing::MakeBmp;
using testing::MakeJpeg;

plat::Colour Gradient(int x, int y) {
  return plat::MakeColour(static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
                          static_cast<std::uint8_t>(200 - x * 10));
}

// The DIB drawn into a fresh bitmap and compared with what the source function says.
void ExpectPixels(const Dib& dib, int width, int height,
                  const std::function<plat::Colour(int, int)>& colour, int tolerance = 0) {
  ASSERT_FALSE(dib.IsEmpty());
  ASSERT_EQ(dib.Width(), width);
  ASSERT_EQ(dib.Height(), height);
  plat::Bitmap device = dib.ToDevice();
  ASSERT_EQ(device.Width(), width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      plat::Colour want = colour(x, y);
      plat::Colour got = device.ColourAt(x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        ASSERT_LE(std::abs(static_cast<int>(want >> shift & 0xFF) -
                           static_cast<int>(got >> shift & 0xFF)),
                  tolerance)
            << "at " << x << "," << y;
      }
    }
  }
}

// ---- BMP headers from the disk are not trusted ----

struct HeaderCase {
  const char* name;
  std::function<void(BmpLayout&)> change;
  std::function<void(Bytes&)> cut;  // applied to the finished file
  bool loads;
};

class BmpHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(BmpHeader, GivesAnEmptyPictureOrTheRightPixels) {
  const HeaderCase& c = GetParam();
  BmpLayout parameters;
  parameters.colour = Gradient;
  if (c.change) c.change(parameters);
  Bytes file = MakeBmp(parameters);
  if (c.cut) c.cut(file);
  Dib dib;
  EXPECT_EQ(dib.LoadBmp(file), c.loads);
  if (!c.loads) {
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_TRUE(dib.ToDevice().IsEmpty());
    return;
  }
  int height = parameters.height < 0 ? -parameters.height : parameters.height;
  ExpectPixels(dib, parameters.width, height, Gradient);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BmpHeader,
    ::testing::Values(
        HeaderCase{"Plain", nullptr, nullptr, true},
        HeaderCase{"ZeroWidth", [](BmpLayout& s) { s.width = 0; }, nullptr, false},
        HeaderCase{"NegativeWidth",
                   [](BmpLayout& s) {
                     s.width = -4;
                     s.colour = nullptr;
                   },
                   nullptr, false},
        HeaderCase{"ZeroHeight", [](BmpLayout& s) { s.height = 0; }, nullptr, false},
        HeaderCase{"HugeWidth",
                   [](BmpLayout& s) {
                     s.width = 0x40000000;
                     s.colour = nullptr;
                     s.pixels = Bytes(64, 0);
                   },
                   nullptr, false},
        HeaderCase{"WrapsThirtyTwoBits",
                   [](BmpLayout& s) {
                     s.width = 65536;
                     s.height = 65536;
                     s.colour = nullptr;
                     s.pixels = Bytes(64, 0);
                   },
                   nullptr, false},
        HeaderCase{"ColoursUsedAllOnes", [](BmpLayout& s) { s.coloursUsed = 0xFFFFFFFF; }, nullptr,
                   false},
        HeaderCase{"MoreColoursThanEightBitsHold",
                   [](BmpLayout& s) {
                     s.bitCount = 8;
                     s.coloursUsed = 257;
                     s.colour = nullptr;
                     s.pixels = Bytes(64, 0);
                   },
                   nullptr, false},
        HeaderCase{"BitCountSeven", [](BmpLayout& s) { s.bitCount = 7; }, nullptr, false},
        HeaderCase{"TwoPlanes", [](BmpLayout& s) { s.planes = 2; }, nullptr, false},
        HeaderCase{"UnknownCompression", [](BmpLayout& s) { s.compression = 3; }, nullptr, false},
        HeaderCase{"OffsetPastTheEnd", [](BmpLayout& s) { s.pixelOffsetDelta = 100000; }, nullptr,
                   false},
        HeaderCase{"PixelsCutByOneByte", nullptr, [](Bytes& f) { f.pop_back(); }, false},
        HeaderCase{"ColourTableCut",
                   [](BmpLayout& s) {
                     s.bitCount = 8;
                     s.coloursUsed = 200;
                     s.colour = nullptr;
                     s.fileHeader = false;
                   },
                   nullptr, false},
        HeaderCase{"StatedSizeTooSmall", [](BmpLayout& s) { s.imageSize = 3; }, nullptr, true},
        HeaderCase{"StatedSizeBeyondTheFile", [](BmpLayout& s) { s.imageSize = 0x7FFFFFFF; },
                   nullptr, true},
        HeaderCase{"TopDown", [](BmpLayout& s) { s.height = -3; }, nullptr, true},
        HeaderCase{"NoFileHeader", [](BmpLayout& s) { s.fileHeader = false; }, nullptr, true},
        HeaderCase{"TooShortForAnything", nullptr, [](Bytes& f) { f.resize(10); }, false},
        HeaderCase{"HeaderCut", nullptr, [](Bytes& f) { f.resize(30); }, false}),
    [](const auto& info) { return info.param.name; });

TEST(BmpReader, TopDownRowsAreStoredBottomUp) {
  BmpLayout parameters;
  parameters.height = -3;
  parameters.colour = Gradient;
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters)));
  EXPECT_EQ(dib.Info()->height, 3);
  // The last stored row is the top one.
  auto view = plat::DibView::Parse(dib.Block());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->PixelAt(1, 0), plat::ToPixel(Gradient(1, 0)));
}

TEST(BmpReader, OldCoreHeaderWithThreeByteColoursIsConverted) {
  BmpLayout parameters;
  parameters.coreHeader = true;
  parameters.bitCount = 8;
  parameters.width = 5;
  parameters.height = 2;
  for (int i = 0; i < 256; ++i) parameters.table.push_back(plat::MakeColour(i, 255 - i, 7));
  parameters.index = [](int x, int y) { return static_cast<std::uint8_t>(x + 10 * y); };
  for (bool fileHeader : {true, false}) {
    parameters.fileHeader = fileHeader;
    Dib dib;
    ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters))) << fileHeader;
    EXPECT_EQ(dib.Info()->size, 40u);
    EXPECT_EQ(dib.ColourCount(), 256u);
    EXPECT_EQ(dib.PixelAt(3, 1), 13);
    EXPECT_EQ(dib.PixelAt(3, 0), 3);
    EXPECT_EQ(dib.PixelAt(5, 0), 0);   // outside
    EXPECT_EQ(dib.PixelAt(-1, 0), 0);  // outside
    ExpectPixels(dib, 5, 2, [](int x, int y) {
      int i = x + 10 * y;
      return plat::MakeColour(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7);
    });
  }
}

Bytes Rle8Rows() {
  // Row 0 (bottom): absolute run 1, 1, 1, 2, 1 (padded to an even count); end of line.
  // Row 1: delta (1, 0), run of 2 x index 2; end of bitmap.
  return {0, 5, 1, 1, 1, 2, 1, 0, 0, 0, 0, 2, 1, 0, 2, 2, 0, 1};
}

TEST(BmpReader, RunLengthEightBitDataIsExpandedNotReadAsRows) {
  BmpLayout parameters;
  parameters.width = 5;
  parameters.height = 2;
  parameters.bitCount = 8;
  parameters.compression = plat::kDibRle8;
  parameters.table = {0xFFFFFF, 0x0000FF, 0x00FF00};
  parameters.coloursUsed = 3;
  parameters.pixels = Rle8Rows();
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters)));
  EXPECT_EQ(dib.Info()->compression, 0u);
  // Top row is stored row 1.
  const int top[] = {0, 2, 2, 0, 0};
  const int bottom[] = {1, 1, 1, 2, 1};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(dib.PixelAt(x, 0), top[x]) << x;
    EXPECT_EQ(dib.PixelAt(x, 1), bottom[x]) << x;
  }
}

TEST(BmpReader, RunLengthFourBitDataIsExpanded) {
  BmpLayout parameters;
  parameters.width = 4;
  parameters.height = 1;
  parameters.bitCount = 4;
  parameters.compression = plat::kDibRle4;
  parameters.table = {0x000000, 0xFFFFFF};
  parameters.coloursUsed = 2;
  parameters.pixels = {4, 0x10, 0, 1};  // four pixels alternating 1, 0
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters)));
  ExpectPixels(dib, 4, 1, [](int x, int) { return x % 2 == 0 ? 0xFFFFFFu : 0u; });
}

TEST(BmpReader, BrokenRunLengthDataNeverWritesOutside) {
  BmpLayout parameters;
  parameters.width = 3;
  parameters.height = 2;
  parameters.bitCount = 8;
  parameters.compression = plat::kDibRle8;
  parameters.table = {0, 0xFFFFFF};
  parameters.coloursUsed = 2;
  // Runs longer than the row, a delta far off, an absolute run past the data.
  parameters.pixels = {200, 1, 0, 2, 250, 250, 0, 200, 1};
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters)));
  EXPECT_EQ(dib.PixelAt(2, 1), 1);
}

// ---- JPEG ----

TEST(JpegReader, ThreeWideColourImageHasTwelveByteRows) {
  Dib dib;
  testing::MemoryReader reader(MakeJpeg(3, 2, 3, [](int, int) { return 0x2080C0u; }));
  ASSERT_TRUE(dib.LoadJpeg(reader));
  EXPECT_TRUE(dib.IsJpeg());
  auto info = dib.Info();
  EXPECT_EQ(info->bitCount, 24);
  EXPECT_EQ(info->imageSize, 24u);  // two rows of 12 bytes
  EXPECT_EQ(dib.Block().size(), 40u + 24u);
  ExpectPixels(
      dib, 3, 2, [](int, int) { return 0x2080C0u; }, 6);
}

// Grey pictures come out as 8-bit indexes; the colour table must hold the quantiser's own
// levels, not a 0..255 ramp, or white shows as 235.
TEST(JpegReader, GreyPicturesKeepTheirTrueGreys) {
  auto flat = [](int x, int) {
    const std::uint8_t levels[] = {0, 128, 200, 255};
    std::uint8_t v = levels[x / 8];
    return plat::MakeColour(v, v, v);
  };
  Dib dib;
  testing::MemoryReader blocks(MakeJpeg(32, 8, 1, flat, 100));
  ASSERT_TRUE(dib.LoadJpeg(blocks));
  EXPECT_EQ(dib.Info()->bitCount, 8);
  EXPECT_EQ(dib.ColourCount(), 256u);
  ExpectPixels(dib, 32, 8, flat, 2);

  // A steep gradient also carries the error of the fast integer transform (a few levels).
  auto ramp = [](int x, int) {
    auto v = static_cast<std::uint8_t>(x * 17);
    return plat::MakeColour(v, v, v);
  };
  testing::MemoryReader gradient(MakeJpeg(16, 1, 1, ramp, 100));
  ASSERT_TRUE(dib.LoadJpeg(gradient));
  ExpectPixels(dib, 16, 1, ramp, 6);
  EXPECT_EQ(dib.ToDevice().ColourAt(15, 0), 0xFFFFFFu);
}

TEST(JpegReader, CmykIsConvertedToColour) {
  Dib dib;
  auto colour = [](int x, int) { return x < 8 ? 0x0000FFu : 0xFF0000u; };
  testing::MemoryReader reader(MakeJpeg(16, 8, 4, colour, 100));
  ASSERT_TRUE(dib.LoadJpeg(reader));
  EXPECT_EQ(dib.Info()->bitCount, 24);
  plat::Bitmap device = dib.ToDevice();
  EXPECT_EQ(device.ColourAt(2, 2) & 0xF0F0F0, 0x0000F0u);
  EXPECT_EQ(device.ColourAt(13, 2) & 0xF0F0F0, 0xF00000u);
}

Bytes WithHugeSize(Bytes jpeg) {
  // The first SOF0 marker: FF C0, length, precision, height, width.
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = jpeg[i + 6] = jpeg[i + 7] = jpeg[i + 8] = 0xFF;
      break;
    }
  }
  return jpeg;
}

struct CorruptJpeg {
  const char* name;
  std::function<Bytes(const Bytes&)> damage;
  bool loads;
};

class JpegDamage : public ::testing::TestWithParam<CorruptJpeg> {};

TEST_P(JpegDamage, FailsQuietlyOrShowsWhatItHas) {
  Bytes good = MakeJpeg(32, 32, 3, Gradient);
  Dib dib;
  testing::MemoryReader reader(GetParam().damage(good));
  EXPECT_EQ(dib.LoadJpeg(reader), GetParam().loads);
  EXPECT_EQ(dib.IsEmpty(), !GetParam().loads);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JpegDamage,
    ::testing::Values(
        CorruptJpeg{"Empty", [](const Bytes&) { return Bytes{}; }, false},
        CorruptJpeg{"StartMarkerOnly",
                    [](const Bytes&) {
                      return Bytes{0xFF, 0xD8};
                    },
                    false},
        CorruptJpeg{"HeaderOnly", [](const Bytes& b) { return Bytes(b.begin(), b.begin() + 120); },
                    false},
        CorruptJpeg{"GarbageAfterStart",
                    [](const Bytes&) {
                      Bytes b{0xFF, 0xD8};
                      for (int i = 0; i < 5000; ++i) b.push_back(static_cast<std::uint8_t>(i * 37));
                      return b;
                    },
                    false},
        CorruptJpeg{"NotAJpeg", [](const Bytes&) { return Bytes(300, 'x'); }, false},
        CorruptJpeg{"HugeSize", [](const Bytes& b) { return WithHugeSize(b); }, false},
        CorruptJpeg{"CutInTheMiddle",
                    [](const Bytes& b) {
                      return Bytes(b.begin(), b.begin() + static_cast<long>(b.size() * 2 / 3));
                    },
                    true}),
    [](const auto& info) { return info.param.name; });

TEST(JpegReader, CutFileShowsItsTopRows) {
  // Noisy blue above, noisy red below, so that the rows and not the tables fill the file.
  auto colour = [](int x, int y) {
    auto noise = static_cast<std::uint8_t>((x * 7919 + y * 104729) % 61);
    return y < 32 ? plat::MakeColour(noise, noise, static_cast<std::uint8_t>(190 + noise))
                  : plat::MakeColour(static_cast<std::uint8_t>(190 + noise), noise, noise);
  };
  Bytes good = MakeJpeg(64, 64, 3, colour, 90);
  Dib dib;
  testing::MemoryReader reader(
      Bytes(good.begin(), good.begin() + static_cast<long>(good.size() * 3 / 5)));
  ASSERT_TRUE(dib.LoadJpeg(reader));
  plat::Bitmap device = dib.ToDevice();
  ASSERT_EQ(device.Height(), 64);
  for (int x = 0; x < 64; x += 9) {
    plat::Colour c = device.ColourAt(x, 3);
    EXPECT_GT(plat::BlueOf(c), 150) << x;
    EXPECT_LT(plat::RedOf(c), 100) << x;
  }
}

TEST(JpegReader, ReadErrorOfTheSourceFailsTheRead) {
  testing::MemoryReader reader(MakeJpeg(16, 16, 3, Gradient), 0);
  Dib dib;
  EXPECT_FALSE(dib.LoadJpeg(reader));
}

TEST(DibLoadFile, JpegNamesFromDiskOrFromTheTitle) {
  Bytes jpeg = MakeJpeg(8, 8, 3, [](int, int) { return 0x808080u; });
  std::string path = testing::TempPath("lexo_picture_test.JPG");
  ASSERT_TRUE(testing::WriteBytes(path, jpeg));
  testing::MemoryTitle title;
  title.Add("inside.jpg", jpeg);
  title.Add("broken.jpg", Bytes{0xFF, 0xD8, 0xFF});

  Dib dib;
  EXPECT_TRUE(dib.LoadFile(path));
  EXPECT_TRUE(dib.IsJpeg());
  EXPECT_TRUE(dib.LoadFile("!inside.jpg", &title));
  EXPECT_EQ(dib.Width(), 8);
  EXPECT_FALSE(dib.LoadFile("!broken.jpg", &title));
  EXPECT_TRUE(dib.IsEmpty());
  EXPECT_FALSE(dib.LoadFile("!missing.jpg", &title));
  EXPECT_FALSE(dib.LoadFile(testing::TempPath("no_such_picture.jpg")));
  EXPECT_FALSE(dib.LoadFile(testing::TempPath("no_such_picture.bmp")));
  std::remove(path.c_str());
}

// ---- the rest of Dib ----

TEST(Dib, BlankIsWhiteTwoFortyByTwoHundred) {
  Dib dib;
  dib.MakeBlank();
  auto info = dib.Info();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 240);
  EXPECT_EQ(info->height, 200);
  EXPECT_EQ(info->bitCount, 24);
  EXPECT_EQ(info->imageSize, 720u * 200u);  // filled in by Info
  EXPECT_EQ(plat::ReadDibHeader(dib.Block())->imageSize, 0u);
  ExpectPixels(dib, 240, 200, [](int, int) { return 0xFFFFFFu; });
}

TEST(Dib, PaletteFromTheTableOrTheFixedCube) {
  BmpLayout eight;
  eight.bitCount = 8;
  eight.table = {0x010203, 0x040506};
  eight.coloursUsed = 2;
  eight.index = [](int, int) { return std::uint8_t{1}; };
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(eight)));
  auto palette = dib.MakePalette();
  ASSERT_TRUE(palette);
  EXPECT_EQ(palette->entries, (std::vector<plat::Colour>{0x010203, 0x040506}));

  BmpLayout colour;
  colour.colour = Gradient;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(colour)));
  palette = dib.MakePalette();
  ASSERT_TRUE(palette);
  ASSERT_EQ(palette->entries.size(), 256u);
  EXPECT_EQ(palette->entries[0], 0u);
  EXPECT_EQ(palette->entries[255], plat::MakeColour(7 * 32, 7 * 32, 3 * 64));
  EXPECT_EQ(palette->entries[9], plat::MakeColour(32, 32, 0));
}

TEST(Dib, DrawCountsTheSourceFromTheTop) {
  BmpLayout parameters;
  parameters.width = 6;
  parameters.height = 5;
  parameters.colour = [](int x, int y) {
    return plat::MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9);
  };
  Dib dib;
  ASSERT_TRUE(dib.LoadBmp(MakeBmp(parameters)));
  plat::Bitmap target(10, 10);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  dib.Draw(canvas, 1, 1, 2, 2, 3, 1);
  EXPECT_EQ(target.ColourAt(1, 1), plat::MakeColour(3, 1, 9));
  EXPECT_EQ(target.ColourAt(2, 2), plat::MakeColour(4, 2, 9));
  EXPECT_EQ(target.ColourAt(3, 3), 0u);
  dib.DrawInRect(canvas, {4, 3, 6, 4});
  EXPECT_EQ(target.ColourAt(4, 3), plat::MakeColour(4, 3, 9));
  dib.Draw(canvas, 0, 5, 0, 0, 0, 0);  // zero sizes: the whole image
  EXPECT_EQ(target.ColourAt(5, 9), plat::MakeColour(5, 4, 9));
}

}  // namespace
}  // namespace lexo
