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
    cmake -S "$MIRRAVEL_ROOT" -B "$MIRRAVEL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$MIRRAVEL_BUILD" -j"$(nproc)" -- --no-print-directory 2>&1 | grep -vE '^\[ *[0-9]+%\]|^-- ' || true
    test "${PIPESTATUS[0]}" -eq 0
}
