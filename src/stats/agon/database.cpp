#include "stats/agon/database.h"

#include <sqlite3.h>

#include "plat/cp1251.h"
#include "plat/path.h"
#include "stats/agon/jet_sql.h"
#include "stats/agon/text_fold.h"

namespace agon {
namespace {

// The longest text or blob a query may build; the stored values are far shorter.
constexpr int kMaxValueLength = 16 * 1024 * 1024;

int CompareNoCase(void*, int leftSize, const void* left, int rightSize, const void* right) {
  return CompareFolded(
      std::string_view(static_cast<const char*>(left), static_cast<std::size_t>(leftSize)),
      std::string_view(static_cast<const char*>(right), static_cast<std::size_t>(rightSize)));
}

std::string_view TextArgument(sqlite3_value* value) {
  auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  if (!text) return {};
  return std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

// like(pattern, text[, escape]) over the folded characters.
void Like(sqlite3_context* context, int count, sqlite3_value** arguments) {
  for (int i = 0; i < count; ++i) {
    if (sqlite3_value_type(arguments[i]) == SQLITE_NULL) return sqlite3_result_null(context);
  }
  char32_t escape = 0;
  if (count == 3) {
    auto text = TextArgument(arguments[2]);
    if (text.size() != 1) {
      return sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
    }
    escape = static_cast<unsigned char>(text[0]);
  }
  sqlite3_result_int(context,
                     MatchesLike(TextArgument(arguments[0]), TextArgument(arguments[1]), escape));
}

// Queries only read: no writes, pragmas, attachments or recursion that never ends.
int AuthorizeReading(void*, int action, const char*, const char*, const char*, const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
      return SQLITE_OK;
    default:
      return SQLITE_DENY;
  }
}

bool HasPassword(sqlite3* handle) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle, "select value from agon_meta where name = 'password'", -1,
                         &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return false;
  }
  bool matches = false;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    matches = text && std::string_view(text) == kDatabasePassword;
  }
  sqlite3_finalize(statement);
  return matches;
}

}  // namespace

std::unique_ptr<Database> Database::Open(std::string_view path) {
  auto host = plat::ResolvePath(path);
  if (!host) return nullptr;
  sqlite3* handle = nullptr;
  int result = sqlite3_open_v2(host->c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
  // A view or trigger of the file itself must not call functions with side effects.
  bool ready = result == SQLITE_OK &&
               sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr) == SQLITE_OK &&
               HasPassword(handle);
  // Registered after the check so that nothing of ours runs on a foreign file.
  ready = ready &&
          sqlite3_create_collation(handle, "NOCASE", SQLITE_UTF8, nullptr, CompareNoCase) ==
              SQLITE_OK &&
          sqlite3_create_function(handle, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                  Like, nullptr, nullptr) == SQLITE_OK &&
          sqlite3_create_function(handle, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                  Like, nullptr, nullptr) == SQLITE_OK &&
          sqlite3_set_authorizer(handle, AuthorizeReading, nullptr) == SQLITE_OK;
  if (!ready) {
    sqlite3_close(handle);
    return nullptr;
  }
  sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, kMaxValueLength);
  return std::unique_ptr<Database>(new Database(handle));
}

Database::~Database() {
  sqlite3_close(handle_);
}

std::unique_ptr<Recordset> Recordset::Open(const Database& database, std::string_view jetSql) {
  auto sql = TranslateJetSql(jetSql);
  if (!sql) return nullptr;
  std::string utf8 = plat::cp1251::ToUtf8(*sql);
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  int result = sqlite3_prepare_v2(database.Handle(), utf8.c_str(), static_cast<int>(utf8.size()),
                                  &statement, &tail);
  // One statement only; a closing semicolon and blanks may follow it.
  bool single = tail != nullptr;
  for (const char* p = tail; single && p < utf8.c_str() + utf8.size(); ++p) {
    single = *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ';';
  }
  if (result != SQLITE_OK || !statement || !single || !sqlite3_stmt_readonly(statement)) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  return std::unique_ptr<Recordset>(new Recordset(statement));
}

Recordset::~Recordset() {
  sqlite3_finalize(statement_);
}

bool Recordset::Next() {
  if (failed_) return false;
  int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  failed_ = result != SQLITE_DONE;
  return false;
}

int Recordset::Column(std::string_view name) const {
  int count = sqlite3_column_count(statement_);
  std::string wanted = plat::cp1251::ToLower(name);
  for (int i = 0; i < count; ++i) {
    const char* columnName = sqlite3_column_name(statement_, i);
    if (columnName && plat::cp1251::ToLower(plat::cp1251::FromUtf8(columnName)) == wanted) {
      return i;
    }
  }
  return -1;
}

ValueKind Recordset::Kind(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
      return ValueKind::Integer;
    case SQLITE_FLOAT:
      return ValueKind::Real;
    case SQLITE_TEXT:
      return ValueKind::Text;
    case SQLITE_BLOB:
      return ValueKind::Blob;
    default:
      return ValueKind::Null;
  }
}

std::string Recordset::Text(int column) const {
  auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (!text) return {};
  auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
  return plat::cp1251::FromUtf8(std::string_view(text, size));
}

double Recordset::Real(int column) const {
  return sqlite3_column_double(statement_, column);
}

std::int64_t Recordset::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

}  // namespace agon
