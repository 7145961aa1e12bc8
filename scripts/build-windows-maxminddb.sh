#!/bin/sh
# Builds libmaxminddb for 64-bit Windows from Debian's own source with Debian's mingw-w64,
# once, as a static library: kept in the user's cache, keyed by its version. Prints the
# install prefix.
#   scripts/build-windows-maxminddb.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
# Debian's sources need a deb-src entry for bookworm main (the Qt build adds the same one).
if ! apt-get source --print-uris -qq libmaxminddb >/dev/null 2>&1; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $SUDO tee /etc/apt/sources.list.d/quillmark-qt-source.sources >/dev/null
    $SUDO apt-get update -q >&2
fi
version=$(apt-get source --print-uris -qq libmaxminddb | awk '{print $2}' | sed -n 's/^libmaxminddb_\([0-9.]*\)-.*\.dsc$/\1/p' | head -1)
[ -n "$version" ] || { echo "cannot tell the version of Debian's libmaxminddb source" >&2; exit 1; }
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quillmark
prefix=$cache/libmaxminddb-$version-win64
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi
work=$cache/mmdb-build
rm -rf "$work" "$prefix"
mkdir -p "$work"
(cd "$work" && apt-get source -qq libmaxminddb >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'libmaxminddb-*' | head -1)
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF >&2
cmake --build "$work/build" --target maxminddb >&2
# The library and its headers only: the lookup program is Linux's (mmdb-bin).
mkdir -p "$prefix/lib" "$prefix/include"
cp "$work/build/libmaxminddb.a" "$prefix/lib/"
# The configure step writes its config header beside the public one.
cp "$src/include/maxminddb.h" "$src/include/maxminddb_config.h" "$prefix/include/"
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
