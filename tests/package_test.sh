#!/usr/bin/env bash
# The release as a Windows user gets it: packed twice, from two fresh trees,
# into the same bytes; the zip's listing and checksums; the version resource
# of both executables; rostrel-cli --version and the editor started and
# closed under Wine.
#   package_test.sh PROBE.exe WINDOWS_TREE   (the tree of the Windows tests)
set -uo pipefail
probe=$1
wintree=$2
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
source tools/wine-env.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1" >&2; fi
}
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
wine_run() { "$ROSTREL_WINE" "$@" 2>/dev/null | tr -d '\r'; }

rm -rf build/release-win32-again
bash tools/package.sh build/release-win32 "$work/one" >"$work/one.log" 2>&1 || { cat "$work/one.log"; exit 1; }
bash tools/package.sh build/release-win32-again "$work/two" >"$work/two.log" 2>&1 || { cat "$work/two.log"; exit 1; }
version=$(cat build/release-win32/version.txt)
zip="rostrel-$version-win32.zip"
check "the zip is named for the version" test -f "$work/one/$zip"
check "two fresh builds pack the same bytes" cmp -s "$work/one/$zip" "$work/two/$zip"
check "the zip's own SHA-256 line" bash -c 'cd "$0" && sha256sum -c --quiet "$1.sha256"' "$work/one" "$zip"
listing=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$work/one/$zip")
check "the listing" test "$listing" = "rostrel.exe rostrel-cli.exe README.txt LICENSE THIRD-PARTY.txt SHA256SUMS"
mkdir "$work/unpacked"
python3 -m zipfile -e "$work/one/$zip" "$work/unpacked"
check "SHA256SUMS holds for every file" bash -c 'cd "$0" && sha256sum -c --quiet SHA256SUMS' "$work/unpacked"
check "README.txt names the version" grep -q "Version $version" "$work/unpacked/README.txt"
check "THIRD-PARTY.txt names the libraries" bash -c 'grep -q CLI11 "$0" && grep -q nlohmann "$0" && grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$0"' "$work/unpacked/THIRD-PARTY.txt"

for exe in rostrel rostrel-cli; do
  info=$(wine_run "$probe" version "$(windows_path "$work/unpacked/$exe.exe")")
  for field in "FileVersion=$version" "ProductVersion=$version" "ProductName=Rostrel" "OriginalFilename=$exe.exe" \
               "FileVersionNumbers=0.3.0.0" "CompanyName=The Rostrel developers"; do
    check "$exe.exe: $field" grep -qx "$field" <<<"$info"
  done
  check "$exe.exe: a copyright" grep -q "^LegalCopyright=Copyright (c) the Rostrel developers" <<<"$info"
done

# The programs themselves. The zip holds 32-bit programs; a machine whose
# kernel runs no 32-bit code starts the x86-64 build of the same sources.
if [ "$ROSTREL_WINE_ARCH" = i686 ]; then
  programs="$work/unpacked"
else
  echo "package: this machine runs no 32-bit code; starting the x86-64 build of the same sources instead"
  programs="$root/$wintree"
fi
check "rostrel-cli --version" test "$(wine_run "$programs/rostrel-cli.exe" --version)" = "rostrel-cli $version"
started=$(wine_run "$probe" start "$(windows_path "$programs/rostrel.exe")")
check "rostrel.exe starts, shows its window and exits with 0 when closed" \
  bash -c 'grep -qx "window: found" <<<"$0" && grep -qx "exit code: 0" <<<"$0"' "$started"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
