#include "roster/checksum.h"

#include <array>

#include "roster/field.h"

#if defined(__i386__) || defined(__x86_64__)
#define ROSTREL_CRC_FOLDING 1
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 headers start some results from _mm512_undefined_*, which
// its own -Wuninitialized then reports in every caller.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#endif

namespace rostrel {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int round = 0; round < 8; ++round) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();
static_assert(kTable[1] == 0x77073096u && kTable[2] == 0xEE0E612Cu && kTable[3] == 0x990951BAu);

// r is the running register, already inverted.
std::uint32_t TableRun(const std::uint8_t* p, std::size_t n, std::uint32_t r) {
  for (std::size_t i = 0; i < n; ++i) r = kTable[(r ^ p[i]) & 0xFF] ^ (r >> 8);
  return r;
}

#ifdef ROSTREL_CRC_FOLDING

#define ROSTREL_FOLD_TARGET __attribute__((target("pclmul,sse4.1")))

ROSTREL_FOLD_TARGET inline __m128i Load(const std::uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x folded forward by the distance that k stands for, plus next.
ROSTREL_FOLD_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

ROSTREL_FOLD_TARGET inline __m128i Constants(const std::uint64_t (&k)[2]) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(k));
}

// The end of a fold: the four lanes x1 ... x4 of the last 64 bytes folded into
// one, then the 16-byte blocks left at p (n of them, a multiple of 16), then a
// Barrett reduction to 32 bits.
ROSTREL_FOLD_TARGET std::uint32_t FoldTail(__m128i x1, __m128i x2, __m128i x3, __m128i x4, const std::uint8_t* p,
                                           std::size_t n) {
  alignas(16) static const std::uint64_t k3k4[] = {0x01751997d0ull, 0x00ccaa009eull};
  alignas(16) static const std::uint64_t k5k0[] = {0x0163cd6124ull, 0x0000000000ull};
  alignas(16) static const std::uint64_t poly[] = {0x01db710641ull, 0x01f7011641ull};

  __m128i k = Constants(k3k4);
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  while (n >= 16) {
    x1 = Fold(x1, k, Load(p));
    p += 16;
    n -= 16;
  }

  // 128 bits to 64.
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i x = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
  x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), k, 0x00), _mm_srli_si128(x, 4));

  // Barrett reduction to 32 bits.
  k = Constants(poly);
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low32), k, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), k, 0x00);
  x = _mm_xor_si128(x, t);
  return static_cast<std::uint32_t>(_mm_extract_epi32(x, 1));
}

// Folding by carry-less multiplication, after Gopal et al., "Fast CRC
// Computation for Generic Polynomials Using PCLMULQDQ Instruction" (Intel, 2009):
// four 128-bit lanes folded 64 bytes at a time, then to one lane, then a Barrett
// reduction to 32 bits. The constants are powers of x modulo the bit-reflected
// polynomial: folding a lane forward by D bits multiplies its low half by
// x^(D+32) and its high half by x^(D-32), each reduced, reflected and shifted
// left by one. n is at least 64 and a multiple of 16; r is already inverted.
ROSTREL_FOLD_TARGET std::uint32_t FoldRun(const std::uint8_t* p, std::size_t n, std::uint32_t r) {
  alignas(16) static const std::uint64_t k1k2[] = {0x0154442bd4ull, 0x01c6e41596ull};  // D = 512

  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(r)));
  __m128i x2 = Load(p + 16);
  __m128i x3 = Load(p + 32);
  __m128i x4 = Load(p + 48);
  p += 64;
  n -= 64;

  const __m128i k = Constants(k1k2);
  while (n >= 64) {
    x1 = Fold(x1, k, Load(p));
    x2 = Fold(x2, k, Load(p + 16));
    x3 = Fold(x3, k, Load(p + 32));
    x4 = Fold(x4, k, Load(p + 48));
    p += 64;
    n -= 64;
  }
  return FoldTail(x1, x2, x3, x4, p, n);
}

#define ROSTREL_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,vpclmulqdq,pclmul,sse4.1")))

ROSTREL_WIDE_TARGET inline __m512i WideLoad(const std::uint8_t* at) { return _mm512_loadu_si512(at); }

// Four 128-bit lanes at once, each folded forward by the distance k stands for.
ROSTREL_WIDE_TARGET inline __m512i WideFold(__m512i x, __m512i k, __m512i next) {
  const __m512i lo = _mm512_clmulepi64_epi128(x, k, 0x00);
  const __m512i hi = _mm512_clmulepi64_epi128(x, k, 0x11);
  return _mm512_ternarylogic_epi64(lo, hi, next, 0x96);  // lo ^ hi ^ next
}

// The same fold 512 bits wide: four 64-byte registers folded 256 bytes at a
// time, then into one register, which folds the 64-byte blocks left; its four
// lanes are then the four lanes of FoldRun's end. n is at least 256 and a
// multiple of 16; r is already inverted.
ROSTREL_WIDE_TARGET std::uint32_t WideFoldRun(const std::uint8_t* p, std::size_t n, std::uint32_t r) {
  const __m512i k2048 = _mm512_broadcast_i32x4(_mm_set_epi64x(0x01322d1430ll, 0x011542778all));
  const __m512i k512 = _mm512_broadcast_i32x4(_mm_set_epi64x(0x01c6e41596ll, 0x0154442bd4ll));

  const __m512i seed = _mm512_inserti32x4(_mm512_setzero_si512(), _mm_cvtsi32_si128(static_cast<int>(r)), 0);
  __m512i z0 = _mm512_xor_si512(WideLoad(p), seed);
  __m512i z1 = WideLoad(p + 64);
  __m512i z2 = WideLoad(p + 128);
  __m512i z3 = WideLoad(p + 192);
  p += 256;
  n -= 256;
  while (n >= 256) {
    z0 = WideFold(z0, k2048, WideLoad(p));
    z1 = WideFold(z1, k2048, WideLoad(p + 64));
    z2 = WideFold(z2, k2048, WideLoad(p + 128));
    z3 = WideFold(z3, k2048, WideLoad(p + 192));
    p += 256;
    n -= 256;
  }
  __m512i z = WideFold(z0, k512, z1);
  z = WideFold(z, k512, z2);
  z = WideFold(z, k512, z3);
  while (n >= 64) {
    z = WideFold(z, k512, WideLoad(p));
    p += 64;
    n -= 64;
  }
  return FoldTail(_mm512_extracti32x4_epi32(z, 0), _mm512_extracti32x4_epi32(z, 1), _mm512_extracti32x4_epi32(z, 2),
                  _mm512_extracti32x4_epi32(z, 3), p, n);
}

bool DetectFolding() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

bool DetectWideFolding() {
  __builtin_cpu_init();
  return DetectFolding() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("vpclmulqdq");
}

const bool kHasFolding = DetectFolding();
const bool kHasWideFolding = DetectWideFolding();

#endif

}  // namespace

std::uint32_t Crc32Table(const void* data, std::size_t length, std::uint32_t seed) {
  return ~TableRun(static_cast<const std::uint8_t*>(data), length, ~seed);
}

bool CrcKernelAvailable(CrcKernel kernel) {
#ifdef ROSTREL_CRC_FOLDING
  if (kernel == CrcKernel::Fold512) return kHasWideFolding;
  if (kernel == CrcKernel::Fold128) return kHasFolding;
#endif
  return kernel == CrcKernel::Table;
}

CrcKernel BestCrcKernel() {
  if (CrcKernelAvailable(CrcKernel::Fold512)) return CrcKernel::Fold512;
  if (CrcKernelAvailable(CrcKernel::Fold128)) return CrcKernel::Fold128;
  return CrcKernel::Table;
}

std::uint32_t Crc32With(CrcKernel kernel, const void* data, std::size_t length, std::uint32_t seed) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::uint32_t r = ~seed;
#ifdef ROSTREL_CRC_FOLDING
  // The folds take whole 16-byte blocks; the table does the rest.
  const std::size_t folded = length & ~static_cast<std::size_t>(15);
  if (kernel == CrcKernel::Fold512 && length >= 256) {
    r = WideFoldRun(p, folded, r);
  } else if (kernel != CrcKernel::Table && length >= 64) {
    r = FoldRun(p, folded, r);
  } else {
    return ~TableRun(p, length, r);
  }
  p += folded;
  length -= folded;
#else
  (void)kernel;
#endif
  return ~TableRun(p, length, r);
}

std::uint32_t Crc32(const void* data, std::size_t length, std::uint32_t seed) {
  static const CrcKernel best = BestCrcKernel();
  return Crc32With(best, data, length, seed);
}

std::optional<std::uint32_t> StoredChecksum(std::span<const std::uint8_t> file) {
  if (file.size() < 4) return std::nullopt;
  return static_cast<std::uint32_t>(file[0]) | static_cast<std::uint32_t>(file[1]) << 8 |
         static_cast<std::uint32_t>(file[2]) << 16 | static_cast<std::uint32_t>(file[3]) << 24;
}

std::optional<std::uint32_t> ComputedChecksum(std::span<const std::uint8_t> file) {
  if (file.size() < 4) return std::nullopt;
  return Crc32(file.data() + 4, file.size() - 4, 0);
}

bool UpdateFileChecksum(RosterView& view) {
  if (!IsOpen(view) || view.size < 4) return false;
  const std::uint32_t crc = Crc32(view.base + 4, static_cast<std::size_t>(view.size - 4), 0);
  return WriteDwordAt(view, 0, crc);
}

}  // namespace rostrel
