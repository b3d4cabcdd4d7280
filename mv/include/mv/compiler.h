// The title compiler: readable UTF-8 sources into title files and their side files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::compiler {

struct Diagnostic {
  std::string file;
  int line = 0;
  std::string message;
};
std::string Format(const Diagnostic& diagnostic);

struct TitleOptions {
  std::int32_t addressBase = 1 << 20;  // address of topic 0's first unit
  std::string sideFolder;              // where .tra files go; empty = the title's folder
  bool optimizeIndex = true;
  // For see-also titles: the main title's number of a context string (-1 unknown) and its topic
  // count. Rows "ctx: text" of the topics' list texts become "NUMBER text", so that a chosen
  // row names a main-title topic; unset, the rows stay as written.
  std::function<std::int32_t(std::string_view ctx)> mainTopicNumber;
  std::int32_t mainTopicCount = 0;
};

// Rows numbered from this on are groups of a see-also list and name no topic.
inline constexpr std::int32_t kFirstGroupRow = 1000000;

// Compiles one title source file. On failure nothing is left at `outputPath`.
bool CompileTitle(const std::string& sourcePath, const std::string& outputPath,
                  const TitleOptions& options, std::vector<Diagnostic>& diagnostics);
// The same for source text; includes and baggage paths resolve against `folder`.
bool CompileTitleText(std::string_view source, const std::string& sourceName,
                      const std::string& folder, const std::string& outputPath,
                      const TitleOptions& options, std::vector<Diagnostic>& diagnostics);

// A project: "disk N out=DIR", "title SRC [role] [main=NAME] -> OUT",
// "group FILE = OUT: \"query\"" and "records FILE positions|scale|marks" followed by indented
// record lines. Builds every title, writes group and record files and checks links across the
// titles. Roles: main, media, dictionary, seealso, icon, outline.
bool CompileProject(const std::string& projectPath, std::vector<Diagnostic>& diagnostics);

}  // namespace mv::compiler
