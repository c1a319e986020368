#!/usr/bin/env bash
# Installs what is missing, builds the program alone (no test equipment) in build-package/, and
# makes its Debian package. The last line printed is the package file's path; install it with
#   sudo apt-get install ./build-package/mirravel_*.deb
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
mirravel_install_packages "${MIRRAVEL_PROGRAM_PACKAGES[@]}" "${MIRRAVEL_DEB_PACKAGES[@]}"

build="$MIRRAVEL_ROOT/build-package"
mirravel_build "$build" -DCMAKE_BUILD_TYPE=Release -DMIRRAVEL_BUILD_TESTS=OFF
rm -f "$build"/mirravel_*.deb
if ! (cd "$build" && cpack -G DEB) >>"$build/build.log" 2>&1; then
    grep -E -A6 "CPack Error|error" "$build/build.log" | tail -40 >&2
    echo "Making the package failed; the whole log is in $build/build.log" >&2
    exit 1
fi
packages=("$build"/mirravel_*.deb)
echo "${packages[0]}"
