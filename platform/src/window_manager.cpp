#include "window_manager.h"

#include <algorithm>

#include "plat/headless.h"
#include "plat/message_box.h"
#include "plat/runtime.h"

namespace plat {
namespace wm {
namespace {

std::unique_ptr<Manager>& Instance() {
  static std::unique_ptr<Manager> manager;
  return manager;
}

}  // namespace

Manager::Manager(std::unique_ptr<Backend> b) : backend(std::move(b)) {
  screenSize = backend->InitialScreenSize();
  if (screenSize.width < 1) screenSize.width = 1;
  if (screenSize.height < 1) screenSize.height = 1;
  framebuffer.assign(static_cast<std::size_t>(screenSize.width) * screenSize.height,
                     ToPixel(kDesktopColour));
  dirty = {0, 0, screenSize.width, screenSize.height};
}

Manager::~Manager() = default;

WindowRecord* Manager::Find(Window window) const {
  if (!window) return nullptr;
  auto found = windows.find(window.Value());
  if (found == windows.end() || found->second->dead) return nullptr;
  return found->second.get();
}

Point Manager::ScreenOrigin(const WindowRecord* w) const {
  Point origin{w->frame.left, w->frame.top};
  for (const WindowRecord* p = w->parent; p; p = p->parent) {
    origin.x += p->frame.left;
    origin.y += p->frame.top;
  }
  return origin;
}

Rect Manager::ScreenRect(const WindowRecord* w) const {
  Point origin = ScreenOrigin(w);
  return {origin.x, origin.y, origin.x + w->frame.Width(), origin.y + w->frame.Height()};
}

bool Manager::Shown(const WindowRecord* w) const {
  for (const WindowRecord* p = w; p; p = p->parent) {
    if (!p->OwnVisible() || p->minimized || p->dead) return false;
    if (!p->parent) {
      for (const WindowRecord* o = p->owner; o; o = o->owner) {
        if (o->minimized) return false;
      }
    }
  }
  return true;
}

const Region& Manager::VisibleScreen(WindowRecord* w) {
  if (w->visibleGeneration == layoutGeneration) return w->visibleCache;
  w->visibleGeneration = layoutGeneration;
  Region& area = w->visibleCache;
  area.Clear();
  if (!Shown(w)) return area;
  area = Region(ScreenRect(w).Intersect({0, 0, screenSize.width, screenSize.height}));
  if (area.IsEmpty()) return area;
  // Each level clips to its parent and loses what siblings above it cover.
  for (WindowRecord* level = w; level; level = level->parent) {
    const std::vector<WindowRecord*>& siblings =
        level->parent ? level->parent->children : topLevels;
    for (WindowRecord* above : siblings) {
      if (above == level) break;
      if (Shown(above)) area.Subtract(ScreenRect(above));
    }
    if (level->parent) area.Intersect(ScreenRect(level->parent));
    if (area.IsEmpty()) return area;
  }
  if (w->style & window_style::kClipChildren) {
    for (WindowRecord* child : w->children) {
      if (Shown(child)) area.Subtract(ScreenRect(child));
    }
  }
  return area;
}

Region Manager::VisibleClient(WindowRecord* w) {
  Region area = VisibleScreen(w);
  Point origin = ScreenOrigin(w);
  area.Offset(-origin.x, -origin.y);
  return area;
}

void Manager::InvalidateClient(WindowRecord* w, const Region& area, bool erase) {
  if (w->dead) return;
  Region clipped = area;
  clipped.Intersect(Rect{0, 0, w->frame.Width(), w->frame.Height()});
  if (clipped.IsEmpty()) return;
  w->update.Unite(clipped);
  if (erase) w->erasePending = true;
  if (w->style & window_style::kClipChildren) return;
  for (WindowRecord* child : w->children) {
    if (!Shown(child)) continue;
    Region part = clipped;
    part.Offset(-child->frame.left, -child->frame.top);
    InvalidateClient(child, part, erase);
  }
}

void Manager::InvalidateTree(WindowRecord* w, bool erase) {
  if (w->dead) return;
  w->update = Region(Rect{0, 0, w->frame.Width(), w->frame.Height()});
  if (w->update.IsEmpty()) w->update.Clear();
  if (erase) w->erasePending = true;
  for (WindowRecord* child : w->children) InvalidateTree(child, erase);
}

void Manager::Expose(const Region& screenArea) {
  if (screenArea.IsEmpty()) return;
  std::vector<WindowRecord*> stack(topLevels.begin(), topLevels.end());
  while (!stack.empty()) {
    WindowRecord* w = stack.back();
    stack.pop_back();
    if (!Shown(w)) continue;
    Region part = VisibleScreen(w);
    part.Intersect(screenArea);
    if (!part.IsEmpty()) {
      Point origin = ScreenOrigin(w);
      part.Offset(-origin.x, -origin.y);
      w->update.Unite(part);
      w->erasePending = true;
    }
    for (WindowRecord* child : w->children) stack.push_back(child);
  }
  PaintDesktop(screenArea);
}

void Manager::PaintDesktop(const Region& screenArea) {
  Region desktop = screenArea;
  desktop.Intersect(Rect{0, 0, screenSize.width, screenSize.height});
  for (WindowRecord* w : topLevels) {
    if (Shown(w)) desktop.Subtract(ScreenRect(w));
  }
  Pixel pixel = ToPixel(kDesktopColour);
  PixelSurface surface = Surface();
  for (const Rect& r : desktop.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) std::fill_n(surface.Row(y) + r.left, r.Width(), pixel);
    Touched(r);
  }
}

void Manager::RemoveTopLevel(WindowRecord* w) {
  topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), w), topLevels.end());
}

void Manager::InsertTopLevel(WindowRecord* w) {
  RemoveTopLevel(w);
  auto at = topLevels.begin();
  if (!w->Topmost()) {
    at = std::find_if(topLevels.begin(), topLevels.end(),
                      [](WindowRecord* t) { return !t->Topmost(); });
  }
  topLevels.insert(at, w);
  LayoutChanged();
}

void Manager::RaiseTopLevel(WindowRecord* w) {
  InsertTopLevel(w);
  // Owned windows stay above their owner, in the order they had.
  std::vector<WindowRecord*> owned;
  for (auto it = topLevels.rbegin(); it != topLevels.rend(); ++it) {
    if ((*it)->owner == w) owned.push_back(*it);
  }
  for (WindowRecord* o : owned) RaiseTopLevel(o);
}

PixelSurface Manager::Surface() {
  return {framebuffer.data(), screenSize.width, screenSize.height, screenSize.width};
}

void Manager::Touched(const Rect& area) {
  if (area.IsEmpty()) return;
  if (dirty.IsEmpty()) {
    dirty = area;
  } else {
    dirty = {std::min(dirty.left, area.left), std::min(dirty.top, area.top),
             std::max(dirty.right, area.right), std::max(dirty.bottom, area.bottom)};
  }
}

void Manager::Present(bool force) {
  if (dirty.IsEmpty()) return;
  std::uint32_t now = TickCount();
  if (!force && now - lastPresent < 16) return;
  lastPresent = now;
  Rect changed = dirty.Intersect({0, 0, screenSize.width, screenSize.height});
  dirty = {};
  if (!changed.IsEmpty()) backend->Present(Surface(), changed);
}

FirstParam Manager::MouseFlags() const {
  FirstParam flags = 0;
  if (keys[key::kLeftButton]) flags |= mouse_flag::kLeft;
  if (keys[key::kRightButton]) flags |= mouse_flag::kRight;
  if (keys[key::kMiddleButton]) flags |= mouse_flag::kMiddle;
  if (keys[key::kShift]) flags |= mouse_flag::kShift;
  if (keys[key::kControl]) flags |= mouse_flag::kControl;
  return flags;
}

void Bury(Manager& m, WindowRecord* w) {
  w->dead = true;
  auto found = m.windows.find(w->handle.Value());
  if (found == m.windows.end()) return;
  m.graveyard.push_back(std::move(found->second));
  m.windows.erase(found);
}

Manager* Current() {
  return Instance().get();
}

Manager& Get() {
  if (!Instance()) headless::Start({800, 600});
  return *Instance();
}

}  // namespace wm

void StartWindowing(std::unique_ptr<Backend> backend) {
  if (wm::Instance()) StopWindowing();
  wm::Instance() = std::make_unique<wm::Manager>(std::move(backend));
  wm::RegisterInternalClasses();
  SetMessageBoxHandler([](std::string_view text, std::string_view caption, std::uint32_t flags) {
    return RunMessageBox(Window(), text, caption, flags);
  });
}

void StopWindowing() {
  wm::Manager* m = wm::Current();
  if (!m) return;
  // Top-level windows take their children and owned windows with them.
  while (!m->topLevels.empty()) {
    wm::WindowRecord* w = m->topLevels.back();
    if (!DestroyWindow(w->handle)) m->RemoveTopLevel(w);
  }
  SetMessageBoxHandler({});
  wm::Instance().reset();
}

bool IsWindowingStarted() {
  return wm::Current() != nullptr;
}

}  // namespace plat
