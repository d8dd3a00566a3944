#!/usr/bin/env bash
# Builds the Release Windows programs and packs the two releases a Windows
# user downloads: dist/rostrel-<version>-win64.zip (x86-64, the build the
# tests run under Wine) and dist/rostrel-<version>-win32.zip (32-bit x86),
# each holding rostrel.exe, rostrel-cli.exe, README.txt, LICENSE,
# THIRD-PARTY.txt and SHA256SUMS, with the zip's own SHA-256 line beside it.
# The same commit packs the same bytes.
#   bash tools/package.sh [TREES] [OUT_DIR]   (build/release: build/release-win32
#                                             and build/release-win64; dist)
# ROSTREL_PACK_FROM_WIN32 or ROSTREL_PACK_FROM_WIN64 names a tree of the same
# sources, configured for Release with that architecture's toolchain, to take
# the programs from instead (the test command's own Windows trees);
# ROSTREL_PACK_ARCHS limits the zips packed ("win32", "win64"; both by default).
set -euo pipefail
cd "$(dirname "$0")/.."
trees=${1:-build/release}
out=${2:-dist}
bash tools/setup.sh package

pack() {  # pack ARCH TOOLCHAIN
  local arch=$1 tree="$trees-$1" version name stage from
  from="ROSTREL_PACK_FROM_${arch^^}"
  if [ -n "${!from:-}" ]; then
    tree=${!from}
  else
    cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$2" \
      -DBUILD_TESTING=OFF -DROSTREL_CLI=ON >/dev/null
  fi
  cmake --build "$tree" --target rostrel rostrel-cli
  version=$(cat "$tree/version.txt")
  name="rostrel-$version-$arch"
  stage=$(mktemp -d)
  cp "$tree/rostrel.exe" "$tree/rostrel-cli.exe" LICENSE "$stage/"
  # Texts for Windows: CRLF line ends.
  sed "s/@VERSION@/$version/" docs/windows-readme.txt | sed 's/$/\r/' >"$stage/README.txt"
  {
    cat docs/third-party.txt
    for package in mingw-w64-common gcc-mingw-w64-base; do
      printf '\n\n==== %s: /usr/share/doc/%s/copyright ====\n\n' "$package" "$package"
      cat "/usr/share/doc/$package/copyright"
    done
  } | sed 's/$/\r/' >"$stage/THIRD-PARTY.txt"
  local files=(rostrel.exe rostrel-cli.exe README.txt LICENSE THIRD-PARTY.txt)
  (cd "$stage" && sha256sum "${files[@]}" >SHA256SUMS)
  mkdir -p "$out"
  rm -f "$out/$name.zip"
  python3 tools/make_zip.py "$out/$name.zip" "$stage" "${files[@]}" SHA256SUMS
  rm -rf "$stage"
  (cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
  echo "$out/$name.zip"
}
archs=" ${ROSTREL_PACK_ARCHS:-win64 win32} "
[[ $archs == *" win64 "* ]] && pack win64 cmake/mingw-x86_64.cmake
[[ $archs == *" win32 "* ]] && pack win32 cmake/mingw-i686.cmake
exit 0
