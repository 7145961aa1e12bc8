#!/bin/sh
# Installs the build into a temporary prefix and checks the installed tree, the desktop
# entry and metadata with the desktop's own validators, then builds the Debian package and
# has lintian check it.
#   check_install.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/usr" >/dev/null
id=example.quillmark.Quillmark
for f in bin/quillmark bin/db2tool bin/quillmark-query bin/quillmark-demo-server \
         share/quillmark/index.html share/quillmark/servers.db2 \
         share/quillmark/geo-whois-asn-country-ipv4.mmdb share/quillmark/country-data.txt share/quillmark/NRO_LICENSE \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
         share/man/man1/db2tool.1.gz share/man/man1/quillmark-query.1.gz \
         share/man/man1/quillmark-demo-server.1.gz share/doc/quillmark/copyright; do
    [ -s "$work/usr/$f" ] || fail "missing $f"
done
for b in quillmark db2tool quillmark-query quillmark-demo-server; do
    [ -x "$work/usr/bin/$b" ] || fail "$b is not executable"
done
# The icons are the sizes their folders say.
for size in 48 256; do
    head -c 24 "$work/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | od -An -tx1 | tr -d ' \n' |
        grep -q "$(printf '%08x%08x' "$size" "$size")\$" || fail "the ${size}x$size icon is another size"
done
grep -q "^StartupWMClass=Quillmark$" "$work/usr/share/applications/$id.desktop" || fail "StartupWMClass"
desktop-file-validate "$work/usr/share/applications/$id.desktop" | grep . && fail "desktop entry"  # hints too: one main category
appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" ||
    { cat "$work/as.log"; fail "metadata"; }
# The installed tools run from their installed place.
"$work/usr/bin/db2tool" decode "$work/usr/share/quillmark/servers.db2" "$work/servers.txt" ||
    fail "installed db2tool"
head -1 "$work/servers.txt" | grep -q "^Quillmark" || fail "installed sample database"
# The installed quillmark-query finds the country data in its share folder.
"$work/usr/bin/quillmark-query" --country --retry=0 --wait=100 127.0.0.1:9 >/dev/null 2>"$work/country.log" || true
! grep -q "country database" "$work/country.log" || { cat "$work/country.log"; fail "installed country data"; }

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack"
deb=$(ls "$work"/package/quillmark_*_amd64.deb)
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "computed dependencies"
dpkg-deb -f "$deb" Suggests | grep -q "xdg-utils" || fail "xdg-utils suggested"
dpkg-deb -f "$deb" Suggests | grep -q "wine" || fail "wine suggested (joining with hl.exe)"
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" | grep "^E:" && fail "lintian errors"
echo "installed tree, desktop entry, metadata and package are sound"
