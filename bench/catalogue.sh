#!/usr/bin/env bash
# Builds and runs the catalogue benchmark: schemas of a fifth to all of TABLES tables (50,000 unless
# given) through the stand-in driver, the real tables page opened on each from saved logins next to
# a bare isql listing, then Select All, Deselect All and one table sent into the largest list.
# Ends with "open-us-per-table A isql-us-per-table B open/isql R min L max H select-all-ms S": what
# one more table costs the opening and the listing in microseconds of processor time (medians over
# nine rounds, or BENCH_ROUNDS, of a line through the five sizes), the median of the rounds' ratios
# with the lowest and highest, and the best Select All in milliseconds.
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
mirravel_install_packages
mirravel_build
QT_QPA_PLATFORM=offscreen "$MIRRAVEL_BUILD/bench/catalogue_bench" "$@"
