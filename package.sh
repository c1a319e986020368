#!/usr/bin/env bash
# Installs what is missing, builds the program alone (no test equipment) in build-package/ with
# Debian's hardening flags, and makes its Debian package. The last line printed is the package
# file's path; install it with
#   sudo apt-get install ./build-package/mirravel_*.deb
# CMake options given are passed on, e.g.
#   ./package.sh -DMIRRAVEL_PACKAGE_MAINTAINER="Name <address>"
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
mirravel_install_packages "${MIRRAVEL_PROGRAM_PACKAGES[@]}" "${MIRRAVEL_DEB_PACKAGES[@]}"

# The flags a Debian package build gets, with every hardening feature on: stack protector,
# _FORTIFY_SOURCE, relro and bindnow (Debian's compiler makes position-independent executables
# by default). Asked in the source folder, so file names in the program are relative to it.
debian_flags() { (cd "$MIRRAVEL_ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }

build="$MIRRAVEL_ROOT/build-package"
mirravel_build "$build" -DCMAKE_BUILD_TYPE=Release -DMIRRAVEL_BUILD_TESTS=OFF \
    "-DCMAKE_C_FLAGS=$(debian_flags CPPFLAGS) $(debian_flags CFLAGS)" \
    "-DCMAKE_CXX_FLAGS=$(debian_flags CPPFLAGS) $(debian_flags CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(debian_flags LDFLAGS)" "$@"
rm -f "$build"/mirravel_*.deb
echo "Making the Debian package (cpack -G DEB)"
if ! (cd "$build" && cpack -G DEB) >>"$build/build.log" 2>&1; then
    grep -E -A6 "CPack Error|error" "$build/build.log" | tail -40 >&2
    echo "Making the package failed; the whole log is in $build/build.log" >&2
    exit 1
fi
packages=("$build"/mirravel_*.deb)
echo "${packages[0]}"
