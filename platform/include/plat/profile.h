// Settings and description files of `[section]` and `key=value` lines. Every call reads or
// rewrites the file itself, so a write is visible to the next read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The folder that holds profiles named without a folder: $LEXO_SETTINGS_DIR, else
// $XDG_CONFIG_HOME/lexoview, else ~/.config/lexoview (program form, trailing backslash).
std::string SettingsFolder();

class Profile {
 public:
  struct Entry {
    std::string key;
    std::string value;
  };

  // What a whole-section read into a fixed buffer gives: NUL-separated `key=value` entries
  // ending in a double NUL, and the count the platform reports (size − 2 when cut).
  struct SectionBlock {
    std::string bytes;
    std::uint32_t returned = 0;
    bool truncated = false;
  };

  // A file name without a folder lives in SettingsFolder().
  explicit Profile(std::string_view file);

  const std::string& path() const { return path_; }

  // Section and key match without regard to ASCII case; blanks round keys and values are
  // dropped; the value comes back raw (quotes kept), cut to bufferSize − 1 characters.
  // A missing file, section or key gives the fallback, cut the same way.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback = {}, std::size_t bufferSize = 256) const;
  // Decimal digits after optional blanks and sign; a missing key gives the fallback as is,
  // text that is not a number gives 0.
  int ReadInt(std::string_view section, std::string_view key, int fallback) const;
  bool HasKey(std::string_view section, std::string_view key) const;

  // Creates file, section and key as needed and keeps every other line.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  // Every entry of a section, in file order, never cut.
  std::vector<Entry> ReadSection(std::string_view section) const;
  // The same read into a buffer of `bufferSize` bytes, with the platform's cut.
  SectionBlock ReadSectionBlock(std::string_view section, std::size_t bufferSize) const;
  // Replaces every entry of the section (creating it when missing).
  bool WriteSection(std::string_view section, const std::vector<Entry>& entries);

  // The sections of the file in order.
  std::vector<std::string> SectionNames() const;

 private:
  std::string path_;
};

}  // namespace plat
