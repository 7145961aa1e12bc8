#!/bin/bash
# Builds every fuzz target with clang (libFuzzer, AddressSanitizer, UBSan) into
# build-fuzz/ and runs each for SECONDS (default 60), one after another, JOBS at a time
# (default 1). The corpora grow in build-fuzz/corpus/ from run to run; the seeds are the
# real files of tests/fixtures and fuzz/seeds. A finding stops the script with its input
# in build-fuzz/findings/.
# Each input has 10 seconds and 1 GB at most. FUZZ_TARGETS="a2s rules" runs those alone.
#   scripts/fuzz.sh [SECONDS] [JOBS]
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
JOBS=${2:-1}
ROOT=$(pwd)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMARK_FUZZ=ON -DQUILLMARK_TESTS=OFF -DQUILLMARK_BENCH=OFF >/dev/null
TARGETS=${FUZZ_TARGETS:-"favourites server_browser database settings info_reply a2s http url address master_page
master_servers steam_answer query_list pasted rules"}
cmake --build build-fuzz -j"$(nproc)" --target $(for t in $TARGETS; do printf 'fuzz_%s ' "$t"; done)

seeds() {
    case "$1" in
        favourites) echo tests/fixtures/vdf ;;
        server_browser) echo tests/fixtures/steamvdf tests/fixtures/vdf fuzz/seeds/server_browser ;;
        database) echo build-fuzz/seeds-database ;;
        info_reply) echo tests/fixtures/infostring tests/fixtures/a2s fuzz/seeds/info_reply ;;
        a2s) echo tests/fixtures/a2s ;;
        master_servers) echo tests/fixtures/masterservers ;;
        master_page | steam_answer | query_list | pasted | rules) echo "fuzz/seeds/$1" ;;
        *) echo "fuzz/seeds/$1" ;;
    esac
}
# The database target starts from the sample database that the build makes.
mkdir -p build-fuzz/seeds-database build-fuzz/findings
cmake --build build-fuzz --target sample_database >/dev/null
cp build-fuzz/program/servers.db2 build-fuzz/seeds-database/

run() {
    t=$1
    mkdir -p "build-fuzz/corpus/$t"
    # shellcheck disable=SC2046
    # A hang is a finding too: no input may take more than a few seconds.
    "build-fuzz/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 -rss_limit_mb=2048 \
        -malloc_limit_mb=1024 -timeout=10 \
        -artifact_prefix="$ROOT/build-fuzz/findings/$t-" "build-fuzz/corpus/$t" $(seeds "$t") \
        >"build-fuzz/fuzz_$t.log" 2>&1
}
status=0
running=0
for t in $TARGETS; do
    ( run "$t" || { echo "FINDING in fuzz_$t: see build-fuzz/fuzz_$t.log"; exit 1; } ) &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then wait -n || status=1; running=$((running - 1)); fi
done
while [ "$running" -gt 0 ]; do wait -n || status=1; running=$((running - 1)); done
for t in $TARGETS; do
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/fuzz_$t.log" | tail -1)
    echo "fuzz_$t: ${execs:-?} executions in ${SECONDS_EACH} s"
done
exit $status
