// Points, sizes and rectangles in pixels; rectangles exclude their right and bottom edges.
#pragma once

#include <algorithm>
#include <cstdint>

namespace plat {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(std::int32_t dx, std::int32_t dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
  Rect Intersect(const Rect& other) const {
    Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
           std::min(bottom, other.bottom)};
    return r.IsEmpty() ? Rect{} : r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace plat
