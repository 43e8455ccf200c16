// SPDX-License-Identifier: GPL-3.0-or-later
// The drives offered on the RAMCARD page. Linux has no drive letters: the
// list holds the mount points of mounted file systems, removable media first.
#pragma once

#include <string>
#include <vector>

namespace quorvin {

class IMountPoints {
public:
  virtual ~IMountPoints() = default;
  // Mount points, removable media first, each once.
  virtual std::vector<std::string> MountPoints() = 0;
};

// Reads a mount table in the form of /proc/self/mounts. Only file systems
// on block devices are offered; pseudo file systems are left out.
class TSystemMountPoints : public IMountPoints {
public:
  explicit TSystemMountPoints(std::string MountTable = "/proc/self/mounts",
                              std::string SysBlockDir = "/sys/block");
  std::vector<std::string> MountPoints() override;

private:
  std::string FMountTable;
  std::string FSysBlockDir;
};

// The mount points of a mount table's text, removable media first. A device
// counts as removable when its mount point lies under /media or /run/media,
// or SysBlockDir/<disk>/removable reads 1.
std::vector<std::string> ParseMountTable(const std::string& Text, const std::string& SysBlockDir);

// Undoes the octal escapes (\040 for a blank) of a mount table field.
std::string UnescapeMountField(const std::string& Field);

} // namespace quorvin
