// The save-file dialog and the folder browser, drawn by the layer in the same plain look as the
// message box. Both are modal over their owner and usable with the keyboard (Tab between the
// name field, the list and the type box; arrows, Enter, Backspace for the parent folder,
// Escape) and the mouse (double click opens a folder, the wheel scrolls). Paths are in the
// program's form. Headless runs record them like message boxes and take scripted answers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/window.h"

namespace plat {

struct FileFilter {
  std::string description;
  std::string pattern;  // "*.jpg" or several joined by ';'
};

struct SaveFileRequest {
  Window owner;
  std::string title;
  std::string initialFolder;  // empty: the current folder
  std::string suggestedName;
  std::string defaultExtension;  // without the dot; added when the typed name has none
  std::vector<FileFilter> filters;
  std::size_t filterIndex = 0;
  bool confirmOverwrite = true;
};

// The chosen file, or nothing when cancelled.
std::optional<std::string> AskSaveFile(const SaveFileRequest& request);
// The chosen folder without a trailing backslash (except the root), or nothing.
std::optional<std::string> AskFolder(Window owner, std::string_view title,
                                     std::string_view initialFolder = {});

// Case-insensitive match of a file name against "*.jpg;*.j?eg"-style patterns.
bool MatchesPattern(std::string_view name, std::string_view patterns);

}  // namespace plat
