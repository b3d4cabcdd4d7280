// The runtime's display calls under the names and argument orders the viewer uses. A display
// handle is an opaque id: 0 means failure, and a handle used after MVDelete finds nothing
// (answers 0, -1 or an empty point) instead of crashing. Positions are pixels; points and
// rectangles are client coordinates of the window the display is bound to; texts are code
// page 1251; text blocks are the viewer's global memory, freed by the caller.
#pragma once

#include <cstdint>

#include "mv/compat.h"
#include "mv/display.h"
#include "mv/display_objects.h"
#include "plat/canvas.h"
#include "plat/geometry.h"
#include "plat/window.h"

using LPMV = std::uint32_t;
using MVHOTSPOTRECORD = mv::HotspotRecord;
using MVPOINTRECORD = mv::PointRecord;
using MVIMAGELOADREQUEST = mv::PictureLoadRequest;
using MVIMAGELOADPROC = mv::PictureLoadProc;
using MVIMAGEDRAWPROC = mv::PictureDrawProc;
using MVIMAGEFREEPROC = mv::PictureFreeProc;

// Regions a display shows.
inline constexpr int kMVRegionBoth = 0, kMVRegionHeading = 1, kMVRegionBody = 2;

// Picture procedures for a picture type ("PICT"); flag 1 keeps loaded pictures per display
// until the display leaves its topic.
void MVIMAGEInstallImageProcs(const char* type, MVIMAGELOADPROC load, MVIMAGEDRAWPROC draw,
                              MVIMAGEFREEPROC free, int flags);

LPMV lpMVNew(HMVTITLE title, int region = kMVRegionBoth);
void MVDelete(LPMV display);
int fMVSetWindow(LPMV display, plat::Window window);
// Mode 0: the address's line at the top; mode 1: the topic from its start.
int fMVSetAddress(LPMV display, std::int32_t va, int mode);
// Restores a place MVGetAddress gave (address and pixels above); takes effect at realize.
int fMVSetPlace(LPMV display, std::int32_t va, std::int32_t pixelsAbove);
int fMVRealize(LPMV display, const plat::Rect* rect);
void MVUnrealize(LPMV display);
int fMVApplyToDC(LPMV display, plat::Canvas* dc, const plat::Rect* update);
plat::Point ptMVGetSize(LPMV display);
plat::Point ptMVGetScrollSizes(LPMV display);
// Codes: 0 line up, 1 line down, 2 page up, 3 page down, 4 and 5 position, 6 top, 7 bottom.
std::int32_t yMVScrollY(LPMV display, int code, std::int32_t position);
std::int32_t xMVScrollX(LPMV display, int code, std::int32_t position);
std::int32_t yMVGetYScrollPos(LPMV display);
std::int32_t xMVGetXScrollPos(LPMV display);
int fMVScrollToAddr(LPMV display, std::int32_t va);
void MVHidePartialLines(LPMV display, int hide);
void MVSetBkColor(LPMV display, plat::Colour colour);
void MVSetTextColor(LPMV display, plat::Colour colour);
// Returns the previous setting.
int fMVAllowEWSelection(LPMV display, int allow);
plat::Window hwndMVGetEmbeddedWindow(LPMV display, plat::Window previous);
int iMVGetMagnifier(LPMV display);
int fMVSetMagnifier(LPMV display, int percent);
// Address of the top line; *pixelsAbove gets how much of it is scrolled out.
std::int32_t MVGetAddress(LPMV display, std::int32_t* pixelsAbove);
MVHGLOBAL hMVGetData(LPMV display);
MVHGLOBAL hMVGetName(LPMV display);
std::int32_t lMVTopicNumber(LPMV display);
std::int32_t addrMVGetNext(LPMV display);
std::int32_t addrMVGetPrev(LPMV display);
int fMVHasSR(LPMV display);

// `text` is the caller's 256-byte buffer.
int fMVGetPointInfo(LPMV display, plat::Point point, MVHOTSPOTRECORD* hotspot, char* text,
                    MVPOINTRECORD* where);
// Modes: 0 anchor, 1 extend, 2 word, 3 all, 4 clear.
void MVSelectPoint(LPMV display, plat::Point point, int mode);
int fMVIsSelected(LPMV display);
// Returns whether there was a selection.
int fMVClearSelection(LPMV display);
MVHGLOBAL hMVCopySelection(LPMV display);
MVHGLOBAL hMVCopyAdvanced(LPMV display);
MVHGLOBAL hMVCopyMedia(LPMV display);
int fMVPrintMedia(LPMV display);

// The display keeps its own copy of the hits; the handle it returns stays the display's.
MVHGLOBAL hMVSetHighlights(LPMV display, MVHGLOBAL highlights);
MVHGLOBAL hMVGetHighlights(LPMV display);
int fMVScrollToHighlight(LPMV display, std::int32_t index);

namespace mv {
// The engine behind a display handle; null for a stale handle.
std::shared_ptr<Display> DisplayOfHandle(LPMV display);
}  // namespace mv
