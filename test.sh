#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test headless through CTest.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
mirravel_install_packages
mirravel_build
echo "Running the tests (CTest, headless)"
cd "$MIRRAVEL_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
