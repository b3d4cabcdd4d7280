#include "mv/compat_display.h"

#include <cstring>

#include "mv/handle_table.h"
#include "mv/title.h"

namespace mv {
namespace {

HandleTable<Display>& Displays() {
  static HandleTable<Display> table;
  return table;
}

MVHGLOBAL TextBlock(const std::optional<std::string>& text) {
  if (!text) return nullptr;
  MVHGLOBAL block = GlobalAllocate(text->size() + 1);
  if (!block) return nullptr;
  const GlobalMemory& memory = CurrentGlobalMemory();
  void* bytes = memory.lock(block);
  if (bytes) std::memcpy(bytes, text->data(), text->size());
  memory.unlock(block);
  return block;
}

}  // namespace

std::shared_ptr<Display> DisplayOfHandle(LPMV display) {
  return Displays().get(display);
}

}  // namespace mv

using mv::DisplayOfHandle;

void MVIMAGEInstallImageProcs(const char* type, MVIMAGELOADPROC load, MVIMAGEDRAWPROC draw,
                              MVIMAGEFREEPROC free, int flags) {
  if (!type) return;
  mv::InstallPictureProcedures(type, {load, draw, free, flags});
}

LPMV lpMVNew(HMVTITLE title, int region) {
  auto engine = mv::TitleOfHandle(title);
  if (!engine) return 0;
  mv::Region r = region == kMVRegionHeading ? mv::Region::heading
                 : region == kMVRegionBody  ? mv::Region::body
                                            : mv::Region::both;
  return mv::Displays().add(std::make_shared<mv::Display>(std::move(engine), title, r));
}

void MVDelete(LPMV display) {
  mv::Displays().remove(display);
}

int fMVSetWindow(LPMV display, plat::Window window) {
  auto d = DisplayOfHandle(display);
  return d && d->setWindow(window);
}

int fMVSetAddress(LPMV display, std::int32_t va, int mode) {
  auto d = DisplayOfHandle(display);
  return d && d->setAddress(static_cast<mv::Va>(va), mode);
}

int fMVSetPlace(LPMV display, std::int32_t va, std::int32_t pixelsAbove) {
  auto d = DisplayOfHandle(display);
  return d && d->setPlace(static_cast<mv::Va>(va), pixelsAbove);
}

int fMVRealize(LPMV display, const plat::Rect* rect) {
  auto d = DisplayOfHandle(display);
  return d && rect && d->realize(*rect);
}

void MVUnrealize(LPMV display) {
  if (auto d = DisplayOfHandle(display)) d->unrealize();
}

int fMVApplyToDC(LPMV display, plat::Canvas* dc, const plat::Rect* update) {
  auto d = DisplayOfHandle(display);
  if (!d || !dc) return 0;
  return d->paint(*dc, update ? *update : d->rect());
}

plat::Point ptMVGetSize(LPMV display) {
  auto d = DisplayOfHandle(display);
  if (!d) return {};
  plat::Size size = d->contentSize();
  return {size.width, size.height};
}

plat::Point ptMVGetScrollSizes(LPMV display) {
  auto d = DisplayOfHandle(display);
  if (!d) return {};
  plat::Size size = d->scrollSizes();
  return {size.width, size.height};
}

std::int32_t yMVScrollY(LPMV display, int code, std::int32_t position) {
  auto d = DisplayOfHandle(display);
  return d ? d->scrollY(code, position) : 0;
}

std::int32_t xMVScrollX(LPMV display, int code, std::int32_t position) {
  auto d = DisplayOfHandle(display);
  return d ? d->scrollX(code, position) : 0;
}

std::int32_t yMVGetYScrollPos(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? d->scrollPositionY() : 0;
}

std::int32_t xMVGetXScrollPos(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? d->scrollPositionX() : 0;
}

int fMVScrollToAddr(LPMV display, std::int32_t va) {
  auto d = DisplayOfHandle(display);
  return d && d->scrollToAddress(static_cast<mv::Va>(va));
}

void MVHidePartialLines(LPMV display, int hide) {
  if (auto d = DisplayOfHandle(display)) d->hidePartialLines(hide != 0);
}

void MVSetBkColor(LPMV display, plat::Colour colour) {
  if (auto d = DisplayOfHandle(display)) d->setBackColour(colour);
}

void MVSetTextColor(LPMV display, plat::Colour colour) {
  if (auto d = DisplayOfHandle(display)) d->setTextColour(colour);
}

int fMVAllowEWSelection(LPMV display, int allow) {
  auto d = DisplayOfHandle(display);
  return d && d->allowSelection(allow != 0);
}

plat::Window hwndMVGetEmbeddedWindow(LPMV display, plat::Window previous) {
  auto d = DisplayOfHandle(display);
  return d ? d->embeddedWindow(previous) : plat::Window();
}

int iMVGetMagnifier(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? d->magnifier() : 0;
}

int fMVSetMagnifier(LPMV display, int percent) {
  auto d = DisplayOfHandle(display);
  return d && d->setMagnifier(percent);
}

std::int32_t MVGetAddress(LPMV display, std::int32_t* pixelsAbove) {
  if (pixelsAbove) *pixelsAbove = 0;
  auto d = DisplayOfHandle(display);
  return d ? mv::ToInt(d->address(pixelsAbove)) : -1;
}

MVHGLOBAL hMVGetData(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::TextBlock(d->data()) : nullptr;
}

MVHGLOBAL hMVGetName(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::TextBlock(d->name()) : nullptr;
}

std::int32_t lMVTopicNumber(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? d->topicNumber() : -1;
}

std::int32_t addrMVGetNext(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::ToInt(d->nextTopic()) : -1;
}

std::int32_t addrMVGetPrev(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::ToInt(d->previousTopic()) : -1;
}

int fMVHasSR(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d && d->hasScrollingRegion();
}

int fMVGetPointInfo(LPMV display, plat::Point point, MVHOTSPOTRECORD* hotspot, char* text,
                    MVPOINTRECORD* where) {
  auto d = DisplayOfHandle(display);
  if (!d) {
    if (where) *where = {};
    return 0;
  }
  return d->pointInfo(point, hotspot, text, where);
}

void MVSelectPoint(LPMV display, plat::Point point, int mode) {
  if (auto d = DisplayOfHandle(display)) d->selectPoint(point, mode);
}

int fMVIsSelected(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d && d->isSelected();
}

int fMVClearSelection(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d && d->clearSelection();
}

MVHGLOBAL hMVCopySelection(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::TextBlock(d->copySelection()) : nullptr;
}

MVHGLOBAL hMVCopyAdvanced(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::TextBlock(d->copyAdvanced()) : nullptr;
}

MVHGLOBAL hMVCopyMedia(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? mv::TextBlock(d->copyMedia()) : nullptr;
}

int fMVPrintMedia(LPMV) {
  return 0;
}

MVHGLOBAL hMVSetHighlights(LPMV display, MVHGLOBAL highlights) {
  auto d = DisplayOfHandle(display);
  return d ? d->setHighlights(highlights) : nullptr;
}

MVHGLOBAL hMVGetHighlights(LPMV display) {
  auto d = DisplayOfHandle(display);
  return d ? d->highlightsBlock() : nullptr;
}

int fMVScrollToHighlight(LPMV display, std::int32_t index) {
  auto d = DisplayOfHandle(display);
  return d && d->scrollToHighlight(index);
}
