#!/bin/sh
# Builds Qt for 64-bit Windows from Debian's own Qt source with Debian's mingw-w64, once:
# the result is kept in the user's cache, keyed by Qt's version and the configure line,
# and the build folder is removed after the install. Prints the install prefix.
#   scripts/build-windows-qt.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi

# Debian's Qt source needs a deb-src entry for bookworm main.
if ! apt-get source --print-uris -qq qt6-base >/dev/null 2>&1; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $SUDO tee /etc/apt/sources.list.d/quillmark-qt-source.sources >/dev/null
    $SUDO apt-get update -q >&2
fi
# The second field is the file's name: qt6-base_6.4.2+dfsg-10.dsc.
version=$(apt-get source --print-uris -qq qt6-base | awk '{print $2}' | sed -n 's/^qt6-base_\([0-9.]*\)[+-].*\.dsc$/\1/p' | head -1)
[ -n "$version" ] || { echo "cannot tell the version of Debian's Qt source" >&2; exit 1; }

CONFIGURE="-xplatform win32-g++ -qt-host-path /usr -release -shared -nomake examples -nomake tests
-no-opengl -no-dbus -no-icu -no-feature-vulkan -no-feature-sql -no-feature-xml -no-feature-concurrent
-no-feature-printsupport -no-feature-tabletevent -qt-zlib -qt-libpng -no-libjpeg -qt-pcre -qt-harfbuzz
-qt-freetype -no-fontconfig -no-feature-zstd -no-feature-glib"
key=$(printf '%s\n%s\n' "$version" "$CONFIGURE" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quillmark
prefix=$cache/qt-$version-win64-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
(cd "$work" && apt-get source -qq qt6-base >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
mkdir -p "$work/build"
cd "$work/build"
# shellcheck disable=SC2086
"$src/configure" -prefix "$prefix" $CONFIGURE -- -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2
cmake --build . --parallel "$(nproc)" >&2
cmake --install . >&2
cd "$cache"
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
