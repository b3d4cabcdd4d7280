// One statistics database file opened read-only, and the recordsets of queries on it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace agon {

// The password every shipped database carries in its metadata table.
inline constexpr std::string_view kDatabasePassword = "tulk";

class Database {
 public:
  // Null when the file is missing, is no SQLite database, or carries another password.
  static std::unique_ptr<Database> Open(std::string_view path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* Handle() const { return handle_; }

 private:
  explicit Database(sqlite3* handle) : handle_(handle) {}
  sqlite3* handle_;
};

enum class ValueKind { Null, Integer, Real, Text, Blob };

// The records of one query, read forward only.
class Recordset {
 public:
  // Null when the query text is malformed or names unknown tables or columns.
  static std::unique_ptr<Recordset> Open(const Database& database, std::string_view jetSql);
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Moves to the next record; false at the end and on an engine error (see Failed).
  bool Next();
  bool Failed() const { return failed_; }

  // The position of a result column by case-insensitive name, or -1.
  int Column(std::string_view name) const;
  ValueKind Kind(int column) const;
  // The value as code page 1251 text, whatever its kind.
  std::string Text(int column) const;
  double Real(int column) const;
  std::int64_t Integer(int column) const;

 private:
  explicit Recordset(sqlite3_stmt* statement) : statement_(statement) {}
  sqlite3_stmt* statement_;
  bool failed_ = false;
};

}  // namespace agon
