// Pictures made in the tests: BMP files with any header, and JPEG files through libjpeg.
#pragma once

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "plat/colour.h"
#include "plat/dib_format.h"
#include "window/dib.h"

namespace lexo::testing {

using Bytes = std::vector<std::uint8_t>;

struct BmpLayout {
  std::int32_t width = 4;
  std::int32_t height = 3;  // negative: top-down
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<plat::Colour> table;
  bool fileHeader = true;
  bool coreHeader = false;    // the old 12-byte form
  long pixelOffsetDelta = 0;  // added to the true offset in the file header
  Bytes pixels;               // as stored; when empty, rows are made from `colour`
  std::function<plat::Colour(int x, int y)> colour;  // y from the top
  std::function<std::uint8_t(int x, int y)> index;   // for 8-bit rows, y from the top
};

inline Bytes MakeBmp(const BmpLayout& s) {
  Bytes header;
  if (s.coreHeader) {
    header.resize(12);
    plat::WriteLittle32(header.data(), 12);
    plat::WriteLittle16(header.data() + 4, static_cast<std::uint16_t>(s.width));
    plat::WriteLittle16(header.data() + 6, static_cast<std::uint16_t>(s.height));
    plat::WriteLittle16(header.data() + 8, s.planes);
    plat::WriteLittle16(header.data() + 10, s.bitCount);
  } else {
    header.resize(40);
    plat::DibHeader h;
    h.width = s.width;
    h.height = s.height;
    h.planes = s.planes;
    h.bitCount = s.bitCount;
    h.compression = s.compression;
    h.imageSize = s.imageSize;
    h.coloursUsed = s.coloursUsed;
    plat::WriteDibHeader(h, header.data());
  }
  Bytes table;
  for (plat::Colour c : s.table) {
    table.push_back(plat::BlueOf(c));
    table.push_back(plat::GreenOf(c));
    table.push_back(plat::RedOf(c));
    if (!s.coreHeader) table.push_back(0);
  }
  Bytes pixels = s.pixels;
  if (pixels.empty() && (s.colour || s.index)) {
    int height = s.height < 0 ? -s.height : s.height;
    // Rows are laid out as 8 or 24 bits whatever the header claims.
    int layout = s.bitCount == 8 ? 8 : 24;
    auto stride = static_cast<std::size_t>(plat::DibStride(s.width, layout));
    pixels.assign(stride * static_cast<std::size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
      int y = s.height < 0 ? row : height - 1 - row;  // stored row -> row from the top
      std::uint8_t* out = pixels.data() + stride * static_cast<std::size_t>(row);
      for (int x = 0; x < s.width; ++x) {
        if (layout == 8) {
          out[x] = s.index(x, y);
        } else {
          plat::Colour c = s.colour(x, y);
          out[3 * x] = plat::BlueOf(c);
          out[3 * x + 1] = plat::GreenOf(c);
          out[3 * x + 2] = plat::RedOf(c);
        }
      }
    }
  }
  Bytes file;
  if (s.fileHeader) {
    file.resize(14);
    file[0] = 'B';
    file[1] = 'M';
    std::size_t offset = 14 + header.size() + table.size();
    plat::WriteLittle32(file.data() + 2, static_cast<std::uint32_t>(offset + pixels.size()));
    plat::WriteLittle32(file.data() + 10,
                        static_cast<std::uint32_t>(static_cast<long>(offset) + s.pixelOffsetDelta));
  }
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), table.begin(), table.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A JPEG of 1, 3 or 4 (CMYK) components.
inline Bytes MakeJpeg(int width, int height, int components,
                      const std::function<plat::Colour(int x, int y)>& colour, int quality = 95) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      plat::Colour c = colour(x, y);
      JSAMPLE* p = row.data() + x * components;
      if (components == 1) {
        p[0] = plat::RedOf(c);
      } else if (components == 3) {
        p[0] = plat::RedOf(c);
        p[1] = plat::GreenOf(c);
        p[2] = plat::BlueOf(c);
      } else {  // CMYK with an Adobe marker stores the inks inverted: 255 = no ink
        p[0] = plat::RedOf(c);
        p[1] = plat::GreenOf(c);
        p[2] = plat::BlueOf(c);
        p[3] = 255;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

class MemoryReader : public ByteReader {
 public:
  explicit MemoryReader(Bytes bytes, long failAt = -1)
      : bytes_(std::move(bytes)), failAt_(failAt) {}
  long Read(void* buffer, long size) override {
    if (failAt_ >= 0 && position_ >= static_cast<std::size_t>(failAt_)) return -1;
    std::size_t n = std::min(static_cast<std::size_t>(size), bytes_.size() - position_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
  }

 private:
  Bytes bytes_;
  std::size_t position_ = 0;
  long failAt_;
};

// A title's stored files held in memory.
class MemoryTitle : public StoredFiles {
 public:
  void Add(std::string name, Bytes bytes) {
    files_.emplace_back(std::move(name), std::move(bytes));
  }
  std::unique_ptr<ByteReader> OpenStoredFile(std::string_view name) override {
    for (auto& [n, b] : files_) {
      if (n == name) return std::make_unique<MemoryReader>(b);
    }
    return nullptr;
  }
  std::vector<std::pair<std::string, Bytes>> files_;
};

inline std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace lexo::testing
