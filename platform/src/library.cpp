#include "plat/library.h"

#include <dirent.h>
#include <dlfcn.h>

#include <utility>
#include <vector>

#include "plat/cp1251.h"
#include "plat/path.h"

namespace plat {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         cp1251::ToUpper(text.substr(text.size() - suffix.size())) == cp1251::ToUpper(suffix);
}

// The host file in `hostFolder` that stands for `name`.
std::string FindLibraryFile(const std::string& hostFolder, std::string_view name) {
  std::vector<std::string> wanted;
  if (EndsWithNoCase(name, ".dll")) {
    std::string base = cp1251::ToUpper(name.substr(0, name.size() - 4));
    wanted = {"LIB" + base + ".SO", base + ".SO"};
  } else {
    wanted = {cp1251::ToUpper(name)};
  }
  DIR* dir = ::opendir(hostFolder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    std::string upper = cp1251::ToUpper(cp1251::FromUtf8(entry->d_name));
    for (const auto& candidate : wanted) {
      if (upper == candidate) found = entry->d_name;
    }
    if (!found.empty()) break;
  }
  ::closedir(dir);
  return found.empty() ? found : hostFolder + "/" + found;
}

}  // namespace

Library Library::Load(std::string_view nameOrPath) {
  Library library;
  std::string folder(FolderOf(nameOrPath));
  if (folder.empty()) folder = ExecutableFolder();
  auto hostFolder = ResolvePath(folder);
  if (!hostFolder) return library;
  std::string file = FindLibraryFile(*hostFolder, FileNameOf(nameOrPath));
  if (!file.empty()) library.handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  return library;
}

Library::~Library() {
  Free();
}

Library::Library(Library&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Library& Library::operator=(Library&& other) noexcept {
  if (this != &other) {
    Free();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

void* Library::Symbol(const char* name) const {
  return handle_ && name ? ::dlsym(handle_, name) : nullptr;
}

void Library::Free() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace plat
