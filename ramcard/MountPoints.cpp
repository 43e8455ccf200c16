// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/MountPoints.h"

#include <fstream>
#include <sstream>

namespace quorvin {

namespace {

bool StartsWith(const std::string& Text, const std::string& Prefix) {
  return Text.compare(0, Prefix.size(), Prefix) == 0;
}

// The whole disk of a partition device: sdb1 -> sdb, mmcblk0p1 -> mmcblk0.
std::string DiskOf(std::string Dev) {
  if (StartsWith(Dev, "/dev/")) Dev = Dev.substr(5);
  if (Dev.empty() || Dev.find('/') != std::string::npos) return std::string();
  std::size_t End = Dev.size();
  while (End > 0 && Dev[End - 1] >= '0' && Dev[End - 1] <= '9') --End;
  if (End == Dev.size()) return Dev;
  // mmcblk0p1, nvme0n1p2: the partition number follows a "p" after a digit.
  if (End >= 2 && Dev[End - 1] == 'p' && Dev[End - 2] >= '0' && Dev[End - 2] <= '9')
    return Dev.substr(0, End - 1);
  // sdb1, vda2: the partition number follows the disk's letters.
  if (StartsWith(Dev, "sd") || StartsWith(Dev, "hd") || StartsWith(Dev, "vd") ||
      StartsWith(Dev, "xvd"))
    return Dev.substr(0, End);
  return Dev;
}

bool IsRemovable(const std::string& Device, const std::string& MountPoint,
                 const std::string& SysBlockDir) {
  if (StartsWith(MountPoint, "/media/") || StartsWith(MountPoint, "/run/media/")) return true;
  std::string Disk = DiskOf(Device);
  if (Disk.empty()) return false;
  std::ifstream Flag(SysBlockDir + "/" + Disk + "/removable");
  std::string Value;
  return Flag && std::getline(Flag, Value) && Value == "1";
}

} // namespace

std::string UnescapeMountField(const std::string& Field) {
  std::string R;
  for (std::size_t I = 0; I < Field.size(); ++I) {
    if (Field[I] == '\\' && I + 3 < Field.size()) {
      int V = 0;
      bool Octal = true;
      for (std::size_t K = 1; K <= 3; ++K) {
        char C = Field[I + K];
        if (C < '0' || C > '7') Octal = false;
        V = V * 8 + (C - '0');
      }
      if (Octal && V < 256) {
        R += static_cast<char>(V);
        I += 3;
        continue;
      }
    }
    R += Field[I];
  }
  return R;
}

std::vector<std::string> ParseMountTable(const std::string& Text, const std::string& SysBlockDir) {
  std::vector<std::string> Removable, Fixed;
  std::istringstream In(Text);
  std::string Line;
  while (std::getline(In, Line)) {
    std::istringstream Fields(Line);
    std::string Device, MountPoint;
    if (!(Fields >> Device >> MountPoint)) continue;
    if (!StartsWith(Device, "/dev/")) continue;
    MountPoint = UnescapeMountField(MountPoint);
    Device = UnescapeMountField(Device);
    bool Seen = false;
    for (const auto& M : Removable) Seen = Seen || M == MountPoint;
    for (const auto& M : Fixed) Seen = Seen || M == MountPoint;
    if (Seen) continue;
    (IsRemovable(Device, MountPoint, SysBlockDir) ? Removable : Fixed).push_back(MountPoint);
  }
  Removable.insert(Removable.end(), Fixed.begin(), Fixed.end());
  return Removable;
}

TSystemMountPoints::TSystemMountPoints(std::string MountTable, std::string SysBlockDir)
    : FMountTable(std::move(MountTable)), FSysBlockDir(std::move(SysBlockDir)) {}

std::vector<std::string> TSystemMountPoints::MountPoints() {
  std::ifstream In(FMountTable);
  if (!In) return {};
  std::ostringstream Text;
  Text << In.rdbuf();
  return ParseMountTable(Text.str(), FSysBlockDir);
}

} // namespace quorvin
