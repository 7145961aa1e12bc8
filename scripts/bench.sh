#!/bin/sh
# Installs what is missing, builds, runs every row of the speed table and prints it: each
# operation of ours beside the floor (what the machine can do at best) or a real tool doing
# the same job in the same run, with medians of 5 repetitions taken in turns. The raw figures stay in
# build/bench/table.json. Arguments go to the benchmark program, for example
#   scripts/bench.sh --benchmark_filter='database'
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# Repetitions of all rows are interleaved at random, so that the machine's load falls on
# ours and on the peer alike.
build/bench/bench_quillmark --benchmark_filter='@' --benchmark_repetitions=5 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out=build/bench/table.json \
    --benchmark_out_format=json "$@" >/dev/null
python3 bench/table.py build/bench/table.json
