#include "plat/path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "plat/cp1251.h"

namespace plat {
namespace {

bool IsSeparator(char ch) {
  return ch == '\\' || ch == '/';
}

bool Exists(const std::string& hostPath) {
  struct stat info;
  return ::lstat(hostPath.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` ignoring case, if any.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  const std::string wanted = cp1251::ToUpper(cp1251::FromUtf8(name));
  std::optional<std::string> found;
  while (dirent* entry = ::readdir(dir)) {
    if (cp1251::ToUpper(cp1251::FromUtf8(entry->d_name)) == wanted) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::optional<std::string> ResolvePath(std::string_view path) {
  if (path.empty() || path.size() > kMaxPath) return std::nullopt;
  std::string result = IsSeparator(path.front()) ? "/" : "";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string name = cp1251::ToUtf8(path.substr(start, end - start));
    start = end + 1;
    if (name.empty() || name == ".") continue;
    std::string candidate = result + name;
    if (name != ".." && !Exists(candidate)) {
      if (auto match = MatchInFolder(result, name)) candidate = result + *match;
    }
    result = std::move(candidate);
    if (end < path.size()) result += '/';
  }
  if (result.empty()) result = ".";
  return result;
}

std::string ToProgramPath(std::string_view hostPath) {
  std::string out = cp1251::FromUtf8(hostPath);
  for (char& ch : out) {
    if (ch == '/') ch = '\\';
  }
  return out;
}

std::string ExecutablePath() {
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : ToProgramPath(self.string());
}

std::string ExecutableFolder() {
  return std::string(FolderOf(ExecutablePath()));
}

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  std::string out = ToProgramPath(folder);
  if (out.back() != '\\') out += '\\';
  return out;
}

bool FileExists(std::string_view path) {
  auto host = ResolvePath(path);
  struct stat info;
  return host && ::stat(host->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(std::string_view path) {
  auto host = ResolvePath(path);
  struct stat info;
  return host && ::stat(host->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CopyFileReplacing(std::string_view from, std::string_view to) {
  auto source = ResolvePath(from);
  auto target = ResolvePath(to);
  if (!source || !target) return false;
  std::error_code error;
  std::filesystem::copy_file(*source, *target, std::filesystem::copy_options::overwrite_existing,
                             error);
  return !error;
}

bool DeleteFile(std::string_view path) {
  auto host = ResolvePath(path);
  return host && ::unlink(host->c_str()) == 0;
}

bool CreateFolder(std::string_view path) {
  auto host = ResolvePath(path);
  if (!host) return false;
  std::error_code error;
  std::filesystem::create_directories(*host, error);
  return !error;
}

std::string CurrentFolder() {
  std::error_code error;
  auto current = std::filesystem::current_path(error);
  if (error) return {};
  std::string out = ToProgramPath(current.string());
  if (out.back() != '\\') out += '\\';
  return out;
}

bool SetCurrentFolder(std::string_view path) {
  auto host = ResolvePath(path);
  return host && ::chdir(host->c_str()) == 0;
}

std::string_view FileNameOf(std::string_view path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view FolderOf(std::string_view path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut + 1);
}

}  // namespace plat
