#include "plat/resource.h"

#include <cstdlib>

#include "plat/path.h"
#include "plat/stream.h"

namespace plat {
namespace {

std::string_view Extension(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::Bitmap:
      return ".bmp";
    case ResourceKind::Cursor:
      return ".cur";
    case ResourceKind::Icon:
      return ".ico";
    case ResourceKind::Wave:
      return ".wav";
  }
  return "";
}

}  // namespace

std::string ResourceFolder() {
  if (const char* dir = std::getenv("LEXO_RESOURCE_DIR"); dir && *dir) {
    std::string out = ToProgramPath(dir);
    if (out.back() != '\\') out += '\\';
    return out;
  }
  return ExecutableFolder() + "resources\\";
}

std::optional<std::string> FindResource(std::string_view name, ResourceKind kind) {
  if (!name.empty() && name.front() == '?') name.remove_prefix(1);
  if (name.empty() || name.find_first_of("\\/") != std::string_view::npos) return std::nullopt;
  std::string path = ResourceFolder() + std::string(name) + std::string(Extension(kind));
  if (!FileExists(path)) return std::nullopt;
  return path;
}

std::optional<std::string> FindResource(int number, ResourceKind kind) {
  return FindResource(std::to_string(number), kind);
}

std::vector<unsigned char> LoadResource(std::string_view name, ResourceKind kind) {
  auto path = FindResource(name, kind);
  if (!path) return {};
  auto bytes = ReadWholeFile(*path);
  if (!bytes) return {};
  return std::vector<unsigned char>(bytes->begin(), bytes->end());
}

std::vector<unsigned char> LoadResource(int number, ResourceKind kind) {
  return LoadResource(std::to_string(number), kind);
}

}  // namespace plat
