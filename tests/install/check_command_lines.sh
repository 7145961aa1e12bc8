#!/bin/sh
# Each man page names exactly the long options its program's --help names, and the window
# program answers --version and --help without any display.
#   check_command_lines.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }
check() {
    name=$1
    program=$2
    # Some programs print their usage on standard error, and end with 2 for --help.
    "$program" --help >"$work/help" 2>&1 || true
    options <"$work/help" >"$work/from-help"
    sed 's/\\-/-/g' "$source/resources/man/$name.1" | options >"$work/from-man"
    if ! diff -u "$work/from-help" "$work/from-man" >"$work/diff"; then
        echo "FAIL: $name.1 and $name --help name different options (- help only, + man page only):"
        tail -n +3 "$work/diff" | grep '^[-+]'
        status=1
    fi
}
check quillmark "$build/program/quillmark"
check quillmark-query "$build/program/quillmark-query"
check quillmark-demo-server "$build/tools/quillmark-demo-server"
check db2tool "$build/program/db2tool"
for option in --version --help; do
    if ! env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$build/program/quillmark" "$option" >"$work/out" 2>&1 ||
        ! grep -q Quillmark "$work/out"; then
        echo "FAIL: quillmark $option without a display:"
        cat "$work/out"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "every man page names its program's options; --version and --help need no display"
exit "$status"
