// The seven exports. Every engine error becomes a 0 result here; nothing but the one text
// exception of OpenDatabase leaves the library.
#include "stats/agon/agon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "plat/message_box.h"
#include "plat/stream.h"
#include "stats/agon/database.h"
#include "stats/agon/table_writer.h"

namespace {

using agon::Database;
using agon::Recordset;
using agon::ValueKind;

// The one current database of the process.
std::unique_ptr<Database>& Current() {
  static std::unique_ptr<Database> database;
  return database;
}

std::unique_ptr<Recordset> OpenRecordset(const char* sql) {
  if (!Current() || !sql) return nullptr;
  return Recordset::Open(*Current(), sql);
}

std::string TextOf(const Recordset& records, int column) {
  return column >= 0 && records.Kind(column) == ValueKind::Text ? records.Text(column)
                                                                : std::string();
}

std::int32_t IntegerOf(const Recordset& records, int column) {
  switch (records.Kind(column)) {
    case ValueKind::Integer:
      return static_cast<std::int32_t>(records.Integer(column));
    case ValueKind::Real: {
      double value = records.Real(column);
      if (!std::isfinite(value)) return 0;
      constexpr double kLow = std::numeric_limits<std::int32_t>::min();
      constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
      return static_cast<std::int32_t>(std::clamp(std::trunc(value), kLow, kHigh));
    }
    default:
      return 0;
  }
}

// Opens the table file (after checking there is something to query) and writes one record's
// lines per row; the reader gives the lines of the current row.
template <typename LinesOfRow>
int WriteTable(const char* path, const char* sql, std::initializer_list<const char*> columns,
               LinesOfRow linesOfRow) {
  if (!Current() || !path || !sql) return 0;
  auto file = plat::Stream::Open(path, plat::StreamMode::WriteText);
  if (!file) {
    plat::ShowMessageBox(path, agon::kCannotWriteCaption, plat::message_box::kOk);
    return 0;
  }
  auto records = OpenRecordset(sql);
  if (!records) return 0;
  std::vector<int> positions;
  for (const char* column : columns) {
    positions.push_back(records->Column(column));
    if (positions.back() < 0) return 0;
  }
  bool written = true;
  while (written && records->Next()) {
    for (const auto& line : linesOfRow(*records, positions)) {
      written = written && file->WriteText(line) && file->WriteText("\n");
    }
  }
  return written && !records->Failed() && file->Flush() ? 1 : 0;
}

}  // namespace

extern "C" {

int OpenDatabase(const char* path) {
  Current().reset();
  if (path) Current() = Database::Open(path);
  if (!Current()) throw agon::kCannotOpenDatabase;
  return 1;
}

void CloseDatabase() {
  Current().reset();
}

int GetQueryLenght(const char* sql) {
  auto records = OpenRecordset(sql);
  if (!records) return 0;
  int count = 0;
  while (records->Next()) ++count;
  return records->Failed() ? 0 : count;
}

int GetList(char** buffers, const char* sql, const char* column) {
  auto records = OpenRecordset(sql);
  if (!records || !buffers || !column) return 0;
  int position = records->Column(column);
  if (position < 0 || !records->Next()) return 0;
  for (std::size_t i = 0;; ++i) {
    if (records->Kind(position) == ValueKind::Text) {
      std::string text = records->Text(position);
      std::size_t size = std::min<std::size_t>(text.size(), agon::kListBufferSize - 1);
      std::memcpy(buffers[i], text.data(), size);
      buffers[i][size] = '\0';
    } else {
      buffers[i] = nullptr;
    }
    if (!records->Next()) break;
  }
  return records->Failed() ? 0 : 1;
}

int GetArray(int* values, const char* sql, const char* column) {
  auto records = OpenRecordset(sql);
  if (!records || !values || !column) return 0;
  int position = records->Column(column);
  if (position < 0 || !records->Next()) return 0;
  for (std::size_t i = 0;; ++i) {
    values[i] = IntegerOf(*records, position);
    if (!records->Next()) break;
  }
  return records->Failed() ? 0 : 1;
}

int FileCreate(const char* path, const char* sql) {
  return WriteTable(path, sql, {"vid", "disciplina", "mesto", "name", "countries", "result"},
                    [](const Recordset& records, const std::vector<int>& at) {
                      agon::GamesRecord record;
                      record.vid = TextOf(records, at[0]);
                      record.disciplina = TextOf(records, at[1]);
                      record.hasPlace = records.Kind(at[2]) == ValueKind::Real;
                      record.place = record.hasPlace ? records.Real(at[2]) : 0;
                      record.name = TextOf(records, at[3]);
                      record.countries = TextOf(records, at[4]);
                      record.result = TextOf(records, at[5]);
                      return agon::GamesLines(record);
                    });
}

int FileCreateFootball(const char* path, const char* sql) {
  return WriteTable(path, sql,
                    {"year", "group", "score", "com1", "complement1", "com2", "complement2"},
                    [](const Recordset& records, const std::vector<int>& at) {
                      agon::FootballRecord record;
                      record.year = TextOf(records, at[0]);
                      record.group = TextOf(records, at[1]);
                      record.score = TextOf(records, at[2]);
                      record.com1 = TextOf(records, at[3]);
                      record.complement1 = TextOf(records, at[4]);
                      record.com2 = TextOf(records, at[5]);
                      record.complement2 = TextOf(records, at[6]);
                      return agon::FootballLines(record);
                    });
}

}  // extern "C"
