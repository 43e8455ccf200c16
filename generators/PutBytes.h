// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian fields appended to a byte string, for the file generators.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace quorvin::test {

inline void PutU16(std::string& Out, std::uint16_t V) {
  Out.push_back(static_cast<char>(V & 0xFF));
  Out.push_back(static_cast<char>(V >> 8));
}
inline void PutU32(std::string& Out, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) Out.push_back(static_cast<char>((V >> (8 * I)) & 0xFF));
}
inline void PutF64(std::string& Out, double D) {
  std::uint64_t B;
  std::memcpy(&B, &D, 8);
  for (int I = 0; I < 8; ++I) Out.push_back(static_cast<char>((B >> (8 * I)) & 0xFF));
}
inline void PutChars(std::string& Out, const std::string& Text, std::size_t Width) {
  for (std::size_t I = 0; I < Width; ++I) Out.push_back(I < Text.size() ? Text[I] : '\0');
}

inline void PutI32(std::string& Out, std::int32_t V) {
  std::uint32_t U = static_cast<std::uint32_t>(V);
  for (int I = 0; I < 4; ++I) Out += static_cast<char>((U >> (8 * I)) & 0xFF);
}

} // namespace quorvin::test
