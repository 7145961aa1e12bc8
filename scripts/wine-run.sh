#!/bin/sh
# Runs a cross-built Windows program under Wine, finding the mingw runtime and the cross
# Qt beside it: the build's emulator for its own tools and for every test.
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# QUILLMARK_WINDOWS_QT names the cross Qt's prefix.
set -eu
mingw=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
WINEPATH="Z:${mingw};Z:/usr/x86_64-w64-mingw32/lib${QUILLMARK_WINDOWS_QT:+;Z:$QUILLMARK_WINDOWS_QT/bin}"
WINEDEBUG=${WINEDEBUG:--all}
# A fresh prefix would ask to install Wine's .NET and HTML engines, which nothing here uses.
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH WINEDEBUG WINEDLLOVERRIDES
# Wine makes every window, even Qt's hidden message window, through a display: without
# one (a build, CI), a virtual one is made for the run.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a wine "$@"; fi
exec wine "$@"
