#include "plat/region.h"

#include <algorithm>

namespace plat {
namespace {

// The parts of `rect` outside `cut`, at most four, appended to `out`.
void SubtractInto(const Rect& rect, const Rect& cut, std::vector<Rect>& out) {
  Rect overlap = rect.Intersect(cut);
  if (overlap.IsEmpty()) {
    out.push_back(rect);
    return;
  }
  if (rect.top < overlap.top) out.push_back({rect.left, rect.top, rect.right, overlap.top});
  if (overlap.bottom < rect.bottom) {
    out.push_back({rect.left, overlap.bottom, rect.right, rect.bottom});
  }
  if (rect.left < overlap.left) {
    out.push_back({rect.left, overlap.top, overlap.left, overlap.bottom});
  }
  if (overlap.right < rect.right) {
    out.push_back({overlap.right, overlap.top, rect.right, overlap.bottom});
  }
}

}  // namespace

Region::Region(const Rect& rect) {
  if (!rect.IsEmpty()) rects_.push_back(rect);
}

Rect Region::Bounds() const {
  if (rects_.empty()) return {};
  Rect bounds = rects_.front();
  for (const Rect& r : rects_) {
    bounds.left = std::min(bounds.left, r.left);
    bounds.top = std::min(bounds.top, r.top);
    bounds.right = std::max(bounds.right, r.right);
    bounds.bottom = std::max(bounds.bottom, r.bottom);
  }
  return bounds;
}

bool Region::Contains(Point p) const {
  return std::any_of(rects_.begin(), rects_.end(), [p](const Rect& r) { return r.Contains(p); });
}

long long Region::Area() const {
  long long area = 0;
  for (const Rect& r : rects_) area += static_cast<long long>(r.Width()) * r.Height();
  return area;
}

bool Region::SameArea(const Region& other) const {
  Region left = *this;
  Region right = other;
  return left.Subtract(other).IsEmpty() && right.Subtract(*this).IsEmpty();
}

Region& Region::Unite(const Rect& rect) {
  if (rect.IsEmpty()) return *this;
  std::vector<Rect> pieces{rect};
  for (const Rect& existing : rects_) {
    std::vector<Rect> next;
    for (const Rect& piece : pieces) SubtractInto(piece, existing, next);
    pieces.swap(next);
    if (pieces.empty()) return *this;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
  return *this;
}

Region& Region::Unite(const Region& other) {
  if (&other == this) return *this;
  for (const Rect& r : other.rects_) Unite(r);
  return *this;
}

Region& Region::Intersect(const Rect& rect) {
  std::vector<Rect> kept;
  for (const Rect& r : rects_) {
    Rect overlap = r.Intersect(rect);
    if (!overlap.IsEmpty()) kept.push_back(overlap);
  }
  rects_.swap(kept);
  return *this;
}

Region& Region::Intersect(const Region& other) {
  if (&other == this) return *this;
  std::vector<Rect> kept;
  for (const Rect& a : rects_) {
    for (const Rect& b : other.rects_) {
      Rect overlap = a.Intersect(b);
      if (!overlap.IsEmpty()) kept.push_back(overlap);
    }
  }
  rects_.swap(kept);
  return *this;
}

Region& Region::Subtract(const Rect& rect) {
  if (rect.IsEmpty()) return *this;
  std::vector<Rect> kept;
  for (const Rect& r : rects_) SubtractInto(r, rect, kept);
  rects_.swap(kept);
  return *this;
}

Region& Region::Subtract(const Region& other) {
  if (&other == this) {
    rects_.clear();
    return *this;
  }
  for (const Rect& r : other.rects_) Subtract(r);
  return *this;
}

Region& Region::Offset(int dx, int dy) {
  for (Rect& r : rects_) r = r.Offset(dx, dy);
  return *this;
}

}  // namespace plat
