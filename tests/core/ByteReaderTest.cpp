// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ByteReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/MiscUtil.h"

namespace quorvin {
namespace {

const std::vector<std::uint8_t> Bytes = {0x34, 0x12, 0x78, 0x56, 0x00, 0x00,
                                         0xC0, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF};

TEST(ByteReader, ReadsLowestByteFirst) {
  EXPECT_EQ(ReadU16LE(Bytes, 0), 0x1234u);
  EXPECT_EQ(ReadU16LE(Bytes, 1), 0x7812u);
  EXPECT_EQ(ReadU32LE(Bytes, 0), 0x56781234u);
  EXPECT_EQ(ReadI32LE(Bytes, 8), -1);
  EXPECT_EQ(ReadI32LE(Bytes, 0), 0x56781234);
  EXPECT_EQ(ReadU64LE(Bytes, 4), 0xFFFFFFFF3FC00000ull);
  EXPECT_EQ(ReadF32LE(Bytes, 4), 1.5f);
  const std::vector<std::uint8_t> Minus2_5 = {0, 0, 0, 0, 0, 0, 0x04, 0xC0};
  EXPECT_EQ(ReadF64LE(Minus2_5, 0), -2.5);
}

// Every field that does not fit wholly is refused: the flag form answers
// false and keeps Value, the value form answers 0.
TEST(ByteReader, FieldsBeyondTheEndAreRefused) {
  const std::size_t Huge = std::numeric_limits<std::size_t>::max();
  struct TCase {
    std::size_t Offset;
    bool U16, U32, U64;
  } Cases[] = {
      {0, true, true, true},       {4, true, true, true},           {5, true, true, false},
      {8, true, true, false},      {9, true, false, false},         {10, true, false, false},
      {11, false, false, false},   {12, false, false, false},       {13, false, false, false},
      {Huge, false, false, false}, {Huge - 1, false, false, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Offset);
    std::uint16_t W = 7;
    std::uint32_t L = 7;
    std::int32_t I = 7;
    std::uint64_t Q = 7;
    float F = 7;
    double D = 7;
    EXPECT_EQ(ReadU16LE(Bytes, C.Offset, W), C.U16);
    EXPECT_EQ(ReadU32LE(Bytes, C.Offset, L), C.U32);
    EXPECT_EQ(ReadI32LE(Bytes, C.Offset, I), C.U32);
    EXPECT_EQ(ReadF32LE(Bytes, C.Offset, F), C.U32);
    EXPECT_EQ(ReadU64LE(Bytes, C.Offset, Q), C.U64);
    EXPECT_EQ(ReadF64LE(Bytes, C.Offset, D), C.U64);
    if (!C.U16) {
      EXPECT_EQ(W, 7u);
      EXPECT_EQ(ReadU16LE(Bytes, C.Offset), 0u);
    }
    if (!C.U32) {
      EXPECT_TRUE(L == 7u && I == 7 && F == 7.0f);
      EXPECT_EQ(ReadU32LE(Bytes, C.Offset), 0u);
      EXPECT_EQ(ReadI32LE(Bytes, C.Offset), 0);
      EXPECT_EQ(ReadF32LE(Bytes, C.Offset), 0.0f);
    }
    if (!C.U64) {
      EXPECT_TRUE(Q == 7u && D == 7.0);
      EXPECT_EQ(ReadU64LE(Bytes, C.Offset), 0u);
      EXPECT_EQ(ReadF64LE(Bytes, C.Offset), 0.0);
    }
  }
  std::uint16_t W = 7;
  EXPECT_FALSE(ReadU16LE(TByteSpan(), 0, W));
}

// The all-ones single is a NaN: it arrives with its bits intact and is the
// pattern both log readers answer for a value not recorded.
TEST(ByteReader, AllOnesSingleIsTheNotRecordedPattern) {
  const float V = ReadF32LE(Bytes, 8);
  EXPECT_TRUE(std::isnan(V));
  EXPECT_TRUE(IsNonRecorded(V));
  EXPECT_FALSE(IsNonRecorded(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_TRUE(IsNonRecorded(NonRecordedValue()));
}

} // namespace
} // namespace quorvin
