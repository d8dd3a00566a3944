#include "tests/roster_builder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

namespace rostrel::test {

namespace {

constexpr std::uint32_t kFxgHeader = 65088;
constexpr std::uint32_t kHeaderSize = 0x40;
constexpr std::uint32_t kRecord = 500;

std::uint32_t NameBytes(const std::u16string& name) { return 2 * static_cast<std::uint32_t>(name.size() + 1); }

void PutName(Bytes& bytes, std::uint32_t at, const std::u16string& name) {
  for (std::size_t k = 0; k < name.size(); ++k) PutU16(bytes, at + 2 * k, name[k]);
  PutU16(bytes, at + 2 * name.size(), 0);
}

}  // namespace

RosterBuilder& RosterBuilder::Add(std::u16string first, std::u16string last) {
  Player player{std::move(first), std::move(last), {}};
  const std::size_t index = players_.size();
  for (std::size_t x = 8; x < kRecord; ++x) player.record[x] = static_cast<std::uint8_t>(index * 31 + x * 7);
  players_.push_back(std::move(player));
  return *this;
}

RosterBuilder& RosterBuilder::AddMany(std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::string n = std::to_string(players_.size());
    Add(U16("F" + n), U16("L" + n));
  }
  return *this;
}

Built RosterBuilder::Build() const {
  Built out;
  out.header = kind_ == Kind::Fxg ? kFxgHeader : 0;
  const std::uint32_t count = static_cast<std::uint32_t>(players_.size());

  // Even players' names lie before the table, odd players' after it.
  std::uint32_t before = 0, after = 0;
  for (std::size_t i = 0; i < players_.size(); ++i) {
    (i % 2 == 0 ? before : after) += NameBytes(players_[i].first) + NameBytes(players_[i].last);
  }
  const std::uint32_t names_before = out.header + kHeaderSize;
  out.table = names_before + before;
  const std::uint32_t names_after = out.table + kRecord * count;
  const std::uint32_t trailer = 16;
  out.bytes.assign(names_after + after + trailer, 0);
  for (std::uint32_t k = 4; k < out.header; ++k) out.bytes[k] = static_cast<std::uint8_t>(k * 13 + 5);
  for (std::uint32_t k = 0; k < trailer; ++k) out.bytes[names_after + after + k] = 0xEE;

  PutU32(out.bytes, out.header + 0x1C, count);
  PutU32(out.bytes, out.header + 0x20, ReferenceTo(out.header + 0x20, out.table));

  std::uint32_t at_before = names_before, at_after = names_after;
  for (std::size_t i = 0; i < players_.size(); ++i) {
    const Player& p = players_[i];
    std::uint32_t& at = i % 2 == 0 ? at_before : at_after;
    const std::uint32_t first_at = at;
    PutName(out.bytes, first_at, p.first);
    const std::uint32_t last_at = first_at + NameBytes(p.first);
    PutName(out.bytes, last_at, p.last);
    at = last_at + NameBytes(p.last);
    out.first_name_at.push_back(first_at);
    out.last_name_at.push_back(last_at);

    const std::uint32_t record = out.table + kRecord * static_cast<std::uint32_t>(i);
    std::copy(p.record.begin(), p.record.end(), out.bytes.begin() + record);
    PutU32(out.bytes, record, ReferenceTo(record, last_at));
    PutU32(out.bytes, record + 4, ReferenceTo(record + 4, first_at));
  }
  StoreChecksum(out.bytes);
  return out;
}

std::u16string U16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes.at(offset)) | static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8 |
         static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16 | static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes.at(offset + k) = static_cast<std::uint8_t>(value >> (8 * k));
}

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t ReferenceTo(std::uint32_t at, std::uint32_t target) { return target - at + 1; }

std::uint32_t ReferenceCrc32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void StoreChecksum(Bytes& bytes) {
  if (bytes.size() < 4) return;
  PutU32(bytes, 0, ReferenceCrc32(bytes.data() + 4, bytes.size() - 4));
}

bool ChecksumIsValid(const Bytes& bytes) {
  return bytes.size() >= 4 && GetU32(bytes, 0) == ReferenceCrc32(bytes.data() + 4, bytes.size() - 4);
}

TempDir::TempDir() {
  static std::atomic<unsigned> serial{0};
  std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / ("rostrel-test-" + std::to_string(random()) + "-" + std::to_string(serial++));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view name) const { return (path_ / std::string(name)).string(); }

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace rostrel::test
