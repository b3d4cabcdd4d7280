// A whole scene to look at: skins stretched and tiled, a masked button, Cyrillic captions in
// the faces the descriptions name, and a BMP and a JPEG picture as loaded from disk.
#include <gtest/gtest.h>

#include <cmath>

#include "plat/canvas.h"
#include "plat/cp1251.h"
#include "plat/image_compare.h"
#include "plat/png_writer.h"
#include "window/bitmap.h"
#include "window/dib.h"
#include "window/picture_files.h"
#include "window/text_measure.h"

namespace lexo {
namespace {

using namespace plat::cp1251::literals;

TEST(PictureScene, SkinsMaskedButtonTextAndPictures) {
  // A caption skin: dark blue caps with a light edge, a gradient middle.
  testing::BmpLayout caption;
  caption.width = 30;
  caption.height = 20;
  caption.colour = [](int x, int y) -> plat::Colour {
    if (x < 8 || x >= 22) return y < 2 ? 0xE0C0A0u : 0x602010u;
    return plat::MakeColour(static_cast<std::uint8_t>(40 + y * 4),
                            static_cast<std::uint8_t>(60 + y * 6), 200);
  };
  std::string captionPath = testing::TempPath("lexo_scene_caption.bmp");
  ASSERT_TRUE(testing::WriteBytes(captionPath, testing::MakeBmp(caption)));
  CappedBitmap captionSkin(captionPath, false, 8, 14);
  ASSERT_FALSE(captionSkin.IsEmpty());

  // A background tile of two shades, a round button and its mask (white = background).
  testing::BmpLayout tile;
  tile.width = 16;
  tile.height = 16;
  tile.colour = [](int x, int y) { return ((x / 8 + y / 8) % 2) ? 0xD8E8F0u : 0xC8D8E8u; };
  std::string tilePath = testing::TempPath("lexo_scene_tile.bmp");
  ASSERT_TRUE(testing::WriteBytes(tilePath, testing::MakeBmp(tile)));
  Bitmap background;
  ASSERT_TRUE(background.Load(tilePath, false));

  auto inside = [](int x, int y) { return std::hypot(x - 23.5, y - 23.5) < 22; };
  testing::BmpLayout button;
  button.width = button.height = 48;
  button.colour = [&](int x, int y) -> plat::Colour {
    if (!inside(x, y)) return 0;
    return plat::MakeColour(static_cast<std::uint8_t>(255 - y * 3),
                            static_cast<std::uint8_t>(140 + x), 40);
  };
  testing::BmpLayout mask = button;
  mask.colour = [&](int x, int y) -> plat::Colour { return inside(x, y) ? 0u : 0xFFFFFFu; };
  std::string buttonPath = testing::TempPath("lexo_scene_button.bmp");
  std::string maskPath = testing::TempPath("lexo_scene_mask.bmp");
  ASSERT_TRUE(testing::WriteBytes(buttonPath, testing::MakeBmp(button)));
  ASSERT_TRUE(testing::WriteBytes(maskPath, testing::MakeBmp(mask)));
  Bitmap buttonSkin, buttonMask;
  ASSERT_TRUE(buttonSkin.Load(buttonPath, false));
  ASSERT_TRUE(buttonMask.Load(maskPath, false));

  // A photo-like JPEG and an 8-bit BMP.
  auto photo = [](int x, int y) {
    double v = 0.5 + 0.5 * std::sin(x * 0.08) * std::cos(y * 0.06);
    return plat::MakeColour(static_cast<std::uint8_t>(255 * v),
                            static_cast<std::uint8_t>(120 + 100 * v),
                            static_cast<std::uint8_t>(255 * (1 - v)));
  };
  std::string jpegPath = testing::TempPath("lexo_scene_photo.jpg");
  ASSERT_TRUE(testing::WriteBytes(jpegPath, testing::MakeJpeg(160, 100, 3, photo, 85)));
  Dib jpeg;
  ASSERT_TRUE(jpeg.LoadFile(jpegPath));
  testing::BmpLayout indexed;
  indexed.width = 100;
  indexed.height = 100;
  indexed.bitCount = 8;
  for (int i = 0; i < 256; ++i) {
    indexed.table.push_back(
        plat::MakeColour(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 128));
  }
  indexed.index = [](int x, int y) { return static_cast<std::uint8_t>((x * 2 + y) % 256); };
  Dib bmp;
  ASSERT_TRUE(bmp.LoadBmp(testing::MakeBmp(indexed)));

  plat::Bitmap screen(480, 320);
  plat::Canvas canvas = plat::Canvas::ForBitmap(screen);
  background.Tile(canvas, 0, 0, 480, 320, 0, 0, 0, 0);
  captionSkin.DrawAcross(canvas, 0, 0, 480, 0, 0);
  canvas.SetBackMode(plat::BackgroundMode::Transparent);
  canvas.SetTextColour(0xFFFFFF);
  canvas.SelectFont(
      plat::Font::Create({.height = -11, .charset = 204, .precision = 6, .face = "Arial Cyr"}));
  canvas.TextOut({12, 4}, "Энциклопедия — Главное окно"_cp);

  // The masked button: skin XOR, mask AND, skin XOR.
  buttonSkin.Blit(canvas, 20, 40, -1, -1, 0, 0, plat::rop::kSourceInvert);
  buttonMask.Blit(canvas, 20, 40, -1, -1, 0, 0, plat::rop::kSourceAnd);
  buttonSkin.Blit(canvas, 20, 40, -1, -1, 0, 0, plat::rop::kSourceInvert);
  // The tile shows through the mask's white corners, the skin inside.
  EXPECT_EQ(screen.ColourAt(21, 41), 0xD8E8F0u);
  EXPECT_EQ(screen.ColourAt(44, 64), plat::MakeColour(255 - 24 * 3, 140 + 24, 40));

  canvas.SetTextColour(0x202020);
  canvas.SelectFont(CreatePointFont("Times New Roman Cyr", 10, 0, 0));  // 13 pixels
  plat::Rect text{80, 40, 460, 100};
  canvas.DrawText(
      "Статья о Москве: столица России, крупнейший по численности населения город страны. Ёлки и ёжики."_cp,
      text, plat::text_format::kWordBreak);
  canvas.SelectFont(CreatePointFont("PragmaticaTVB", 8, font_style::kBold, 0));
  canvas.TextOut({80, 100}, "Смотри также: Санкт-Петербург"_cp);

  jpeg.Draw(canvas, 20, 130, 0, 0, 0, 0);
  bmp.Draw(canvas, 200, 130, 0, 0, 0, 0);
  jpeg.DrawStretched(canvas, {320, 130, 460, 200});
  canvas.FrameRect({19, 129, 181, 231}, plat::Brush::Solid(0x000000));
  canvas.FocusRect({318, 128, 462, 202});
  EXPECT_EQ(screen.ColourAt(200 + 10, 130 + 5), plat::MakeColour(25, 230, 128));

  ASSERT_TRUE(plat::WritePng(testing::TempPath("lexo_picture_scene.png"), screen));
  for (const std::string& p : {captionPath, tilePath, buttonPath, maskPath, jpegPath}) {
    std::remove(p.c_str());
  }
}

}  // namespace
}  // namespace lexo
