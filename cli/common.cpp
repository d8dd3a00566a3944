#include "cli/common.h"


#include <map>

#include "player/names.h"

namespace rostrel::cli {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  const std::string text = ReadText(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

namespace {

// What taking the command's lock found of each roster's journal.
std::map<std::string, RecoveryReport> g_recovered;

RecoveryReport Recover(const std::string& path, bool report_only) {
  const auto found = g_recovered.find(path);
  RecoveryReport report = found != g_recovered.end() ? found->second : RecoverRoster(path);
  if (found != g_recovered.end()) g_recovered.erase(found);
  if (report.what == Recovery::RolledForward) {
    PrintError("rostrel-cli: " + path + ": an interrupted write was completed from " + JournalPathFor(path) + "\n");
  }
  if ((report.what == Recovery::Mismatch || report.what == Recovery::Failed) && !report_only) {
    throw Refused{report.message};
  }
  return report;
}

}  // namespace

RosterLock LockForCommand(const std::string& path, bool writes) {
  ReadLock taken;
  if (writes) {
    taken.lock = LockRoster(path, LockKind::Exclusive, LockWait());
    if (taken.lock.held()) taken.recovery = RecoverRoster(path);
  } else {
    taken = LockForReading(path, LockWait());
  }
  if (taken.busy()) {
    throw Busy{(writes ? BeingWrittenText(path) : path + " is being written by another program; nothing was read") +
               " (try again, or --wait longer)"};
  }
  if (taken.lock.held()) g_recovered[path] = taken.recovery;
  return std::move(taken.lock);
}

Roster List(const std::string& path, bool for_check) {
  Roster r{path, 0, {}, {}, {}};
  const auto header = HeaderOffsetFor(path);
  if (!header) throw Refused{path + ": the file extension is wrong (a roster is .ROS, a saved game .FXG)"};
  if (!std::filesystem::is_regular_file(PathOf(path))) throw Refused{path + ": no such file"};
  r.recovery = Recover(path, for_check);
  r.header = *header;
  r.rows = FillPlayerList(path, *header, &r.report);
  if (r.report.unreadable) throw Refused{path + ": cannot be read"};
  return r;
}

std::size_t FindRow(const Roster& r, const std::string& player) {
  auto refuse = [&](const std::string& why) { return Refused{r.path + ": player " + player + ": " + why}; };
  if (!player.empty() && player.find_first_not_of("0123456789") == std::string::npos) {
    const unsigned long row = std::stoul(player.substr(0, 9));
    if (row < 1 || row > r.rows.size()) throw refuse("no such row (the file lists " + std::to_string(r.rows.size()) + ")");
    return row - 1;
  }
  if (player.size() > 1 && player[0] == '@') {
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      if (Position(r.rows[i]) == player.substr(1)) return i;
    }
    throw refuse("no listed player has that record position");
  }
  std::string name;
  if (!Latin1(player, name)) throw refuse("the name holds a character above U+00FF, which no name in a roster can hold");
  const std::vector<std::size_t> matches = RowsNamed(r.rows, name);
  if (matches.empty()) throw refuse("no player has that name");
  if (matches.size() > 1) {
    std::string which;
    for (std::size_t i : matches) which += " row " + std::to_string(i + 1) + " (@" + Position(r.rows[i]) + ")";
    throw refuse("the name is ambiguous:" + which);
  }
  return matches[0];
}

OpenView::OpenView(const std::string& path) {
  const OpenStatus status = OpenRosterView(view_, path);
  if (status != OpenStatus::Ok) throw Refused{path + ": " + OpenStatusText(status)};
}

void Backup(const std::string& path) {
  const std::string copy = path + ".bak";
  if (std::filesystem::exists(PathOf(copy))) return;  // an existing backup is never replaced
  std::error_code error;
  std::filesystem::copy_file(PathOf(path), PathOf(copy), error);
  if (error) throw Refused{path + ": the backup " + copy + " cannot be written: " + error.message()};
}

std::string Position(const PlayerEntry& row) { return std::to_string(row.position); }

std::string Utf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void Load(OpenView& open, const Roster& r, std::size_t row, Loaded& loaded) {
  const std::uint32_t p = r.rows[row].position;
  if (!LoadPlayer(open.view(), p, loaded.pages, loaded.player)) throw Refused{r.path + ": the player's record lies outside the file"};
}

bool Latin1(const std::string& text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      return false;
    }
  }
  return true;
}

void RefuseUnlessAsTyped(const std::string& file, const std::vector<std::string>& not_as_typed) {
  if (not_as_typed.empty()) return;
  std::string message = file + ": with --strict, values that would not read back as typed are refused; nothing was written:";
  for (const std::string& n : not_as_typed) message += "\n  " + n;
  throw Refused{message};
}

}  // namespace rostrel::cli
