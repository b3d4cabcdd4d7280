#include "mv/compat.h"

#include <algorithm>
#include <cstring>

#include "morph/morph.h"
#include "mv/handle_table.h"
#include "mv/highlights.h"
#include "mv/text_fold.h"
#include "mv/title.h"
#include "plat/path.h"

namespace mv {
namespace {

struct OpenTitle {
  std::shared_ptr<Title> title;
  MVYIELDPROC yield = nullptr;
};
struct OpenList {
  std::uint32_t titleId = 0;
  TopicList list;
};

HandleTable<OpenTitle>& Titles() {
  static HandleTable<OpenTitle> table;
  return table;
}
HandleTable<WordWheel>& Wheels() {
  static HandleTable<WordWheel> table;
  return table;
}
HandleTable<OpenList>& Lists() {
  static HandleTable<OpenList> table;
  return table;
}
HandleTable<TopicList>& Groups() {
  static HandleTable<TopicList> table;
  return table;
}
HandleTable<Baggage>& Bags() {
  static HandleTable<Baggage> table;
  return table;
}

std::shared_ptr<Title> TitleOf(HMVTITLE handle) {
  auto open = Titles().get(handle);
  return open ? open->title : nullptr;
}

std::string HostPath(const char* path) {
  if (!path || !*path) return {};
  if (auto resolved = plat::ResolvePath(path)) return *resolved;
  return {};
}

HMVTITLE Open(const char* path, MVYIELDPROC yield) {
  std::string host = HostPath(path);
  if (host.empty()) return 0;
  auto title = Title::Open(host);
  if (!title) return 0;
  return Titles().add(std::make_shared<OpenTitle>(OpenTitle{std::move(title), yield}));
}

HMVTL AddList(std::uint32_t titleId, TopicList list) {
  return Lists().add(std::make_shared<OpenList>(OpenList{titleId, std::move(list)}));
}

void SetError(MVERR* error, const QueryError& e) {
  if (error) *error = {e.code, e.offset};
}

}  // namespace

std::shared_ptr<Title> TitleOfHandle(HMVTITLE title) {
  return TitleOf(title);
}

}  // namespace mv

using namespace mv;

void MVSetInstance(const void*) {}
void MVTerminate(const void*) {}

HMVTITLE hMVTitleOpen(const char* path) {
  return Open(path, nullptr);
}

HMVTITLE hMVTitleOpenEx(const char* path, MVYIELDPROC yield, std::intptr_t) {
  return Open(path, yield);
}

void MVTitleClose(HMVTITLE title) {
  Titles().remove(title);
}

std::int32_t lMVTitleGetInfo(HMVTITLE handle, std::uint32_t code, std::int32_t param,
                             char* buffer) {
  auto title = TitleOf(handle);
  if (!title) return -1;
  std::string text;
  std::int32_t result = title->info(static_cast<int>(code), param, &text);
  if (result >= 0 && buffer &&
      (code == info::caption || code == info::copyright || code == info::topicTitle)) {
    std::size_t n = std::min<std::size_t>(text.size(), 255);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    result = static_cast<std::int32_t>(n);
  }
  return result;
}

void MVTitleNotifyLayout(HMVTITLE handle, std::int32_t, int longOperation) {
  if (auto title = TitleOf(handle)) {
    if (longOperation) {
      title->beginLongOperation();
    } else {
      title->endLongOperation();
    }
  }
}

HMVBAGGAGE hMVBaggageOpen(HMVTITLE handle, const char* name, std::uint32_t, std::int32_t* error) {
  auto title = TitleOf(handle);
  std::shared_ptr<Baggage> bag = title && name ? title->baggage(name) : nullptr;
  if (error) *error = bag ? 0 : 1;
  return bag ? Bags().add(std::move(bag)) : 0;
}

std::int32_t lMVBaggageRead(HMVBAGGAGE handle, void* buffer, std::int32_t count) {
  auto bag = Bags().get(handle);
  return bag ? bag->read(buffer, count) : -1;
}

void MVBaggageClose(HMVBAGGAGE handle) {
  Bags().remove(handle);
}

HMVWW hMVWordWheelOpenTitle(HMVTITLE handle, const char* name) {
  auto title = TitleOf(handle);
  auto wheel = title && name ? title->wordWheel(name) : nullptr;
  return wheel ? Wheels().add(std::move(wheel)) : 0;
}

void MVWordWheelClose(HMVWW wheel) {
  Wheels().remove(wheel);
}

std::int32_t lMVWordWheelLength(HMVWW handle) {
  auto wheel = Wheels().get(handle);
  return wheel ? wheel->length() : 0;
}

int nMVWordWheelLookup(HMVWW handle, std::int32_t entry, char* buffer, int size) {
  auto wheel = Wheels().get(handle);
  if (!wheel || !buffer || size <= 0) return 0;
  auto text = wheel->entry(entry);
  if (!text) {
    buffer[0] = '\0';
    return 0;
  }
  std::size_t n = std::min<std::size_t>(text->size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text->data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

std::int32_t lMVWordWheelPrefix(HMVWW handle, const char* text) {
  auto wheel = Wheels().get(handle);
  return wheel ? wheel->prefix(text ? text : "") : -1;
}

HMVGROUP MVWordWheelSearch(HMVWW handle, const char* query, std::uint32_t, MVERR* error) {
  auto wheel = Wheels().get(handle);
  if (!wheel || !query) return 0;
  QueryError e;
  auto found = wheel->search(query, &e);
  SetError(error, e);
  return found ? Groups().add(std::make_shared<TopicList>(std::move(*found))) : 0;
}

int nMVKeyIndexGetCount(HMVWW handle, const char* key) {
  auto wheel = Wheels().get(handle);
  return wheel && key ? wheel->keyCount(key) : 0;
}

std::int32_t lMVKeyIndexGetAddrs(HMVWW handle, const char* key, std::int32_t first,
                                 std::int32_t count, std::int32_t* addresses) {
  auto wheel = Wheels().get(handle);
  if (!wheel || !key || !addresses) return 0;
  auto addrs = wheel->keyAddrs(key, first, count);
  for (std::size_t i = 0; i < addrs.size(); ++i) addresses[i] = ToInt(addrs[i]);
  return static_cast<std::int32_t>(addrs.size());
}

HMVTL hMVTopicListLoad(HMVTITLE handle, const char* name) {
  auto title = TitleOf(handle);
  if (!title || !name) return 0;
  auto list = title->storedList(name);
  return list ? AddList(title->id(), std::move(*list)) : 0;
}

HMVTL hMVTopicListCreate(HMVTITLE handle) {
  auto title = TitleOf(handle);
  return title ? AddList(title->id(), {}) : 0;
}

HMVTL hMVTopicListFromQuery(HMVTITLE handle, std::uint32_t flags, const char* text,
                            HMVTL restriction, std::uint32_t fields, MVHGLOBAL* highlights,
                            MVERR* error) {
  if (highlights) *highlights = nullptr;
  if (error) *error = {0, -1};
  auto open = Titles().get(handle);
  if (!open || !text) return 0;
  std::optional<TopicList> restrict;
  if (restriction) {
    auto list = Lists().get(restriction);
    if (!list) return 0;
    restrict = list->list;
  }
  Query query;
  query.text = text;
  query.anyWord = flags & 1;
  query.fields = fields;
  query.morph = morph::MorphEnabled();
  YieldFn yield;
  if (open->yield) yield = open->yield;
  QueryError e;
  auto hits =
      open->title->query(query, restrict ? &* restrict : nullptr, highlights != nullptr, yield, &e);
  SetError(error, e);
  // A title closed while the query waited for the yield gives no result.
  if (Titles().get(handle) != open) return 0;
  if (!hits) return 0;
  if (highlights) *highlights = hits->highlights.toBlock();
  return AddList(open->title->id(), std::move(hits->topics));
}

HMVTL hMVTopicListFromTopicNo(HMVTITLE handle, std::int32_t topic) {
  auto title = TitleOf(handle);
  if (!title || topic < 0 || topic >= title->topicCount()) return 0;
  return AddList(title->id(), TopicList::FromSorted({topic}));
}

HMVTL hMVTopicListCombine(int code, HMVTL first, HMVTL second) {
  if (code < 0 || code > 2) return 0;
  auto a = Lists().get(first);
  auto b = Lists().get(second);
  if (!a || !b) return 0;
  return AddList(a->titleId, TopicList::Combine(static_cast<Combine>(code), a->list, b->list));
}

void MVTopicListDestroy(HMVTL list) {
  Lists().remove(list);
}

std::int32_t lMVTopicListLength(HMVTL handle) {
  auto list = Lists().get(handle);
  return list ? static_cast<std::int32_t>(list->list.size()) : 0;
}

std::int32_t lMVTopicListLookup(HMVTL handle, std::int32_t index) {
  auto list = Lists().get(handle);
  return list ? list->list.at(index) : -1;
}

int nMVTopicListGroupSet(HMVTL handle, HMVGROUP group) {
  auto list = Lists().get(handle);
  auto items = Groups().get(group);
  if (!list || !items) return 0;
  list->list = *items;
  return 1;
}

HMVGROUP MVGroupRead(const char* path) {
  std::string host = HostPath(path);
  if (host.empty()) return 0;
  auto group = Group::Read(host);
  return group ? Groups().add(std::make_shared<TopicList>(std::move(group->items))) : 0;
}

void MVGroupFree(HMVGROUP group) {
  Groups().remove(group);
}

std::int32_t lMVGroupItemCount(HMVGROUP handle) {
  auto group = Groups().get(handle);
  return group ? static_cast<std::int32_t>(group->size()) : 0;
}

std::int32_t vaMVConvertContextString(HMVTITLE handle, const char* ctx) {
  auto title = TitleOf(handle);
  return title && ctx ? ToInt(title->vaFromContext(ctx)) : -1;
}
std::int32_t vaMVConvertTopicNumber(HMVTITLE handle, std::int32_t topic) {
  auto title = TitleOf(handle);
  return title ? ToInt(title->vaFromTopic(topic)) : -1;
}
std::int32_t vaMVConvertHash(HMVTITLE handle, std::uint32_t hash) {
  auto title = TitleOf(handle);
  return title ? ToInt(title->vaFromHash(hash)) : -1;
}
std::int32_t vaMVConvertAddr(HMVTITLE handle, std::int32_t addr) {
  auto title = TitleOf(handle);
  return title ? ToInt(title->vaFromAddr(static_cast<Addr>(addr))) : -1;
}
std::int32_t addrMVConvertContextString(HMVTITLE handle, const char* ctx) {
  auto title = TitleOf(handle);
  return title && ctx ? ToInt(title->addrFromContext(ctx)) : -1;
}
std::int32_t addrMVConvertTopicNumber(HMVTITLE handle, std::int32_t topic) {
  auto title = TitleOf(handle);
  return title ? ToInt(title->addrFromTopic(topic)) : -1;
}
std::int32_t addrMVConvertHash(HMVTITLE handle, std::uint32_t hash) {
  auto title = TitleOf(handle);
  return title ? ToInt(title->addrFromHash(hash)) : -1;
}
std::int32_t lMVTopicOfAddr(HMVTITLE handle, std::int32_t addr) {
  auto title = TitleOf(handle);
  return title ? title->topicOfAddr(static_cast<Addr>(addr)) : -1;
}
int fMVTopicRange(HMVTITLE handle, std::int32_t topic, std::int32_t* first, std::int32_t* last) {
  auto title = TitleOf(handle);
  if (!title) return 0;
  auto [a, b] = title->topicRange(topic);
  if (a == Addr::none) return 0;
  if (first) *first = ToInt(a);
  if (last) *last = ToInt(b);
  return 1;
}

MVHGLOBAL hMVHighlightsInTopic(MVHGLOBAL block, std::int32_t topic) {
  auto highlights = Highlights::FromBlockInTopic(block, topic);
  return highlights ? highlights->toBlock() : nullptr;
}

std::int32_t lMVTopicHighlightCount(MVHGLOBAL block) {
  return Highlights::CountInBlock(block);
}

std::int32_t addrMVTopicHighlightAddress(MVHGLOBAL block, std::int32_t index) {
  return ToInt(Highlights::AddressInBlock(block, index));
}

void MVGlobalFree(MVHGLOBAL block) {
  GlobalRelease(block);
}

void SetMorph(int state) {
  morph::SetMorph(state);
}

const char* Morph(const char* word) {
  return morph::Morph(word);
}
