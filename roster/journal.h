// The journal that makes one write of a roster file a single unit. Before a
// write changes the file, it puts every range it will change, with the old and
// the new bytes, into a journal beside the file and onto the disk; only then
// does it change the file, and it deletes the journal once the file is on the
// disk. A journal found when a roster is opened belongs to a write that was
// interrupted: it is completed then.
//
// The journal's file is the roster's path followed by ".journal". Its layout,
// all numbers little-endian:
//
//   offset  size  content
//   0       4     "RSTJ"
//   4       4     version, 1
//   8       8     the roster file's size in bytes
//   16      4     the checksum the file carries once the write is complete
//   20      4     the number of ranges, n
//   24      ...   n ranges, each: offset (8 bytes), length L (4 bytes),
//                 the L old bytes, the L new bytes
//   then, in version 2 only, the write's history entry (roster/history.h):
//           8     the offset in the history where it goes
//           4     its size m
//           m     the entry
//   end-4   4     CRC-32 of every byte before it
//
// A journal whose own CRC-32 does not hold was never acted on, since nothing
// is changed in the file before the journal is whole on the disk.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "roster/byte_io.h"

namespace rostrel {

struct JournalRange {
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> old_bytes, new_bytes;  // of the same length
};

struct Journal {
  std::uint64_t file_size = 0;
  std::uint32_t checksum = 0;
  std::vector<JournalRange> ranges;
  std::uint64_t history_at = 0;
  std::vector<std::uint8_t> history_entry;  // empty: a write without a history
};

std::string JournalPathFor(const std::string& roster_path);

// The ranges as the journal and the history store them: their count, then
// each range's offset (8 bytes), length L (4 bytes), L old and L new bytes.
void PutRanges(std::vector<std::uint8_t>& out, const std::vector<JournalRange>& ranges);
bool ReadRanges(ByteReader& in, std::vector<JournalRange>& ranges);

std::vector<std::uint8_t> EncodeJournal(const Journal& journal);
// Nothing when the bytes are not a whole journal.
std::optional<Journal> DecodeJournal(const std::vector<std::uint8_t>& bytes);

enum class Recovery {
  NoJournal,      // nothing to do
  RolledForward,  // an interrupted write was completed
  Discarded,      // a journal that was never acted on was deleted
  Mismatch,       // the journal does not belong to the file as it is: left alone
  Failed,         // completing the write failed: the journal stays for the next try
  Busy,           // another program is writing the roster: the journal is its own, left alone
};

struct RecoveryReport {
  Recovery what = Recovery::NoJournal;
  // For Mismatch and Failed: what the user is told, naming both files; for
  // RolledForward: why the write's history entry could not be completed, if it could not.
  std::string message;
};

// Looks for the roster's journal and deals with it, before the roster is read.
// A journal counts as left by a writer that stopped only while no program
// holds the roster's write lock (roster/write_lock.h): it is taken, waiting
// up to wait (LockWait() unless told), for as long as the journal is dealt with.
RecoveryReport RecoverRoster(const std::string& roster_path);
RecoveryReport RecoverRoster(const std::string& roster_path, std::chrono::milliseconds wait);
// A journal lies beside the roster.
bool JournalPresent(const std::string& roster_path);

}  // namespace rostrel
