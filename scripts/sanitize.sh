#!/bin/sh
# Builds the tests with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs them all; any finding fails the run.
set -eu
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMARK_SANITIZE=ON -DQUILLMARK_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd build-asan
# The package check runs once, in the plain build.
exec ctest --output-on-failure -j"$(nproc)" -E InstallTree
