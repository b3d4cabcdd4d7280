#include "database.h"

#include "mv/title_file.h"

namespace mv {
namespace {

std::string FileUri(const std::string& path) {
  std::string uri = "file:";
  static const char* kHex = "0123456789ABCDEF";
  for (unsigned char ch : path) {
    if (ch == '%' || ch == '?' || ch == '#' || ch < 0x20 || ch >= 0x80) {
      uri += '%';
      uri += kHex[ch >> 4];
      uri += kHex[ch & 15];
    } else {
      uri += static_cast<char>(ch);
    }
  }
  return uri + "?mode=ro&immutable=1";
}

}  // namespace

std::unique_ptr<Database> Database::OpenReadOnly(const std::string& hostPath) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(FileUri(hostPath).c_str(), &db,
                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  // A damaged or hostile file must fail cleanly, never run its own code.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_exec(db, "PRAGMA cell_size_check=ON; PRAGMA query_only=ON;", nullptr, nullptr, nullptr);
  if (!title_file::RegisterExtensions(db)) {
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<Database>(new Database(db));
}

Database::~Database() {
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  sqlite3_close(db_);
}

Statement Database::prepare(const char* sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) return Statement(it->second);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(statement);
    return Statement(nullptr);
  }
  statements_.emplace(sql, statement);
  return Statement(statement);
}

}  // namespace mv
