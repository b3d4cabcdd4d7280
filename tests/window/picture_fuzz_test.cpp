// The fuzz entry over many damaged versions of valid pictures, so that every build (not only
// a clang one with libFuzzer) runs the readers on hostile bytes.
#include <gtest/gtest.h>

#include <random>

#include "window/fuzz/picture_fuzz.h"
#include "window/picture_files.h"

namespace lexo {
namespace {

std::vector<testing::Bytes> Seeds() {
  std::vector<testing::Bytes> seeds;
  testing::BmpLayout colour;
  colour.width = 9;
  colour.height = 5;
  colour.colour = [](int x, int y) { return static_cast<plat::Colour>(x * 0x102030 + y); };
  seeds.push_back(testing::MakeBmp(colour));
  testing::BmpLayout indexed = colour;
  indexed.bitCount = 8;
  indexed.table = {0, 0xFFFFFF, 0x00FF00};
  indexed.coloursUsed = 3;
  indexed.colour = nullptr;
  indexed.index = [](int x, int y) { return static_cast<std::uint8_t>((x + y) % 3); };
  seeds.push_back(testing::MakeBmp(indexed));
  testing::BmpLayout rle = indexed;
  rle.compression = plat::kDibRle8;
  rle.index = nullptr;
  rle.pixels = {3, 1, 0, 3, 2, 0, 1, 0, 0, 0, 2, 1, 1, 4, 2, 0, 1};
  seeds.push_back(testing::MakeBmp(rle));
  seeds.push_back(testing::MakeJpeg(
      24, 16, 3, [](int x, int y) { return static_cast<plat::Colour>(x * 0x0A0B0C + y); }));
  seeds.push_back(testing::MakeJpeg(
      16, 16, 1, [](int x, int) { return static_cast<plat::Colour>(x * 0x101010); }));
  return seeds;
}

TEST(PictureFuzz, DamagedPicturesNeverCrashTheReaders) {
  std::mt19937 random(20260611);
  for (const testing::Bytes& seed : Seeds()) {
    fuzz::PictureReaders(seed.data(), seed.size());
    for (int round = 0; round < 400; ++round) {
      testing::Bytes bytes = seed;
      int changes = 1 + static_cast<int>(random() % 8);
      for (int k = 0; k < changes && !bytes.empty(); ++k) {
        std::size_t at = random() % bytes.size();
        switch (random() % 4) {
          case 0:
            bytes[at] = static_cast<std::uint8_t>(random());
            break;
          case 1:
            bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
          case 2:
            bytes.resize(at);
            break;
          default:
            bytes[at] = (random() % 2) ? 0xFF : 0x00;
        }
      }
      fuzz::PictureReaders(bytes.data(), bytes.size());
    }
  }
}

}  // namespace
}  // namespace lexo
