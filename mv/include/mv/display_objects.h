// What displays embed but do not draw themselves: pictures through procedures the host
// installs per picture type, and child windows made by a host factory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/canvas.h"
#include "plat/geometry.h"
#include "plat/window.h"

namespace mv {

// What the load procedure gets and fills in.
struct PictureLoadRequest {
  const char* name = nullptr;  // code page 1251, as the topic names it ("!x.jpg" is baggage)
  std::uint32_t title = 0;     // the title handle the display was made on
  int print = 0;
  void* picture = nullptr;  // filled in: the loaded picture
  int printCopy = 0;        // filled in: a copy of the print flag
  std::int32_t width = 0;   // filled in: size in pixels
  std::int32_t height = 0;
};

// Load answers 1 when it filled the request. Draw gets the canvas with its origin at the
// picture's top-left corner and the part to draw in picture coordinates. Free releases it.
using PictureLoadProc = int (*)(PictureLoadRequest* request);
using PictureDrawProc = int (*)(plat::Canvas* dc, void* picture, int print, const plat::Rect* part);
using PictureFreeProc = int (*)(void* picture);

struct PictureProcedures {
  PictureLoadProc load = nullptr;
  PictureDrawProc draw = nullptr;
  PictureFreeProc free = nullptr;
  // Bit 0: a display keeps what it loaded until it drops its topic (new address, unrealize,
  // delete), so laying out again at another width or magnifier loads nothing anew. Without
  // it every layout loads its pictures and frees them when the layout is replaced.
  int flags = 0;
};

// Null procedures remove the type. Displays use the type "PICT".
void InstallPictureProcedures(std::string_view type, const PictureProcedures& procedures);
PictureProcedures PictureProceduresFor(std::string_view type);

// The pictures one display loaded, each loaded once per name.
class PictureCache {
 public:
  PictureCache() = default;
  ~PictureCache() { clear(); }
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  void setTitle(std::uint32_t title) { title_ = title; }
  // Index of the picture, -1 when no procedures are installed or loading failed.
  std::int32_t load(const std::string& utf8Name, plat::Size& size);
  // Draws the visible part of picture `index` whose top-left corner is at `at` (logical
  // coordinates of the canvas); `visible` is the part of the canvas to cover.
  void draw(plat::Canvas& canvas, std::int32_t index, plat::Point at,
            const plat::Rect& visible) const;
  // Frees every picture.
  void clear();
  // Called before a new layout: without the keep flag the previous layout's pictures go.
  void beginLayout();
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string name;
    void* picture = nullptr;
    plat::Size size;
    PictureProcedures procedures;  // the ones that loaded it free it
    bool failed = false;
  };
  std::uint32_t title_ = 0;
  std::vector<Entry> entries_;
};

// Makes the child window of an embedded-window element inside the display's window.
using EmbeddedWindowFactory =
    std::function<plat::Window(plat::Window parent, std::string_view className,
                               std::string_view parameter, const plat::Rect& frame)>;
// An empty factory restores the default, which makes placeholder windows of the element's
// class (a framed box showing the parameter) unless the class is registered already.
void SetEmbeddedWindowFactory(EmbeddedWindowFactory factory);
plat::Window CreateEmbeddedWindow(plat::Window parent, std::string_view className,
                                  std::string_view parameter, const plat::Rect& frame);

}  // namespace mv
