#include "shell/settings.h"

#include <string>

namespace lexo {

int Settings::Read(const IntegerSetting& setting) const {
  return profile_.ReadInt(kSettingsSection, setting.key, setting.fallback);
}

std::string Settings::Read(const StringSetting& setting) const {
  return profile_.ReadString(kSettingsSection, setting.key, setting.fallback);
}

void Settings::WriteFlag(const IntegerSetting& setting, bool on) {
  profile_.WriteString(kSettingsSection, setting.key, on ? "1" : "0");
}

void Settings::Write(const IntegerSetting& setting, int value) {
  profile_.WriteString(kSettingsSection, setting.key, std::to_string(value));
}

void Settings::Write(std::string_view key, std::string_view value) {
  profile_.WriteString(kSettingsSection, key, value);
}

std::string Settings::ReadString(std::string_view key, std::size_t bufferSize) const {
  return profile_.ReadString(kSettingsSection, key, "", bufferSize);
}

std::string Settings::PositionKey(std::string_view className) {
  return "Pos" + std::string(className);
}

std::string Settings::PositionText(unsigned left, unsigned top) {
  return std::to_string(left) + "," + std::to_string(top);
}

std::string Settings::DiskFolderKey(int number) {
  return "CDDir" + std::to_string(number);
}

unsigned Settings::ReadExitFlags() const {
  unsigned bits = 0;
  for (unsigned i = 0; i < std::size(kExitFlags); ++i) {
    if (Read(kExitFlags[i]) != 0) bits |= 1u << i;
  }
  return bits;
}

void Settings::RestoreAtExit(unsigned startupFlags) {
  if (Read(kSetSaveSettingsOnExit) != 0) return;
  for (unsigned i = 0; i < std::size(kExitFlags); ++i) {
    WriteFlag(kExitFlags[i], (startupFlags >> i) & 1u);
  }
}

std::string Settings::RecallRootDir() const {
  return profile_.ReadString(kRecallSection, "RootDir", "", 256);
}

}  // namespace lexo
