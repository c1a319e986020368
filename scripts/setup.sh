# Shared by run.sh, test.sh and bench/run.sh: install what is missing, then configure and build.
# Sourced, not run.

MIRRAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MIRRAVEL_BUILD="$MIRRAVEL_ROOT/build"
MIRRAVEL_PACKAGES=(g++ cmake make pkg-config qt6-base-dev unixodbc unixodbc-dev libsqlite3-dev
                   xvfb xauth fonts-liberation)

mirravel_install_packages() {
    local missing=()
    for package in "${MIRRAVEL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

mirravel_build() {
    mkdir -p "$MIRRAVEL_BUILD"
    local log="$MIRRAVEL_BUILD/build.log"
    echo "Building in $MIRRAVEL_BUILD (log: $log)"
    if ! { cmake -S "$MIRRAVEL_ROOT" -B "$MIRRAVEL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           && cmake --build "$MIRRAVEL_BUILD" -j"$(nproc)"; } >"$log" 2>&1; then
        grep -E -A6 "error|Error" "$log" | head -80 >&2
        echo "The build failed; the whole log is in $log" >&2
        return 1
    fi
}
