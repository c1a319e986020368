# Shared by run.sh, test.sh, package.sh and bench/run.sh: install what is missing, then configure
# and build. Sourced, not run, by scripts that run with `set -euo pipefail`.

MIRRAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MIRRAVEL_BUILD="$MIRRAVEL_ROOT/build"
# The program alone: a compiler, CMake, Qt 6 Widgets and unixODBC's driver manager.
MIRRAVEL_PROGRAM_PACKAGES=(g++ cmake make pkg-config qt6-base-dev unixodbc-dev)
# The stand-in driver, which the demo and the tests run against: SQLite (odbcinst comes with
# unixodbc-dev). build/ is configured with the tests, so run.sh needs it even without --demo.
MIRRAVEL_DEMO_PACKAGES=(libsqlite3-dev)
# The tests and the benchmark besides: isql, a headless X server with fonts, a dark Qt style for
# the readability checks, the desktop entry's checker, and mingw-w64's compiler and resource
# compiler for the checks of the Windows build.
MIRRAVEL_TEST_PACKAGES=(unixodbc xvfb xauth fonts-liberation adwaita-qt6 desktop-file-utils
                        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
# CPack's Debian package: dpkg-shlibdeps finds the package's dependencies, dpkg-buildflags gives
# Debian's hardening flags, file finds its binaries.
MIRRAVEL_DEB_PACKAGES=(dpkg-dev file)

# Installs the named Debian packages that are missing (with no names: all a full build and its
# tests need) with apt-get, through sudo unless run as root, and says which.
mirravel_install_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${MIRRAVEL_PROGRAM_PACKAGES[@]}" "${MIRRAVEL_DEMO_PACKAGES[@]}"
                                       "${MIRRAVEL_TEST_PACKAGES[@]}")
    local missing=()
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing Debian packages with ${sudo:+sudo }apt-get: ${missing[*]} (and what they depend on)"
    echo "  updating the package lists (${sudo:+sudo }apt-get update)"
    $sudo apt-get update -qq
    echo "  installing (${sudo:+sudo }apt-get install); the first time this takes a few minutes"
    # Through env, since sudo drops the caller's environment.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Shows the errors of a failed step and where its whole log is.
_mirravel_failed() {
    local what="$1" log="$2"
    grep -E -B3 -A6 "error:|CMake Error|Error [0-9]" "$log" | head -80 >&2
    echo "$what failed; the whole log is in $log" >&2
    return 1
}

# Configures FOLDER with CMake, the given options after the defaults; the output goes to
# FOLDER/build.log, started afresh.
mirravel_configure() {
    local build="$1"
    shift
    mkdir -p "$build"
    local log="$build/build.log"
    echo "Configuring $build with CMake (log: $log)"
    cmake -S "$MIRRAVEL_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$log" 2>&1 \
        || _mirravel_failed "Configuring" "$log"
}

# Reads the build's output and says each part once, as it is done; with "percent", how far the
# whole build has come too (a build of named targets counts each one from 0 again).
_mirravel_parts_done() {
    local line seen=" "
    while IFS= read -r line; do
        [[ "$line" =~ ^\[\ *([0-9]+%)\]\ Built\ target\ (.+)$ ]] || continue
        # Qt's code generation steps come before their targets; the target says enough.
        [[ "${BASH_REMATCH[2]}" == *_autogen ]] && continue
        [[ "$seen" == *" ${BASH_REMATCH[2]} "* ]] && continue
        seen+="${BASH_REMATCH[2]} "
        if [ "${1:-}" = percent ]; then
            echo "  ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
        else
            echo "  ${BASH_REMATCH[2]}"
        fi
    done
}

# Builds the named targets of a configured FOLDER (none named: all of them), a line as each part
# is done; the compiler's output goes on in FOLDER/build.log.
mirravel_compile() {
    local build="$1"
    shift
    local log="$build/build.log"
    if [ $# -gt 0 ]; then
        echo "Building $* on $(nproc) cores; a line as each part is done:"
        cmake --build "$build" -j"$(nproc)" --target "$@" 2>&1 | tee -a "$log" | _mirravel_parts_done
    else
        echo "Building everything on $(nproc) cores; a line as each part is done:"
        cmake --build "$build" -j"$(nproc)" 2>&1 | tee -a "$log" | _mirravel_parts_done percent
    fi || _mirravel_failed "The build" "$log"
}

# Configures and builds everything.
#   mirravel_build                           in build/ (test.sh, the benchmarks)
#   mirravel_build FOLDER [cmake options...]  in FOLDER, the options after the defaults
mirravel_build() {
    local build="${1:-$MIRRAVEL_BUILD}"
    [ $# -gt 0 ] && shift
    mirravel_configure "$build" "$@"
    mirravel_compile "$build"
}
