#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "roster/field.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

class FieldView : public ::testing::Test {
 protected:
  void Open(const Bytes& bytes) {
    path_ = dir_.File("f.ros");
    WriteFileBytes(path_, bytes);
    ASSERT_EQ(OpenRosterView(view_, path_), OpenStatus::Ok);
  }
  Bytes FileNow() {
    CloseRosterView(view_);
    return ReadFileBytes(path_);
  }
  TempDir dir_;
  std::string path_;
  RosterView view_;
};

TEST_F(FieldView, ReadsLittleEndianUnalignedZeroExtended) {
  Open(Bytes{0xAA, 1, 2, 3, 4, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(ReadByteAt(view_, 1), 1u);
  EXPECT_EQ(ReadWordAt(view_, 1), 513u);
  EXPECT_EQ(ReadDwordAt(view_, 1), 67305985u);
  EXPECT_EQ(ReadByteAt(view_, 5), 255u);
  EXPECT_EQ(ReadWordAt(view_, 5), 65535u);
  EXPECT_EQ(ReadDwordAt(view_, 5), 0xFFFFFFFFu);
}

TEST_F(FieldView, FieldAddressIsPositionMinusOnePlusOffset) {
  Open(Bytes{0, 0, 0, 0, 0x11, 0x22, 0x33});
  EXPECT_EQ(FieldAddress(3, 2), 4u);
  EXPECT_EQ(ReadByteAt(view_, FieldAddress(3, 3)), 0x22u);
  EXPECT_EQ(ReadByteAt(view_, FieldAddress(0, 0)), 0u);  // position 0 names no byte
  EXPECT_FALSE(WriteByteAt(view_, FieldAddress(0, 0), 9));
}

TEST_F(FieldView, WritesKeepLowBitsAndTouchNothingElse) {
  Open(Bytes(10, 0x5A));
  EXPECT_TRUE(WriteWordAt(view_, 3, 0x12345));
  EXPECT_TRUE(WriteByteAt(view_, 0, 300));
  EXPECT_TRUE(WriteDwordAt(view_, 6, 0x01020304));
  EXPECT_EQ(FileNow(), (Bytes{44, 0x5A, 0x5A, 0x45, 0x23, 0x5A, 4, 3, 2, 1}));
}

TEST_F(FieldView, AccessOutsideTheFileIsRefused) {
  Open(Bytes{1, 2, 3, 4, 5});
  EXPECT_EQ(ReadByteAt(view_, 4), 5u);  // the last byte is inside
  EXPECT_EQ(ReadByteAt(view_, 5), 0u);
  EXPECT_EQ(ReadWordAt(view_, 4), 0u);  // straddles the end
  EXPECT_EQ(ReadDwordAt(view_, 2), 0u);
  EXPECT_EQ(ReadDwordAt(view_, ~0ull - 1), 0u);  // would wrap around
  EXPECT_FALSE(WriteByteAt(view_, 5, 1));
  EXPECT_FALSE(WriteWordAt(view_, 4, 0xFFFF));
  EXPECT_FALSE(WriteDwordAt(view_, 2, 0xFFFFFFFF));
  EXPECT_FALSE(WriteDwordAt(view_, ~0ull - 1, 0xFFFFFFFF));
  EXPECT_EQ(FileNow(), (Bytes{1, 2, 3, 4, 5}));
  // Closed: nothing to read or write.
  EXPECT_EQ(ReadByteAt(view_, 0), 0u);
  EXPECT_FALSE(WriteByteAt(view_, 0, 1));
  EXPECT_FALSE(InView(view_, 0, 0));
}

TEST(FieldNumber, FormatIsPlainDigits) {
  EXPECT_EQ(FormatFieldNumber(0), "0");
  EXPECT_EQ(FormatFieldNumber(65535), "65535");
  EXPECT_EQ(FormatFieldNumber(4294967295u), "4294967295");
}

TEST(FieldNumber, ParseTakesTheLeadingNumber) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"", 0},          {"  42", 42},       {"42abc", 42},     {"abc", 0},          {"1e3", 1000},
      {"&H1F", 31},     {"&h1f", 31},       {"&B101", 5},      {"&O17", 15},        {"&Q17", 15},
      {"&17", 15},      {"&", 0},           {"&H", 0},         {"&HG", 0},          {"&19", 1},
      {"\t\n 7", 7},    {"-5", -5},         {"+5", 5},         {"-", 0},            {".5", 0.5},
      {"5.", 5},        {"12.5", 12.5},     {"1.5e2", 150},    {"2D3", 2000},       {"2d-1", 0.2},
      {"3E+2", 300},    {"1e", 1},          {"1e+", 1},        {"1 2", 1},          {"--1", 0},
      {"\r5", 0},       {"0x10", 0},        {"1,5", 1},        {"&HFFFFFFFF", 4294967295.0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseFieldNumber(c.text), c.value) << '"' << c.text << '"';
  EXPECT_TRUE(std::isinf(ParseFieldNumber("1e999")));
}

TEST(FieldNumber, StoreRoundsHalfToEvenAndKeepsLowBits) {
  EXPECT_EQ(StoreAsField(2.5, 8), 2u);
  EXPECT_EQ(StoreAsField(3.5, 8), 4u);
  EXPECT_EQ(StoreAsField(-2.5, 8), 254u);
  EXPECT_EQ(StoreAsField(2.4999, 8), 2u);
  EXPECT_EQ(StoreAsField(300, 8), 44u);
  EXPECT_EQ(StoreAsField(256, 8), 0u);
  EXPECT_EQ(StoreAsField(-1, 8), 255u);
  EXPECT_EQ(StoreAsField(-1, 16), 65535u);
  EXPECT_EQ(StoreAsField(-1, 32), 4294967295u);
  EXPECT_EQ(StoreAsField(74565, 16), 0x2345u);
  EXPECT_EQ(StoreAsField(4294967296.0 + 7, 32), 7u);
  EXPECT_EQ(StoreAsField(-9223372036854775808.0, 32), 0u);  // the smallest int64, low bits 0
  EXPECT_EQ(StoreAsField(-9223372036854775808.0 + 4096, 16), 4096u);
}

TEST(FieldNumber, StoreOfNumbersOutsideInt64IsZero) {
  for (int bits : {8, 16, 32}) {
    EXPECT_EQ(StoreAsField(9223372036854775808.0, bits), 0u);
    EXPECT_EQ(StoreAsField(1e19, bits), 0u);
    EXPECT_EQ(StoreAsField(-1e19, bits), 0u);
    EXPECT_EQ(StoreAsField(std::numeric_limits<double>::infinity(), bits), 0u);
    EXPECT_EQ(StoreAsField(std::nan(""), bits), 0u);
    EXPECT_EQ(StoreAsField(ParseFieldNumber("1e999"), bits), 0u);
  }
  EXPECT_EQ(StoreAsField(9223372036854774784.0, 16), 0xFC00u);  // the largest double below 2^63
}

}  // namespace
}  // namespace rostrel
