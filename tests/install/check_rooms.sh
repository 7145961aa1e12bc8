#!/bin/sh
# Every room includes only the rooms below it, as the README's house rules list them.
#   check_rooms.sh SOURCE_DIR
set -eu
cd "$1"
# room: the rooms it may include (besides its own)
allowed() {
    case $1 in
    platform) echo "" ;;
    keyvalues | serverlist | database | query | join | geo) echo "platform" ;;
    favourites) echo "platform keyvalues serverlist" ;;
    update) echo "platform database" ;;
    find) echo "platform keyvalues query" ;;
    tools) echo "platform database query find geo" ;;
    ui) echo "platform serverlist" ;;
    details) echo "platform query join geo ui" ;;
    app) echo "platform keyvalues serverlist favourites database query update find join geo ui details" ;;
    esac
}
status=0
for room in platform keyvalues serverlist favourites database query update find join geo tools ui details app; do
    ok=" $room $(allowed "$room") "
    for file in "$room"/*.cpp "$room"/*.h; do
        [ -e "$file" ] || continue
        for used in $(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$file" | sort -u); do
            case $ok in
            *" $used "*) ;;
            *)
                echo "FAIL: $file includes $used/, which $room/ may not use"
                status=1
                ;;
            esac
        done
    done
done
[ "$status" -eq 0 ] && echo "every room includes only the rooms below it"
exit "$status"
