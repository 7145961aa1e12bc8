#!/bin/sh
# A path of the program's UTF-8 text becomes a std::filesystem path, and back, only through
# platform/FsPath.h: on Windows a narrow path(std::string) or .string() loses every
# character outside the ANSI code page. The Linux halves (*_posix.cpp) may use bytes, and
# so may the tests themselves; the program and the tests' shared support may not.
#   check_paths.sh SOURCE_DIR
set -eu
cd "$1"
status=0
for file in $(git ls-files '*.cpp' '*.h' | grep -v '_posix\.cpp$' | grep -v '^platform/FsPath_' |
    grep -Ev '^(fuzz|bench)/|^tests/[a-z]+/' ; git ls-files 'tests/support/*.cpp' 'tests/support/*.h' | grep -v '_posix\.cpp$'); do
    if grep -nE '(\.string\(\)|filesystem::path\(|fs::path\(|u8path\()' "$file" >/tmp/qm-paths.$$; then
        sed "s|^|$file:|" /tmp/qm-paths.$$
        status=1
    fi
done
rm -f /tmp/qm-paths.$$
if [ "$status" -eq 0 ]; then
    echo "every path goes through platform/FsPath.h"
else
    echo "FAIL: narrow paths above; use fsPath() and fsText()"
fi
exit "$status"
