// The three folders every file name is built from, and the description file paths that follow
// the disk. Folders are program-form strings ending in a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexo {

// The module instance; a token that says "recompute the program folder".
struct Instance {};

const std::string& ProgramDir();
const std::string& DiskDir();
const std::string& DiskDataDir();

// The program description file and the disk description file (the default description file of
// dialogs, which follows the disk).
const std::string& ProgramDescriptionFile();
const std::string& DiskDescriptionFile();
// Both become ProgramDir + "datanew.txt".
void ResetDescriptionFiles();

// With an instance, ProgramDir becomes the executable's folder; a disk folder replaces DiskDir
// (which falls back to ProgramDir when empty); DiskDataDir becomes the data folder if given,
// else DiskDir.
void SetFolders(std::optional<Instance> instance, std::optional<std::string_view> diskFolder = {},
                std::optional<std::string_view> dataFolder = {});

// Folder + name. An empty name gives the folder itself.
std::string InProgramDir(std::string_view name);
std::string OnDisk(std::string_view name);
std::string InDiskData(std::string_view name);

// Makes `folder` the current disk: DiskDir, DiskDataDir = DiskDir + "Data\", the disk
// description file re-based onto it, and the start-up library told.
void SetDiskFolder(std::string_view folder);

}  // namespace lexo
