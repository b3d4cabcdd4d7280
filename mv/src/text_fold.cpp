#include "mv/text_fold.h"

#include "plat/cp1251.h"

namespace mv {

std::string ToUtf8(std::string_view cp1251) {
  return plat::cp1251::ToUtf8(cp1251);
}

std::string ToCp1251(std::string_view utf8) {
  return plat::cp1251::FromUtf8(utf8);
}

std::string WheelKey(std::string_view cp1251) {
  std::string key;
  key.reserve(cp1251.size() * 2);
  bool markerSeen = false;
  for (char ch : cp1251) {
    auto byte = static_cast<unsigned char>(ch);
    if (byte == 0x98 && !markerSeen) {
      markerSeen = true;
      continue;
    }
    std::uint16_t order = plat::cp1251::SortKey(byte);
    key += static_cast<char>(order >> 8);
    key += static_cast<char>(order & 0xFF);
  }
  return key;
}

std::string WheelSortKey(std::string_view cp1251) {
  std::string key = WheelKey(cp1251);
  key += '\0';
  key += '\0';
  key.append(cp1251);
  return key;
}

std::size_t CountCharacters(std::string_view utf8) {
  std::size_t count = 0;
  for (char ch : utf8) count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  return count;
}

}  // namespace mv
