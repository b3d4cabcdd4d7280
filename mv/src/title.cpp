#include "mv/title.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <thread>
#include <tuple>

#include "database.h"
#include "mv/text_fold.h"
#include "mv/title_file.h"

namespace mv {
namespace {

std::mutex gOpenMutex;
std::map<std::string, std::weak_ptr<Title>>& OpenTitles() {
  static std::map<std::string, std::weak_ptr<Title>> titles;
  return titles;
}
std::atomic<std::uint32_t> gNextTitleId{1};

constexpr auto kYieldSlice = std::chrono::milliseconds(30);

std::int32_t ReadLe(const char* p) {
  auto b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                   (static_cast<std::uint32_t>(b[3]) << 24));
}

struct StatementDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

}  // namespace

Title::Title(std::string path) : path_(std::move(path)), id_(gNextTitleId++) {}

Title::~Title() {
  std::lock_guard lock(gOpenMutex);
  auto& titles = OpenTitles();
  auto it = titles.find(path_);
  if (it != titles.end() && it->second.expired()) titles.erase(it);
}

std::shared_ptr<Title> Title::Open(const std::string& hostPath) {
  std::error_code error;
  auto canonical = std::filesystem::weakly_canonical(hostPath, error);
  std::string key = error ? hostPath : canonical.string();
  if (!std::filesystem::is_regular_file(key, error)) return nullptr;
  {
    std::lock_guard lock(gOpenMutex);
    if (auto it = OpenTitles().find(key); it != OpenTitles().end()) {
      if (auto shared = it->second.lock()) return shared;
    }
  }
  // Loaded outside the lock: a title that fails to load is destroyed here, and its destructor
  // takes the lock itself.
  std::shared_ptr<Title> title(new Title(key));
  if (!title->load()) return nullptr;
  std::lock_guard lock(gOpenMutex);
  auto& slot = OpenTitles()[key];
  if (auto shared = slot.lock()) return shared;
  slot = title;
  return title;
}

bool Title::load() {
  db_ = Database::OpenReadOnly(path_);
  if (!db_) return false;
  {
    auto s = db_->prepare("PRAGMA application_id");
    if (!s.step() || s.integer(0) != title_file::kApplicationId) return false;
  }
  {
    auto s = db_->prepare("PRAGMA user_version");
    if (!s.step() || s.integer(0) != title_file::kVersion) return false;
  }
  auto s = db_->prepare("SELECT no, addr_base, nsr_units, sr_units FROM topic ORDER BY no");
  if (!s) return false;
  std::int64_t end = -1;
  while (s.step()) {
    std::int64_t no = s.integer(0), base = s.integer(1), heading = s.integer(2),
                 body = s.integer(3);
    if (no != static_cast<std::int64_t>(topics_.size()) || base <= end || heading < 0 || body < 0 ||
        base + heading + body + title_file::kTopicGap > INT32_MAX) {
      return false;
    }
    topics_.push_back({static_cast<std::int32_t>(base), static_cast<std::int32_t>(heading),
                       static_cast<std::int32_t>(heading + body)});
    end = base + std::max<std::int64_t>(heading + body, 1) - 1;
  }
  if (s.failed()) return false;
  // The other tables must be readable too, or calls on them would fail one by one later.
  for (const char* check : {"SELECT count(*) FROM wordwheel", "SELECT count(*) FROM stored_list",
                            "SELECT count(*) FROM anchor", "SELECT count(*) FROM meta"}) {
    auto c = db_->prepare(check);
    if (!c.step()) return false;
  }
  return true;
}

std::optional<std::string> Title::meta(std::string_view key) const {
  auto s = db_->prepare("SELECT value FROM meta WHERE key = ?1");
  s.bind(1, key);
  if (!s.step()) return std::nullopt;
  return std::string(s.text(0));
}

std::int32_t Title::info(int code, std::int32_t param, std::string* out) const {
  switch (code) {
    case info::caption:
    case info::copyright: {
      auto value = meta(code == info::caption ? "caption" : "copyright");
      if (!value) return -1;
      std::string text = ToCp1251(*value);
      if (out) *out = text;
      return static_cast<std::int32_t>(text.size());
    }
    case info::topicCount:
      return topicCount();
    case info::version:
      return title_file::kVersion;
    case info::topicTitle: {
      if (param < 0 || param >= topicCount()) return -1;
      auto s = db_->prepare("SELECT title FROM topic WHERE no = ?1");
      s.bind(1, param);
      if (!s.step()) return -1;
      std::string text = ToCp1251(s.text(0));
      if (out) *out = text;
      return static_cast<std::int32_t>(text.size());
    }
    default:
      return -1;
  }
}

std::uint32_t Title::HashContext(std::string_view ctx) {
  return title_file::HashContext(ctx);
}

TopicNo Title::topicFromContext(std::string_view ctx) const {
  auto s = db_->prepare("SELECT no FROM topic WHERE ctx = ?1");
  s.bind(1, ToUtf8(ctx));
  if (!s.step()) return -1;
  auto no = s.integer(0);
  return no >= 0 && no < topicCount() ? static_cast<TopicNo>(no) : -1;
}

Addr Title::addrFromContext(std::string_view ctx) const {
  if (TopicNo no = topicFromContext(ctx); no >= 0) return addrFromTopic(no);
  auto s = db_->prepare("SELECT addr FROM anchor WHERE ctx = ?1");
  s.bind(1, ToUtf8(ctx));
  if (!s.step()) return Addr::none;
  std::int64_t addr = s.integer(0);
  if (addr < 0 || addr > INT32_MAX) return Addr::none;
  return static_cast<Addr>(ToInt(vaFromAddr(static_cast<Addr>(addr))));
}

Addr Title::addrFromTopic(TopicNo topic) const {
  if (topic < 0 || topic >= topicCount()) return Addr::none;
  return static_cast<Addr>(topics_[static_cast<std::size_t>(topic)].base);
}

Addr Title::addrFromHash(std::uint32_t hash) const {
  {
    auto s = db_->prepare("SELECT no FROM topic WHERE hash = ?1");
    s.bind(1, static_cast<std::int64_t>(hash));
    if (s.step()) return addrFromTopic(static_cast<TopicNo>(s.integer(0)));
  }
  auto s = db_->prepare("SELECT addr FROM anchor WHERE hash = ?1");
  s.bind(1, static_cast<std::int64_t>(hash));
  if (!s.step()) return Addr::none;
  std::int64_t addr = s.integer(0);
  if (addr < 0 || addr > INT32_MAX) return Addr::none;
  return static_cast<Addr>(ToInt(vaFromAddr(static_cast<Addr>(addr))));
}

TopicNo Title::topicOfAddr(Addr addr) const {
  std::int32_t a = ToInt(addr);
  if (a < 0 || topics_.empty()) return -1;
  auto it = std::upper_bound(topics_.begin(), topics_.end(), a,
                             [](std::int32_t value, const TopicSpan& t) { return value < t.base; });
  if (it == topics_.begin()) return -1;
  --it;
  if (a - it->base >= std::max(it->units, 1)) return -1;
  return static_cast<TopicNo>(it - topics_.begin());
}

Va Title::vaFromAddr(Addr addr) const {
  return topicOfAddr(addr) >= 0 ? static_cast<Va>(ToInt(addr)) : Va::none;
}

std::pair<Addr, Addr> Title::topicRange(TopicNo topic) const {
  if (topic < 0 || topic >= topicCount()) return {Addr::none, Addr::none};
  const auto& t = topics_[static_cast<std::size_t>(topic)];
  return {static_cast<Addr>(t.base), static_cast<Addr>(t.base + std::max(t.units, 1) - 1)};
}

std::int32_t Title::headingUnits(TopicNo topic) const {
  if (topic < 0 || topic >= topicCount()) return 0;
  return topics_[static_cast<std::size_t>(topic)].headingUnits;
}

std::optional<TopicRecord> Title::topic(TopicNo topic) const {
  if (topic < 0 || topic >= topicCount()) return std::nullopt;
  auto s = db_->prepare(
      "SELECT ctx, title, flags, prev_no, next_no, data, media, media_is_text, content "
      "FROM topic WHERE no = ?1");
  s.bind(1, topic);
  if (!s.step()) return std::nullopt;
  TopicRecord r;
  r.number = topic;
  r.ctx = s.text(0);
  r.title = s.text(1);
  r.flags = static_cast<std::int32_t>(s.integer(2));
  r.previous = static_cast<TopicNo>(s.integer(3));
  r.next = static_cast<TopicNo>(s.integer(4));
  if (!s.isNull(5)) r.data = std::string(s.text(5));
  if (!s.isNull(6)) r.media = std::string(s.blob(6));
  r.mediaIsText = s.integer(7) != 0;
  r.content = s.text(8);
  return r;
}

std::optional<text::Content> Title::content(TopicNo topic) const {
  auto record = this->topic(topic);
  if (!record) return std::nullopt;
  auto parsed = text::ParseCanonical(record->content);
  // Content that does not add up to the topic's units is not trusted for addressing.
  if (!parsed || text::UnitCount(parsed->heading) != headingUnits(topic) ||
      text::UnitCount(parsed->heading) + text::UnitCount(parsed->body) !=
          topics_[static_cast<std::size_t>(topic)].units) {
    return std::nullopt;
  }
  return parsed;
}

std::shared_ptr<WordWheel> Title::wordWheel(std::string_view name) {
  auto s = db_->prepare("SELECT id, entries FROM wordwheel WHERE name = ?1");
  s.bind(1, ToUtf8(name));
  if (!s.step()) return nullptr;
  std::int64_t entries = s.integer(1);
  if (entries < 0 || entries > INT32_MAX) return nullptr;
  return std::make_shared<WordWheel>(shared_from_this(), s.integer(0),
                                     static_cast<std::int32_t>(entries));
}

std::optional<TopicList> Title::storedList(std::string_view name) const {
  auto s = db_->prepare("SELECT items FROM stored_list WHERE name = ?1");
  s.bind(1, ToUtf8(name));
  if (!s.step()) return std::nullopt;
  auto blob = s.blob(0);
  return TopicList::FromBlob(
      std::span(reinterpret_cast<const unsigned char*>(blob.data()), blob.size()));
}

std::vector<std::string> Title::storedListNames() const {
  std::vector<std::string> out;
  auto s = db_->prepare("SELECT name FROM stored_list ORDER BY name");
  while (s.step()) out.push_back(ToCp1251(s.text(0)));
  return out;
}

std::vector<std::string> Title::wordWheelNames() const {
  std::vector<std::string> out;
  auto s = db_->prepare("SELECT name FROM wordwheel ORDER BY name");
  while (s.step()) out.push_back(ToCp1251(s.text(0)));
  return out;
}

std::vector<std::string> Title::baggageNames() const {
  std::vector<std::string> out;
  auto s = db_->prepare("SELECT name FROM baggage ORDER BY name");
  while (s.step()) out.push_back(ToCp1251(s.text(0)));
  return out;
}

std::shared_ptr<Baggage> Title::baggage(std::string_view name) {
  auto s = db_->prepare("SELECT id, length(data) FROM baggage WHERE name = ?1");
  s.bind(1, ToUtf8(name));
  if (!s.step()) return nullptr;
  auto bag = std::make_shared<Baggage>(shared_from_this(), s.integer(0), s.integer(1));
  return bag;
}

std::unique_ptr<Database> Title::acquireConnection() {
  {
    std::lock_guard lock(poolMutex_);
    if (!pool_.empty()) {
      auto db = std::move(pool_.back());
      pool_.pop_back();
      return db;
    }
  }
  return Database::OpenReadOnly(path_);
}

void Title::releaseConnection(std::unique_ptr<Database> db) {
  if (!db) return;
  std::lock_guard lock(poolMutex_);
  if (pool_.size() < 4) pool_.push_back(std::move(db));
}

std::optional<Title::Hits> Title::query(const Query& query, const TopicList* restriction,
                                        bool withHighlights, const YieldFn& yield,
                                        QueryError* error) {
  QueryError local;
  if (!error) error = &local;
  *error = {};
  auto translated = TranslateQuery(query, error);
  if (!translated) return std::nullopt;
  if (translated->match.empty() || (restriction && restriction->empty())) return std::nullopt;

  auto db = acquireConnection();
  if (!db) {
    *error = {QueryError::failed, -1, "cannot open a query connection"};
    return std::nullopt;
  }
  std::atomic<bool> cancelled{false};
  std::optional<TopicList> topics;
  if (!yield) {
    topics = runQuery(*db, *translated, restriction, cancelled, error);
    releaseConnection(std::move(db));
  } else {
    // The worker owns the connection while the caller keeps its messages flowing; the engine
    // stays alive through `self` even if every handle on it is closed meanwhile.
    auto self = shared_from_this();
    Database* worker = db.get();
    QueryError workerError;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread thread([&] {
      auto found = self->runQuery(*worker, *translated, restriction, cancelled, &workerError);
      std::lock_guard lock(mutex);
      topics = std::move(found);
      done = true;
      finished.notify_all();
    });
    bool cancel = false;
    while (true) {
      if (!cancel && yield() != 0) {
        cancel = true;
        cancelled = true;
        worker->interrupt();
      }
      std::unique_lock lock(mutex);
      if (finished.wait_for(lock, kYieldSlice, [&] { return done; })) break;
    }
    thread.join();
    releaseConnection(std::move(db));
    if (cancel) {
      *error = {QueryError::cancelled, -1, "cancelled"};
      return std::nullopt;
    }
    *error = workerError;
  }
  if (!topics) return std::nullopt;
  Hits hits;
  if (withHighlights) hits.highlights = LazyHighlights(shared_from_this(), *translated, *topics);
  hits.topics = std::move(*topics);
  return hits;
}

std::optional<TopicList> Title::runQuery(Database& db, const TranslatedQuery& translated,
                                         const TopicList* restriction, std::atomic<bool>& cancelled,
                                         QueryError* error) const {
  std::string sql = "SELECT rowid FROM topic_fts WHERE topic_fts MATCH ?1";
  bool single = restriction && restriction->size() == 1;
  if (single) sql += " AND rowid = ?2";
  sql += " ORDER BY rowid";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    *error = {QueryError::failed, -1, sqlite3_errmsg(db.handle())};
    return std::nullopt;
  }
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
  sqlite3_bind_text(raw, 1, translated.match.data(), static_cast<int>(translated.match.size()),
                    SQLITE_STATIC);
  if (single) sqlite3_bind_int64(raw, 2, restriction->at(0));

  std::vector<std::int32_t> topics;
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    if (cancelled) break;
    std::int64_t row = sqlite3_column_int64(raw, 0);
    if (row < 0 || row >= topicCount()) continue;
    auto topic = static_cast<TopicNo>(row);
    if (restriction && !single && !restriction->contains(topic)) continue;
    topics.push_back(topic);
  }
  if (cancelled || rc == SQLITE_INTERRUPT) {
    *error = {QueryError::cancelled, -1, "cancelled"};
    return std::nullopt;
  }
  if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
    *error = {QueryError::failed, -1, sqlite3_errmsg(db.handle())};
    return std::nullopt;
  }
  if (topics.empty()) return std::nullopt;
  return TopicList::FromSorted(std::move(topics));
}

namespace {

// One topic's hits from the records of mv_hits: plain terms as they are, NEAR groups as whole
// matches, taken greedily from the left and without overlap, so that every match adds exactly
// one hit per word.
std::vector<Highlights::Hit> RowHits(TopicNo topic, std::int32_t base, std::int32_t headingUnits,
                                     std::string_view records, const TranslatedQuery& translated,
                                     const std::vector<int>& groupOf) {
  struct Token {
    int instance, phrase, column, position, first, length;
  };
  std::vector<Token> tokens;
  tokens.reserve(records.size() / 24);
  for (std::size_t at = 0; at + 24 <= records.size(); at += 24) {
    const char* p = records.data() + at;
    tokens.push_back(
        {ReadLe(p), ReadLe(p + 4), ReadLe(p + 8), ReadLe(p + 12), ReadLe(p + 16), ReadLe(p + 20)});
  }
  auto addrOf = [&](const Token& t) {
    return static_cast<Addr>(base + t.first + (t.column == 1 ? headingUnits : 0));
  };
  std::vector<Highlights::Hit> rowHits;
  std::vector<Highlights::Hit> nearHits;
  for (const auto& t : tokens) {
    int group = t.phrase >= 0 && t.phrase < translated.phrases
                    ? groupOf[static_cast<std::size_t>(t.phrase)]
                    : -1;
    if (group < 0) rowHits.push_back({topic, addrOf(t), t.length});
  }
  for (const auto& group : translated.nearGroups) {
    struct Instance {
      int phrase, column, start, end;
      std::vector<const Token*> tokens;
    };
    std::map<int, Instance> byId;
    for (const auto& t : tokens) {
      if (t.phrase < group.firstPhrase || t.phrase >= group.firstPhrase + group.count) continue;
      auto [it, fresh] =
          byId.try_emplace(t.instance, Instance{t.phrase, t.column, t.position, t.position, {}});
      it->second.start = std::min(it->second.start, t.position);
      it->second.end = std::max(it->second.end, t.position);
      it->second.tokens.push_back(&t);
    }
    std::vector<Instance> instances;
    for (auto& [id, instance] : byId) instances.push_back(std::move(instance));
    std::sort(instances.begin(), instances.end(), [](const Instance& a, const Instance& b) {
      return std::tie(a.column, a.start, a.phrase) < std::tie(b.column, b.start, b.phrase);
    });
    std::size_t i = 0;
    while (i < instances.size()) {
      std::vector<std::size_t> chosen{i};
      std::vector<bool> have(static_cast<std::size_t>(group.count), false);
      have[static_cast<std::size_t>(instances[i].phrase - group.firstPhrase)] = true;
      int found = 1;
      for (std::size_t j = i + 1; j < instances.size() && found < group.count; ++j) {
        if (instances[j].column != instances[i].column ||
            instances[j].start - instances[i].end - 1 > kNearDistance) {
          break;
        }
        auto slot = static_cast<std::size_t>(instances[j].phrase - group.firstPhrase);
        if (have[slot] || instances[j].start <= instances[chosen.back()].end) continue;
        have[slot] = true;
        chosen.push_back(j);
        ++found;
      }
      if (found < group.count) {
        ++i;
        continue;
      }
      for (std::size_t c : chosen) {
        for (const Token* t : instances[c].tokens)
          nearHits.push_back({topic, addrOf(*t), t->length});
      }
      int last = instances[chosen.back()].end;
      int column = instances[i].column;
      while (i < instances.size() && instances[i].column == column && instances[i].start <= last)
        ++i;
    }
  }
  auto byAddr = [](const Highlights::Hit& a, const Highlights::Hit& b) {
    return std::tie(a.addr, a.length) < std::tie(b.addr, b.length);
  };
  std::sort(rowHits.begin(), rowHits.end(), byAddr);
  rowHits.erase(std::unique(rowHits.begin(), rowHits.end()), rowHits.end());
  rowHits.insert(rowHits.end(), nearHits.begin(), nearHits.end());
  std::stable_sort(rowHits.begin(), rowHits.end(), byAddr);
  return rowHits;
}

}  // namespace

bool Title::visitHits(const TranslatedQuery& translated, const TopicList& topics,
                      const HitVisitor& visit) {
  if (translated.match.empty() || topics.empty()) return true;
  auto db = acquireConnection();
  if (!db) return false;
  // One topic is looked up by its row; more are read in one pass over the matching rows.
  std::string sql = "SELECT rowid, mv_hits(topic_fts) FROM topic_fts WHERE topic_fts MATCH ?1";
  bool single = topics.size() == 1;
  sql += single ? " AND rowid = ?2" : " ORDER BY rowid";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db->handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    releaseConnection(std::move(db));
    return false;
  }
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
  sqlite3_bind_text(raw, 1, translated.match.data(), static_cast<int>(translated.match.size()),
                    SQLITE_STATIC);
  if (single) sqlite3_bind_int64(raw, 2, topics.at(0));

  std::vector<int> groupOf(static_cast<std::size_t>(std::max(translated.phrases, 0)), -1);
  for (std::size_t g = 0; g < translated.nearGroups.size(); ++g) {
    const auto& group = translated.nearGroups[g];
    for (int p = std::max(group.firstPhrase, 0);
         p < group.firstPhrase + group.count && p < translated.phrases; ++p) {
      groupOf[static_cast<std::size_t>(p)] = static_cast<int>(g);
    }
  }
  int rc;
  bool stopped = false;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    std::int64_t row = sqlite3_column_int64(raw, 0);
    if (row < 0 || row >= topicCount() || !topics.contains(static_cast<std::int32_t>(row)))
      continue;
    auto topic = static_cast<TopicNo>(row);
    const auto& span = topics_[static_cast<std::size_t>(topic)];
    auto blob = static_cast<const char*>(sqlite3_column_blob(raw, 1));
    std::string_view records(blob ? blob : "",
                             blob ? static_cast<std::size_t>(sqlite3_column_bytes(raw, 1)) : 0);
    if (!visit(topic, RowHits(topic, span.base, span.headingUnits, records, translated, groupOf))) {
      stopped = true;
      break;
    }
  }
  statement.reset();
  releaseConnection(std::move(db));
  return stopped || rc == SQLITE_DONE;
}

// ---- word wheels ----

WordWheel::WordWheel(std::shared_ptr<Title> title, std::int64_t id, std::int32_t length)
    : title_(std::move(title)), id_(id), length_(length) {}

std::optional<std::string> WordWheel::entry(std::int32_t index) const {
  if (index < 0 || index >= length_) return std::nullopt;
  auto s = title_->database().prepare("SELECT text FROM ww_entry WHERE ww = ?1 AND no = ?2");
  s.bind(1, id_).bind(2, index);
  if (!s.step()) return std::nullopt;
  return ToCp1251(s.text(0));
}

std::int32_t WordWheel::prefix(std::string_view cp1251) const {
  if (length_ <= 0) return -1;
  auto s = title_->database().prepare(
      "SELECT no FROM ww_entry WHERE ww = ?1 AND sortkey >= ?2 ORDER BY sortkey LIMIT 1");
  s.bind(1, id_).bindBlob(2, WheelKey(cp1251));
  if (!s.step()) return length_ - 1;
  auto no = s.integer(0);
  return no >= 0 && no < length_ ? static_cast<std::int32_t>(no) : length_ - 1;
}

std::optional<TopicList> WordWheel::search(std::string_view cp1251, QueryError* error) const {
  std::string match;
  std::string_view rest = cp1251;
  while (!rest.empty()) {
    auto start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    auto end = rest.find_first_of(" \t");
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    bool prefix = false;
    while (!word.empty() && word.back() == '*') {
      prefix = true;
      word.remove_suffix(1);
    }
    std::string phrase;
    title_file::Tokenize(ToUtf8(word), title_file::TokenMode::surface,
                         [&](std::string_view token, int, int, bool) {
                           if (!phrase.empty()) phrase += ' ';
                           phrase += token;
                         });
    if (phrase.empty()) continue;
    if (!match.empty()) match += " AND ";
    match += '"' + phrase + (prefix ? "\"*" : "\"");
  }
  if (match.empty()) {
    if (error) *error = {QueryError::syntax, 0, "no words"};
    return std::nullopt;
  }
  auto s = title_->database().prepare(
      "SELECT e.no FROM ww_fts JOIN ww_entry e ON e.id = ww_fts.rowid "
      "WHERE ww_fts MATCH ?1 AND e.ww = ?2");
  s.bind(1, match).bind(2, id_);
  std::vector<std::int32_t> entries;
  while (s.step()) {
    auto no = s.integer(0);
    if (no >= 0 && no < length_) entries.push_back(static_cast<std::int32_t>(no));
  }
  if (s.failed()) {
    if (error) *error = {QueryError::failed, -1, "word-wheel search failed"};
    return std::nullopt;
  }
  return TopicList(std::move(entries));
}

std::int32_t WordWheel::keyCount(std::string_view cp1251) const {
  auto s = title_->database().prepare("SELECT count(*) FROM ww_key WHERE ww = ?1 AND key = ?2");
  s.bind(1, id_).bindBlob(2, WheelKey(cp1251));
  if (!s.step()) return 0;
  return static_cast<std::int32_t>(std::min<std::int64_t>(s.integer(0), INT32_MAX));
}

std::vector<Addr> WordWheel::keyAddrs(std::string_view cp1251, std::int32_t first,
                                      std::int32_t count) const {
  std::vector<Addr> out;
  if (first < 0 || count <= 0) return out;
  auto s = title_->database().prepare(
      "SELECT addr FROM ww_key WHERE ww = ?1 AND key = ?2 ORDER BY seq LIMIT ?3 OFFSET ?4");
  s.bind(1, id_).bindBlob(2, WheelKey(cp1251)).bind(3, count).bind(4, first);
  while (s.step()) {
    auto addr = s.integer(0);
    out.push_back(addr >= 0 && addr <= INT32_MAX ? static_cast<Addr>(addr) : Addr::none);
  }
  return out;
}

// ---- baggage ----

Baggage::Baggage(std::shared_ptr<Title> title, std::int64_t row, std::int64_t size)
    : title_(std::move(title)), row_(row), size_(size) {
  if (sqlite3_blob_open(title_->database().handle(), "main", "baggage", "data", row_, 0, &blob_) !=
      SQLITE_OK) {
    sqlite3_blob_close(blob_);
    blob_ = nullptr;
  } else {
    size_ = sqlite3_blob_bytes(blob_);
  }
}

Baggage::~Baggage() {
  if (blob_) sqlite3_blob_close(blob_);
}

std::int32_t Baggage::read(void* buffer, std::int32_t count) {
  if (!blob_ || !buffer || count < 0) return -1;
  std::int64_t left = size_ - position_;
  auto n = static_cast<int>(std::min<std::int64_t>(left, count));
  if (n <= 0) return 0;
  if (sqlite3_blob_read(blob_, buffer, n, static_cast<int>(position_)) != SQLITE_OK) return -1;
  position_ += n;
  return n;
}

}  // namespace mv
