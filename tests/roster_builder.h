// Writes synthetic roster files (.ROS) and saved games (.FXG) for the tests,
// laid out as the game lays them out: the roster header at offset 0 or 65088,
// the player count at header + 0x1C, a self-relative reference to the table of
// 500-byte records at header + 0x20, and names as 16-bit little-endian units
// closed by 0 behind self-relative references, some before and some after the
// table. The first four bytes hold the CRC-32 of the rest.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rostrel::test {

using Bytes = std::vector<std::uint8_t>;

enum class Kind { Ros, Fxg };

struct Built {
  Bytes bytes;
  std::uint32_t header = 0;  // offset of the roster header
  std::uint32_t table = 0;   // 0-based offset of the first record
  std::vector<std::uint32_t> first_name_at;  // 0-based offsets of the name texts
  std::vector<std::uint32_t> last_name_at;

  // 1-based record position of player i (0-based).
  std::uint32_t Position(std::size_t i) const { return table + 500 * static_cast<std::uint32_t>(i) + 1; }
  // 0-based file offset of record offset x of player i.
  std::uint32_t Offset(std::size_t i, std::uint32_t x) const { return Position(i) - 1 + x; }
};

class RosterBuilder {
 public:
  explicit RosterBuilder(Kind kind = Kind::Ros) : kind_(kind) {}

  // Adds a player; every record byte from offset 8 on starts as a pattern of
  // the player's index and the offset.
  RosterBuilder& Add(std::u16string first, std::u16string last);
  RosterBuilder& AddMany(std::size_t count);  // players "F<i>" "L<i>"
  // The record of player i, offsets 0 ... 499 (0 ... 7 are overwritten by the references).
  std::array<std::uint8_t, 500>& Record(std::size_t i) { return players_[i].record; }

  Built Build() const;

 private:
  struct Player {
    std::u16string first, last;
    std::array<std::uint8_t, 500> record{};
  };
  Kind kind_;
  std::vector<Player> players_;
};

std::u16string U16(std::string_view ascii);

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
// The value a self-relative reference at offset needs to designate target.
std::uint32_t ReferenceTo(std::uint32_t at, std::uint32_t target);

// CRC-32 computed bit by bit, independent of the program's own.
std::uint32_t ReferenceCrc32(const std::uint8_t* data, std::size_t length);
void StoreChecksum(Bytes& bytes);
bool ChecksumIsValid(const Bytes& bytes);

// A fresh folder that removes itself.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  // The path of a file named name inside the folder, as text for the program.
  std::string File(std::string_view name) const;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::string& path);

}  // namespace rostrel::test
