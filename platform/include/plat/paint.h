// The painting protocol: update regions that accumulate (and so does the erase request),
// paint scopes, window and screen canvases over the one framebuffer, and pixel scrolling.
#pragma once

#include <memory>

#include "plat/canvas.h"
#include "plat/geometry.h"
#include "plat/region.h"
#include "plat/window.h"

namespace plat {

// A null area means the whole client area. A parent without clip-children also invalidates
// its children beneath the area.
void Invalidate(Window window, const Rect* area, bool erase);
void InvalidateRegion(Window window, const Region& area, bool erase);
void Validate(Window window, const Rect* area);
// Sends the paint message now when the update region is not empty; children are not included.
void UpdateNow(Window window);
bool HasUpdate(Window window);
// Client coordinates; empty when nothing is invalid.
Region UpdateRegion(Window window);

class WindowSurfaceTarget;

// Begin and end of painting: takes the update region, sends the erase message (first
// parameter: the canvas) when erasing was requested, and draws only inside that region.
class PaintScope {
 public:
  explicit PaintScope(Window window);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  Canvas& GetCanvas() { return canvas_; }
  Rect Area() const { return area_; }  // bounds of what is painted, client coordinates
  // True when erasing was requested and the erase handler answered 0.
  bool EraseLeft() const { return eraseLeft_; }

 private:
  std::unique_ptr<WindowSurfaceTarget> target_;
  Canvas canvas_;
  Rect area_;
  bool eraseLeft_ = false;
};

// Draws into the visible part of a window at any time.
class WindowCanvas {
 public:
  explicit WindowCanvas(Window window);
  ~WindowCanvas();
  WindowCanvas(const WindowCanvas&) = delete;
  WindowCanvas& operator=(const WindowCanvas&) = delete;
  Canvas& GetCanvas() { return canvas_; }
  Canvas* operator->() { return &canvas_; }

 private:
  std::unique_ptr<WindowSurfaceTarget> target_;
  Canvas canvas_;
};

// Draws over all windows (focus rectangles while dragging).
class ScreenCanvas {
 public:
  ScreenCanvas();
  ~ScreenCanvas();
  ScreenCanvas(const ScreenCanvas&) = delete;
  ScreenCanvas& operator=(const ScreenCanvas&) = delete;
  Canvas& GetCanvas() { return canvas_; }
  Canvas* operator->() { return &canvas_; }

 private:
  std::unique_ptr<CanvasTarget> target_;
  Canvas canvas_;
};

// Moves the window's pixels inside `area` (client coordinates) by (dx, dy), clipped to the
// area; child windows stay where they are. The uncovered strip is invalidated with erasing.
void ScrollWindowPixels(Window window, int dx, int dy, const Rect& area);

}  // namespace plat
