// The runtime's data calls under the names and argument orders the viewer uses. Handles are
// opaque ids: 0 means failure or absent, and a handle used after it was closed finds nothing
// (answers 0 or -1) instead of crashing. Texts are code page 1251; paths are program paths
// (backslashes, any letter case), resolved like every other file the viewer opens.
#pragma once

#include <cstdint>
#include <memory>

using HMVTITLE = std::uint32_t;
using HMVWW = std::uint32_t;
using HMVTL = std::uint32_t;
using HMVGROUP = std::uint32_t;
using HMVBAGGAGE = std::uint32_t;
using MVHGLOBAL = void*;  // a block of the viewer's global memory; the caller frees it
using MVYIELDPROC = int (*)();

struct MVERR {
  std::int32_t code;    // 0 ok, 1 syntax error, 2 cancelled, 3 failed
  std::int32_t offset;  // character offset of a syntax error, else -1
};

// Runtime.
void MVSetInstance(const void* instance);
void MVTerminate(const void* instance);

// Titles. The yield procedure runs only while a query on the title is evaluated; a non-zero
// answer cancels it.
HMVTITLE hMVTitleOpen(const char* path);
HMVTITLE hMVTitleOpenEx(const char* path, MVYIELDPROC yield, std::intptr_t reserved);
void MVTitleClose(HMVTITLE title);
// Codes: 1 caption, 2 copyright, 100 topic count, 101 version, 102 title of topic `param`.
// Text goes to `buffer` (256 bytes); the result is its length, or the value; -1 on failure.
std::int32_t lMVTitleGetInfo(HMVTITLE title, std::uint32_t code, std::int32_t param, char* buffer);
void MVTitleNotifyLayout(HMVTITLE title, std::int32_t reserved, int longOperation);

// Baggage.
HMVBAGGAGE hMVBaggageOpen(HMVTITLE title, const char* name, std::uint32_t flags,
                          std::int32_t* error);
std::int32_t lMVBaggageRead(HMVBAGGAGE baggage, void* buffer, std::int32_t count);
void MVBaggageClose(HMVBAGGAGE baggage);

// Word wheels and their key indexes.
HMVWW hMVWordWheelOpenTitle(HMVTITLE title, const char* name);
void MVWordWheelClose(HMVWW wheel);
std::int32_t lMVWordWheelLength(HMVWW wheel);
int nMVWordWheelLookup(HMVWW wheel, std::int32_t entry, char* buffer, int size);
std::int32_t lMVWordWheelPrefix(HMVWW wheel, const char* text);
HMVGROUP MVWordWheelSearch(HMVWW wheel, const char* query, std::uint32_t flags, MVERR* error);
int nMVKeyIndexGetCount(HMVWW wheel, const char* key);
std::int32_t lMVKeyIndexGetAddrs(HMVWW wheel, const char* key, std::int32_t first,
                                 std::int32_t count, std::int32_t* addresses);

// Topic lists and groups.
HMVTL hMVTopicListLoad(HMVTITLE title, const char* name);
HMVTL hMVTopicListCreate(HMVTITLE title);
// Flags bit 0: default operator OR; fields: 1 body, 2 heading, 3/0 both. Returns 0 when nothing
// is found (and leaves *highlights 0), on a syntax error (code 1) and on a cancel (code 2).
HMVTL hMVTopicListFromQuery(HMVTITLE title, std::uint32_t flags, const char* query,
                            HMVTL restriction, std::uint32_t fields, MVHGLOBAL* highlights,
                            MVERR* error);
HMVTL hMVTopicListFromTopicNo(HMVTITLE title, std::int32_t topic);
HMVTL hMVTopicListCombine(int code, HMVTL first, HMVTL second);
void MVTopicListDestroy(HMVTL list);
std::int32_t lMVTopicListLength(HMVTL list);
std::int32_t lMVTopicListLookup(HMVTL list, std::int32_t index);
int nMVTopicListGroupSet(HMVTL list, HMVGROUP group);
HMVGROUP MVGroupRead(const char* path);
void MVGroupFree(HMVGROUP group);
std::int32_t lMVGroupItemCount(HMVGROUP group);

// Addresses: -1 when there is none.
std::int32_t vaMVConvertContextString(HMVTITLE title, const char* ctx);
std::int32_t vaMVConvertTopicNumber(HMVTITLE title, std::int32_t topic);
std::int32_t vaMVConvertHash(HMVTITLE title, std::uint32_t hash);
std::int32_t vaMVConvertAddr(HMVTITLE title, std::int32_t addr);
std::int32_t addrMVConvertContextString(HMVTITLE title, const char* ctx);
std::int32_t addrMVConvertTopicNumber(HMVTITLE title, std::int32_t topic);
std::int32_t addrMVConvertHash(HMVTITLE title, std::uint32_t hash);
// Extensions: the topic an address falls in (-1 none) and a topic's first and last address.
std::int32_t lMVTopicOfAddr(HMVTITLE title, std::int32_t addr);
int fMVTopicRange(HMVTITLE title, std::int32_t topic, std::int32_t* first, std::int32_t* last);

// Highlight blocks (from queries and hMVHighlightsInTopic; the caller frees them).
MVHGLOBAL hMVHighlightsInTopic(MVHGLOBAL highlights, std::int32_t topic);
std::int32_t lMVTopicHighlightCount(MVHGLOBAL highlights);
std::int32_t addrMVTopicHighlightAddress(MVHGLOBAL highlights, std::int32_t index);
void MVGlobalFree(MVHGLOBAL block);

// Word forms.
void SetMorph(int state);
const char* Morph(const char* word);

namespace mv {
class Title;
class Display;
// The engine behind a title handle, for the display layer; null for a stale handle.
std::shared_ptr<Title> TitleOfHandle(HMVTITLE title);
}  // namespace mv
