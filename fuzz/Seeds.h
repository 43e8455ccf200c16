// SPDX-License-Identifier: GPL-3.0-or-later
// The seed writers, one per source of generated files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvin::fuzz {

// Writes Bytes as Folder/Name; false when it could not.
bool WriteSeed(const std::string& Folder, const std::string& Name, const std::string& Bytes);

// Seeds of the log targets (fuzz_logfile, fuzz_csvfile, fuzz_app) and the
// DDR target; Root holds one folder per target.
bool WriteLogSeeds(const std::string& Root);
bool WriteDDRSeeds(const std::string& Root);
bool WriteRamCardSeeds(const std::string& Root);
bool WriteIniSeeds(const std::string& Root);

} // namespace quorvin::fuzz
