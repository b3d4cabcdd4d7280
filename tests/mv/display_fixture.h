// Articles for the display tests: a title built by the compiler in the test, simple picture
// procedures (a picture named "!name_WxH.jpg" is a W x H gradient) and rendering helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "fixture.h"
#include "mv/compat.h"
#include "mv/compat_display.h"
#include "plat/bitmap.h"
#include "plat/canvas.h"
#include "plat/png_writer.h"
#include "plat/raster_op.h"

namespace displaytest {

inline const char* kArticles = R"(
@caption "Энциклопедия"
@style h1 face="Times New Roman Cyr" size=18 bold color=#7A1F12
@style h2 face="Arial Cyr" size=12 bold color=#23395B
@style body face="Times New Roman Cyr" size=11
@style note face="Arial Cyr" size=9 italic color=#555555
@style cellhead face="Arial Cyr" size=10 bold bg=#E4E8EE

@topic moscow
title: Москва
data: moscow;Москва;1147
heading:
[h1]Москва
body:
[body align=justify space=0,4]Москва — столица Российской Федерации, крупнейший по численности населения город страны и один из крупнейших городов мира. Город расположен на реке Москве в центре Восточно-Европейской равнины, в междуречье Оки и Волги. Первое упоминание о Москве в летописи относится к {b}1147 году{/b}, когда князь {i}Юрий Долгорукий{/i} пригласил туда своего союзника.

[h2 space=6,3]История

[body align=justify space=0,4]{anchor ctx=moscow_hist}В XIV веке Москва стала центром объединения русских земель. Подробнее см. статью {jump kremlin}Московский Кремль{/jump}, а также {link "?pop_term"}пояснение{/link} и {link "$pic_k,BIGPIC"}большую иллюстрацию{/link}. Северо-западная часть города застраивалась позднее.

[h2 space=6,3]Население

[body indent=20,0,0 tabs=200,300r]Год{tab}Жителей{tab}Рост{br}1897{tab}1 038 600{tab}—{br}1939{tab}4 137 000{tab}+298 %

[note align=right space=4,0]Данные переписей населения.

[body align=center]Текст по центру абзаца, чтобы проверить выравнивание строк посередине колонки.

[body indent=30,0,-15]Абзац с висячей строкой: первая строка выступает влево, остальные строки идут с отступом в тридцать точек от левого края колонки.
@end

@topic kremlin
title: Московский Кремль
heading:
[h1]Московский Кремль
body:
[body align=center]{pict "!kremlin_240x120.jpg" align=center link="$pic_kremlin,BIGPIC"}

[note align=center space=2,6]Вид на Кремль с Москвы-реки

[body]Небольшая схема {pict "!scheme_40x30.jpg" align=inline hot=206} стоит прямо в строке текста, а карта ниже разделена на области.

[body]{pict "!map_160x80.jpg" align=left area="0,0,80,80:$map_west" area="80,0,160,80:$map_east"}

[cellhead row widths=140,90,120]Башня{cell}Высота, м{cell}Построена

[body row widths=140,90,120]Спасская{cell}71{cell}1491

[body row widths=140,90,120]Троицкая{cell}80{cell}1495

[body row widths=140,90,120]Боровицкая (Предтеченская){cell}54{cell}1490

[body space=4,0]После таблицы текст продолжается обычным абзацем.
@end

@topic pop_term
popup
title: Термин
body:
Короткое пояснение.
@end

@topic media_only
title: Медиа
media: <<END
Список: первое
второе
END
body:
Текст.
@end

@topic empty_one
title: Пустая
@end

@topic pic_only
title: Картинка
heading:
{pict "!big_237x180.jpg" align=center}
body:
Подпись к картинке.
@end

@topic hyphen
title: Перенос
body:
Северо-западная сторона

[nowrap]Строка без переносов держит свою ширину
@end

@topic video
title: Видео
heading:
{ew QRSTMCI "video\\kremlin.avi" 320x120}
body:
Ролик о Кремле.
@end
)";

struct TestPicture {
  plat::Bitmap pixels;
};

inline int g_loads = 0;
inline int g_frees = 0;

inline int LoadPicture(MVIMAGELOADREQUEST* request) {
  ++g_loads;
  int width = 240, height = 200;
  std::string name = request->name ? request->name : "";
  auto underscore = name.rfind('_');
  if (underscore != std::string::npos)
    std::sscanf(name.c_str() + underscore + 1, "%dx%d", &width, &height);
  auto* picture = new TestPicture{plat::Bitmap(width, height)};
  unsigned seed = 0;
  for (char ch : name) seed = seed * 31 + static_cast<unsigned char>(ch);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      auto r = static_cast<std::uint8_t>(60 + (seed & 0x3F) + 120 * y / std::max(1, height));
      auto g = static_cast<std::uint8_t>(90 + 100 * x / std::max(1, width));
      auto b = static_cast<std::uint8_t>(160 - 100 * y / std::max(1, height) + (seed >> 6 & 0x1F));
      picture->pixels.Row(y)[x] = plat::MakePixel(r, g, b);
    }
  }
  request->picture = picture;
  request->printCopy = request->print;
  request->width = width;
  request->height = height;
  return 1;
}

inline int DrawPicture(plat::Canvas* dc, void* handle, int, const plat::Rect* part) {
  auto* picture = static_cast<TestPicture*>(handle);
  dc->Blit(*part, picture->pixels, {part->left, part->top}, plat::rop::kSourceCopy);
  return 1;
}

inline int FreePicture(void* handle) {
  ++g_frees;
  delete static_cast<TestPicture*>(handle);
  return 1;
}

inline void InstallPictures(int flags = 1) {
  MVIMAGEInstallImageProcs("PICT", &LoadPicture, &DrawPicture, &FreePicture, flags);
}

inline std::string ArticlesPath() {
  static std::string path = [] {
    auto folder = mvtest::TempFolder("display");
    return mvtest::Build(folder, "articles.m14", kArticles);
  }();
  return path;
}

// A title handle shared by the tests of one program.
inline HMVTITLE Articles() {
  static HMVTITLE title = hMVTitleOpen(ArticlesPath().c_str());
  return title;
}

inline std::int32_t VaOf(const char* ctx) {
  return vaMVConvertContextString(Articles(), ctx);
}

// A display on a topic, laid out in `rect`.
struct Shown {
  LPMV display = 0;
  Shown(const char* ctx, plat::Rect rect, int region = kMVRegionBoth, int magnifier = 100) {
    display = lpMVNew(Articles(), region);
    fMVSetMagnifier(display, magnifier);
    fMVSetAddress(display, VaOf(ctx), 1);
    fMVRealize(display, &rect);
  }
  ~Shown() { MVDelete(display); }
  Shown(const Shown&) = delete;
  Shown& operator=(const Shown&) = delete;
  operator LPMV() const { return display; }
};

// Paints the display's rectangle over white into a bitmap of the given size.
inline plat::Bitmap Render(LPMV display, plat::Size size, const plat::Rect* update = nullptr) {
  plat::Bitmap bitmap(size.width, size.height);
  bitmap.Fill(0xFFFFFF);
  plat::Canvas canvas = plat::Canvas::ForBitmap(bitmap);
  plat::Rect all{0, 0, size.width, size.height};
  fMVApplyToDC(display, &canvas, update ? update : &all);
  return bitmap;
}

inline std::string ShotPath(const std::string& name) {
  const char* dir = std::getenv("LEXO_SCREENSHOT_DIR");
  return std::string(dir && *dir ? dir : ::testing::TempDir().c_str()) + "/" + name;
}

inline const mv::display::Layout& LayoutOf(LPMV display) {
  static const mv::display::Layout kNone;
  auto d = mv::DisplayOfHandle(display);
  return d && d->layout() ? *d->layout() : kNone;
}

// Client point over the first character of `cp1251` in the display (1 pixel into it).
inline plat::Point PointOfText(LPMV display, std::string_view cp1251) {
  auto d = mv::DisplayOfHandle(display);
  const auto& layout = LayoutOf(display);
  auto at = layout.text.find(cp1251);
  if (!d || at == std::string::npos) return {-1000, -1000};
  auto unit = static_cast<std::int32_t>(at);
  const auto& line = layout.lines[static_cast<std::size_t>(layout.LineOfUnit(unit))];
  for (std::int32_t k = 0; k < line.fragmentCount; ++k) {
    const auto& f = layout.fragments[static_cast<std::size_t>(line.firstFragment + k)];
    if (unit < f.unit || unit >= f.unit + f.units) continue;
    std::int32_t x = f.x;
    const auto& font = *layout.fonts[static_cast<std::size_t>(f.font)];
    for (std::int32_t u = f.unit; u < unit; ++u)
      x += font.widths[static_cast<unsigned char>(layout.text[static_cast<std::size_t>(u)])];
    return {d->rect().left - d->scrollPositionX() + x + 1,
            d->rect().top - d->scrollPositionY() + line.top + line.height / 2};
  }
  return {-1000, -1000};
}

inline std::string GlobalText(MVHGLOBAL block) {
  if (!block) return {};
  const auto& memory = mv::CurrentGlobalMemory();
  std::string text(static_cast<const char*>(memory.lock(block)));
  memory.unlock(block);
  MVGlobalFree(block);
  return text;
}

}  // namespace displaytest
