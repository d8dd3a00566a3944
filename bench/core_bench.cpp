// The list fill of a full roster, saves, imports, undo and the history, and the
// CRC-32 over large files, each beside a yardstick measured in the same run.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "bench/ratio_reporter.h"
#include "player/csv.h"
#include "player/player_cycle.h"
#include "player/player_list.h"
#include "roster/history.h"
#include "roster/checksum.h"
#include "roster/field.h"
#include "roster/platform.h"
#include "roster/write_lock.h"
#include "player/player_filter.h"
#include "tests/memory_pages.h"
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

// One field of every player, as a list column reads it: the Height of 32767 players.
void BM_ReadColumn(benchmark::State& state) {
  const std::vector<PlayerEntry> rows = FillPlayerList(FullRosterPath(), 0);
  RosterView view;
  if (OpenRosterView(view, FullRosterPath()) != OpenStatus::Ok) return state.SkipWithError("cannot open");
  for (auto _ : state) {
    ListedFields fields(view, rows);
    benchmark::DoNotOptimize(fields.Column(*FindField("Height")).data());
  }
  CloseRosterView(view);
}
BENCHMARK(BM_ReadColumn)->Unit(benchmark::kMillisecond);

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

// One player of the full roster loaded, a rating changed and saved: the save
// journals the changed byte, writes it and the checksum, flushes the view and
// removes the journal.
void BM_LoadAndSave(benchmark::State& state) {
  RosterView view;
  if (OpenRosterView(view, FullRosterPath()) != OpenStatus::Ok) return state.SkipWithError("cannot open");
  const std::uint32_t position = FillPlayerList(FullRosterPath(), 0)[kFullRoster / 2].position;
  test::MemoryPages pages;
  LoadedPlayer player;
  int speed = 0;
  const bool save_only = state.range(0) != 0;
  // Arg 2: the save keeps its history entry, in a history begun afresh.
  const HistoryKeeping history{"Save", kDefaultHistoryLimit};
  const HistoryKeeping* keep = state.range(0) == 2 ? &history : nullptr;
  std::remove(HistoryPathFor(FullRosterPath()).c_str());
  for (auto _ : state) {
    if (save_only) state.PauseTiming();
    LoadPlayer(view, position, pages, player);
    pages.Type(kAttributesTab, 119, std::to_string(speed++ % 100));
    if (save_only) state.ResumeTiming();
    if (!SavePlayer(view, pages, player, keep).saved) state.SkipWithError("not saved");
  }
  std::remove(HistoryPathFor(FullRosterPath()).c_str());
}
BENCHMARK(BM_LoadAndSave)->Arg(0)->Unit(benchmark::kMillisecond);

// A one-player set as rostrel-cli makes it, on a roster of 1,500 players (as
// many as a game's roster holds): the roster locked, listed and mapped, the
// player loaded, a rating typed and saved with its history entry. The same
// set without the lock runs with the lock held already by this thread, so
// that its every lock is only counted. The two alternate, set by set, so that
// the disk's moods fall on both alike: BM_SetLocked times the sets with the
// lock, and BM_SetUnlocked replays the times of those without it.
std::vector<double> g_unlocked_seconds;

void SetOnePlayer(const std::string& path, int speed) {
  const HistoryKeeping history{"set", kDefaultHistoryLimit};
  const RosterLock lock = LockRoster(path, LockKind::Exclusive, LockWait());
  RecoverRoster(path);
  const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
  RosterView view;
  test::MemoryPages pages;
  LoadedPlayer player;
  if (!lock.held() || OpenRosterView(view, path) != OpenStatus::Ok || !LoadPlayer(view, rows[700].position, pages, player)) {
    std::abort();
  }
  pages.Type(kAttributesTab, 119, std::to_string(speed % 100));
  if (!SavePlayer(view, pages, player, &history).saved) std::abort();
}

double SecondsOf(const std::string& path, int speed, bool locked) {
  const RosterLock held = locked ? RosterLock{} : LockRoster(path, LockKind::Exclusive, LockWait());
  const auto start = std::chrono::steady_clock::now();
  SetOnePlayer(path, speed);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SetLocked(benchmark::State& state) {
  static test::TempDir dir;
  const std::string path = dir.File("set.ros");
  test::WriteFileBytes(path, test::RosterBuilder().AddMany(1500).Build().bytes);
  g_unlocked_seconds.clear();
  int speed = 0;
  for (auto _ : state) {
    const bool locked_first = speed % 2 == 0;
    if (!locked_first) g_unlocked_seconds.push_back(SecondsOf(path, ++speed, false));
    state.SetIterationTime(SecondsOf(path, ++speed, true));
    if (locked_first) g_unlocked_seconds.push_back(SecondsOf(path, ++speed, false));
  }
}
BENCHMARK(BM_SetLocked)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SetUnlocked(benchmark::State& state) {
  std::size_t k = 0;
  for (auto _ : state) state.SetIterationTime(k < g_unlocked_seconds.size() ? g_unlocked_seconds[k++] : 0);
}
BENCHMARK(BM_SetUnlocked)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSave)->Name("BM_Save")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSave)->Name("BM_SaveWithHistory")->Arg(2)->Unit(benchmark::kMillisecond);

// The checksum alone over the same mapped file.
void BM_FileCrc(benchmark::State& state) {
  RosterView view;
  if (OpenRosterView(view, FullRosterPath()) != OpenStatus::Ok) return state.SkipWithError("cannot open");
  for (auto _ : state) benchmark::DoNotOptimize(Crc32(view.base + 4, view.size - 4, 0));
}
BENCHMARK(BM_FileCrc)->Unit(benchmark::kMillisecond);

// The disk's part of a save: one byte and the checksum changed, the view flushed.
void BM_FlushChange(benchmark::State& state) {
  RosterView view;
  if (OpenRosterView(view, FullRosterPath()) != OpenStatus::Ok) return state.SkipWithError("cannot open");
  const std::uint32_t crc = ReadDwordAt(view, 0);
  std::uint8_t value = 0;
  for (auto _ : state) {
    view.base[view.size / 2] = value++;
    WriteDwordAt(view, 0, crc);
    FlushRosterView(view);
  }
}
BENCHMARK(BM_FlushChange)->Unit(benchmark::kMillisecond);

// rostrel-cli importing a CSV of the full roster, as a started program: one
// whose every row changes "Speed", and the unchanged export.
const std::string& ImportCsv(bool change_all) {
  static test::TempDir dir;
  static const std::string unchanged = dir.File("unchanged.csv"), changed = dir.File("changed.csv");
  static const bool made = [] {
    const std::string command = std::string(ROSTREL_CLI) + " export '" + FullRosterPath() + "' --csv '" + unchanged + "'";
    if (std::system(command.c_str()) != 0) return false;
    std::ifstream in(unchanged, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<CsvRow> rows;
    CsvError error;
    if (!ParseCsv(text.str(), rows, error)) return false;
    std::size_t speed = 0;
    while (speed < rows[0].fields.size() && rows[0].fields[speed] != "Speed") ++speed;
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) rows[r].fields[speed] = std::to_string((std::stoi(rows[r].fields[speed]) + 1) % 100);
      out += CsvLine(rows[r].fields);
    }
    std::ofstream(changed, std::ios::binary) << out;
    return true;
  }();
  static const std::string none;
  return made ? (change_all ? changed : unchanged) : none;
}

void BM_Import(benchmark::State& state) {
  const std::string& csv = ImportCsv(state.range(0) != 0);
  if (csv.empty()) return state.SkipWithError("no CSV");
  static const test::Bytes roster = test::ReadFileBytes(FullRosterPath());
  static test::TempDir dir;
  const std::string target = dir.File("import.ros");
  const std::string command = std::string(ROSTREL_CLI) + " import '" + target + "' --csv '" + csv + "' >/dev/null";
  // Arg 2: the import is done untimed, its undo is timed.
  const std::string undo = std::string(ROSTREL_CLI) + " undo '" + target + "' >/dev/null";
  for (auto _ : state) {
    state.PauseTiming();
    test::WriteFileBytes(target, roster);
    std::remove(HistoryPathFor(target).c_str());
    if (state.range(0) == 2 && std::system(command.c_str()) != 0) state.SkipWithError("import failed");
    state.ResumeTiming();
    if (std::system((state.range(0) == 2 ? undo : command).c_str()) != 0) state.SkipWithError("command failed");
  }
}
BENCHMARK(BM_Import)->Name("BM_ImportAll")->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Name("BM_ImportNone")->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Name("BM_UndoImportAll")->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);

// rostrel-cli history of 10,000 one-player saves, against rostrel-cli list of
// the same roster; both started as programs.
void BM_HistoryCommand(benchmark::State& state) {
  static test::TempDir dir;
  static const std::string roster = [] {
    const std::string path = dir.File("history.ros");
    const test::Bytes bytes = test::RosterBuilder().AddMany(kFullRoster).Build().bytes;
    test::WriteFileBytes(path, bytes);
    std::vector<std::uint8_t> history{'R', 'S', 'T', 'H', 1, 0, 0, 0};
    for (std::uint32_t k = 1; k <= 10000; ++k) {
      HistoryEntry e;
      e.number = k;
      e.time = 1765000000 + k;
      e.file_size = bytes.size();
      e.what = "Save";
      e.players = {{339 + 500 * (k % 1000), "Marcus", "Brooks"}};
      e.field_count = 1;
      e.ranges = {{339 + 500 * (k % 1000) + 455, {static_cast<std::uint8_t>(k)}, {static_cast<std::uint8_t>(k + 1)}}};
      const std::vector<std::uint8_t> entry = EncodeHistoryEntry(e);
      history.insert(history.end(), entry.begin(), entry.end());
    }
    test::WriteFileBytes(HistoryPathFor(path), history);
    return path;
  }();
  const std::string command =
      std::string(ROSTREL_CLI) + (state.range(0) ? " history '" : " list '") + roster + "' >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("command failed");
  }
}
BENCHMARK(BM_HistoryCommand)->Name("BM_History10000")->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryCommand)->Name("BM_ListCommand")->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond);

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
void BM_Crc32Fold128(benchmark::State& s) {
  if (!CrcKernelAvailable(CrcKernel::Fold128)) return s.SkipWithError("no PCLMULQDQ here");
  Throughput(s, [](auto* p, std::size_t n) { return Crc32With(CrcKernel::Fold128, p, n, 0); });
}
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
BENCHMARK(BM_Crc32Fold128)->Arg(64);
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
          {"one field of 32767 players (a list column) / the list fill", "BM_ReadColumn", "BM_FillPlayerList", false},
          {"load and save of one player / CRC of the same file", "BM_LoadAndSave/0", "BM_FileCrc", false},
          {"save of one player (journal, syncs, flush) / CRC of the same file", "BM_Save/1", "BM_FileCrc", false},
          {"save of one player with its history entry / without", "BM_SaveWithHistory/2", "BM_Save/1", false},
          {"one-player set with the write lock, uncontended / without it", "BM_SetLocked/iterations:300/manual_time",
           "BM_SetUnlocked/iterations:300/manual_time", false},
          {"rostrel-cli import changing all 32767 players / changing none", "BM_ImportAll/1/iterations:3",
           "BM_ImportNone/0/iterations:3", false},
          {"rostrel-cli undo of that import / the import", "BM_UndoImportAll/2/iterations:3",
           "BM_ImportAll/1/iterations:3", false},
          {"rostrel-cli history of 10,000 writes / rostrel-cli list of 32767 players", "BM_History10000/1/iterations:5",
           "BM_ListCommand/0/iterations:5", false},
          {"flush of a changed byte and checksum / CRC of the same file", "BM_FlushChange", "BM_FileCrc", false},
          {"CRC-32 16 MiB: program / zlib (throughput)", "BM_Crc32/16", "BM_ZlibCrc32/16", true},
          {"CRC-32 64 MiB: program / zlib (throughput)", "BM_Crc32/64", "BM_ZlibCrc32/64", true},
          {"CRC-32 64 MiB: table / zlib (throughput)", "BM_Crc32Table/64", "BM_ZlibCrc32/64", true},
          {"CRC-32 64 MiB: program / plain memory read (throughput)", "BM_Crc32/64", "BM_MemoryRead/64", true},
          {"CRC-32 64 MiB: 128-bit fold / plain memory read (throughput)", "BM_Crc32Fold128/64", "BM_MemoryRead/64",
           true},
      });
}
