// Finding the folder that holds a disk, and checking that the current disk is still there.
#pragma once

#include <string>
#include <string_view>

namespace lexo {

// Disk numbers are 1 and 2; 9 stands for either.
inline constexpr int kAnyDisk = 9;
// Stored disk folders longer than this never hold a disk.
inline constexpr std::size_t kMaxDiskFolder = 260;

// "%sdisk%d.id" in `folder`.
std::string DiskMarkerPath(std::string_view folder, int disk);
bool HoldsDisk(std::string_view folder, int disk);

struct DiskRequest {
  int disk = 1;
  std::string folder;  // the candidate; after a failure, the last stored folder read
};

// Finds the disk in the candidate folder or the folders stored under "CDDir%d", remembers the
// folder and makes it current. 1 when found, 0 otherwise.
int LocateDisk(DiskRequest& request);

// The check behind the disk-removal watch: whether the current disk's marker is in DiskDir.
bool CurrentDiskPresent(int disk);

}  // namespace lexo
