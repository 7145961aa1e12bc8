#!/bin/sh
# Installs what is missing, builds, and opens Quillmark from its program folder.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only what the window and its tools need: the tests and benchmarks are built by test.sh.
scripts/build.sh quillmark quillmark-query db2tool sample_database
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Quillmark is built (build/program/quillmark), but there is no display to open its window on."
    echo "Run this command from a desktop session, or under a virtual display: xvfb-run scripts/run.sh"
    exit 1
fi
cd build/program
exec ./quillmark
