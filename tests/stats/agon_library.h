// The statistics library bound the way the viewer binds it: loaded as "AGON.DLL" from the
// program folder, every export looked up by name. Texts in and out are code page 1251; the
// helpers take and give UTF-8 so that the tests read naturally.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "plat/cp1251.h"
#include "plat/library.h"
#include "plat/path.h"
#include "stats/agon/agon.h"

namespace agon::testing {

inline std::string Cp(std::string_view utf8) {
  return plat::cp1251::FromUtf8(utf8);
}
inline std::string Utf8(std::string_view cp1251) {
  return plat::cp1251::ToUtf8(cp1251);
}

// The demo databases built beside the test programs.
inline std::string DemoDatabase(std::string_view file) {
  return plat::ExecutableFolder() + "disk\\Data\\Stat\\" + std::string(file);
}

class AgonLibrary {
 public:
  AgonLibrary() : library_(plat::Library::Load("AGON.DLL")) {}
  ~AgonLibrary() {
    if (auto close = Find<CloseDatabaseFunction>("CloseDatabase")) close();
  }

  bool IsLoaded() const { return library_.IsLoaded(); }

  template <typename Function>
  Function* Find(const char* name) const {
    return library_.Find<Function>(name);
  }

  // OpenDatabase as the viewer calls it: true on 1, the exception text otherwise.
  std::optional<std::string> Open(const std::string& path) const {
    try {
      int result = Find<OpenDatabaseFunction>("OpenDatabase")(path.c_str());
      if (result != 1) return "result " + std::to_string(result);
      return std::nullopt;
    } catch (const char* text) {
      return std::string(text);
    }
  }
  void Close() const { Find<CloseDatabaseFunction>("CloseDatabase")(); }

  int Count(std::string_view sqlUtf8) const {
    return Find<GetQueryLenghtFunction>("GetQueryLenght")(Cp(sqlUtf8).c_str());
  }

  // The column's texts in UTF-8 (a null slot as nullopt), sized with GetQueryLenght as the
  // viewer sizes them; nothing when GetList fails.
  std::optional<std::vector<std::optional<std::string>>> List(std::string_view sqlUtf8,
                                                              const char* column) const {
    int count = Count(sqlUtf8);
    std::vector<std::vector<char>> storage(static_cast<std::size_t>(count),
                                           std::vector<char>(kListBufferSize, '\x7f'));
    std::vector<char*> buffers;
    for (auto& buffer : storage) buffers.push_back(buffer.data());
    if (Find<GetListFunction>("GetList")(buffers.data(), Cp(sqlUtf8).c_str(), column) != 1) {
      return std::nullopt;
    }
    std::vector<std::optional<std::string>> texts;
    for (char* buffer : buffers) {
      if (buffer) {
        texts.push_back(Utf8(buffer));
      } else {
        texts.push_back(std::nullopt);
      }
    }
    return texts;
  }

  std::optional<std::vector<int>> Array(std::string_view sqlUtf8, const char* column) const {
    std::vector<int> values(static_cast<std::size_t>(Count(sqlUtf8)), -12345);
    if (Find<GetArrayFunction>("GetArray")(values.data(), Cp(sqlUtf8).c_str(), column) != 1) {
      return std::nullopt;
    }
    return values;
  }

  int WriteGames(const std::string& path, std::string_view sqlUtf8) const {
    return Find<FileCreateFunction>("FileCreate")(path.c_str(), Cp(sqlUtf8).c_str());
  }
  int WriteFootball(const std::string& path, std::string_view sqlUtf8) const {
    return Find<FileCreateFunction>("FileCreateFootball")(path.c_str(), Cp(sqlUtf8).c_str());
  }

 private:
  plat::Library library_;
};

// A database file made from SQL statements (UTF-8), for fixtures the demo data lacks.
inline void MakeDatabase(const std::string& hostPath, std::string_view sql) {
  sqlite3* handle = nullptr;
  if (sqlite3_open(hostPath.c_str(), &handle) != SQLITE_OK) {
    sqlite3_close(handle);
    throw std::runtime_error("cannot create " + hostPath);
  }
  char* error = nullptr;
  int result = sqlite3_exec(handle, std::string(sql).c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(handle);
  if (result != SQLITE_OK) throw std::runtime_error(message);
}

// The metadata every statistics database carries.
inline constexpr std::string_view kPasswordTable =
    "create table agon_meta(name text primary key, value text);"
    "insert into agon_meta values ('password', 'tulk');";

inline constexpr std::string_view kGamesSchema =
    "create table Agoniada(idAgon integer primary key, Agon text collate nocase);"
    "create table chemp(idAgon integer, vid text collate nocase, disciplina text collate nocase,"
    " pol integer, mesto real, name text collate nocase, countries text collate nocase,"
    " result text collate nocase);";

inline constexpr std::string_view kFootballSchema =
    "create table football(year text collate nocase, \"group\" text collate nocase,"
    " score text collate nocase, com1 text collate nocase, complement1 text collate nocase,"
    " com2 text collate nocase, complement2 text collate nocase);"
    "create table All_country(com1 text collate nocase);";

}  // namespace agon::testing
