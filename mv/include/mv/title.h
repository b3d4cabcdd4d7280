// An open title: topics and addresses, word wheels with their key indexes, stored lists,
// baggage and full-text queries. One engine serves every open of the same file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mv/highlights.h"
#include "mv/mvtext.h"
#include "mv/query.h"
#include "mv/topic_list.h"
#include "mv/types.h"

struct sqlite3_blob;

namespace mv {

class Database;
class WordWheel;
class Baggage;

// Called between slices of a running query; non-zero cancels it.
using YieldFn = std::function<int()>;

struct TopicRecord {
  TopicNo number = -1;
  std::string ctx;    // UTF-8 as stored (ASCII in practice)
  std::string title;  // UTF-8
  std::int32_t flags = 0;
  TopicNo previous = -1, next = -1;
  std::optional<std::string> data;   // UTF-8
  std::optional<std::string> media;  // bytes
  bool mediaIsText = false;
  std::string content;  // canonical mvtext
};

class Title : public std::enable_shared_from_this<Title> {
 public:
  // A host path. nullptr when the file is missing, not a title, of another version or damaged.
  static std::shared_ptr<Title> Open(const std::string& hostPath);
  ~Title();
  Title(const Title&) = delete;
  Title& operator=(const Title&) = delete;

  const std::string& path() const { return path_; }
  std::uint32_t id() const { return id_; }
  std::int32_t topicCount() const { return static_cast<std::int32_t>(topics_.size()); }
  std::optional<std::string> meta(std::string_view key) const;

  // Info codes: 1 caption, 2 copyright (text), 100 topic count, 101 format version (value),
  // 102 topic title of `param`. Text results are cp1251; -1 for an unknown code or topic.
  std::int32_t info(int code, std::int32_t param, std::string* out) const;

  void beginLongOperation() { ++longOperations_; }
  void endLongOperation() {
    if (longOperations_ > 0) --longOperations_;
  }
  int longOperations() const { return longOperations_; }

  // Address conversions (context strings are cp1251; anchors count as context strings).
  Va vaFromContext(std::string_view ctx) const { return ToVa(addrFromContext(ctx)); }
  Va vaFromTopic(TopicNo topic) const { return ToVa(addrFromTopic(topic)); }
  Va vaFromHash(std::uint32_t hash) const { return ToVa(addrFromHash(hash)); }
  Va vaFromAddr(Addr addr) const;
  Addr addrFromContext(std::string_view ctx) const;
  Addr addrFromTopic(TopicNo topic) const;
  Addr addrFromHash(std::uint32_t hash) const;
  TopicNo topicOfAddr(Addr addr) const;
  // First and last address of a topic; both none for an unknown topic.
  std::pair<Addr, Addr> topicRange(TopicNo topic) const;
  std::int32_t headingUnits(TopicNo topic) const;
  TopicNo topicFromContext(std::string_view ctx) const;
  static std::uint32_t HashContext(std::string_view ctx);

  std::optional<TopicRecord> topic(TopicNo topic) const;
  std::optional<text::Content> content(TopicNo topic) const;

  std::shared_ptr<WordWheel> wordWheel(std::string_view name);
  std::optional<TopicList> storedList(std::string_view name) const;
  std::vector<std::string> storedListNames() const;
  std::shared_ptr<Baggage> baggage(std::string_view name);
  std::vector<std::string> baggageNames() const;
  std::vector<std::string> wordWheelNames() const;

  struct Hits {
    TopicList topics;
    LazyHighlights highlights;  // no hits unless asked for
  };
  // nullopt when nothing is found, the query is bad (code 1), cancelled through `yield` (2) or
  // fails (3). With a yield procedure the query runs on a worker connection and the procedure is
  // called between slices.
  std::optional<Hits> query(const Query& query, const TopicList* restriction, bool withHighlights,
                            const YieldFn& yield, QueryError* error);

  // The hits of a translated query in the topics of `topics` (all of them hits of the query),
  // handed to `visit` topic by topic in ascending order until it answers false. False when the
  // index cannot be read.
  using HitVisitor = std::function<bool(TopicNo, std::vector<Highlights::Hit>&&)>;
  bool visitHits(const TranslatedQuery& query, const TopicList& topics, const HitVisitor& visit);

  // Internal: the GUI-side connection (word wheels and baggage use it).
  Database& database() const { return *db_; }

 private:
  struct TopicSpan {
    std::int32_t base = 0;
    std::int32_t headingUnits = 0;
    std::int32_t units = 0;
  };

  explicit Title(std::string path);
  bool load();
  Va ToVa(Addr addr) const { return static_cast<Va>(ToInt(addr)); }
  std::unique_ptr<Database> acquireConnection();
  void releaseConnection(std::unique_ptr<Database> db);
  std::optional<TopicList> runQuery(Database& db, const TranslatedQuery& translated,
                                    const TopicList* restriction, std::atomic<bool>& cancelled,
                                    QueryError* error) const;

  std::string path_;
  std::uint32_t id_ = 0;
  std::unique_ptr<Database> db_;
  std::vector<TopicSpan> topics_;
  int longOperations_ = 0;
  std::mutex poolMutex_;
  std::vector<std::unique_ptr<Database>> pool_;
};

// A word wheel: entries in folded order, and its key index.
class WordWheel {
 public:
  WordWheel(std::shared_ptr<Title> title, std::int64_t id, std::int32_t length);
  const std::shared_ptr<Title>& title() const { return title_; }
  std::int32_t length() const { return length_; }
  // The entry's text (cp1251); nullopt outside the wheel.
  std::optional<std::string> entry(std::int32_t index) const;
  // The first entry at or after the text in wheel order; length - 1 after the last; -1 when empty.
  std::int32_t prefix(std::string_view cp1251) const;
  // Entries where every starred word ("слов* москв* ") starts some word of the entry; words
  // without a star must match a whole word. nullopt on a query with no words.
  std::optional<TopicList> search(std::string_view cp1251, QueryError* error) const;
  std::int32_t keyCount(std::string_view cp1251) const;
  std::vector<Addr> keyAddrs(std::string_view cp1251, std::int32_t first, std::int32_t count) const;

 private:
  std::shared_ptr<Title> title_;
  std::int64_t id_;
  std::int32_t length_;
};

// A file stored inside a title, read in blocks.
class Baggage {
 public:
  Baggage(std::shared_ptr<Title> title, std::int64_t row, std::int64_t size);
  ~Baggage();
  std::int64_t size() const { return size_; }
  // Bytes read into `buffer` from the current position; 0 at the end, -1 on a read error.
  std::int32_t read(void* buffer, std::int32_t count);

 private:
  std::shared_ptr<Title> title_;
  std::int64_t row_;
  std::int64_t size_;
  std::int64_t position_ = 0;
  ::sqlite3_blob* blob_ = nullptr;
};

}  // namespace mv
