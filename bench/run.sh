#!/usr/bin/env bash
# Builds and runs the copy benchmark: 100,000 rows (or ROWS) through the real copy run against
# the stand-in driver, next to the same INSERTs in a bare ODBC loop, in paired rounds (six, or
# BENCH_ROUNDS), and the peak memory of a process that runs the copy alone. Then the batched copy
# (1,000 rows a batch, or BENCH_BATCH_ROWS) next to a bare ODBC loop that reads the same table and
# sends the same arrays, in paired rounds with no added latency and at 2 ms a round trip, where the
# literal copy runs in the same rounds on a sample of 3,000 rows (BENCH_LITERAL_SAMPLE;
# BENCH_FULL_LITERAL=1 also copies the whole table so once, some minutes); the batched copy's peak
# memory on the same table, and on a table of 1,000 rows of a 1 MiB CLOB each (BENCH_LOB_ROWS; 0
# leaves it out). About three minutes in all on a shared 2-core machine. Ends with one line:
# "copy/bare R min L max H buffer/raw M copy-peak-MiB P batched/bare R min L max H
# batched-peak-MiB P at-2ms batched/bare R min L max H batched/literal X min L max H
# lob-peak-MiB P": medians of the rounds' ratios with the lowest and highest, the buffered table's
# bytes per byte of raw values, peaks in MiB; batched/literal compares rows a second.
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
mirravel_install_packages
mirravel_build
QT_QPA_PLATFORM=offscreen "$MIRRAVEL_BUILD/bench/copy_bench" "$@"
