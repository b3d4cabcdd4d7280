// The settings file LX.ini: every key the program reads or writes, with its default and text
// form. Flags are written as "1" and "0".
#pragma once

#include <string>
#include <string_view>

#include "plat/profile.h"

namespace lexo {

inline constexpr std::string_view kSettingsFile = "LX.ini";
inline constexpr std::string_view kSettingsSection = "LEXOVIEW";
inline constexpr std::string_view kRecallSection = "LXRECL";

// Integer keys with their defaults.
struct IntegerSetting {
  std::string_view key;
  int fallback;
};
inline constexpr IntegerSetting kSetPlayIntro{"SetPlayIntro", 1};
inline constexpr IntegerSetting kSetSaveCoord{"SetSaveCoord", 0};
inline constexpr IntegerSetting kSetSaveCoordMedia{"SetSaveCoordMedia", 1};
inline constexpr IntegerSetting kSetAutoClose{"SetAutoClose", 0};
inline constexpr IntegerSetting kSetSaveSettingsOnExit{"SetSaveSettingsOnExit", 1};
inline constexpr IntegerSetting kAutoOpenFind{"AutoOpenFind", 1};
inline constexpr IntegerSetting kSetFontSize{"SetFontSize", 1};

// The six flags restored at exit when SetSaveSettingsOnExit is off, in bit order.
inline constexpr IntegerSetting kExitFlags[] = {kSetPlayIntro,          kSetSaveCoord,
                                                kSetSaveCoordMedia,     kSetAutoClose,
                                                kSetSaveSettingsOnExit, kAutoOpenFind};

// String keys with their defaults.
struct StringSetting {
  std::string_view key;
  std::string_view fallback;
};
inline constexpr StringSetting kFirstTopic{"FirstTopic", "56900"};
inline constexpr StringSetting kFirstTopicLow{"FirstTopicLow", "0"};
inline constexpr StringSetting kPosTools{"PosTools", ""};

// Settings of section LEXOVIEW in LX.ini, read and written straight through the file.
class Settings {
 public:
  Settings() : profile_(kSettingsFile) {}

  int Read(const IntegerSetting& setting) const;
  std::string Read(const StringSetting& setting) const;
  void WriteFlag(const IntegerSetting& setting, bool on);
  void Write(const IntegerSetting& setting, int value);
  void Write(std::string_view key, std::string_view value);
  std::string ReadString(std::string_view key, std::size_t bufferSize = 256) const;

  // "Pos%s" with a dialog's class name, and the "%u,%u" text of a position.
  static std::string PositionKey(std::string_view className);
  static std::string PositionText(unsigned left, unsigned top);
  // "CDDir%d".
  static std::string DiskFolderKey(int number);

  // The flags of kExitFlags as read now, bit i for flag i.
  unsigned ReadExitFlags() const;
  // At exit: when SetSaveSettingsOnExit is off, writes the six flags back with the bits they
  // had at start-up. SetFontSize is left as it is.
  void RestoreAtExit(unsigned startupFlags);

  // LXRECL RootDir, at most 255 characters.
  std::string RecallRootDir() const;

  plat::Profile& profile() { return profile_; }
  const plat::Profile& profile() const { return profile_; }

 private:
  plat::Profile profile_;
};

}  // namespace lexo
