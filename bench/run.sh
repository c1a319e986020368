#!/usr/bin/env bash
# Builds and runs the copy benchmark: 100,000 rows (or ROWS) through the real copy run against
# the stand-in driver, next to the same INSERTs in a bare ODBC loop, and the peak memory of a
# process that runs the copy alone. Ends with "copy/bare R buffer/raw M copy-peak-MiB P".
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
mirravel_install_packages
mirravel_build
QT_QPA_PLATFORM=offscreen "$MIRRAVEL_BUILD/bench/copy_bench" "$@"
