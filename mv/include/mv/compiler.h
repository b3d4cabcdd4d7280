// The title compiler: readable UTF-8 sources into title files and their side files.
#pragma once

#include <cstdint>
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
};

// Compiles one title source file. On failure nothing is left at `outputPath`.
bool CompileTitle(const std::string& sourcePath, const std::string& outputPath,
                  const TitleOptions& options, std::vector<Diagnostic>& diagnostics);
// The same for source text; includes and baggage paths resolve against `folder`.
bool CompileTitleText(std::string_view source, const std::string& sourceName,
                      const std::string& folder, const std::string& outputPath,
                      const TitleOptions& options, std::vector<Diagnostic>& diagnostics);

// A project: "disk N out=DIR", "title SRC [role] -> OUT" and "group FILE = OUT: \"query\""
// lines. Builds every title, writes group files and checks links across the titles.
bool CompileProject(const std::string& projectPath, std::vector<Diagnostic>& diagnostics);

}  // namespace mv::compiler
