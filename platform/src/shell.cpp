// Programs and documents are started detached (a grandchild of the program), so nothing has to
// reap them; a pipe closed on exec tells whether the start worked.
#include "plat/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "plat/cp1251.h"
#include "plat/effects.h"
#include "plat/help.h"
#include "plat/path.h"

namespace plat {
namespace {

std::vector<char*> Arguments(std::vector<std::string>& args) {
  std::vector<char*> out;
  for (std::string& a : args) out.push_back(a.data());
  out.push_back(nullptr);
  return out;
}

// Runs args[0] (searched on PATH when it has no slash). Detached unless `wait`.
bool Spawn(std::vector<std::string> args, bool wait) {
  if (args.empty() || args[0].empty()) return false;
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  std::vector<char*> argv = Arguments(args);
  pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    if (!wait) {
      ::setsid();
      pid_t grandchild = ::fork();
      if (grandchild < 0) ::_exit(127);
      if (grandchild > 0) ::_exit(0);
    }
    ::execvp(argv[0], argv.data());
    int error = errno;
    [[maybe_unused]] ssize_t written = ::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (got > 0) {
    errno = error;
    return false;
  }
  return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         cp1251::CompareNoCase(text.substr(text.size() - tail.size()), tail) == 0;
}

bool IsExecutableFile(const std::string& host) {
  struct stat info;
  return ::stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(host.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> NativeProgramFor(std::string_view programPath) {
  std::string path(programPath);
  if (EndsWithNoCase(path, ".exe")) path.resize(path.size() - 4);
  std::optional<std::string> host = ResolvePath(path);
  if (!host || !IsExecutableFile(*host)) return std::nullopt;
  return host;
}

bool OpenUrl(std::string_view address) {
  bool answer = RecordEffect({EffectKind::OpenUrl, std::string(address), 0, 0});
  if (!HostEffects()) return answer;
  std::string utf8 = cp1251::ToUtf8(address);
  if (const char* browser = std::getenv("BROWSER"); browser && *browser) {
    if (Spawn({browser, utf8}, false)) return true;
  }
  return Spawn({"xdg-open", utf8}, false);
}

bool ShellOpen(std::string_view target, ShowMode mode) {
  bool answer = RecordEffect(
      {EffectKind::ShellOpen, std::string(target), static_cast<std::uint32_t>(mode), 0});
  if (!HostEffects()) return answer;
  if (EndsWithNoCase(target, ".exe")) return RunProgram(target, false);
  bool address =
      target.find("://") != std::string_view::npos || target.find('@') != std::string_view::npos;
  std::string argument;
  if (address) {
    argument = cp1251::ToUtf8(target);
    if (target.find(':') == std::string_view::npos) argument = "mailto:" + argument;
  } else {
    std::optional<std::string> host = ResolvePath(target);
    if (!host || !std::filesystem::exists(*host)) return false;
    argument = *host;
  }
  return Spawn({"xdg-open", argument}, false);
}

bool RunProgram(std::string_view programPath, bool wait) {
  bool answer = RecordEffect({EffectKind::RunProgram, std::string(programPath), 0, wait ? 1u : 0u});
  if (!HostEffects()) return answer;
  std::optional<std::string> host = NativeProgramFor(programPath);
  if (!host) return false;
  return Spawn({*host}, wait);
}

bool ShowHelp(std::string_view helpFile, std::uint32_t context, HelpStyle style) {
  bool answer = RecordEffect(
      {EffectKind::Help, std::string(helpFile), context, static_cast<std::uint32_t>(style)});
  if (!HostEffects()) return answer;
  std::string page(helpFile);
  std::size_t dot = page.rfind('.');
  if (dot != std::string::npos && page.find('\\', dot) == std::string::npos) page.resize(dot);
  page += ".html";
  std::optional<std::string> host = ResolvePath(page);
  if (!host || !std::filesystem::exists(*host)) return false;
  return Spawn({"xdg-open", *host}, false);
}

}  // namespace plat
