#!/usr/bin/env bash
# Builds and runs the catalogue benchmark: a schema of TABLES tables (50,000 unless given) through
# the stand-in driver, the real tables page opened on it from saved logins, Select All, Deselect
# All and one table sent into it. Ends with "open/isql R select-all-ms S".
set -euo pipefail
source "$(dirname "$0")/../scripts/setup.sh"
mirravel_install_packages
mirravel_build
QT_QPA_PLATFORM=offscreen "$MIRRAVEL_BUILD/bench/catalogue_bench" "$@"
