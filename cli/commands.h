// The commands of rostrel-cli, one file each; each returns the exit code or
// throws Refused.
#pragma once

#include <string>
#include <vector>

namespace rostrel::cli {

int CommandList(const std::string& file, const std::string& format);
int CommandShow(const std::string& file, const std::string& player, const std::string& format);
int CommandSet(const std::string& file, const std::string& player, const std::vector<std::string>& texts, bool dry_run,
               bool backup, bool strict);
// The CSV in UTF-8 with a byte-order mark and CRLF, or plain: no mark, LF.
int CommandExport(const std::string& file, const std::string& out_path, bool plain);
// Cells that would not read back as typed refuse the import, unless accept_stored.
int CommandImport(const std::string& file, const std::string& in_path, bool backup, bool accept_stored);
int CommandDiff(const std::string& a, const std::string& b);
int CommandCheck(const std::string& file, bool fix);

}  // namespace rostrel::cli
