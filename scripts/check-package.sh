#!/usr/bin/env bash
# Checks a Debian package made by package.sh without installing it: what it depends on, what it
# holds, that the program in it answers and its desktop entry validates, and that lintian finds
# no error or warning in it.
#   scripts/check-package.sh build-package/mirravel_1.0-1_amd64.deb
set -euo pipefail
source "$(dirname "$0")/setup.sh"
mirravel_install_packages desktop-file-utils lintian
deb="$1"
passed=0
failed=0
check() {
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "check-package: FAILED: $what" >&2
        failed=$((failed + 1))
    fi
}

depends="$(dpkg-deb -f "$deb" Depends)"
names_package() { grep -qE "(^|, )$1( |,|$)" <<<"$depends"; }
# The linked libraries (from dpkg-shlibdeps) and Qt's X11 platform plugin, which nothing links.
for package in libqt6widgets6 libqt6gui6 libqt6core6 libodbc2 qt6-qpa-plugins; do
    check "Depends names $package ($depends)" names_package "$package"
done
check "Depends names no test equipment ($depends)" bash -c '! grep -qiE "sqlite|odbcinst" <<<"$1"' _ "$depends"

contents="$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort | tr '\n' ' ')"
expected="./usr/bin/mirravel ./usr/lib/mirravel/HAND-M.CUR ./usr/lib/mirravel/mirravel ./usr/share/applications/mirravel.desktop ./usr/share/doc/mirravel/changelog.Debian.gz ./usr/share/doc/mirravel/changelog.gz ./usr/share/doc/mirravel/copyright ./usr/share/icons/hicolor/64x64/apps/mirravel.png ./usr/share/lintian/overrides/mirravel ./usr/share/man/man1/mirravel.1.gz "
check "the package holds exactly: $expected(it holds: $contents)" test "$contents" = "$expected"

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
version="$(dpkg-deb -f "$deb" Version)"
answer="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$unpacked/usr/bin/mirravel" --version 2>&1 || true)"
check "usr/bin/mirravel --version answers 'Mirravel ${version%-*}' (it said: $answer)" test "$answer" = "Mirravel ${version%-*}"
check "the desktop entry validates" desktop-file-validate "$unpacked/usr/share/applications/mirravel.desktop"

# Every tag lintian knows, shown; any error or warning fails. The overrides the package carries
# (usr/share/lintian/overrides/mirravel) say which tags it accepts and why; they are not shown,
# since with --show-overrides lintian 2.116 counts them as failures.
lintian_says() {
    echo "lintian $(lintian --print-version) on $(basename "$deb"):"
    lintian --display-experimental --display-info --pedantic --verbose --fail-on error,warning \
            --tag-display-limit 0 "$deb" 2>&1 | sed 's/^/  /'
}
check "lintian finds no error or warning" lintian_says

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
