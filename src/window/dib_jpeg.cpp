// JPEG pictures through libjpeg, with a data source and an error manager of our own: a
// broken file fails the read instead of ending the program, and a cut file shows what it has.
#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg's header needs the standard headers first.
#include <jerror.h>
#include <jpeglib.h>

#include "window/dib.h"

namespace lexo {
namespace {

constexpr std::size_t kBlockSize = 4096;

struct ErrorManager {
  jpeg_error_mgr standard;
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void Quiet(j_common_ptr) {}

struct Source {
  jpeg_source_mgr standard;
  ByteReader* reader;
  bool started;
  JOCTET buffer[kBlockSize];
};

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<Source*>(cinfo->src)->started = false;
}

boolean FillInput(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<Source*>(cinfo->src);
  long got = source->reader->Read(source->buffer, static_cast<long>(kBlockSize));
  if (got <= 0) {
    if (!source->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    // A cut file: warn and end the image here so that the rows read so far stay.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    got = 2;
  }
  source->standard.next_input_byte = source->buffer;
  source->standard.bytes_in_buffer = static_cast<std::size_t>(got);
  source->started = true;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  auto* source = reinterpret_cast<Source*>(cinfo->src);
  if (count <= 0) return;
  while (count > static_cast<long>(source->standard.bytes_in_buffer)) {
    count -= static_cast<long>(source->standard.bytes_in_buffer);
    FillInput(cinfo);
  }
  source->standard.next_input_byte += count;
  source->standard.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Only plain C objects live in this frame: a longjmp out of libjpeg lands here.
bool Decode(ByteReader& reader, std::vector<std::uint8_t>& block) {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  Source source;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&errors.standard);
  errors.standard.error_exit = ErrorExit;
  errors.standard.output_message = Quiet;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  source.reader = &reader;
  source.started = false;
  source.standard.init_source = InitSource;
  source.standard.fill_input_buffer = FillInput;
  source.standard.skip_input_data = SkipInput;
  source.standard.resync_to_restart = jpeg_resync_to_restart;
  source.standard.term_source = TermSource;
  source.standard.bytes_in_buffer = 0;
  source.standard.next_input_byte = nullptr;
  cinfo.src = &source.standard;

  jpeg_read_header(&cinfo, TRUE);
  std::int64_t width = cinfo.image_width;
  std::int64_t height = cinfo.image_height;
  if (width <= 0 || height <= 0 || width > plat::kMaxImageSide || height > plat::kMaxImageSide ||
      width * height > plat::kMaxImagePixels) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.dither_mode = JDITHER_NONE;
  cinfo.dct_method = JDCT_IFAST;
  cinfo.two_pass_quantize = FALSE;
  bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  if (grey) {
    cinfo.out_color_space = JCS_GRAYSCALE;
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = 236;
  } else if (cmyk) {
    cinfo.out_color_space = JCS_CMYK;
  }
  jpeg_start_decompress(&cinfo);
  int components = cinfo.output_components;
  if ((grey && components != 1) || (cmyk && components != 4) ||
      (!grey && !cmyk && components != 3)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  int bits = grey ? 8 : 24;
  std::int64_t outWidth = cinfo.output_width;
  std::int64_t outHeight = cinfo.output_height;
  std::int64_t stride = plat::DibStride(outWidth, bits);
  std::size_t tableBytes = grey ? 1024 : 0;
  block.assign(plat::kDibHeaderSize + tableBytes + static_cast<std::size_t>(stride * outHeight), 0);
  plat::DibHeader header;
  header.width = static_cast<std::int32_t>(outWidth);
  header.height = static_cast<std::int32_t>(outHeight);
  header.bitCount = static_cast<std::uint16_t>(bits);
  header.imageSize = static_cast<std::uint32_t>(stride * outHeight);
  header.coloursUsed = grey ? 256 : 0;
  plat::WriteDibHeader(header, block.data());
  if (grey) {
    // The quantiser's own levels: the indexes it writes point at these greys.
    std::uint8_t* table = block.data() + plat::kDibHeaderSize;
    for (int i = 0; i < cinfo.actual_number_of_colors && i < 256; ++i) {
      std::uint8_t level = cinfo.colormap ? cinfo.colormap[0][i] : static_cast<std::uint8_t>(i);
      table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = level;
    }
  }
  std::uint8_t* rows = block.data() + plat::kDibHeaderSize + tableBytes;
  JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(outWidth * components), 1);
  bool adobeInverted = cmyk && cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    JDIMENSION y = cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, line, 1) != 1) break;
    std::uint8_t* out = rows + (outHeight - 1 - y) * stride;
    const JSAMPLE* in = line[0];
    for (std::int64_t x = 0; x < outWidth; ++x) {
      if (grey) {
        out[x] = in[x];
      } else if (cmyk) {
        int c = in[4 * x], m = in[4 * x + 1], yel = in[4 * x + 2], k = in[4 * x + 3];
        if (!adobeInverted) {
          c = 255 - c;
          m = 255 - m;
          yel = 255 - yel;
          k = 255 - k;
        }
        out[3 * x] = static_cast<std::uint8_t>(yel * k / 255);
        out[3 * x + 1] = static_cast<std::uint8_t>(m * k / 255);
        out[3 * x + 2] = static_cast<std::uint8_t>(c * k / 255);
      } else {
        out[3 * x] = in[3 * x + 2];
        out[3 * x + 1] = in[3 * x + 1];
        out[3 * x + 2] = in[3 * x];
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

bool Dib::LoadJpeg(ByteReader& source) {
  Free();
  std::vector<std::uint8_t> block;
  if (!Decode(source, block) || !plat::DibView::Parse(block)) return false;
  block_ = std::move(block);
  jpeg_ = true;
  return true;
}

}  // namespace lexo
