#include "shell/disk.h"

#include "plat/path.h"
#include "shell/folders.h"
#include "shell/settings.h"

namespace lexo {
namespace {

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

}  // namespace

std::string DiskMarkerPath(std::string_view folder, int disk) {
  return std::string(folder) + "disk" + std::to_string(disk) + ".id";
}

bool HoldsDisk(std::string_view folder, int disk) {
  return plat::FileExists(SkipLeadingBlanks(DiskMarkerPath(folder, disk)));
}

int LocateDisk(DiskRequest& request) {
  const int d = request.disk;
  Settings settings;
  bool found = !request.folder.empty() && HoldsDisk(request.folder, d);

  // The key of the requested disk first, then keys 1..8 without it; for 9 the first key is 1,
  // which is then tried again.
  int i = d == kAnyDisk ? 1 : d;
  bool first = true;
  while (!found && i < 9) {
    // Read uncut: a value over the limit would name a different folder once cut.
    request.folder = settings.ReadString(Settings::DiskFolderKey(i), 4096);
    if (!request.folder.empty() && request.folder.size() <= kMaxDiskFolder &&
        HoldsDisk(request.folder, d)) {
      found = true;
      break;
    }
    if (first) {
      i = 0;
      first = false;
    }
    ++i;
    if (i == d) ++i;
  }
  if (!found) return 0;
  // Blanks before the folder would follow it into every path built on the disk.
  request.folder = std::string(SkipLeadingBlanks(request.folder));

  int key = d;
  if (d == kAnyDisk) key = HoldsDisk(request.folder, 1) ? 1 : 2;
  settings.Write(Settings::DiskFolderKey(key), request.folder);
  SetDiskFolder(request.folder);
  return 1;
}

bool CurrentDiskPresent(int disk) {
  return HoldsDisk(DiskDir(), disk);
}

}  // namespace lexo
