#include "stats/agon/table_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plat/cp1251.h"

namespace agon {
namespace {

constexpr std::string_view kNoDiscipline = "0";

void AppendField(std::string& line, std::string_view field) {
  line += field;
  line += ';';
}

std::string CutTo(std::string line, std::size_t size) {
  if (line.size() > size) line.resize(size);
  return line;
}

std::string_view Element(const std::vector<std::string_view>& list, std::size_t index) {
  return index < list.size() ? list[index] : std::string_view();
}

}  // namespace

std::vector<std::string_view> SplitList(std::string_view list) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) {
      parts.push_back(list.substr(start));
      return parts;
    }
    parts.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
}

std::string PlaceText(double place) {
  if (!std::isfinite(place)) return {};
  // Beyond the 64-bit range a place means nothing; it is written at the range's end.
  double whole = std::clamp(std::trunc(place), -9.2e18, 9.2e18);
  return std::to_string(static_cast<std::int64_t>(whole));
}

std::vector<std::string> GamesLines(const GamesRecord& record) {
  auto names = SplitList(record.name);
  std::vector<std::string> lines;
  std::string first;
  AppendField(first, record.vid);
  AppendField(first, record.disciplina == kNoDiscipline ? std::string_view() : record.disciplina);
  AppendField(first, record.hasPlace ? PlaceText(record.place) : std::string());
  AppendField(first, names.front());
  AppendField(first, record.countries);
  AppendField(first, record.result);
  lines.push_back(CutTo(std::move(first), kMaxGamesLine));
  for (std::size_t i = 1; i < names.size(); ++i) {
    std::string line = ";;;";
    AppendField(line, names[i]);
    line += ";;";
    lines.push_back(CutTo(std::move(line), kMaxGamesLine));
  }
  return lines;
}

std::vector<std::string> FootballLines(const FootballRecord& record) {
  auto cut = [](std::string_view value) {
    return value.substr(0, std::min(value.size(), kFootballValueBuffer - 1));
  };
  std::string_view year = cut(record.year);
  year = year.substr(0, std::min(year.size(), year.find(',')));
  auto groups = SplitList(cut(record.group));
  auto scores = SplitList(cut(record.score));
  auto firsts = SplitList(cut(record.com1));
  auto seconds = SplitList(cut(record.com2));
  // The complements run alongside but are not shown.
  std::size_t steps =
      std::max({std::size_t{1}, groups.size(), scores.size(), firsts.size(), seconds.size()});
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < steps; ++i) {
    std::string line;
    AppendField(line, i == 0 ? year : std::string_view());
    AppendField(line, Element(groups, i));
    AppendField(line, Element(firsts, i));
    AppendField(line, Element(seconds, i));
    AppendField(line, Element(scores, i));
    lines.push_back(CutTo(std::move(line), kMaxFootballLine));
  }
  return lines;
}

}  // namespace agon
