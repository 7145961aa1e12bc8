#!/bin/sh
# Builds the Windows zip and installer and runs every cross-built test under Wine, on one
# virtual display and one wineserver for the whole run; then the installer and the tests of
# paths in any language in a prefix whose user is Cyrillic. Tests that Wine or Windows cannot stand for say so
# and are skipped.
#   scripts/test-windows.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The Windows build's tests ask Linux's demo server across Wine.
[ -x build/tools/quillmark-demo-server ] || scripts/build.sh
scripts/build-windows.sh
QUILLMARK_WINDOWS_QT=$(scripts/build-windows-qt.sh)
export QUILLMARK_WINDOWS_QT WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
wineserver -p
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
# A fresh Wine prefix is made on the first start, which takes a while: before the tests.
wineboot -i >/dev/null 2>&1 || true
cd build-windows
ctest --output-on-failure --timeout 300 -j"$(nproc)"
cd "$root"
# The installer, and the paths of a Cyrillic user, in a Wine prefix of their own.
scripts/test-windows-install.sh build-windows
