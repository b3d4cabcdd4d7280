// A palette is a colour table only: every surface is true colour, so selecting or realising a
// palette changes no pixel. 8-bit index access stays with the images that carry the indexes.
#pragma once

#include <vector>

#include "plat/colour.h"

namespace plat {

struct Palette {
  std::vector<Colour> entries;
};

}  // namespace plat
