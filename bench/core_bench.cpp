// The list fill of a full roster and the CRC-32 over large files, each beside a
// yardstick measured in the same run.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>

#include "bench/ratio_reporter.h"
#include "player/player_list.h"
#include "roster/checksum.h"
#include "roster/platform.h"
#include "tests/roster_builder.h"

namespace rostrel {
namespace {

constexpr int kFullRoster = 32767;

const std::string& FullRosterPath() {
  static test::TempDir dir;
  static const std::string path = [] {
    const std::string p = dir.File("full.ros");
    test::WriteFileBytes(p, test::RosterBuilder().AddMany(kFullRoster).Build().bytes);
    return p;
  }();
  return path;
}

void BM_FillPlayerList(benchmark::State& state) {
  const std::string& path = FullRosterPath();
  for (auto _ : state) {
    auto rows = FillPlayerList(path, 0);
    benchmark::DoNotOptimize(rows.data());
    if (rows.size() != kFullRoster) state.SkipWithError("wrong row count");
  }
}
BENCHMARK(BM_FillPlayerList)->Unit(benchmark::kMillisecond);

// Reading the same file once from start to end, in 64 KiB pieces.
void BM_ReadWholeFile(benchmark::State& state) {
  const std::string& path = FullRosterPath();
  std::vector<char> buffer(64 * 1024);
  for (auto _ : state) {
    const PlatformReadFile file = PlatformOpenForReading(path);
    std::uint64_t at = 0;
    while (std::size_t got = PlatformReadAt(file.handle, at, buffer.data(), buffer.size())) at += got;
    PlatformCloseFile(file.handle);
    benchmark::DoNotOptimize(at);
  }
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

const std::vector<std::uint8_t>& Data(std::size_t size) {
  static std::vector<std::uint8_t> data;
  if (data.size() < size) {
    data.resize(size);
    std::mt19937 random(9);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
  }
  return data;
}

template <class Run>
void Throughput(benchmark::State& state, Run run) {
  const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
  const std::uint8_t* data = Data(size).data();
  for (auto _ : state) benchmark::DoNotOptimize(run(data, size));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
}

void BM_Crc32(benchmark::State& s) { Throughput(s, [](auto* p, std::size_t n) { return Crc32(p, n, 0); }); }
void BM_Crc32Table(benchmark::State& s) {
  Throughput(s, [](auto* p, std::size_t n) { return Crc32Table(p, n, 0); });
}
void BM_ZlibCrc32(benchmark::State& s) {
  Throughput(s, [](auto* p, std::size_t n) { return crc32(0L, p, static_cast<uInt>(n)); });
}
void BM_MemoryRead(benchmark::State& s) {
  Throughput(s, [](const std::uint8_t* p, std::size_t n) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      sum += word;
    }
    return sum;
  });
}
BENCHMARK(BM_Crc32)->Arg(16)->Arg(64);
BENCHMARK(BM_Crc32Table)->Arg(16)->Arg(64);
BENCHMARK(BM_ZlibCrc32)->Arg(16)->Arg(64);
BENCHMARK(BM_MemoryRead)->Arg(16)->Arg(64);

}  // namespace
}  // namespace rostrel

int main(int argc, char** argv) {
  using rostrel::bench::Ratio;
  return rostrel::bench::RunWithRatios(
      argc, argv,
      {
          {"list fill of 32767 players / reading the file once", "BM_FillPlayerList", "BM_ReadWholeFile", false},
          {"CRC-32 16 MiB: program / zlib (throughput)", "BM_Crc32/16", "BM_ZlibCrc32/16", true},
          {"CRC-32 64 MiB: program / zlib (throughput)", "BM_Crc32/64", "BM_ZlibCrc32/64", true},
          {"CRC-32 64 MiB: table / zlib (throughput)", "BM_Crc32Table/64", "BM_ZlibCrc32/64", true},
          {"CRC-32 64 MiB: program / plain memory read (throughput)", "BM_Crc32/64", "BM_MemoryRead/64", true},
      });
}
