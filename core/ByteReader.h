// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian readers over byte spans, for every binary format the program
// reads (logs, RAM card dumps, DDR blocks). Every read checks its bounds:
// the three-argument forms answer false and leave Value as it was when the
// field does not fit; the two-argument forms answer 0 instead.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvin {

using TByteSpan = std::span<const std::uint8_t>;

namespace byte_reader_detail {

inline bool Fits(TByteSpan Bytes, std::size_t Offset, std::size_t Size) {
  return Offset <= Bytes.size() && Bytes.size() - Offset >= Size;
}

// The Size bytes at Offset, lowest first; the caller has checked the bounds.
inline std::uint64_t Unsigned(TByteSpan Bytes, std::size_t Offset, std::size_t Size) {
  std::uint64_t Value = 0;
  for (std::size_t I = Size; I-- > 0;) Value = (Value << 8) | Bytes[Offset + I];
  return Value;
}

} // namespace byte_reader_detail

inline bool ReadU16LE(TByteSpan Bytes, std::size_t Offset, std::uint16_t& Value) {
  if (!byte_reader_detail::Fits(Bytes, Offset, 2)) return false;
  Value = static_cast<std::uint16_t>(byte_reader_detail::Unsigned(Bytes, Offset, 2));
  return true;
}

inline bool ReadU32LE(TByteSpan Bytes, std::size_t Offset, std::uint32_t& Value) {
  if (!byte_reader_detail::Fits(Bytes, Offset, 4)) return false;
  Value = static_cast<std::uint32_t>(byte_reader_detail::Unsigned(Bytes, Offset, 4));
  return true;
}

inline bool ReadI32LE(TByteSpan Bytes, std::size_t Offset, std::int32_t& Value) {
  std::uint32_t Bits = 0;
  if (!ReadU32LE(Bytes, Offset, Bits)) return false;
  Value = static_cast<std::int32_t>(Bits);
  return true;
}

inline bool ReadU64LE(TByteSpan Bytes, std::size_t Offset, std::uint64_t& Value) {
  if (!byte_reader_detail::Fits(Bytes, Offset, 8)) return false;
  Value = byte_reader_detail::Unsigned(Bytes, Offset, 8);
  return true;
}

// IEEE single and double: the bit pattern as stored, NaNs included.
inline bool ReadF32LE(TByteSpan Bytes, std::size_t Offset, float& Value) {
  std::uint32_t Bits = 0;
  if (!ReadU32LE(Bytes, Offset, Bits)) return false;
  Value = std::bit_cast<float>(Bits);
  return true;
}

inline bool ReadF64LE(TByteSpan Bytes, std::size_t Offset, double& Value) {
  std::uint64_t Bits = 0;
  if (!ReadU64LE(Bytes, Offset, Bits)) return false;
  Value = std::bit_cast<double>(Bits);
  return true;
}

inline std::uint16_t ReadU16LE(TByteSpan Bytes, std::size_t Offset) {
  std::uint16_t Value = 0;
  ReadU16LE(Bytes, Offset, Value);
  return Value;
}

inline std::uint32_t ReadU32LE(TByteSpan Bytes, std::size_t Offset) {
  std::uint32_t Value = 0;
  ReadU32LE(Bytes, Offset, Value);
  return Value;
}

inline std::int32_t ReadI32LE(TByteSpan Bytes, std::size_t Offset) {
  std::int32_t Value = 0;
  ReadI32LE(Bytes, Offset, Value);
  return Value;
}

inline std::uint64_t ReadU64LE(TByteSpan Bytes, std::size_t Offset) {
  std::uint64_t Value = 0;
  ReadU64LE(Bytes, Offset, Value);
  return Value;
}

inline float ReadF32LE(TByteSpan Bytes, std::size_t Offset) {
  float Value = 0;
  ReadF32LE(Bytes, Offset, Value);
  return Value;
}

inline double ReadF64LE(TByteSpan Bytes, std::size_t Offset) {
  double Value = 0;
  ReadF64LE(Bytes, Offset, Value);
  return Value;
}

} // namespace quorvin
