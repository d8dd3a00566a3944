// CRC-32 (the polynomial of IEEE 802.3 and zlib) and the file checksum that a
// roster file carries in its first four bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "roster/roster_file.h"

namespace rostrel {

// CRC-32 of length bytes at data, continued from seed: Crc32(b, n, Crc32(a, m, 0))
// is the CRC-32 of a followed by b. Uses carry-less multiplication where the
// processor has it.
std::uint32_t Crc32(const void* data, std::size_t length, std::uint32_t seed);

// The ways the CRC-32 can be computed: the byte-wise table, always there;
// folding 128 bits at a time with carry-less multiplication (PCLMULQDQ); and
// folding 512 bits at a time (VPCLMULQDQ with AVX-512). Crc32 uses the widest
// this processor has; each gives the same value.
enum class CrcKernel { Table, Fold128, Fold512 };
bool CrcKernelAvailable(CrcKernel kernel);
// The CRC-32 by the kernel named, which must be available.
std::uint32_t Crc32With(CrcKernel kernel, const void* data, std::size_t length, std::uint32_t seed);
// The widest kernel available here.
CrcKernel BestCrcKernel();
// The byte-wise table form.
std::uint32_t Crc32Table(const void* data, std::size_t length, std::uint32_t seed);

// The checksum a file's bytes carry (bytes 0 to 3, little-endian) and the one
// they should carry (the CRC-32 of bytes 4 ... end); nothing for a file of
// fewer than four bytes.
std::optional<std::uint32_t> StoredChecksum(std::span<const std::uint8_t> file);
std::optional<std::uint32_t> ComputedChecksum(std::span<const std::uint8_t> file);

// Stores the CRC-32 of file offsets 4 ... size - 1 at offset 0, little-endian.
// A file shorter than four bytes has no room for it: nothing is written, false.
bool UpdateFileChecksum(RosterView& view);

}  // namespace rostrel
