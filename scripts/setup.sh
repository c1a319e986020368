# Shared by run.sh, test.sh, package.sh and bench/run.sh: install what is missing, then configure
# and build. Sourced, not run.

MIRRAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MIRRAVEL_BUILD="$MIRRAVEL_ROOT/build"
# The program alone: a compiler, CMake, Qt 6 Widgets and unixODBC's driver manager.
MIRRAVEL_PROGRAM_PACKAGES=(g++ cmake make pkg-config qt6-base-dev unixodbc-dev)
# The tests, the demo and the benchmark besides: the stand-in driver's SQLite (odbcinst comes
# with unixodbc-dev), isql, a headless X server with fonts, and the desktop entry's checker.
MIRRAVEL_TEST_PACKAGES=(unixodbc libsqlite3-dev xvfb xauth fonts-liberation desktop-file-utils)
# CPack's Debian package: dpkg-shlibdeps finds the package's dependencies, file finds its binaries.
MIRRAVEL_DEB_PACKAGES=(dpkg-dev file)

# Installs the named Debian packages that are missing (with no names: all a full build and its
# tests need), and says which.
mirravel_install_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${MIRRAVEL_PROGRAM_PACKAGES[@]}" "${MIRRAVEL_TEST_PACKAGES[@]}")
    local missing=()
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing with apt-get: ${missing[*]} (and what they depend on)"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds; quiet unless it fails. With no arguments: the full build in build/.
# Otherwise: mirravel_build FOLDER [cmake options...], the options after the defaults.
mirravel_build() {
    local build="${1:-$MIRRAVEL_BUILD}"
    [ $# -gt 0 ] && shift
    mkdir -p "$build"
    local log="$build/build.log"
    echo "Building in $build (log: $log)"
    if ! { cmake -S "$MIRRAVEL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" \
           && cmake --build "$build" -j"$(nproc)"; } >"$log" 2>&1; then
        grep -E -A6 "error|Error" "$log" | head -80 >&2
        echo "The build failed; the whole log is in $log" >&2
        return 1
    fi
}
