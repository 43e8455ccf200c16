// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/MountPoints.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "RamTestUtil.h"
#include "generators/RamCardGen.h"

namespace quorvin::test {
namespace {

using Names = std::vector<std::string>;

TEST(MountPoints, RemovableMediaFirstPseudoFileSystemsLeftOut) {
  TScratchDir Sys;
  std::filesystem::create_directories(Sys / "sdc");
  std::filesystem::create_directories(Sys / "sda");
  std::filesystem::create_directories(Sys / "mmcblk0");
  WriteWhole(Sys / "sdc/removable", "1\n");
  WriteWhole(Sys / "sda/removable", "0\n");
  WriteWhole(Sys / "mmcblk0/removable", "1\n");
  const std::string Table = "sysfs /sys sysfs rw,nosuid 0 0\n"
                            "proc /proc proc rw 0 0\n"
                            "/dev/sda1 / ext4 rw,relatime 0 0\n"
                            "tmpfs /run tmpfs rw 0 0\n"
                            "/dev/sda2 /home ext4 rw 0 0\n"
                            "/dev/sdc1 /mnt/card\\040one vfat rw 0 0\n"
                            "/dev/sdb1 /media/u/STICK vfat rw 0 0\n"
                            "/dev/mmcblk0p1 /srv/sd exfat rw 0 0\n"
                            "/dev/sda2 /home ext4 rw 0 0\n"
                            "overlay /var/lib/x overlay rw 0 0\n"
                            "\n"
                            "garbage\n";
  EXPECT_EQ(ParseMountTable(Table, Sys.Path()),
            (Names{"/mnt/card one", "/media/u/STICK", "/srv/sd", "/", "/home"}));
}

TEST(MountPoints, EscapesAndMissingTable) {
  EXPECT_EQ(UnescapeMountField("a\\040b\\011c\\134d"), "a b\tc\\d");
  EXPECT_EQ(UnescapeMountField("end\\04"), "end\\04");
  EXPECT_EQ(UnescapeMountField("x\\999"), "x\\999");
  TSystemMountPoints None("/nonexistent/mounts");
  EXPECT_TRUE(None.MountPoints().empty());
  TScratchDir Dir;
  WriteWhole(Dir / "mounts", "/dev/sdz9 /media/x vfat rw 0 0\n");
  TSystemMountPoints Given(Dir / "mounts", Dir / "sys");
  EXPECT_EQ(Given.MountPoints(), (Names{"/media/x"}));
}

} // namespace
} // namespace quorvin::test
