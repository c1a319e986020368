#!/usr/bin/env bash
# Installs what is missing, builds, and starts Mirravel.
#   ./run.sh          the program, with your own saved logins
#   ./run.sh --demo   against two local sample databases (the stand-in driver), with demo logins
#                     kept apart from your own
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no graphical display (DISPLAY is not set); try: xvfb-run -a ./run.sh${*:+ $*}" >&2
    exit 2
fi

mirravel_install_packages
mirravel_build

if [ "${1:-}" = "--demo" ]; then
    source "$MIRRAVEL_ROOT/devdb/demo/setup-demo.sh"
    mirravel_setup_demo "$MIRRAVEL_ROOT/.demo"
fi
exec "$MIRRAVEL_BUILD/src/mirravel"
