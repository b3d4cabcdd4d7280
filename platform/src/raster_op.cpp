#include "plat/raster_op.h"

#include <array>
#include <cstring>
#include <utility>

namespace plat {
namespace {

// The truth table as a sum of its minterms; each instantiation folds to a few boolean
// operations.
template <unsigned Table>
inline Pixel Combine(Pixel p, Pixel s, Pixel d) {
  Pixel r = 0;
  if constexpr ((Table & 0x01) != 0) r |= ~p & ~s & ~d;
  if constexpr ((Table & 0x02) != 0) r |= ~p & ~s & d;
  if constexpr ((Table & 0x04) != 0) r |= ~p & s & ~d;
  if constexpr ((Table & 0x08) != 0) r |= ~p & s & d;
  if constexpr ((Table & 0x10) != 0) r |= p & ~s & ~d;
  if constexpr ((Table & 0x20) != 0) r |= p & ~s & d;
  if constexpr ((Table & 0x40) != 0) r |= p & s & ~d;
  if constexpr ((Table & 0x80) != 0) r |= p & s & d;
  return r & kPixelMask;
}

template <unsigned Table>
void Row(Pixel* destination, const Pixel* source, Pixel pattern, std::size_t count) {
  if constexpr (UsesSource(Table)) {
    for (std::size_t i = 0; i < count; ++i) {
      destination[i] = Combine<Table>(pattern, source[i], destination[i]);
    }
  } else {
    (void)source;
    for (std::size_t i = 0; i < count; ++i) {
      destination[i] = Combine<Table>(pattern, 0, destination[i]);
    }
  }
}

using RowFunction = void (*)(Pixel*, const Pixel*, Pixel, std::size_t);

template <std::size_t... I>
constexpr std::array<RowFunction, 256> MakeTable(std::index_sequence<I...>) {
  return {&Row<I>...};
}

constexpr std::array<RowFunction, 256> kRows = MakeTable(std::make_index_sequence<256>());

}  // namespace

void ApplyRasterRow(std::uint8_t table, Pixel* destination, const Pixel* source, Pixel pattern,
                    std::size_t count) {
  if (count == 0) return;
  switch (table) {
    case 0xCC:  // the common copy; pixels keep their top byte clear by convention
      std::memmove(destination, source, count * sizeof(Pixel));
      return;
    case 0xF0:
      for (std::size_t i = 0; i < count; ++i) destination[i] = pattern & kPixelMask;
      return;
    default:
      kRows[table](destination, source, pattern, count);
  }
}

}  // namespace plat
