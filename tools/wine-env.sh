# Sourced by the scripts that run Windows programs. Decides which Wine this
# machine can use and exports:
#   ROSTREL_WINE_ARCH  i686 when the kernel runs 32-bit x86 code (the editor and
#                      its tests run as built, under 32-bit Wine), x86_64 when it
#                      does not (the tests run from a 64-bit build of the same
#                      sources under 64-bit Wine); set it to x86_64 beforehand
#                      to take the second path on a machine that could take
#                      the first;
#   ROSTREL_WINE       the Wine loader to start programs with;
#   ROSTREL_WINESERVER the matching wineserver.
#
# One prefix runs both builds. Where both loaders are installed, the prefix is
# made by the 64-bit one, so that it is a 64-bit Windows: 32-bit programs run
# in it through the 32-bit loader, as 32-bit programs run on the 64-bit Windows
# nearly every user has, and 64-bit programs run beside them. A prefix made by
# the 32-bit loader is a 32-bit Windows, in which a 64-bit program cannot start
# at all ("Bad EXE format"). One prefix also means one wineserver, one set of
# Wine's own services and one start-up cost for the whole test run, where two
# prefixes would pay each twice.

can_run_i386() {
  local d rc
  d=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$d/t.S"
  if as --32 "$d/t.S" -o "$d/t.o" 2>/dev/null && ld -m elf_i386 "$d/t.o" -o "$d/t" 2>/dev/null; then
    "$d/t" 2>/dev/null; rc=$?
  else
    rc=1
  fi
  rm -rf "$d"
  return $rc
}

if [ -z "${ROSTREL_WINE_ARCH:-}" ]; then
  if can_run_i386; then ROSTREL_WINE_ARCH=i686; else ROSTREL_WINE_ARCH=x86_64; fi
fi
if [ "$ROSTREL_WINE_ARCH" = i686 ]; then
  # Debian's wine script starts the 32-bit loader, which hands a 64-bit
  # program to the 64-bit one; its wineserver script picks the 64-bit server
  # where it is installed, as a 64-bit prefix needs.
  ROSTREL_WINE=wine
  ROSTREL_WINESERVER=wineserver
else
  # The wine script would pick the 32-bit loader whenever it is installed.
  ROSTREL_WINE=/usr/lib/wine/wine64
  ROSTREL_WINESERVER=/usr/lib/wine/wineserver64
  export WINELOADER=$ROSTREL_WINE
fi
export ROSTREL_WINE_ARCH ROSTREL_WINE ROSTREL_WINESERVER

# Wine names the files it creates in the character set of the locale: with a
# UTF-8 one every file name a Windows program can use exists on Linux too
# (under the C locale a Cyrillic or CJK name cannot be created at all).
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac

# Creates the Wine prefix $WINEPREFIX if it is not there yet. Windows are left
# unmanaged: Xvfb has no window manager, and Wine would otherwise wait for one
# for two seconds whenever a window is hidden or destroyed. The dialog fonts
# are linked to a CJK font for the characters they lack (the verse on the main
# window), whatever the system code page.
make_wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  local loader=$ROSTREL_WINE
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  "$loader" wineboot -i >/dev/null 2>&1 || true
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # Wine shares this key between the 32-bit and the 64-bit programs' views.
  local font
  for font in "MS Sans Serif" "Microsoft Sans Serif" "Tahoma" "MS Shell Dlg"; do
    "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
  done
  # Wine's own processes from the set-up end first: they keep the display they
  # were started with, and a later program would share them.
  "$ROSTREL_WINESERVER" -w 2>/dev/null || true
}
