#!/usr/bin/env bash
# Regenerates tests/fixtures/sheets: a small roster with accented names
# (tests/sheet_roster.cpp), exported by rostrel-cli and then opened and saved
# by LibreOffice Calc, headless, the ways spreadsheet users save a sheet:
#   CodePage.csv     CSV in the Windows code page 1252 (Excel's "CSV" on
#                    Western Windows)
#   Utf8Mark.csv     "CSV UTF-8" with a byte-order mark (LibreOffice 7.4 writes
#                    no mark; the three bytes Excel puts first are added here)
#   German.csv       CSV from a German locale: semicolons, and the export's
#                    12.500 (millions) read as twelve thousand five hundred
#   UnicodeText.txt  Excel's "Unicode Text": UTF-16 with its mark, tabs
# The test command needs no office suite: it reads the committed files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh sheets
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug -DROSTREL_SANITIZE=ON -DBUILD_TESTING=ON -DROSTREL_CLI=ON >/dev/null
cmake --build build/native --target rostrel_sheet_roster rostrel-cli

out=tests/fixtures/sheets
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
build/native/tests/rostrel_sheet_roster "$out/Roster.ROS"
build/native/rostrel-cli export "$out/Roster.ROS" --csv "$work/Sheet.csv"

# Calc reads the export as a user's double click does (UTF-8, commas, the
# locale given by its language number) and saves it with the filter's options:
# separator, quote, character set (1: Windows-1252, 76: UTF-8, 65535: UTF-16).
save() {  # save NAME LANGUAGE EXPORT_OPTIONS
  mkdir -p "$work/$1"
  HOME="$work/profile" soffice --headless --infilter="CSV:44,34,76,1,,$2" \
    --convert-to "csv:Text - txt - csv (StarCalc):$3" --outdir "$work/$1" "$work/Sheet.csv" >/dev/null 2>&1
  [ -s "$work/$1/Sheet.csv" ] || { echo "LibreOffice wrote no $1" >&2; exit 1; }
}
save code-page 1033 44,34,1,1
save utf8 1033 44,34,76,1
save german 1031 59,34,76,1
save unicode 1033 9,34,65535,1
cp "$work/code-page/Sheet.csv" "$out/CodePage.csv"
{ printf '\xEF\xBB\xBF'; cat "$work/utf8/Sheet.csv"; } >"$out/Utf8Mark.csv"
cp "$work/german/Sheet.csv" "$out/German.csv"
cp "$work/unicode/Sheet.csv" "$out/UnicodeText.txt"
echo "tests/fixtures/sheets: $(ls "$out" | tr '\n' ' ')"
