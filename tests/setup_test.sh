#!/usr/bin/env bash
# The package step of tools/setup.sh against stub apt-get, dpkg and dpkg-query
# commands that play three package mirrors, with no network:
#   broken    every index update fails and a plain install cannot resolve (an
#             i386 index out of step with amd64); installing with the release
#             as target works
#   healthy   everything works
#   refusing  every update and every install fails
set -uo pipefail
setup="$(cd "$(dirname "$0")/.." && pwd)/tools/setup.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

cat >"$work/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$STUB_LOG"
case "$1" in
  update)
    [ "$STUB_MIRROR" = healthy ] && exit 0
    echo "E: Failed to fetch bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
  install)
    [ "$STUB_MIRROR" = healthy ] && exit 0
    if [ "$STUB_MIRROR" = broken ] && [[ " $* " == *" -t "* ]]; then exit 0; fi
    echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
    exit 100 ;;
esac
exit 0
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/bash
echo "dpkg $*" >>"$STUB_LOG"
exit 0
EOF
printf '#!/bin/bash\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/bash\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*
# A release name of its own: the fallback must read it, not assume one.
printf 'ID=debian\nVERSION_CODENAME=testrel\n' >"$work/os-release"

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1" >&2; fi
}
run_setup() {  # run_setup MIRROR PROFILE: status in $status, output in $out, calls in $calls
  : >"$work/log"
  out=$(STUB_MIRROR=$1 STUB_LOG="$work/log" PATH="$work/bin:$PATH" ROSTREL_WINE_ARCH=i686 \
        ROSTREL_OS_RELEASE="$work/os-release" DISPLAY= bash "$setup" "$2" 2>&1)
  status=$?
  calls=$(cat "$work/log")
}
has() { grep -qF -- "$2" <<<"$1"; }
count() { grep -cF -- "$2" <<<"$1"; }

run_setup broken test
check "broken mirror: setup ends 0" [ "$status" -eq 0 ]
check "broken mirror: i386 is added before the indexes are read" \
  [ "$(grep -nF 'dpkg --add-architecture i386' <<<"$calls" | cut -d: -f1)" -lt \
    "$(grep -nF 'apt-get update' <<<"$calls" | head -n 1 | cut -d: -f1)" ]
check "broken mirror: a failed update is not fatal" has "$out" "some package indexes did not download"
check "broken mirror: the second install targets the release read from os-release" \
  has "$calls" "apt-get install -y -qq --no-install-recommends -t testrel"
check "broken mirror: one line says why" [ "$(count "$out" "installing again with the release testrel as target")" -eq 1 ]
check "broken mirror: the line names apt's reason" has "$out" "pkgProblemResolver::Resolve generated breaks"
check "broken mirror: the tests' packages are asked for" \
  has "$(grep -F ' -t ' <<<"$calls")" "libgtest-dev libbenchmark-dev"
check "broken mirror: wine32 and wine64 are asked for" bash -c 'grep -q " wine32" <<<"$0" && grep -q " wine64" <<<"$0"' "$calls"

run_setup healthy test
check "healthy mirror: setup ends 0" [ "$status" -eq 0 ]
check "healthy mirror: one install, no fallback" [ "$(count "$calls" "apt-get install")" -eq 1 ]
check "healthy mirror: no target release" bash -c '! grep -q -- " -t " <<<"$0"' "$calls"

run_setup healthy run
check "run profile: no GoogleTest or Google Benchmark" bash -c '! grep -qE "gtest|googletest|benchmark" <<<"$0"' "$calls"
for package in g++-mingw-w64-i686 wine32 xvfb; do
  check "run profile: $package (the cross compiler, Wine, Xvfb without a display)" has "$calls" " $package"
done

run_setup refusing test
check "refusing mirror: setup fails" [ "$status" -ne 0 ]
check "refusing mirror: both installs were tried" [ "$(count "$calls" "apt-get install")" -eq 2 ]
check "refusing mirror: apt's own message is shown" has "$out" "E: Error, pkgProblemResolver"
check "refusing mirror: a one-line hint follows" has "$(tail -n 1 <<<"$out")" "setup: cannot install"

echo "setup: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
