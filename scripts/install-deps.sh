#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Quillmark need,
# skipping those already there.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
libcurl4-openssl-dev nlohmann-json3-dev zlib1g-dev openssl ca-certificates
libgtest-dev libgmock-dev libbenchmark-dev nginx-light tinyproxy qstat curl python3 xvfb xauth
clang clang-format libclang-rt-14-dev desktop-file-utils appstream lintian dpkg-dev fakeroot
libmaxminddb-dev mmdb-bin iso-codes libmaxmind-db-writer-perl"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
