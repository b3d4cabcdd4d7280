// The result tables the viewer's multi-column list reads: one line per row, each field followed
// by ';', lines ending in CR LF, text in code page 1251.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace agon {

// Lines are cut to these sizes (without their line end).
inline constexpr std::size_t kMaxGamesLine = 10000;
inline constexpr std::size_t kMaxFootballLine = 1000;
// Each list value of a football record is read into this many bytes, its terminating zero
// included.
inline constexpr std::size_t kFootballValueBuffer = 1024;

// One placing of the games. An absent value (not a text, not a number) is empty or null.
struct GamesRecord {
  std::string vid;
  std::string disciplina;
  bool hasPlace = false;  // only a floating-point place is written
  double place = 0;
  std::string name;
  std::string countries;
  std::string result;
};

// One match list of a championship; each member but year is a comma-separated list.
struct FootballRecord {
  std::string year;
  std::string group;
  std::string score;
  std::string com1;
  std::string complement1;
  std::string com2;
  std::string complement2;
};

// Everything between commas, in order; an empty text is one empty element.
std::vector<std::string_view> SplitList(std::string_view list);

// The place truncated towards zero, in decimal.
std::string PlaceText(double place);

// The lines of one record, each without its line end.
std::vector<std::string> GamesLines(const GamesRecord& record);
std::vector<std::string> FootballLines(const FootballRecord& record);

}  // namespace agon
