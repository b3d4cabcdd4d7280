// Paths as the program keeps them: code page 1251 strings with backslashes, folders ending in a
// backslash. Every file access resolves such a path to the host at this boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The longest path the program may use, in characters; longer paths name no file.
inline constexpr std::size_t kMaxPath = 259;

// The host path of a program path: `\` and `/` both separate components, each existing
// component is matched case-insensitively, missing ones are kept as given. Empty or too long
// paths resolve to nothing.
std::optional<std::string> ResolvePath(std::string_view path);

// A host path in the program's form (backslashes, code page 1251).
std::string ToProgramPath(std::string_view hostPath);

// The full path of the running executable, in the program's form.
std::string ExecutablePath();
// The folder of the running executable, with a trailing backslash.
std::string ExecutableFolder();
// $TMPDIR or the system's temporary folder, with a trailing backslash.
std::string TempFolder();

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);
// Copies a file, replacing the target. False when either side cannot be opened.
bool CopyFileReplacing(std::string_view from, std::string_view to);
bool DeleteFile(std::string_view path);
bool CreateFolder(std::string_view path);

std::string CurrentFolder();
bool SetCurrentFolder(std::string_view path);

// The part after the last backslash (or slash), and everything up to and including it.
std::string_view FileNameOf(std::string_view path);
std::string_view FolderOf(std::string_view path);

}  // namespace plat
