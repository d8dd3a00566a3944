# Sourced by the run and screenshot scripts: installs what is missing, builds
# the editor for this machine's Wine, and prepares the editor's own Wine prefix
# with a demo roster waiting in the game's save folder. Exports:
#   ROSTREL_TREE   the build tree that holds rostrel.exe
#   WINEPREFIX     the editor's prefix (build/wineprefix-editor)
#   ROSTREL_DEMO   the demo roster's Unix path
bash tools/setup.sh run
source tools/wine-env.sh

if [ "$ROSTREL_WINE_ARCH" = i686 ]; then
  ROSTREL_TREE=build/windows; toolchain=cmake/mingw-i686.cmake
else
  ROSTREL_TREE=build/win64; toolchain=cmake/mingw-x86_64.cmake
fi
cmake -S . -B "$ROSTREL_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DBUILD_TESTING=OFF -DROSTREL_CLI=OFF >/dev/null
cmake --build "$ROSTREL_TREE" --target rostrel rostrel_drive rostrel_demo_roster

export WINEPREFIX="${ROSTREL_EDITOR_PREFIX:-$PWD/build/wineprefix-editor}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
make_wine_prefix

# The folder the Open dialog starts in: the game's saves under Application Data.
saves="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/2K Sports/NBA 2K9/Saves"
mkdir -p "$saves"
ROSTREL_DEMO="$saves/Demo.ROS"
if [ ! -f "$ROSTREL_DEMO" ]; then
  "$ROSTREL_WINE" "$ROSTREL_TREE/rostrel_demo_roster.exe" "Z:$(printf '%s' "$ROSTREL_DEMO" | tr / '\\')" 120
  "$ROSTREL_WINESERVER" -w 2>/dev/null || true
fi
export ROSTREL_TREE ROSTREL_DEMO
