// Little-endian numbers and byte runs in the program's own files (the journal,
// the history): appended to a buffer, and read back without ever reading past
// the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rostrel {

inline void PutNumber(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::uint64_t NumberAt(const std::uint8_t* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

class ByteReader {
 public:
  ByteReader(const std::uint8_t* bytes, std::size_t end) : bytes_(bytes), end_(end) {}
  bool Number(std::uint64_t& value, int bytes) {
    if (end_ - at_ < static_cast<std::size_t>(bytes)) return false;
    value = NumberAt(bytes_ + at_, bytes);
    at_ += static_cast<std::size_t>(bytes);
    return true;
  }
  template <typename Run>
  bool Bytes(Run& run, std::uint64_t n) {
    if (end_ - at_ < n) return false;
    run.assign(bytes_ + at_, bytes_ + at_ + n);
    at_ += static_cast<std::size_t>(n);
    return true;
  }
  bool AtEnd() const { return at_ == end_; }

 private:
  const std::uint8_t* bytes_;
  std::size_t end_;
  std::size_t at_ = 0;
};

}  // namespace rostrel
