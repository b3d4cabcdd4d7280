// mvc: builds titles from sources.
//   mvc PROJECT.mvp             every title of a project, its side files and link checks
//   mvc SOURCE.mvs OUTPUT.m14   one title
#include <cstdio>
#include <string>
#include <vector>

#include "mv/compiler.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: mvc PROJECT.mvp | mvc SOURCE.mvs OUTPUT.m14\n");
    return 2;
  }
  std::vector<mv::compiler::Diagnostic> diagnostics;
  bool ok = argc == 2 ? mv::compiler::CompileProject(argv[1], diagnostics)
                      : mv::compiler::CompileTitle(argv[1], argv[2], {}, diagnostics);
  for (const auto& d : diagnostics) std::fprintf(stderr, "%s\n", mv::compiler::Format(d).c_str());
  return ok ? 0 : 1;
}
