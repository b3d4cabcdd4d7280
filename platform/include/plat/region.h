// An area of the plane as a list of disjoint rectangles. Enough for every clip and update area
// the program builds: unions of window, object and strip rectangles.
#pragma once

#include <vector>

#include "plat/geometry.h"

namespace plat {

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& rect);

  bool IsEmpty() const { return rects_.empty(); }
  Rect Bounds() const;
  bool Contains(Point p) const;
  // True when the two cover exactly the same points, however they are cut into rectangles.
  bool SameArea(const Region& other) const;
  long long Area() const;

  void Clear() { rects_.clear(); }
  Region& Unite(const Rect& rect);
  Region& Unite(const Region& other);
  Region& Intersect(const Rect& rect);
  Region& Intersect(const Region& other);
  Region& Subtract(const Rect& rect);
  Region& Subtract(const Region& other);
  Region& Offset(int dx, int dy);

  const std::vector<Rect>& Rects() const { return rects_; }

 private:
  std::vector<Rect> rects_;
};

}  // namespace plat
