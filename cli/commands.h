// The commands of rostrel-cli, one file each; each returns the exit code or
// throws Refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "player/player_cycle.h"
#include "player/player_filter.h"

namespace rostrel::cli {

// list's choice of players and columns: labels separated by commas (a minus
// before a sort label sorts down), and a filter.
struct ListQuery {
  std::string columns, sort, filter;
};
int CommandList(const std::string& file, const std::string& format, const ListQuery& query);
int CommandShow(const std::string& file, const std::string& player, const std::string& format);
// Writes keep an entry in the roster's history unless history is none.
int CommandSet(const std::string& file, const std::string& player, const std::vector<std::string>& texts, bool dry_run,
               bool backup, bool strict, const std::optional<HistoryKeeping>& history);
// The CSV in UTF-8 with a byte-order mark and CRLF, or plain: no mark, LF.
// Only the players the filter picks, when there is one.
int CommandExport(const std::string& file, const std::string& out_path, bool plain, const std::string& filter);
// Cells that would not read back as typed refuse the import, unless accept_stored.
int CommandImport(const std::string& file, const std::string& in_path, bool backup, bool accept_stored,
                  const std::optional<HistoryKeeping>& history);
int CommandDiff(const std::string& a, const std::string& b);
int CommandCheck(const std::string& file, bool fix);
// Every write kept beside the roster, one line each, or write number field by field.
int CommandHistory(const std::string& file, std::optional<std::uint32_t> number, const std::string& format);
// Undo (down to a write) or redo; exit 1 when there is nothing to do or the file does not hold what the history says.
int CommandUndo(const std::string& file, bool redo, std::optional<std::uint32_t> down_to, bool dry_run, double limit_mb);
// The history a write keeps: none with --no-history, else what wrote it and the limit in MB.
std::optional<HistoryKeeping> HistoryFor(const std::string& what, bool no_history, double limit_mb);

// The filter an option gives, in UTF-8; a UsageError names what is wrong.
Filter FilterOption(const std::string& text);
// The listed players the query picks, in its order.
std::vector<std::size_t> ListedRows(ListedFields& fields, const ListQuery& query);

}  // namespace rostrel::cli
