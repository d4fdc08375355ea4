#!/bin/sh
# Cross-builds Aequa.exe and its tests with mingw-w64, runs the unit tests under Wine, then
# drives the program end to end in a virtual X server (tests/windows/gui_test.sh). The
# screenshots are left in build/windows/screenshots.
set -e
cd "$(dirname "$0")/.."
PACKAGES="g++-mingw-w64-x86-64 wine64 wine fonts-wine xvfb xauth xdotool imagemagick"
missing=""
for p in $PACKAGES; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
fi
export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
mkdir -p build/windows
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w
fi
cmake --preset windows
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)"
# Wine's background services may hold ctest's pipe: start them first, quietly.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit 0 </dev/null >/dev/null 2>&1
status=0
ctest --preset windows --timeout 120 || status=$?
wineserver -k || true
wineserver -w || true
# A wineserver started without a display must not serve the GUI run (and the reverse).
gui_status=0
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  'timeout 300 tests/windows/gui_test.sh; s=$?; wineserver -k; wineserver -w; exit $s' || gui_status=$?
[ "$status" -eq 0 ] && status=$gui_status
exit $status
