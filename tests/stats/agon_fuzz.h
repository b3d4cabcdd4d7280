// One fuzz input run through the library the way the viewer would use it. The first byte picks
// what the rest is: a query on the open demo database, or the bytes of a database file.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

#include "stats/agon_library.h"

namespace agon::testing {

// More records than this are counted but not fetched into arrays.
inline constexpr int kFuzzMaxRecords = 5000;

inline void RunQueryInput(const AgonLibrary& agon, const std::string& sql,
                          const std::string& table) {
  int count = agon.Find<GetQueryLenghtFunction>("GetQueryLenght")(sql.c_str());
  if (count > 0 && count <= kFuzzMaxRecords) {
    std::vector<std::vector<char>> storage(static_cast<std::size_t>(count),
                                           std::vector<char>(kListBufferSize));
    std::vector<char*> buffers;
    for (auto& buffer : storage) buffers.push_back(buffer.data());
    for (const char* column : {"vid", "name", "group", "Agon"}) {
      agon.Find<GetListFunction>("GetList")(buffers.data(), sql.c_str(), column);
    }
    std::vector<int> values(static_cast<std::size_t>(count));
    agon.Find<GetArrayFunction>("GetArray")(values.data(), sql.c_str(), "idAgon");
  }
  agon.Find<FileCreateFunction>("FileCreate")(table.c_str(), sql.c_str());
  agon.Find<FileCreateFunction>("FileCreateFootball")(table.c_str(), sql.c_str());
}

// `folder` is a program path with a trailing backslash, `hostFolder` the same on the host.
inline void RunFuzzInput(const AgonLibrary& agon, std::string_view input, const std::string& folder,
                         const std::string& hostFolder) {
  if (input.empty()) return;
  bool asDatabase = (static_cast<unsigned char>(input[0]) & 1) != 0;
  std::string rest(input.substr(1));
  std::string table = folder + "agST.itt";
  if (!asDatabase) {
    if (agon.Open(DemoDatabase("summer.db"))) return;
    RunQueryInput(agon, rest, table);
    return;
  }
  {
    std::ofstream file(hostFolder + "/fuzz.db", std::ios::binary | std::ios::trunc);
    file.write(rest.data(), static_cast<std::streamsize>(rest.size()));
  }
  if (agon.Open(folder + "fuzz.db")) return;  // refused: "Can't open"
  for (const char* sql :
       {"select distinct Agon from Agoniada", "select distinct countries from chemp",
        "select distinct idAgon from chemp where countries = \"x\"",
        "select * from chemp where idAgon =1 and vid = \"x\"",
        "select distinct group from football where year=\"1998\"",
        "select * from football where year=\"1998\" and (com1 like 'a*' or com2 like 'a*')"}) {
    RunQueryInput(agon, Cp(sql), table);
  }
  agon.Close();
}

}  // namespace agon::testing
