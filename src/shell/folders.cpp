#include "shell/folders.h"

#include "plat/path.h"
#include "shell/qrm.h"

namespace lexo {
namespace {

struct FolderState {
  std::optional<Instance> instance;
  std::string programDir;
  std::string diskDir;
  std::string diskDataDir;
  std::string programDescription;
  std::string diskDescription;
};

FolderState& state() {
  static FolderState folders;
  return folders;
}

}  // namespace

const std::string& ProgramDir() {
  return state().programDir;
}
const std::string& DiskDir() {
  return state().diskDir;
}
const std::string& DiskDataDir() {
  return state().diskDataDir;
}
const std::string& ProgramDescriptionFile() {
  return state().programDescription;
}
const std::string& DiskDescriptionFile() {
  return state().diskDescription;
}

void ResetDescriptionFiles() {
  state().programDescription = InProgramDir("datanew.txt");
  state().diskDescription = InProgramDir("datanew.txt");
}

void SetFolders(std::optional<Instance> instance, std::optional<std::string_view> diskFolder,
                std::optional<std::string_view> dataFolder) {
  auto& s = state();
  if (instance) {
    s.instance = instance;
    s.programDir = plat::ExecutableFolder();
  }
  if (diskFolder) s.diskDir = *diskFolder;
  if (s.diskDir.empty()) s.diskDir = s.programDir;
  s.diskDataDir = dataFolder ? std::string(*dataFolder) : s.diskDir;
}

std::string InProgramDir(std::string_view name) {
  return ProgramDir() + std::string(name);
}
std::string OnDisk(std::string_view name) {
  return DiskDir() + std::string(name);
}
std::string InDiskData(std::string_view name) {
  return DiskDataDir() + std::string(name);
}

void SetDiskFolder(std::string_view folder) {
  auto& s = state();
  SetFolders(s.instance, folder);
  SetFolders(std::nullopt, std::nullopt, OnDisk("Data\\"));
  size_t cut = s.diskDescription.rfind('\\');
  s.diskDescription =
      cut == std::string::npos ? DiskDir() : OnDisk(s.diskDescription.substr(cut + 1));
  InitQRM(OnDisk(""), InDiskData(""), nullptr, nullptr, nullptr, nullptr);
}

}  // namespace lexo
