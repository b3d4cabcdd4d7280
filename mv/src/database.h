// A read-only connection to a title file with cached prepared statements.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mv {

class Statement {
 public:
  explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
  ~Statement() {
    if (statement_) {
      sqlite3_reset(statement_);
      sqlite3_clear_bindings(statement_);
    }
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  explicit operator bool() const { return statement_ != nullptr; }
  Statement& bind(int index, std::int64_t value) {
    if (statement_) sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& bind(int index, std::string_view text) {
    if (statement_) {
      sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
    }
    return *this;
  }
  Statement& bindBlob(int index, std::string_view bytes) {
    if (statement_) {
      sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()),
                        SQLITE_TRANSIENT);
    }
    return *this;
  }
  // True while a row is available; errors end the rows (see error()).
  bool step() {
    if (!statement_) return false;
    last_ = sqlite3_step(statement_);
    return last_ == SQLITE_ROW;
  }
  bool failed() const { return !statement_ || (last_ != SQLITE_ROW && last_ != SQLITE_DONE); }
  int result() const { return last_; }
  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
  std::string_view text(int column) const {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return p ? std::string_view(p,
                                static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
             : std::string_view();
  }
  std::string_view blob(int column) const {
    auto p = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return p ? std::string_view(p,
                                static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
             : std::string_view();
  }

 private:
  sqlite3_stmt* statement_;
  int last_ = SQLITE_OK;
};

class Database {
 public:
  // Read-only and immutable; nullptr when the file cannot be opened as a database.
  static std::unique_ptr<Database> OpenReadOnly(const std::string& hostPath);
  ~Database();

  sqlite3* handle() const { return db_; }
  // A cached statement, reset when the returned object goes; an invalid one when SQL fails.
  Statement prepare(const char* sql);
  void interrupt() { sqlite3_interrupt(db_); }

 private:
  explicit Database(sqlite3* db) : db_(db) {}
  sqlite3* db_;
  std::unordered_map<const char*, sqlite3_stmt*> statements_;
};

}  // namespace mv
