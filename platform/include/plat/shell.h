// Starting programs, opening documents and web addresses. Program paths are in the program's
// form; a "*.exe" target runs the native program of the same base name in that folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plat/window.h"

namespace plat {

// The default web browser ($BROWSER, else xdg-open). False when none could be started.
bool OpenUrl(std::string_view address);
// Documents and mail addresses through xdg-open; programs are run without waiting.
bool ShellOpen(std::string_view target, ShowMode mode);
// Starts the program; with `wait`, returns after it ended (the interface is not pumped
// meanwhile). False when there is no such program or it could not be started.
bool RunProgram(std::string_view programPath, bool wait);
// The host executable standing in for a program path: "X.exe" names the executable file "x"
// (any case, no extension) in that folder; other names must themselves be executable.
std::optional<std::string> NativeProgramFor(std::string_view programPath);

}  // namespace plat
