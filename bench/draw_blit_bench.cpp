#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "plat/canvas.h"
#include "plat/cp1251.h"
#include "window/dib.h"

namespace {

using namespace plat::cp1251::literals;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

plat::Bitmap Noise(int width, int height) {
  plat::Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      b.Row(y)[x] = static_cast<plat::Pixel>((x * 2654435761u + y * 40503u) & 0xFFFFFF);
  }
  return b;
}

// The figure is the ratio of this to the memcpy below, run in the same process.
void BM_CopyBlitFullCanvas(benchmark::State& state) {
  plat::Bitmap source = Noise(kWidth, kHeight);
  plat::Bitmap target(kWidth, kHeight);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  for (auto _ : state) {
    canvas.Blit({0, 0, kWidth, kHeight}, source, {0, 0}, plat::rop::kSourceCopy);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_CopyBlitFullCanvas);

void BM_MemcpySameBytes(benchmark::State& state) {
  std::vector<plat::Pixel> source(kWidth * kHeight, 1);
  std::vector<plat::Pixel> target(kWidth * kHeight);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size() * sizeof(plat::Pixel));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_MemcpySameBytes);

// The masked button: skin XOR, mask AND, skin XOR, a 64 x 64 button.
void BM_MaskedButtonBlit(benchmark::State& state) {
  plat::Bitmap skin = Noise(64, 64);
  plat::Bitmap mask(64, 64);
  mask.Fill(0xFFFFFF);
  plat::Bitmap target = Noise(kWidth, kHeight);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  for (auto _ : state) {
    canvas.Blit({100, 100, 164, 164}, skin, {0, 0}, plat::rop::kSourceInvert);
    canvas.Blit({100, 100, 164, 164}, mask, {0, 0}, plat::rop::kSourceAnd);
    canvas.Blit({100, 100, 164, 164}, skin, {0, 0}, plat::rop::kSourceInvert);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MaskedButtonBlit);

// Any table from a description goes through the generic path.
void BM_GenericRasterOperationFullCanvas(benchmark::State& state) {
  plat::Bitmap source = Noise(kWidth, kHeight);
  plat::Bitmap target = Noise(kWidth, kHeight);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  canvas.SelectBrush(plat::Brush::Solid(0x5E7028));
  for (auto _ : state) {
    canvas.Blit({0, 0, kWidth, kHeight}, source, {0, 0}, 0x00B8074A);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_GenericRasterOperationFullCanvas);

void BM_StretchBlitDouble(benchmark::State& state) {
  plat::Bitmap source = Noise(kWidth / 2, kHeight / 2);
  plat::Bitmap target(kWidth, kHeight);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  for (auto _ : state) {
    canvas.StretchBlit({0, 0, kWidth, kHeight}, source, {0, 0, kWidth / 2, kHeight / 2},
                       plat::rop::kSourceCopy);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_StretchBlitDouble);

// Glyphs per second of list-row text in the interface font.
void BM_TextOutGlyphs(benchmark::State& state) {
  plat::Bitmap target(kWidth, 64);
  target.Fill(0xFFFFFF);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  canvas.SelectFont(plat::Font::Create({.height = -11, .face = "Arial Cyr"}));
  canvas.SetBackMode(plat::BackgroundMode::Transparent);
  std::string_view text = "Съешь же ещё этих мягких французских булок, да выпей чаю"_cp;
  canvas.TextOut({0, 0}, text);  // glyphs cached
  for (auto _ : state) {
    canvas.TextOut({4, 20}, text);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TextOutGlyphs);

void BM_DrawTextWordBreak(benchmark::State& state) {
  plat::Bitmap target(300, 200);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  canvas.SelectFont(plat::Font::Create({.height = -13, .face = "Times New Roman Cyr"}));
  std::string_view text =
      "Статья о Москве: столица России, крупнейший по численности населения город страны, "
      "центр одноимённого региона."_cp;
  for (auto _ : state) {
    plat::Rect box{0, 0, 300, 200};
    benchmark::DoNotOptimize(canvas.DrawText(text, box, plat::text_format::kWordBreak));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DrawTextWordBreak);

std::vector<unsigned char> PhotoJpeg() {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(kWidth * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < kWidth; ++x) {
      double v = 0.5 + 0.5 * std::sin(x * 0.03) * std::cos(y * 0.02);
      row[x * 3] = static_cast<JSAMPLE>(255 * v);
      row[x * 3 + 1] = static_cast<JSAMPLE>((x ^ y) & 0xFF);
      row[x * 3 + 2] = static_cast<JSAMPLE>(255 * (1 - v));
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<unsigned char> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

class BufferReader : public lexo::ByteReader {
 public:
  explicit BufferReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
  long Read(void* buffer, long size) override {
    std::size_t n = std::min(static_cast<std::size_t>(size), bytes_.size() - at_);
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<long>(n);
  }

 private:
  const std::vector<unsigned char>& bytes_;
  std::size_t at_ = 0;
};

void BM_JpegDecode1024x768(benchmark::State& state) {
  std::vector<unsigned char> jpeg = PhotoJpeg();
  for (auto _ : state) {
    BufferReader reader(jpeg);
    lexo::Dib dib;
    benchmark::DoNotOptimize(dib.LoadJpeg(reader));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JpegDecode1024x768);

}  // namespace
