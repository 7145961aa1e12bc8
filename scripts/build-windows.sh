#!/bin/sh
# Builds Quillmark for 64-bit Windows on Debian 12 and makes the zip a player unpacks:
#   scripts/build-windows.sh        -> build-windows/quillmark-<version>-win64.zip
# Installs what is missing, builds Qt for Windows once (kept in the user's cache), then
# the program, quillmark-query.exe, db2tool.exe and the tests, which run under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi

PACKAGES="g++-mingw-w64-x86-64-posix nsis x11-utils iso-codes nlohmann-json3-dev openssl nginx-light wine wine64 fonts-wine dpkg-dev xvfb xauth cmake ninja-build qt6-base-dev
qt6-base-dev-tools libgtest-dev python3"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

qt=$(scripts/build-windows-qt.sh)
export QUILLMARK_WINDOWS_QT="$qt"
maxminddb=$(scripts/build-windows-maxminddb.sh)
build=build-windows
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
    -DQUILLMARK_WINDOWS_MAXMINDDB="$maxminddb" -DQUILLMARK_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The folder a player unpacks: the programs, the Qt and mingw runtime libraries they load,
# the platform and style plugins, the help page and the sample database.
version=$(sed -n 's/^project(Quillmark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=quillmark-$version-win64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles"
mingw=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
for exe in quillmark quillmark-query db2tool; do
    x86_64-w64-mingw32-strip -o "$stage/$exe.exe" "$build/program/$exe.exe"
done
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$mingw/libstdc++-6.dll" "$mingw/libgcc_s_seh-1.dll" /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
x86_64-w64-mingw32-strip "$stage"/*.dll "$stage"/platforms/*.dll "$stage"/styles/*.dll
cp "$build/program/index.html" "$build/program/servers.db2" "$stage/"
cp resources/geo/geo-whois-asn-country-ipv4.mmdb resources/geo/country-data.txt resources/geo/NRO_LICENSE "$stage/"
(cd "$build" && python3 -c 'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", ".", sys.argv[1])' "$name")
echo "$build/$name.zip"

# The installer beside it: the same files as an installed tree, per user (resources/windows/installer.nsi).
makensis -V2 -DVERSION="$version" -DSTAGE="$root/$stage" -DICON="$root/$build/app/quillmark.ico" \
    -DOUTFILE="$root/$build/quillmark-$version-setup.exe" resources/windows/installer.nsi >&2
echo "$build/quillmark-$version-setup.exe"
