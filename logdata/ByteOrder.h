// Little-endian readers over byte spans. Every read checks its bounds: a read
// that does not fit answers false (or the fallback) and touches nothing.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace quorvin {

inline bool ReadU16LE(std::span<const std::uint8_t> Bytes, std::size_t Offset,
                      std::uint16_t& Value) {
  if (Offset > Bytes.size() || Bytes.size() - Offset < 2) return false;
  Value = static_cast<std::uint16_t>(Bytes[Offset] | (Bytes[Offset + 1] << 8));
  return true;
}

inline bool ReadU32LE(std::span<const std::uint8_t> Bytes, std::size_t Offset,
                      std::uint32_t& Value) {
  if (Offset > Bytes.size() || Bytes.size() - Offset < 4) return false;
  Value = static_cast<std::uint32_t>(Bytes[Offset]) |
          (static_cast<std::uint32_t>(Bytes[Offset + 1]) << 8) |
          (static_cast<std::uint32_t>(Bytes[Offset + 2]) << 16) |
          (static_cast<std::uint32_t>(Bytes[Offset + 3]) << 24);
  return true;
}

inline bool ReadU64LE(std::span<const std::uint8_t> Bytes, std::size_t Offset,
                      std::uint64_t& Value) {
  if (Offset > Bytes.size() || Bytes.size() - Offset < 8) return false;
  Value = 0;
  for (int I = 7; I >= 0; --I) Value = (Value << 8) | Bytes[Offset + I];
  return true;
}

inline bool ReadF64LE(std::span<const std::uint8_t> Bytes, std::size_t Offset, double& Value) {
  std::uint64_t Bits = 0;
  if (!ReadU64LE(Bytes, Offset, Bits)) return false;
  Value = std::bit_cast<double>(Bits);
  return true;
}

inline void WriteU16LE(std::uint8_t* Dest, std::uint16_t Value) {
  Dest[0] = static_cast<std::uint8_t>(Value & 0xFF);
  Dest[1] = static_cast<std::uint8_t>(Value >> 8);
}

} // namespace quorvin
