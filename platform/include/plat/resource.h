// The program's built-in bitmaps, cursors, icons and sounds: files in a resource folder beside
// the executable (or $LEXO_RESOURCE_DIR). A missing resource is an empty result.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class ResourceKind { Bitmap, Cursor, Icon, Wave };

// The resource folder, program form with a trailing backslash.
std::string ResourceFolder();

// `name` is a resource name ("?maincap" or "maincap") or a number ("163").
std::optional<std::string> FindResource(std::string_view name, ResourceKind kind);
std::optional<std::string> FindResource(int number, ResourceKind kind);

std::vector<unsigned char> LoadResource(std::string_view name, ResourceKind kind);
std::vector<unsigned char> LoadResource(int number, ResourceKind kind);

}  // namespace plat
