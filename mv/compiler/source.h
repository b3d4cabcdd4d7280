// The parsed form of a title source, before numbering and addressing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mv/compiler.h"
#include "mv/mvtext.h"

namespace mv::compiler {

struct Location {
  std::string file;
  int line = 0;
};

struct KeyLine {
  std::string wheel;
  std::string text;    // UTF-8
  std::string anchor;  // optional anchor context string
  Location where;
};

struct TopicSource {
  std::string ctx;
  Location where;
  std::string title;
  std::optional<std::string> data;
  std::vector<std::string> tags;
  std::vector<KeyLine> keys;
  std::optional<std::int32_t> number;
  int flags = 0;
  std::optional<std::string> media;
  bool mediaIsText = true;
  text::Content content;
};

struct StyleSource {
  std::string name;
  std::string face;
  double size = 0;
  int flags = 0;  // 1 bold, 2 italic, 4 underline
  std::int32_t colour = -1;
  std::int32_t background = -1;
};

struct WheelSource {
  std::string name;
  std::string tra;  // side file name, empty when none
  Location where;
};

struct ListSource {
  std::string name;
  std::string expression;
  Location where;
};

struct BaggageSource {
  std::string name;
  std::string path;  // host path
  Location where;
};

// One row of a rubric tree: its number names the stored list of its topics.
struct RubricNode {
  std::int32_t id = 0;
  std::string text;  // UTF-8
  std::int32_t parent = 0;
  std::string list;  // list expression; empty: the node has no list
  Location where;
};

// A rubric tree description file: a header file followed by the rows.
struct RubricTree {
  std::string file;    // as written, relative to the side-file folder
  std::string header;  // host path; empty: no header
  std::vector<RubricNode> nodes;
  Location where;
};

struct TitleSource {
  std::map<std::string, std::string> meta;  // caption, copyright
  std::vector<StyleSource> styles;          // id = index + 1
  std::vector<WheelSource> wheels;
  std::vector<ListSource> lists;
  std::vector<BaggageSource> baggage;
  std::vector<RubricTree> rubrics;
  std::string numberingWheel;
  Location numberingWhere;
  std::vector<TopicSource> topics;
};

// Reads a source (and its includes) into `out`; false after reporting errors.
// The text without blanks, tabs and carriage returns at either end.
std::string_view Trim(std::string_view text);

bool ParseSource(std::string_view text, const std::string& name, const std::string& folder,
                 TitleSource& out, std::vector<Diagnostic>& diagnostics, int depth = 0);

}  // namespace mv::compiler
