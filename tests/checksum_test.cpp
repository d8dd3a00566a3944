#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "roster/checksum.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::ReferenceCrc32;
using test::TempDir;
using test::WriteFileBytes;

TEST(Crc32Test, StandardCheckValueAndChaining) {
  const char* digits = "123456789";
  EXPECT_EQ(Crc32(digits, 9, 0), 0xCBF43926u);
  EXPECT_EQ(Crc32Table(digits, 9, 0), 0xCBF43926u);
  EXPECT_EQ(Crc32(digits + 4, 5, Crc32(digits, 4, 0)), 0xCBF43926u);
  EXPECT_EQ(Crc32(digits, 0, 0x12345678u), 0x12345678u);
  EXPECT_EQ(Crc32(nullptr, 0, 0), 0u);
}

// Every kernel this processor has agrees with the table on every length around
// the folding thresholds, at every alignment, and when chained.
TEST(Crc32Test, EveryKernelAgreesWithTheTable) {
  std::mt19937 random(2009);
  Bytes data(70000);
  for (auto& b : data) b = static_cast<std::uint8_t>(random());
  std::string kernels;
  for (CrcKernel kernel : {CrcKernel::Fold128, CrcKernel::Fold512}) {
    if (!CrcKernelAvailable(kernel)) continue;
    kernels += kernel == CrcKernel::Fold128 ? "fold128 " : "fold512 ";
    auto crc = [kernel](const std::uint8_t* p, std::size_t n, std::uint32_t seed) { return Crc32With(kernel, p, n, seed); };
    for (std::size_t start = 0; start < 16; ++start) {
      for (std::size_t length = 0; length <= 600; ++length) {
        const auto* p = data.data() + start;
        ASSERT_EQ(crc(p, length, 0), Crc32Table(p, length, 0)) << kernels << start << " " << length;
      }
    }
    for (std::size_t length : {4095u, 4096u, 65536u, 69983u}) {
      EXPECT_EQ(crc(data.data() + 3, length, 0xDEADBEEF), Crc32Table(data.data() + 3, length, 0xDEADBEEF));
      EXPECT_EQ(crc(data.data() + 3, length, 0), ReferenceCrc32(data.data() + 3, length));
    }
    const std::uint32_t whole = Crc32Table(data.data(), data.size(), 0);
    EXPECT_EQ(crc(data.data() + 1000, data.size() - 1000, crc(data.data(), 1000, 0)), whole);
    Bytes zeros(1 << 20, 0);
    EXPECT_EQ(crc(zeros.data(), zeros.size(), 0), Crc32Table(zeros.data(), zeros.size(), 0));
  }
  EXPECT_EQ(Crc32(data.data(), data.size(), 0), Crc32Table(data.data(), data.size(), 0));
  RecordProperty("kernels", kernels);
}

class FileChecksum : public ::testing::Test {
 protected:
  Bytes UpdateAndRead(const Bytes& bytes, bool expect_written) {
    const std::string path = dir_.File("c.ros");
    WriteFileBytes(path, bytes);
    {
      RosterView view;
      if (OpenRosterView(view, path) == OpenStatus::Ok) {
        EXPECT_EQ(UpdateFileChecksum(view), expect_written);
      }
    }
    return ReadFileBytes(path);
  }
  TempDir dir_;
};

TEST_F(FileChecksum, CoversOffsetFourToTheEndStoredLittleEndian) {
  Bytes file{9, 9, 9, 9};
  for (char c : std::string("123456789")) file.push_back(static_cast<std::uint8_t>(c));
  const Bytes after = UpdateAndRead(file, true);
  EXPECT_EQ(Bytes(after.begin(), after.begin() + 4), (Bytes{0x26, 0x39, 0xF4, 0xCB}));
  EXPECT_EQ(Bytes(after.begin() + 4, after.end()), Bytes(file.begin() + 4, file.end()));
}

TEST_F(FileChecksum, FourByteFileGetsCrcOfNothing) {
  EXPECT_EQ(UpdateAndRead(Bytes{1, 2, 3, 4}, true), (Bytes{0, 0, 0, 0}));
}

TEST_F(FileChecksum, StoredBytesDoNotInfluenceTheResult) {
  Bytes a = test::RosterBuilder().AddMany(3).Build().bytes;
  Bytes b = a;
  a[0] = 0x00;
  b[0] = 0xFF;
  b[3] = 0x77;
  EXPECT_EQ(UpdateAndRead(a, true), UpdateAndRead(b, true));
  EXPECT_TRUE(test::ChecksumIsValid(UpdateAndRead(b, true)));
}

TEST_F(FileChecksum, FileShorterThanFourBytesIsLeftAlone) {
  EXPECT_EQ(UpdateAndRead(Bytes{1, 2, 3}, false), (Bytes{1, 2, 3}));
  EXPECT_EQ(UpdateAndRead(Bytes{1}, false), (Bytes{1}));
  RosterView closed;
  EXPECT_FALSE(UpdateFileChecksum(closed));
}

}  // namespace
}  // namespace rostrel
