// A fresh folder per test, removed afterwards; optionally the settings folder too.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "plat/path.h"

namespace lexo::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lexo-test-XXXXXX").string();
    host_ = ::mkdtemp(pattern.data());
    path_ = plat::ToProgramPath(host_) + "\\";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(host_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Program form with a trailing backslash.
  const std::string& path() const { return path_; }
  const std::string& host() const { return host_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string host_;
  std::string path_;
};

// Points LEXO_SETTINGS_DIR at a temporary folder for the life of the object.
class TempSettings {
 public:
  TempSettings() { ::setenv("LEXO_SETTINGS_DIR", folder_.host().c_str(), 1); }
  ~TempSettings() { ::unsetenv("LEXO_SETTINGS_DIR"); }
  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
};

}  // namespace lexo::testing
