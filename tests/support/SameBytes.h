// SPDX-License-Identifier: GPL-3.0-or-later
// Compares large texts (whole output files of megabytes) without letting
// GoogleTest print or diff them: a difference is told as the two sizes and
// digests and the first line that differs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace quorvin::test {

// FNV-1a, 64 bits: short enough to read, enough to tell two outputs apart.
inline std::string Digest(std::string_view Text) {
  std::uint64_t H = 14695981039346656037ull;
  for (unsigned char C : Text) H = (H ^ C) * 1099511628211ull;
  char Hex[17];
  std::snprintf(Hex, sizeof Hex, "%016llx", static_cast<unsigned long long>(H));
  return Hex;
}

inline ::testing::AssertionResult SameBytes(std::string_view Got, std::string_view Expected) {
  if (Got == Expected) return ::testing::AssertionSuccess();
  const std::size_t At =
      std::mismatch(Got.begin(), Got.begin() + std::min(Got.size(), Expected.size()),
                    Expected.begin())
          .first -
      Got.begin();
  const std::size_t Start = Got.substr(0, At).rfind('\n') + 1; // npos + 1 is 0
  auto LineAt = [Start](std::string_view Text) {
    std::string_view Line = Text.substr(Start);
    return std::string(Line.substr(0, std::min<std::size_t>(Line.find_first_of("\r\n"), 200)));
  };
  return ::testing::AssertionFailure()
         << Got.size() << " bytes (digest " << Digest(Got) << ") where " << Expected.size()
         << " bytes (digest " << Digest(Expected) << ") were expected; line "
         << std::count(Got.begin(), Got.begin() + Start, '\n') + 1
         << " differs first:\n  got      \"" << LineAt(Got) << "\"\n  expected \""
         << LineAt(Expected) << "\"";
}

} // namespace quorvin::test
