// The history of a roster's writes, kept beside it, so that any write can be
// undone and redone, in this session or a later one. Every committed write
// (the window's Save, rostrel-cli set and import, and every undo and redo)
// appends one entry holding the bytes it changed, old and new. The entry is
// part of the write's journal, so a write and its entry happen together or
// not at all: the journal's roll-forward completes the entry too.
//
// The history's file is the roster's path followed by ".history". Its layout,
// all numbers little-endian:
//
//   offset  size  content
//   0       4     "RSTH"
//   4       4     version, 1
//   8       ...   entries, oldest first, each:
//     0     4     "RSTE"
//     4     4     the entry's size in bytes, n, everything from "RSTE" to its CRC
//     8     4     its number: 1 for a history's first write, then one more each
//     12    8     when, in seconds since 1970-01-01 00:00 UTC
//     20    8     the roster file's size in bytes
//     28    4     the checksum the file carried before the write
//     32    4     the checksum it carries after it
//     36    1     kind: 0 a write, 1 an undo, 2 a redo
//     37    2     length w of what wrote it, then w bytes of UTF-8: "Save",
//                 "set", "import players.csv", "undo 7", "undo 9 to 7", "redo 7"
//     ..    4     k, then k entry numbers: the writes an undo undid, newest
//                 first, or the write a redo applied again
//     ..    4     p, then p players: record position (4), first name length
//                 (1) and bytes, last name length (1) and bytes, as stored
//     ..    4     the number of fields that changed
//     ..    4     r, then r changed ranges: file offset (8), length L (4), the
//                 L old bytes, the L new bytes
//     n-8   4     n again, so that the last entry can be found from the end
//     n-4   4     CRC-32 of the entry's bytes before it
//
// An entry whose CRC-32 does not hold is damaged and never written from. A
// torn entry at the end (a write that stopped half-way) is ignored and cut
// off by the next append. The history is kept within a limit (64 MB unless
// told otherwise): when an entry would pass it, the oldest whole entries are
// dropped, the newest never, by writing the kept ones into a new file that
// then replaces the old one in one step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "roster/journal.h"

namespace rostrel {

constexpr std::uint64_t kDefaultHistoryLimit = 64ull << 20;

struct HistoryPlayer {
  std::uint32_t position = 0;  // the record position
  std::string first_name, last_name;  // the single bytes the file holds
};

enum class HistoryKind : std::uint8_t { Write = 0, Undo = 1, Redo = 2 };

struct HistoryEntry {
  std::uint32_t number = 0;
  std::int64_t time = 0;
  std::uint64_t file_size = 0;
  std::uint32_t checksum_before = 0, checksum_after = 0;
  HistoryKind kind = HistoryKind::Write;
  std::string what;
  std::vector<std::uint32_t> targets;
  std::vector<HistoryPlayer> players;
  std::uint32_t field_count = 0;
  std::vector<JournalRange> ranges;
};

// What a write tells the transaction about itself for its history entry; the
// transaction adds the number, the time, the checksums and the ranges.
struct HistoryNote {
  std::string what;
  HistoryKind kind = HistoryKind::Write;
  std::vector<std::uint32_t> targets;
  std::vector<HistoryPlayer> players;
  std::uint32_t field_count = 0;
  std::uint64_t limit = kDefaultHistoryLimit;  // bytes
};

std::string HistoryPathFor(const std::string& roster_path);

std::vector<std::uint8_t> EncodeHistoryEntry(const HistoryEntry& entry);
// Nothing when the n bytes are not exactly one whole entry.
std::optional<HistoryEntry> DecodeHistoryEntry(const std::uint8_t* bytes, std::size_t n);

enum class HistoryStatus {
  Missing,      // no history: nothing was written with one yet
  Sound,        // every entry reads
  TornTail,     // sound but for a torn entry at the end, which the next append cuts off
  Damaged,      // an entry in the middle does not read
  NotAHistory,  // the file does not begin as a history does
  Foreign,      // its newest entry was written to a file of another size
};

struct HistoryFile {
  HistoryStatus status = HistoryStatus::Missing;
  std::vector<HistoryEntry> entries;  // every entry that reads, oldest first
  // Entries from this index on follow the last damaged place: only they are undone or redone.
  std::size_t first_usable = 0;
  std::string problem;  // what is wrong, for the user; empty when Sound, TornTail or Missing
};

// Reads the whole history of the roster at roster_path; roster_size tells a
// history written for another file.
HistoryFile ReadHistory(const std::string& roster_path, std::uint64_t roster_size);

// Which writes are in effect and which are undone, from the entries in order.
struct HistoryState {
  std::vector<std::uint32_t> done;      // writes in effect, oldest first: undo takes the last
  std::vector<std::uint32_t> redoable;  // undone writes a redo may apply again: redo takes the last
  std::vector<std::uint32_t> undone;    // every write whose effect is undone now
  bool IsUndone(std::uint32_t number) const;
};
HistoryState ReplayHistory(const HistoryFile& history);
const HistoryEntry* FindEntry(const HistoryFile& history, std::uint32_t number);

// The place the next entry of the roster's history goes, found when a write
// commits: the end of its last whole entry, and that entry's number. A file
// that is not a history of this roster (not a history at all, damaged at its
// end beyond a torn entry, or another file's) is moved aside as
// "<roster>.history.damaged" first, never deleted, and a new history begins.
struct HistoryTail {
  bool usable = false;         // false: nothing can be appended (said in problem)
  std::uint64_t append_at = 0;  // 0: a new history, its header first
  std::uint32_t last_number = 0;
  std::uint32_t last_checksum = 0;  // the newest entry's checksum after
  bool has_last = false;
  std::string problem;
};
HistoryTail FindHistoryTail(const std::string& roster_path, std::uint64_t roster_size);

// Writes the entry at the tail (cutting off anything behind it), keeping the
// history within note.limit, and puts it on the disk; an empty text on
// success, else why not.
std::string AppendHistoryEntry(const std::string& roster_path, std::uint64_t append_at,
                               const std::vector<std::uint8_t>& entry, std::uint64_t limit);

// After a journal's roll-forward: the entry it carries is put into the
// history unless it is there already. An empty text on success.
std::string CompleteHistoryEntry(const std::string& roster_path, std::uint64_t append_at,
                                 const std::vector<std::uint8_t>& entry);

}  // namespace rostrel
