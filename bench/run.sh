#!/usr/bin/env bash
# Builds and runs the copy benchmark: 100,000 rows (or ROWS) through the real copy run against
# the stand-in driver, next to the same INSERTs in a bare ODBC loop, in paired rounds (six, or
# BENCH_ROUNDS), and the peak memory of a process that runs the copy alone. Ends with
# "copy/bare R min L max H buffer/raw M copy-peak-MiB P": the median of the rounds' copy/bare
# ratios with the lowest and highest, the buffered table's bytes per byte of raw values, and the
# copy's peak in MiB.
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
mirravel_install_packages
mirravel_build
QT_QPA_PLATFORM=offscreen "$MIRRAVEL_BUILD/bench/copy_bench" "$@"
