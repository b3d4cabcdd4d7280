#include "plat/utf8.h"

namespace plat::utf8 {

std::optional<char32_t> Decode(std::string_view text, std::size_t& position) {
  auto lead = static_cast<unsigned char>(text[position]);
  std::size_t length = lead < 0x80             ? 1
                       : (lead & 0xE0) == 0xC0 ? 2
                       : (lead & 0xF0) == 0xE0 ? 3
                       : (lead & 0xF8) == 0xF0 ? 4
                                               : 0;
  if (length == 0 || position + length > text.size()) {
    ++position;
    return std::nullopt;
  }
  char32_t c = length == 1   ? lead
               : length == 2 ? lead & 0x1F
               : length == 3 ? lead & 0x0F
                             : lead & 0x07;
  for (std::size_t k = 1; k < length; ++k) {
    auto next = static_cast<unsigned char>(text[position + k]);
    if ((next & 0xC0) != 0x80) {
      ++position;
      return std::nullopt;
    }
    c = (c << 6) | (next & 0x3F);
  }
  position += length;
  return c;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace plat::utf8
