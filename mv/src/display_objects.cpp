#include "mv/display_objects.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "plat/cp1251.h"
#include "plat/messages.h"
#include "plat/paint.h"

namespace mv {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, PictureProcedures, std::less<>> procedures;
  EmbeddedWindowFactory factory;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// The stand-in for embedded windows whose behaviour the host has not supplied.
plat::Answer PlaceholderProcedure(plat::Window window, std::uint32_t message,
                                  plat::FirstParam first, plat::SecondParam second) {
  if (message == plat::msg::kPaint) {
    plat::PaintScope paint(window);
    plat::Canvas& canvas = paint.GetCanvas();
    plat::Rect client = plat::ClientRect(window);
    canvas.FillRect(client, plat::Brush::Solid(plat::MakeColour(0x30, 0x30, 0x30)));
    canvas.FrameRect(client, plat::Brush::Solid(plat::MakeColour(0x90, 0x90, 0x90)));
    canvas.SetBackMode(plat::BackgroundMode::Transparent);
    canvas.SetTextColour(plat::MakeColour(0xE0, 0xE0, 0xE0));
    std::string text = plat::WindowText(window);
    plat::Rect inside{client.left + 4, client.top + 4, client.right - 4, client.bottom - 4};
    canvas.DrawText(
        text, inside,
        plat::text_format::kCentre | plat::text_format::kWordBreak | plat::text_format::kNoPrefix);
    return 0;
  }
  return plat::DefaultProcedure(window, message, first, second);
}

plat::Window DefaultFactory(plat::Window parent, std::string_view className,
                            std::string_view parameter, const plat::Rect& frame) {
  if (!plat::IsWindowClassRegistered(className)) {
    plat::WindowClassInfo parameters;
    parameters.name = std::string(className);
    parameters.procedure = &PlaceholderProcedure;
    plat::RegisterWindowClass(parameters);
  }
  plat::WindowCreateInfo parameters;
  parameters.className = std::string(className);
  parameters.text = std::string(parameter);
  parameters.style = plat::window_style::kChild | plat::window_style::kClipSiblings;
  parameters.frame = frame;
  parameters.parent = parent;
  return plat::CreateWindow(parameters);
}

}  // namespace

void InstallPictureProcedures(std::string_view type, const PictureProcedures& procedures) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  std::string key = plat::cp1251::ToUpper(type);
  if (!procedures.load) {
    r.procedures.erase(key);
  } else {
    r.procedures[key] = procedures;
  }
}

PictureProcedures PictureProceduresFor(std::string_view type) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.procedures.find(plat::cp1251::ToUpper(type));
  return it == r.procedures.end() ? PictureProcedures{} : it->second;
}

std::int32_t PictureCache::load(const std::string& utf8Name, plat::Size& size) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].name == utf8Name) {
      size = entries_[i].size;
      return entries_[i].failed ? -1 : static_cast<std::int32_t>(i);
    }
  }
  Entry entry;
  entry.name = utf8Name;
  entry.procedures = PictureProceduresFor("PICT");
  if (entry.procedures.load) {
    std::string name = plat::cp1251::FromUtf8(utf8Name);
    PictureLoadRequest request;
    request.name = name.c_str();
    request.title = title_;
    if (entry.procedures.load(&request) && request.width >= 0 && request.height >= 0) {
      entry.picture = request.picture;
      entry.size = {request.width, request.height};
    } else {
      // A procedure that fails anyway may still have handed something back.
      if (request.picture && entry.procedures.free) entry.procedures.free(request.picture);
      entry.failed = true;
    }
  } else {
    entry.failed = true;
  }
  size = entry.size;
  entries_.push_back(std::move(entry));
  return entries_.back().failed ? -1 : static_cast<std::int32_t>(entries_.size() - 1);
}

void PictureCache::draw(plat::Canvas& canvas, std::int32_t index, plat::Point at,
                        const plat::Rect& visible) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return;
  const Entry& e = entries_[static_cast<std::size_t>(index)];
  if (e.failed || !e.procedures.draw) return;
  plat::Rect box{at.x, at.y, at.x + e.size.width, at.y + e.size.height};
  plat::Rect part = box.Intersect(visible);
  if (part.IsEmpty()) return;
  // The procedure draws in picture coordinates: the origin moves to the picture's corner.
  int saved = canvas.Save();
  plat::Point origin = canvas.Origin();
  canvas.SetOrigin({origin.x + at.x, origin.y + at.y});
  plat::Rect local = part.Offset(-at.x, -at.y);
  e.procedures.draw(&canvas, e.picture, 0, &local);
  canvas.Restore(saved);
}

void PictureCache::clear() {
  for (Entry& e : entries_) {
    if (e.picture && e.procedures.free) e.procedures.free(e.picture);
  }
  entries_.clear();
}

void PictureCache::beginLayout() {
  if (!(PictureProceduresFor("PICT").flags & 1)) clear();
}

void SetEmbeddedWindowFactory(EmbeddedWindowFactory factory) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.factory = std::move(factory);
}

plat::Window CreateEmbeddedWindow(plat::Window parent, std::string_view className,
                                  std::string_view parameter, const plat::Rect& frame) {
  EmbeddedWindowFactory factory;
  {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    factory = r.factory;
  }
  if (factory) return factory(parent, className, parameter, frame);
  return DefaultFactory(parent, className, parameter, frame);
}

}  // namespace mv
