// Update regions, the paint and erase protocol, canvases over the framebuffer, scrolling.
#include <algorithm>
#include <cstring>
#include <optional>

#include "plat/messages.h"
#include "plat/paint.h"
#include "window_manager.h"

namespace plat {

using wm::Manager;
using wm::WindowRecord;

// A window's part of the framebuffer: its visible region, optionally narrowed to the area
// being painted.
class WindowSurfaceTarget : public CanvasTarget {
 public:
  WindowSurfaceTarget(Window window, std::optional<Region> paintArea)
      : window_(window), paintArea_(std::move(paintArea)) {}

  PixelSurface Surface() override {
    Manager* m = wm::Current();
    if (!m || !m->Find(window_)) return {};
    return m->Surface();
  }
  Point DeviceOrigin() const override {
    Manager* m = wm::Current();
    WindowRecord* w = m ? m->Find(window_) : nullptr;
    return w ? m->ScreenOrigin(w) : Point{};
  }
  const Region* VisibleRegion() const override {
    Manager* m = wm::Current();
    WindowRecord* w = m ? m->Find(window_) : nullptr;
    if (!w) {
      visible_.Clear();
      return &visible_;
    }
    if (generation_ != m->layoutGeneration || !ready_) {
      visible_ = m->VisibleClient(w);
      if (paintArea_) visible_.Intersect(*paintArea_);
      generation_ = m->layoutGeneration;
      ready_ = true;
    }
    return &visible_;
  }
  void Touched(const Rect& surfaceArea) override {
    if (Manager* m = wm::Current()) m->Touched(surfaceArea);
  }

 private:
  Window window_;
  std::optional<Region> paintArea_;
  mutable Region visible_;
  mutable std::uint64_t generation_ = 0;
  mutable bool ready_ = false;
};

namespace {

class ScreenTarget : public CanvasTarget {
 public:
  PixelSurface Surface() override {
    Manager* m = wm::Current();
    return m ? m->Surface() : PixelSurface{};
  }
  void Touched(const Rect& surfaceArea) override {
    if (Manager* m = wm::Current()) m->Touched(surfaceArea);
  }
};

}  // namespace

void Invalidate(Window window, const Rect* area, bool erase) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return;
  Rect whole{0, 0, w->frame.Width(), w->frame.Height()};
  m.InvalidateClient(w, Region(area ? *area : whole), erase);
}

void InvalidateRegion(Window window, const Region& area, bool erase) {
  Manager& m = wm::Get();
  if (WindowRecord* w = m.Find(window)) m.InvalidateClient(w, area, erase);
}

void Validate(Window window, const Rect* area) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return;
  if (area) {
    w->update.Subtract(*area);
  } else {
    w->update.Clear();
  }
  if (w->update.IsEmpty()) w->erasePending = false;
}

void UpdateNow(Window window) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w || w->update.IsEmpty() || !m.Shown(w)) return;
  Message paint{window, msg::kPaint, 0, 0, 0, m.pointer};
  Dispatch(paint);
  m.Present(false);
}

bool HasUpdate(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && !w->update.IsEmpty();
}

Region UpdateRegion(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->update : Region();
}

// ---- paint scope ----

namespace {

std::unique_ptr<WindowSurfaceTarget> BeginPaint(Window window, Rect& area, bool& erase) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  Region update;
  erase = false;
  if (w) {
    update = w->update;
    erase = w->erasePending;
    w->update.Clear();
    w->erasePending = false;
  }
  area = update.Bounds();
  return std::make_unique<WindowSurfaceTarget>(window, std::move(update));
}

}  // namespace

PaintScope::PaintScope(Window window) : target_(nullptr), canvas_() {
  bool erase = false;
  target_ = BeginPaint(window, area_, erase);
  canvas_ = Canvas(*target_);
  if (erase && !area_.IsEmpty()) {
    eraseLeft_ =
        SendMessage(window, msg::kEraseBackground, reinterpret_cast<FirstParam>(&canvas_), 0) == 0;
  }
}

PaintScope::~PaintScope() {
  if (Manager* m = wm::Current()) m->Present(false);
}

WindowCanvas::WindowCanvas(Window window)
    : target_(std::make_unique<WindowSurfaceTarget>(window, std::nullopt)), canvas_(*target_) {}

WindowCanvas::~WindowCanvas() {
  if (Manager* m = wm::Current()) m->Present(false);
}

ScreenCanvas::ScreenCanvas() : target_(std::make_unique<ScreenTarget>()), canvas_(*target_) {}

ScreenCanvas::~ScreenCanvas() {
  if (Manager* m = wm::Current()) m->Present(false);
}

// ---- scrolling ----

void ScrollWindowPixels(Window window, int dx, int dy, const Rect& area) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return;
  Rect scrollArea = area.Intersect({0, 0, w->frame.Width(), w->frame.Height()});
  if (scrollArea.IsEmpty() || (dx == 0 && dy == 0)) return;
  Region visible = m.VisibleClient(w);
  visible.Intersect(scrollArea);
  // Pixels worth moving: visible and not waiting to be painted anyway.
  Region source = visible;
  source.Subtract(w->update);
  Region moved = source;
  moved.Offset(dx, dy);
  moved.Intersect(visible);

  Point origin = m.ScreenOrigin(w);
  PixelSurface surface = m.Surface();
  // All sources are read before anything is written: the rectangles may overlap each
  // other's sources.
  std::vector<std::vector<Pixel>> copies;
  for (const Rect& r : moved.Rects()) {
    Rect dest = r.Offset(origin.x, origin.y);
    std::vector<Pixel> copy(static_cast<std::size_t>(r.Width()) * r.Height());
    for (int y = 0; y < r.Height(); ++y) {
      const Pixel* from = surface.Row(dest.top + y - dy) + dest.left - dx;
      std::memcpy(copy.data() + static_cast<std::size_t>(y) * r.Width(), from,
                  sizeof(Pixel) * static_cast<std::size_t>(r.Width()));
    }
    copies.push_back(std::move(copy));
  }
  std::size_t index = 0;
  for (const Rect& r : moved.Rects()) {
    Rect dest = r.Offset(origin.x, origin.y);
    const std::vector<Pixel>& copy = copies[index++];
    for (int y = 0; y < r.Height(); ++y) {
      std::memcpy(surface.Row(dest.top + y) + dest.left,
                  copy.data() + static_cast<std::size_t>(y) * r.Width(),
                  sizeof(Pixel) * static_cast<std::size_t>(r.Width()));
    }
    m.Touched(dest);
  }
  // The pending update inside the area moves with the pixels.
  Region pending = w->update;
  pending.Intersect(scrollArea);
  w->update.Subtract(scrollArea);
  pending.Offset(dx, dy);
  pending.Intersect(scrollArea);
  w->update.Unite(pending);
  Region uncovered(scrollArea);
  uncovered.Subtract(moved);
  m.InvalidateClient(w, uncovered, true);
}

}  // namespace plat
