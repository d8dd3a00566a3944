#!/usr/bin/env bash
# The releases as a Windows user gets them, win64 and win32: packed twice,
# from two trees, into the same bytes (run alone, from two fresh sets of
# trees; under the test command, each architecture it has a Windows tree of,
# from that tree and a fresh one, the other once); each zip's listing and
# checksums; the version resource and the hardening of every executable
# (address-space layout randomisation with its relocation table, no execution
# of data, a stack protector); rostrel-cli --version and the editor started
# and closed under Wine.
#   package_test.sh PROBE.exe
set -uo pipefail
probe=$1
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

if [ -n "${ROSTREL_PACKED:-}" ]; then
  # Packed already by the test command while the other tests ran: once from
  # its Windows trees, once from fresh Release trees.
  ln -s "$ROSTREL_PACKED/one" "$work/one"
  ln -s "$ROSTREL_PACKED/two" "$work/two"
else
  rm -rf build/release-again-win32 build/release-again-win64
  bash tools/package.sh build/release "$work/one" >"$work/one.log" 2>&1 || { cat "$work/one.log"; exit 1; }
  bash tools/package.sh build/release-again "$work/two" >"$work/two.log" 2>&1 || { cat "$work/two.log"; exit 1; }
fi
version=$(cat build/release-again-win32/version.txt)

# The PE header of an executable as objdump prints it, and what hardening
# must show there.
hardened() {  # hardened EXE OBJDUMP NM WIDE
  local header
  header=$("$2" -p "$1") || return 1
  grep -q DYNAMIC_BASE <<<"$header" && grep -q NX_COMPAT <<<"$header" || return 1
  if [ "$4" = yes ]; then grep -q HIGH_ENTROPY_VA <<<"$header" || return 1; fi
  # A relocation table that is there and not empty.
  grep -Eq 'Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$header" || return 1
  # The stack protector's check routine and guard.
  local symbols
  symbols=$("$3" "$1") || return 1
  grep -q '__stack_chk_fail$' <<<"$symbols" && grep -q '__stack_chk_guard$' <<<"$symbols"
}

for arch in win64 win32; do
  zip="rostrel-$version-$arch.zip"
  check "$arch: the zip is named for the version" test -f "$work/one/$zip"
  if [ -f "$work/two/$zip" ]; then
    check "$arch: two builds pack the same bytes" cmp -s "$work/one/$zip" "$work/two/$zip"
  else
    echo "package: $arch packed once here; machines of the other kind pack it twice"
  fi
  check "$arch: the zip's own SHA-256 line" bash -c 'cd "$0" && sha256sum -c --quiet "$1.sha256"' "$work/one" "$zip"
  listing=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$work/one/$zip")
  check "$arch: the listing" test "$listing" = "rostrel.exe rostrel-cli.exe README.txt LICENSE THIRD-PARTY.txt SHA256SUMS"
  unpacked="$work/$arch"
  mkdir "$unpacked"
  python3 -m zipfile -e "$work/one/$zip" "$unpacked"
  check "$arch: SHA256SUMS holds for every file" bash -c 'cd "$0" && sha256sum -c --quiet SHA256SUMS' "$unpacked"
  check "$arch: README.txt names the version" grep -q "Version $version" "$unpacked/README.txt"
  check "$arch: THIRD-PARTY.txt names the libraries" \
    bash -c 'grep -q CLI11 "$0" && grep -q nlohmann "$0" && grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$0"' "$unpacked/THIRD-PARTY.txt"
  if [ "$arch" = win64 ]; then triple=x86_64-w64-mingw32 wide=yes machine=x86-64; else triple=i686-w64-mingw32 wide=no machine=i386; fi
  for exe in rostrel rostrel-cli; do
    info=$(wine_run "$probe" version "$(windows_path "$unpacked/$exe.exe")")
    for field in "FileVersion=$version" "ProductVersion=$version" "ProductName=Rostrel" "OriginalFilename=$exe.exe" \
                 "FileVersionNumbers=0.3.0.0" "CompanyName=The Rostrel developers"; do
      check "$arch $exe.exe: $field" grep -qx "$field" <<<"$info"
    done
    check "$arch $exe.exe: a copyright" grep -q "^LegalCopyright=Copyright (c) the Rostrel developers" <<<"$info"
    check "$arch $exe.exe: built for $machine" bash -c '"$0" -f "$1" | grep -q "file format pei-$2"' \
      "$triple-objdump" "$unpacked/$exe.exe" "$machine"
    check "$arch $exe.exe: hardened" hardened "$unpacked/$exe.exe" "$triple-objdump" "$triple-nm" "$wide"
  done
done

# The programs themselves, as unpacked: the win64 ones always; the win32 ones
# where the kernel runs 32-bit code.
for arch in win64 win32; do
  if [ "$arch" = win32 ] && [ "$ROSTREL_WINE_ARCH" != i686 ]; then
    echo "package: the x86-64 path (no 32-bit code runs, or ROSTREL_WINE_ARCH=x86_64): the win32 programs are checked above, not started"
    continue
  fi
  programs="$work/$arch"
  said=$(wine_run "$programs/rostrel-cli.exe" --version)
  check "$arch: rostrel-cli --version" test "$said" = "rostrel-cli $version"
  started=$(wine_run "$probe" start "$(windows_path "$programs/rostrel.exe")")
  check "$arch: rostrel.exe starts, shows its window and exits with 0 when closed" \
    bash -c 'grep -qx "window: found" <<<"$0" && grep -qx "exit code: 0" <<<"$0"' "$started"
  echo "package: $arch started: rostrel-cli.exe said \"$said\"; rostrel.exe:" $started
done

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
