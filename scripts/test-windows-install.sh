#!/bin/sh
# The Windows installer under Wine, as a player with a Cyrillic name would meet it: in a
# fresh Wine prefix whose user is Игорь, it installs silently, replaces an older install,
# shows in Apps & features, starts the installed quillmark.exe (its window shows, and its
# settings land in %APPDATA%\Quillmark), runs the tests of paths in any language, and
# uninstalls silently, leaving only the settings.
#   scripts/test-windows-install.sh BUILD-WINDOWS-FOLDER
# Runs inside test-windows.sh's display and environment (DISPLAY, WINEPATH through
# wine-run.sh, QUILLMARK_WINDOWS_QT).
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(Quillmark VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup="$build/quillmark-$version-setup.exe"
[ -f "$setup" ] || { echo "FAIL: no installer at $setup"; exit 1; }

user="Игорь"
prefix=$(mktemp -d /tmp/quillmark-wine-XXXXXX)
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX="$prefix" USER="$user" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
home="$prefix/drive_c/users/$user"
[ -d "$home" ] || { echo "FAIL: the prefix's user folder is not $home"; exit 1; }
installed="$home/AppData/Local/Programs/Quillmark"
settings="$home/AppData/Roaming/Quillmark"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark'
fail() {
    echo "FAIL: $*"
    exit 1
}

# An older version's leftover is replaced by the install over it.
mkdir -p "$installed/bin"
echo old >"$installed/bin/left-by-an-older-version.dll"
wine "$setup" /S
wineserver -w
for f in bin/quillmark.exe bin/quillmark-query.exe bin/db2tool.exe bin/Qt6Widgets.dll bin/platforms/qwindows.dll \
    share/quillmark/index.html share/quillmark/servers.db2 uninstall.exe; do
    [ -f "$installed/$f" ] || fail "$f was not installed"
done
[ ! -e "$installed/bin/left-by-an-older-version.dll" ] || fail "an older install's file was left"
[ -f "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Quillmark.lnk" ] || fail "no Start menu shortcut"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in "DisplayName    REG_SZ    Quillmark" "DisplayVersion    REG_SZ    $version" \
    "Publisher    REG_SZ    The Quillmark developers" "DisplayIcon" "UninstallString" "EstimatedSize"; do
    echo "$entry" | grep -q "$value" || fail "Apps & features lacks $value"
done
echo "installed into $installed, listed in Apps & features"

# The installed program starts, shows its window, and keeps its settings in %APPDATA%.
wine "$installed/bin/quillmark.exe" &
shown=""
for _ in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"Quillmark $version\""; then
        shown=yes
        break
    fi
    sleep 0.5
done
[ -n "$shown" ] || fail "the installed quillmark.exe showed no window"
# Closed as a user closes it: the settings are saved on exit.
wine taskkill /IM quillmark.exe >/dev/null 2>&1 || true
wineserver -w
[ -f "$settings/userpref.ini" ] || fail "no userpref.ini in %APPDATA%\\Quillmark"
[ ! -e "$installed/bin/userpref.ini" ] || fail "the installed copy wrote its settings beside itself"
echo "the installed quillmark.exe showed its window and saved its settings in $settings"

# The tests of paths in any language, as this user.
(cd "$build" && ctest --output-on-failure --timeout 300 \
    -R 'UnicodePaths|UnicodeFolders|QueryToolPaths|Db2Tool\.PathsInAnyLanguage|ProgramFolders') ||
    fail "the tests of paths in any language failed for $user"

wine "$installed/uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed" | head -3)"
[ ! -e "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Quillmark.lnk" ] || fail "the shortcut stayed"
wine reg query "$key" >/dev/null 2>&1 && fail "the Apps & features entry stayed"
[ -f "$settings/userpref.ini" ] || fail "the uninstaller removed the user's settings"
echo "uninstalled; the settings stayed in $settings"
